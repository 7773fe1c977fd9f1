// A running display in a window, on a 16-bit (5-6-5 or 5-5-5) or 32-bit desktop, whose screen image
// tests draw into; the screen is read back as ARGB for golden comparisons.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageHost.h"
#include "platform/ddraw/DisplaySettings.h"
#include "tests/support/ScreenFormats.h"

namespace testsupport {

// The application's side of the display: the set of live images and the screen's size.
class ScreenHost : public Kit::ImageHost {
 public:
  ScreenHost(int width, int height) : mWidth(width), mHeight(height) {}
  void AddMemoryImage(Kit::MemoryImage* image) override { mImages.insert(image); }
  void RemoveMemoryImage(Kit::MemoryImage* image) override { mImages.erase(image); }
  Kit::NativeDisplay* GetNativeDisplay() override { return mDisplay; }
  int GetDisplayWidth() override { return mWidth; }
  int GetDisplayHeight() override { return mHeight; }

  Kit::NativeDisplay* mDisplay = nullptr;

 private:
  int mWidth;
  int mHeight;
  std::set<Kit::MemoryImage*> mImages;
};

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
