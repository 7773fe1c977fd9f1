#include <gtest/gtest.h>

#include "platform/win/system/DisplaySettings.h"
#include "tests/support/ScopedEnvironment.h"

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
  testsupport::ScopedEnvironmentVariable format("KIT_DESKTOP_FORMAT", "555");
  testsupport::ScopedEnvironmentVariable refresh("KIT_DESKTOP_REFRESH", "75");
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
  format.Set("banana");
  for (const char* bad : {"0", "-5", "60hz", "99999", ""}) {
    refresh.Set(bad);
    EXPECT_EQ(plat::CurrentDisplaySettings().refreshHz, 60u) << bad;
  }
  EXPECT_EQ(plat::CurrentDisplaySettings().format, DesktopFormat::Xrgb8888);
}

}  // namespace
