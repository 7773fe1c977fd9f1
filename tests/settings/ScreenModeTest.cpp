// Window and full screen: switching rebuilds the display and keeps every image, and a display that
// cannot start either way ends in the other one once, or in a clear fatal message.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/widget/WidgetManager.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/process/Process.h"
#include "platform/win/system/DisplaySettings.h"
#include "platform/win/system/SystemInfo.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/Window.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/PollUntil.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/XWindowManager.h"
#include "tests/support/XvfbServer.h"

namespace {

class WindowedGame : public testsupport::HeadlessApp {
 public:
  WindowedGame() : HeadlessApp("ScreenModeGame") {}
};

using ScreenModes = testsupport::AppFixture;

// An 8 x 8 picture that only a surface holds.
std::unique_ptr<Kit::DDImage> SurfaceOnlyImage(Kit::DDInterface* display, std::vector<std::uint32_t>* pixels) {
  pixels->resize(64);
  for (std::size_t i = 0; i < pixels->size(); ++i)
    (*pixels)[i] = 0xFF000000u | static_cast<std::uint32_t>((i * 4) << 16 | (255 - i * 3) << 8 | (i * 2));
  auto image = std::make_unique<Kit::DDImage>(display);
  image->SetBits(pixels->data(), 8, 8);
  EXPECT_NE(image->GetSurface(), nullptr);
  image->DeleteAllNonSurfaceData();
  return image;
}

std::vector<std::uint32_t> PixelsOf(Kit::DDImage& image) {
  const std::uint32_t* bits = image.GetBits();
  return bits ? std::vector<std::uint32_t>(bits, bits + 64) : std::vector<std::uint32_t>{};
}

TEST_F(ScreenModes, SwitchingToFullScreenAndBackKeepsEveryImage) {
  plat::ScopedDisplaySettings desktop(testsupport::TestDesktop(plat::DesktopFormat::Xrgb8888));
  WindowedGame game;
  game.mFullScreenBits = 32;
  game.Init();
  ASSERT_TRUE(game.mInitialized);
  ASSERT_TRUE(game.mWindowedInUse);
  std::vector<std::uint32_t> pixels;
  auto image = SurfaceOnlyImage(game.mDDInterface.get(), &pixels);

  game.SwitchScreenModeWindowed(false);
  EXPECT_FALSE(game.mWindowedInUse);
  EXPECT_FALSE(game.mIsWindowed);
  EXPECT_FALSE(game.mDDInterface->mIsWindowed);
  EXPECT_EQ(game.mWidgetManager->mImage, game.mDDInterface->GetScreenImage());
  EXPECT_EQ(PixelsOf(*image), pixels);

  image->DeleteAllNonSurfaceData();
  game.SwitchScreenModeWindowed(true);
  EXPECT_TRUE(game.mWindowedInUse);
  EXPECT_TRUE(game.mDDInterface->mIsWindowed);
  EXPECT_EQ(PixelsOf(*image), pixels);

  image->DeleteAllNonSurfaceData();
  game.ReapplyScreenMode();  // the same mode made again, as the options dialog does
  EXPECT_TRUE(game.mWindowedInUse);
  EXPECT_EQ(PixelsOf(*image), pixels);
  image.reset();
}

TEST_F(ScreenModes, AFullScreenModeThatCannotBeSetEndsInAWindow) {
  plat::ScopedDisplaySettings desktop(testsupport::TestDesktop(plat::DesktopFormat::Xrgb8888));
  plat::ScopedMessageBoxScript boxes;
  WindowedGame game;
  game.mIsWindowed = false;
  game.mFullScreenBits = 12;  // no display mode has that depth
  game.Init();
  ASSERT_TRUE(game.mInitialized);
  EXPECT_TRUE(game.mWindowedInUse);
  EXPECT_TRUE(game.mForceWindowed);
  EXPECT_TRUE(game.mDDInterface->mIsWindowed);
  EXPECT_NE(game.mDDInterface->GetScreenImage(), nullptr);
  EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ScreenModes, ADesktopDepthAWindowCannotUseGoesFullScreen) {
  plat::ScopedDisplaySettings desktop(testsupport::TestDesktop(plat::DesktopFormat::Rgb888));
  plat::ScopedMessageBoxScript boxes;
  WindowedGame game;
  game.Init();
  ASSERT_TRUE(game.mInitialized);
  EXPECT_FALSE(game.mWindowedInUse);
  EXPECT_TRUE(game.mForceFullscreen);
  EXPECT_FALSE(game.mDDInterface->mIsWindowed);
  EXPECT_NE(game.mDDInterface->GetScreenImage(), nullptr);
  EXPECT_TRUE(boxes.Shown().empty());

  game.SwitchScreenModeWindowed(true);  // Alt+Enter: a window still cannot be used
  EXPECT_FALSE(game.mWindowedInUse);
  EXPECT_NE(game.mDDInterface->GetScreenImage(), nullptr);
}

TEST_F(ScreenModes, WhenNeitherModeStartsTheUserIsToldAndTheProgramEnds) {
  plat::ScopedDisplaySettings desktop(testsupport::TestDesktop(plat::DesktopFormat::Rgb888));
  plat::ScopedMessageBoxScript boxes;
  plat::ScopedExitCatcher exits;
  WindowedGame game;
  game.mFullScreenBits = 12;
  try {
    game.Init();
    FAIL() << "the program went on without a display";
  } catch (const plat::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 1u);
  }
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].caption, "FATAL ERROR");
  EXPECT_EQ(boxes.Shown()[0].text.rfind("Failed to initialize DirectDraw: ", 0), 0u) << boxes.Shown()[0].text;
}

}  // namespace

