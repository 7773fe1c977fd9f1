// Init's modes, the shutdown sequence, the end-of-run statistics and the present step's recovery from
// a lost display.
#include <gtest/gtest.h>

#include <string>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/widget/WidgetManager.h"
#include "platform/ddraw/SurfaceFaults.h"
#include "platform/win/process/DebugOutput.h"
#include "platform/win/process/Process.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Window.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/HeadlessApp.h"

namespace {

class SmallApp : public testsupport::HeadlessApp {
 public:
  SmallApp() : HeadlessApp("LifecycleApp") {}
  void ShutdownHook() override { ++mShutdowns; }
  void LoadingThreadCompleted() override {
    if (mEndAtHandOver) Shutdown();
  }
  int mShutdowns = 0;
  bool mEndAtHandOver = false;
};

using LifecycleTest = testsupport::AppFixture;

TEST_F(LifecycleTest, ShutdownRunsOnceHidesTheWindowAndEndsTheLoops) {
  SmallApp app;
  app.Init();
  ShowWindow(app.mHWnd, SW_SHOWNORMAL);
  ASSERT_TRUE(IsWindowVisible(app.mHWnd));
  app.Shutdown();
  EXPECT_TRUE(app.mQuit);
  EXPECT_TRUE(app.mLeaveNestedLoops);
  EXPECT_FALSE(IsWindowVisible(app.mHWnd));
  app.Shutdown();
  EXPECT_EQ(app.mShutdowns, 1);
  bool updated = true;
  EXPECT_FALSE(app.UpdateAppStep(&updated));
  EXPECT_FALSE(updated);
}

TEST_F(LifecycleTest, ScreenSaverModeSkipsTheSingleInstanceLockAndHidesTheCursor) {
  SmallApp app;
  app.mIsScreenSaver = true;
  app.mCmdLineParsed = true;
  app.Init();
  EXPECT_FALSE(app.mOnlyAllowOneCopyToRun);
  EXPECT_EQ(app.mMutex, nullptr);
  EXPECT_EQ(app.GetCursor(), Kit::CURSOR_NONE);
}

TEST_F(LifecycleTest, InitBuildsTheServicesInOrderAndAppliesTheVolumes) {
  SmallApp app;
  app.mSfxVolume = 0.4;
  app.mMusicVolume = 0.6;
  app.Init();
  ASSERT_NE(app.mSoundManager, nullptr);
  ASSERT_NE(app.mMusicInterface, nullptr);
  EXPECT_NE(app.mInvisHWnd, nullptr);
  EXPECT_NE(app.mMutex, nullptr);
  EXPECT_DOUBLE_EQ(app.GetSfxVolume(), 0.4);
  EXPECT_DOUBLE_EQ(app.GetMusicVolume(), 0.6);
  EXPECT_EQ(app.mWidgetManager->mWidth, 320);
}

TEST_F(LifecycleTest, StatisticsLeaveOutTheFrameRateWhenNothingWasTimed) {
  plat::FakeClock clock;
  plat::ScopedClock scoped(clock);
  plat::ScopedDebugCapture debug;
  SmallApp app;
  app.mEndAtHandOver = true;
  app.Init();
  app.Start();
  const std::string text = debug.Text();
  EXPECT_NE(text.find("Seconds       = "), std::string::npos);
  EXPECT_NE(text.find("Sleep Count   = "), std::string::npos);
  EXPECT_NE(text.find("Draw Time     = 0\r\n"), std::string::npos);
  EXPECT_NE(text.find("Screen Blt    = 0\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Avg FPS"), std::string::npos);
}

TEST_F(LifecycleTest, AFailedPresentRebuildsTheDisplayAndRedrawsEverything) {
  SmallApp app;
  app.Init();
  apptest::BusyWidget widget;
  widget.Resize(0, 0, 50, 50);
  app.mWidgetManager->AddWidget(&widget);
  ASSERT_TRUE(app.DrawFrame());
  const int inits = app.mDDInterface->mInitCount;

  plat::FailNextWithSurfaceLost();
  app.Redraw(nullptr);  // the present of a drawn frame
  EXPECT_TRUE(app.mLastPresentFailed);
  EXPECT_GT(app.mDDInterface->mInitCount, inits) << "an active application rebuilds its display at once";
  EXPECT_EQ(app.mWidgetManager->mImage, static_cast<Kit::Image*>(app.mDDInterface->GetScreenImage()));
  EXPECT_TRUE(widget.mDirty);

  app.mHasPendingDraw = true;
  EXPECT_FALSE(app.DrawFrame()) << "after a failure the next draw only presents again";
  EXPECT_FALSE(app.mLastPresentFailed);
  app.mHasPendingDraw = true;
  EXPECT_TRUE(app.DrawFrame());
  app.mWidgetManager->RemoveWidget(&widget);
}

TEST_F(LifecycleTest, AMinimisedApplicationDoesNotRebuildItsDisplay) {
  SmallApp app;
  app.Init();
  const int inits = app.mDDInterface->mInitCount;
  app.mMinimized = true;
  plat::FailNextWithSurfaceLost();
  app.Redraw(nullptr);
  EXPECT_TRUE(app.mLastPresentFailed);
  EXPECT_EQ(app.mDDInterface->mInitCount, inits);
  EXPECT_EQ(app.mRedrawCount, 1);
}

TEST_F(LifecycleTest, LoadingProgressCountsTasksUntilTheHandOver) {
  SmallApp app;
  EXPECT_DOUBLE_EQ(app.GetLoadingThreadProgress(), 0.0);
  app.mLoadingThreadStarted = true;
  EXPECT_DOUBLE_EQ(app.GetLoadingThreadProgress(), 0.0) << "no tasks counted yet";
  app.mNumLoadingThreadTasks = 4;
  app.mCompletedLoadingThreadTasks = 1;
  EXPECT_DOUBLE_EQ(app.GetLoadingThreadProgress(), 0.25);
  app.mCompletedLoadingThreadTasks = 9;
  EXPECT_DOUBLE_EQ(app.GetLoadingThreadProgress(), 1.0);
  app.mCompletedLoadingThreadTasks = 2;
  app.mLoadingThreadCompleted = true;
  EXPECT_DOUBLE_EQ(app.GetLoadingThreadProgress(), 1.0);
  app.mLoadingThreadStarted = false;
}

}  // namespace
