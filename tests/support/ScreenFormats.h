// The desktop formats the drawing tests run on: 16-bit 5-6-5 and 5-5-5, and 32-bit.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "platform/win/system/DisplaySettings.h"

namespace testsupport {

struct ScreenFormat {
  plat::DesktopFormat format;
  const char* name;
};

inline const ScreenFormat kScreenFormats[] = {{plat::DesktopFormat::Rgb565, "Rgb565"},
                                              {plat::DesktopFormat::Rgb555, "Rgb555"},
                                              {plat::DesktopFormat::Xrgb8888, "Xrgb8888"}};
inline std::string ScreenFormatName(const testing::TestParamInfo<ScreenFormat>& info) { return info.param.name; }
inline void PrintTo(const ScreenFormat& format, std::ostream* out) { *out << format.name; }

// The tests' desktop: 1024 x 768 in the format, whatever screen the machine has, while the result lives.
inline plat::DisplaySettings TestDesktop(plat::DesktopFormat format, DWORD refreshHz = 60) {
  plat::DisplaySettings settings;
  settings.format = format;
  settings.desktopWidth = 1024;
  settings.desktopHeight = 768;
  settings.refreshHz = refreshHz;
  return settings;
}
inline std::unique_ptr<plat::ScopedDisplaySettings> UseTestDesktop(plat::DesktopFormat format, DWORD refreshHz = 60) {
  return std::make_unique<plat::ScopedDisplaySettings>(TestDesktop(format, refreshHz));
}

}  // namespace testsupport