namespace {

RECT WorkArea() {
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

TEST_F(ScreenModes, APreferredPositionOffTheWorkAreaIsPulledBackInside) {
  plat::ScopedDisplaySettings desktop(testsupport::TestDesktop(plat::DesktopFormat::Xrgb8888));
  WindowedGame game;
  game.mPreferredX = 5000;
  game.mPreferredY = -300;
  game.Init();
  ASSERT_TRUE(game.mWindowedInUse);
  RECT window{};
  ASSERT_TRUE(GetWindowRect(game.mHWnd, &window));
  const RECT work = WorkArea();
  EXPECT_EQ(work.right, 1024) << "the test desktop's whole width";
  EXPECT_EQ(window.right, work.right - 4);
  EXPECT_EQ(window.top, work.top + 4);
}

TEST_F(ScreenModes, ACentredWindowHasThirtyEightPercentOfTheFreeHeightAboveIt) {
  plat::ScopedDisplaySettings desktop(testsupport::TestDesktop(plat::DesktopFormat::Xrgb8888));
  WindowedGame game;
  game.Init();
  RECT window{};
  ASSERT_TRUE(GetWindowRect(game.mHWnd, &window));
  const RECT work = WorkArea();
  const int freeHeight = (work.bottom - work.top) - (window.bottom - window.top);
  EXPECT_EQ(window.top - work.top, static_cast<int>(0.382 * freeHeight));
  EXPECT_EQ(window.left - work.left, ((work.right - work.left) - (window.right - window.left)) / 2);
}

// A window manager puts a new window's frame, not its client area, at the place asked for. Leaving full
// screen makes the window again where it was last seen: it must come back there, however often.
TEST_F(ScreenModes, LeavingFullScreenPutsTheWindowBackWhereItWas) {
  if (!testsupport::InRealWindowRun("KIT_SCREEN_MODE_XVFB_CHILD")) return;
  if (!testsupport::XWindowManager::Installed()) GTEST_SKIP() << "openbox is not installed";
  testsupport::XWindowManager manager;
  ASSERT_TRUE(manager.Ready());
  WindowedGame game;
  game.Init();
  ASSERT_TRUE(game.mWindowedInUse);
  RECT asked{};
  ASSERT_TRUE(plat::GetClientRectOnScreen(game.mHWnd, &asked));
  // The frame loop runs until the X server has the window where it was asked to be.
  const auto inPlace = [&] {
    return testsupport::PollUntil([&] {
      game.UpdateAppStep(nullptr);
      return testsupport::XClientOrigin(plat::SdlWindowOf(game.mHWnd)) == std::pair{asked.left, asked.top};
    });
  };
  EXPECT_TRUE(inPlace()) << "when first shown";
  for (int round = 1; round <= 3; ++round) {
    game.SwitchScreenModeWindowed(false);
    ASSERT_FALSE(game.mWindowedInUse);
    game.SwitchScreenModeWindowed(true);
    ASSERT_TRUE(game.mWindowedInUse);
    EXPECT_TRUE(inPlace()) << "after full screen " << round << " times";
  }
}

}  // namespace
