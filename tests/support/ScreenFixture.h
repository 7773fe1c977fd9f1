// A running display in a window, on a 16-bit (5-6-5 or 5-5-5) or 32-bit desktop, whose screen image
// tests draw into; the screen is read back as ARGB for golden comparisons.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "platform/ddraw/DisplaySettings.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/ScreenHost.h"

namespace testsupport {

class ScreenTest : public testing::TestWithParam<ScreenFormat> {
 protected:
  static constexpr int WIDTH = 160;
  static constexpr int HEIGHT = 96;

  void SetUp() override;
  void TearDown() override;

  Kit::DDImage* Screen() { return mDisplay->GetScreenImage(); }
  // Fills the whole screen with an opaque colour (0xRRGGBB).
  void Clear(std::uint32_t rgb);
  // Every pixel of the screen as 0xFFRRGGBB, the channels widened to 8 bits.
  std::vector<std::uint32_t> ReadScreen();

  ScreenHost mHost{WIDTH, HEIGHT};
  std::unique_ptr<plat::ScopedDisplaySettings> mSettings;
  std::unique_ptr<Kit::DDInterface> mDisplay;
};

}  // namespace testsupport
