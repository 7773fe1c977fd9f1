// A display on a desktop of the format under test (16-bit 5-6-5 or 5-5-5, or 32-bit) in the test
// program's main window, with the application's side of it (the shared screen host). The display is
// made but not started unless the test says so (RunningScreenTest starts it in a window).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/win/system/DisplaySettings.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/ScreenHost.h"

namespace testsupport {

// The first window of the test program (the one SDL shows), and its messages handled.
HWND MainWindow();
void Pump();

class ScreenTest : public testing::TestWithParam<ScreenFormat> {
 protected:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 240;

  void SetUp() override;
  void TearDown() override;
  void UseDesktop(plat::DesktopFormat format, DWORD refreshHz = 60);
  // Starts the display in a window at (40, 30), or full screen with the window at the corner.
  int Start(bool windowed);

  Kit::DDImage* Screen() { return mDisplay->GetScreenImage(); }
  // Fills the whole screen with an opaque colour (0xRRGGBB).
  void Clear(std::uint32_t rgb);
  // The screen's top left width x height pixels as 0xFFRRGGBB, the channels widened to 8 bits.
  std::vector<std::uint32_t> ReadScreen(int width = kWidth, int height = kHeight);
  // A DDImage of the given ARGB pixels.
  std::unique_ptr<Kit::DDImage> MakeImage(const std::vector<std::uint32_t>& pixels, int width, int height);
  // The colour bits of the screen image's surface pixel at (x, y), read through a lock.
  std::uint32_t ScreenPixel(int x, int y);
  // The surface value of an opaque ARGB colour in the display's format.
  std::uint32_t Native(std::uint32_t argb) const;
  // The pixel format of the primary surface, which the window shows.
  DDPIXELFORMAT PrimaryFormat() const;
  // Every pixel of the window against the screen's surface pixel.
  void ExpectWindowShowsScreen();

  ScreenHost mHost{kWidth, kHeight};
  std::unique_ptr<plat::ScopedDisplaySettings> mSettings;
  std::unique_ptr<Kit::DDInterface> mDisplay;
};

class RunningScreenTest : public ScreenTest {
 protected:
  void SetUp() override;
};

}  // namespace testsupport
