// Starting the display: result codes and texts, the pixel format and its tables, refresh rates,
// full screen and the fallbacks the application relies on.
#include "platform/win/modules/Modules.h"
#include "tests/support/ScreenFixture.h"

#include <sstream>

namespace testsupport {
namespace {

using Kit::DDInterface;
using DisplayTest = ScreenTest;

// Full screen in the application's depth with a flip chain; a window in the desktop's format.
TEST_P(DisplayTest, FullScreenRunsInTheApplicationsDepthAndAWindowInTheDesktops) {
  mHost.fullScreenBits = 16;
  ASSERT_EQ(Start(false), DDInterface::RESULT_OK) << mDisplay->mErrorString;
  EXPECT_EQ(mDisplay->mRGBBits, 16);
  EXPECT_NE(mDisplay->mSecondarySurface, nullptr);
  EXPECT_FALSE(mDisplay->mIsWindowed);
  // Back to a window: the same object starts again in place.
  ASSERT_EQ(Start(true), DDInterface::RESULT_OK) << mDisplay->mErrorString;
  EXPECT_EQ(mDisplay->mInitCount, 2);
  EXPECT_EQ(mDisplay->mSecondarySurface, nullptr);
  EXPECT_EQ(mDisplay->mRGBBits, GetParam().format == plat::DesktopFormat::Xrgb8888 ? 32 : 16);
  ASSERT_NE(mDisplay->GetScreenImage(), nullptr);
  EXPECT_EQ(mDisplay->GetScreenImage()->mWidth, kWidth);
  EXPECT_EQ(mDisplay->GetScreenImage()->mHeight, kHeight);
  EXPECT_TRUE(mDisplay->GetScreenImage()->mForeignSurface);
  EXPECT_FALSE(mDisplay->GetScreenImage()->mNoLock);
}

// Each way starting can fail: its result, the step and the code in the error text, and no display.
TEST_P(DisplayTest, AFailedStartGivesItsResultAndTheStepThatFailed) {
  struct Case {
    plat::DesktopFormat desktop;  // Rgb565 stands for the road's own
    int fullScreenBits;
    bool windowed, window, library;
    int result;
    const char* error;
  };
  using F = plat::DesktopFormat;
  const Case cases[] = {
      {F::Rgb565, 16, true, true, false, DDInterface::RESULT_DD_CREATE_FAIL,
       "DirectDrawCreate: DDERR_NODIRECTDRAWSUPPORT"},
      {F::Palette8, 16, true, true, true, DDInterface::RESULT_INVALID_COLORDEPTH, ""},
      {F::Rgb565, 8, false, true, true, DDInterface::RESULT_SURFACE_FAIL,
       "CreateSurface FullScreen Primary: DDERR_INVALIDPIXELFORMAT"},
      {F::Rgb565, 12, false, true, true, DDInterface::RESULT_DISPCHANGE_FAIL,
       "SetDisplayMode FullScreen: DDERR_INVALIDMODE"},
      {F::Rgb565, 16, false, false, true, DDInterface::RESULT_EXCLUSIVE_FAIL,
       "SetCooperativeLevel FullScreen: DDERR_INVALIDPARAMS"},
      {F::Rgb888, 16, true, true, true, DDInterface::RESULT_INVALID_COLORDEPTH, ""},
  };
  for (const Case& c : cases) {
    UseDesktop(c.desktop == F::Rgb565 ? GetParam().format : c.desktop);
    mHost.fullScreenBits = c.fullScreenBits;
    plat::SetModuleMissing("ddraw.dll", !c.library);
    mDisplay = std::make_unique<DDInterface>(&mHost);
    mHost.display = mDisplay.get();
    plat::SetModuleMissing("ddraw.dll", false);
    EXPECT_EQ(c.window ? Start(c.windowed) : mDisplay->Init(nullptr, false), c.result) << c.error;
    EXPECT_EQ(mDisplay->mErrorString, c.error);
    EXPECT_FALSE(mDisplay->mInitialized) << c.error;
    EXPECT_FALSE(mDisplay->Redraw()) << c.error;
  }
  // Full screen sets its own depth, so a desktop a window cannot use can still be used that way.
  EXPECT_EQ(Start(false), DDInterface::RESULT_OK) << mDisplay->mErrorString;
}

TEST_P(DisplayTest, RefreshRatesOutsideSixtyToAHundredAreClampedAndBreakVerticalSync) {
  struct Case {
    DWORD hz;
    int rate, millis;
    bool broken;
  };
  for (const Case& c : {Case{120, 100, 10, true}, Case{50, 60, 16, true}, Case{75, 75, 13, false}}) {
    UseDesktop(GetParam().format, c.hz);
    mHost.vsyncBroken = false;
    ASSERT_EQ(Start(true), DDInterface::RESULT_OK) << mDisplay->mErrorString;
    EXPECT_EQ(mDisplay->mRefreshRate, c.rate) << c.hz;
    EXPECT_EQ(mDisplay->mMillisPerRefresh, c.millis) << c.hz;
    EXPECT_EQ(mHost.vsyncBroken, c.broken) << c.hz;
  }
}

TEST_P(DisplayTest, WithoutTheVersionSevenEntryTheOlderInterfacesAreUsed) {
  plat::SetExportMissing("ddraw.dll", "DirectDrawCreateEx", true);
  {
    DDInterface display(&mHost);
    plat::SetExportMissing("ddraw.dll", "DirectDrawCreateEx", false);
    ASSERT_EQ(display.Init(mHost.window, true), DDInterface::RESULT_OK) << display.mErrorString;
    EXPECT_EQ(display.mDirectDraw7, nullptr);
    Kit::DDImage image(&display);
    const std::vector<std::uint32_t> px(16, 0xFF00FF00);
    image.SetBits(px.data(), 4, 4);
    EXPECT_NE(image.GetSurface(), nullptr);
    EXPECT_TRUE(display.Redraw());
  }
  plat::SetExportMissing("ddraw.dll", "DirectDrawCreateEx", false);
}

TEST(DisplayResults, NamesOfTheResultCodes) {
  std::istringstream names("OK FAIL DD_CREATE_FAIL SURFACE_FAIL EXCLUSIVE_FAIL DISPCHANGE_FAIL INVALID_COLORDEPTH");
  int code = 0;
  for (std::string name; names >> name; ++code) EXPECT_EQ(DDInterface::ResultToString(code), "RESULT_" + name);
  EXPECT_EQ(DDInterface::ResultToString(code), "RESULT_UNKNOWN");
  EXPECT_EQ(DDInterface::ResultToString(-1), "RESULT_UNKNOWN");
}

TEST(DisplayResults, CheckDXErrorRecordsTheStepAndTheCodeName) {
  DDInterface display(nullptr);
  EXPECT_FALSE(display.CheckDXError(DD_OK, "Anything"));
  EXPECT_EQ(display.mErrorString, "");
  EXPECT_TRUE(display.CheckDXError(DDERR_SURFACELOST, "Redraw Windowed"));
  EXPECT_EQ(display.mErrorString, "Redraw Windowed: DDERR_SURFACELOST");
}

INSTANTIATE_TEST_SUITE_P(Roads, DisplayTest, testing::ValuesIn(kScreenFormats), ScreenFormatName);

}  // namespace
}  // namespace testsupport
