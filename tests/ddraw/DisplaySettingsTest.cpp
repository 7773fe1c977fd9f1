#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/win/system/DisplaySettings.h"

namespace {

using plat::DesktopFormat;

TEST(DisplaySettingsTest, FormatNamesParseAndUnknownOnesAreRefused) {
  EXPECT_EQ(plat::ParseDesktopFormat("32"), DesktopFormat::Xrgb8888);
  EXPECT_EQ(plat::ParseDesktopFormat("16"), DesktopFormat::Rgb565);
  EXPECT_EQ(plat::ParseDesktopFormat("565"), DesktopFormat::Rgb565);
  EXPECT_EQ(plat::ParseDesktopFormat("555"), DesktopFormat::Rgb555);
  EXPECT_EQ(plat::ParseDesktopFormat("24"), DesktopFormat::Rgb888);
  EXPECT_EQ(plat::ParseDesktopFormat("8"), DesktopFormat::Palette8);
  for (const char* bad : {"", "15", "32 ", "x", "0565"}) EXPECT_FALSE(plat::ParseDesktopFormat(bad)) << bad;
  EXPECT_EQ(plat::BitsPerPixelOf(DesktopFormat::Rgb555), 16);
  EXPECT_EQ(plat::BitsPerPixelOf(DesktopFormat::Xrgb8888), 32);
}

TEST(DisplaySettingsTest, EnvironmentChoosesUnlessATestHasSet) {
  setenv("KIT_DESKTOP_FORMAT", "555", 1);
  setenv("KIT_DESKTOP_REFRESH", "75", 1);
  EXPECT_EQ(plat::CurrentDisplaySettings().format, DesktopFormat::Rgb555);
  EXPECT_EQ(plat::CurrentDisplaySettings().refreshHz, 75u);
  {
    plat::DisplaySettings set;
    set.format = DesktopFormat::Palette8;
    plat::ScopedDisplaySettings scoped(set);
    EXPECT_EQ(plat::CurrentDisplaySettings().format, DesktopFormat::Palette8);
    EXPECT_EQ(plat::CurrentDisplaySettings().refreshHz, 60u);
  }
  // Nonsense in the environment falls back to the defaults.
  setenv("KIT_DESKTOP_FORMAT", "banana", 1);
  for (const char* bad : {"0", "-5", "60hz", "99999", ""}) {
    setenv("KIT_DESKTOP_REFRESH", bad, 1);
    EXPECT_EQ(plat::CurrentDisplaySettings().refreshHz, 60u) << bad;
  }
  EXPECT_EQ(plat::CurrentDisplaySettings().format, DesktopFormat::Xrgb8888);
  unsetenv("KIT_DESKTOP_FORMAT");
  unsetenv("KIT_DESKTOP_REFRESH");
}

}  // namespace
