// Set-up shared by the display tests: the application's side of the display (the shared screen host,
// which here also restarts the display the way the application does), the test
// program's main window, and a desktop of the format under test.
#pragma once

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "platform/ddraw/DisplaySettings.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/ScreenHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace displaytest {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

class TestHost : public testsupport::ScreenHost {
 public:
  TestHost() : ScreenHost(kWidth, kHeight) {}
  int GetFullScreenBits() override { return fullScreenBits; }
  bool IsPopupShown() override { return popupShown; }
  bool IsPageFlipping() override { return pageFlipping; }
  bool WaitsForVerticalSync() override { return waitForVSync; }
  void SetVerticalSyncBroken(bool broken) override { vsyncBroken = broken; }

  // The application's restart of the display: every image gives up its display data, the display
  // starts again, and every image rebuilds what it had.
  int Restart(bool windowed);

  int fullScreenBits = 16;
  bool popupShown = false;
  bool pageFlipping = true;
  bool waitForVSync = false;
  bool vsyncBroken = false;
  HWND window = nullptr;
};

// The first window of the test program (the one SDL shows).
HWND MainWindow();
void Pump();

// The roads every display test takes: desktops of 5-6-5, 5-5-5 and 32 bits.
using Road = testsupport::ScreenFormat;
inline const auto& kRoads = testsupport::kScreenFormats;
constexpr auto RoadName = &testsupport::ScreenFormatName;

// A display on a desktop of the road's format, initialised in a window unless a test says otherwise.
class DisplayTest : public testing::TestWithParam<Road> {
 protected:
  void SetUp() override;
  void TearDown() override;
  void UseDesktop(plat::DesktopFormat format, DWORD refreshHz = 60);
  // Starts the display in a window at (40, 30), or full screen with the window at the corner.
  int Start(bool windowed);

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

  TestHost mHost;
  std::unique_ptr<plat::ScopedDisplaySettings> mSettings;
  std::unique_ptr<Kit::DDInterface> mDisplay;
};

}  // namespace displaytest
