// The pacing step tick by tick on a stopped clock.
#include <gtest/gtest.h>

#include <thread>

#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/threads/Time.h"
#include "tests/app/AppTestSupport.h"

namespace {

using apptest::LoopApp;
using apptest::MortalWidget;

class FrameLoopTest : public testing::Test {
 protected:
  FrameLoopTest() : mScoped(mClock) { mApp.ResetTiming(false); }

  plat::FakeClock mClock;
  plat::ScopedClock mScoped;
  LoopApp mApp;
};

TEST_F(FrameLoopTest, ATickIsDueOnlyOnceAFrameTimeIsOwed) {
  mApp.Cycle();  // the first pass draws the initial frame
  const int ticks = mApp.mUpdateCount;
  mClock.AdvanceMillis(9);
  mApp.mHasPendingDraw = false;
  mApp.UpdateAppStep(nullptr);  // pump
  EXPECT_FALSE(mApp.Process(false)) << "with 1 ms still owed, the step would have slept";
  EXPECT_EQ(mApp.mUpdateCount, ticks);
  mClock.AdvanceMillis(1);
  mApp.mUpdateState = Kit::KitAppBase::UpdateState::kReadyToTick;
  EXPECT_TRUE(mApp.Process(true));
  EXPECT_EQ(mApp.mUpdateCount, ticks + 1);
  EXPECT_EQ(mApp.mUpdateState, Kit::KitAppBase::UpdateState::kTicked);
  EXPECT_NEAR(mApp.mUpdateFTimeAcc, 10.0, 1e-9);
  mApp.Process(true);  // the tick's second half takes its 10 ms
  EXPECT_EQ(mApp.mUpdateState, Kit::KitAppBase::UpdateState::kStepDone);
  EXPECT_NEAR(mApp.mUpdateFTimeAcc, 0.0, 1e-9);
}

TEST_F(FrameLoopTest, IdleStepsSleepTheOwedTimeInOneCall) {
  mApp.Cycle();
  mApp.mHasPendingDraw = false;
  const DWORD before = timeGetTime();
  mApp.Cycle();
  EXPECT_EQ(mApp.mSleepCount, 1);
  EXPECT_EQ(timeGetTime() - before, 10u);
}

TEST_F(FrameLoopTest, AfterAStallTwentyCatchUpTicksRunWithAForcedDrawAfterTen) {
  mApp.Cycle();
  const int ticks = mApp.mUpdateCount;
  const int draws = mApp.mDrawCount;
  mClock.AdvanceMillis(2000);
  std::vector<int> ticksAtDraw;
  // No further time passes while the loop catches up (the fake clock moves only when the loop sleeps).
  while (mApp.mSleepCount == 0) {
    const int drawsBefore = mApp.mDrawCount;
    mApp.Cycle();
    if (mApp.mDrawCount != drawsBefore) ticksAtDraw.push_back(mApp.mUpdateCount - ticks);
  }
  EXPECT_EQ(mApp.mUpdateCount - ticks, 20);
  ASSERT_GE(ticksAtDraw.size(), 2u);
  EXPECT_EQ(ticksAtDraw[0], 9) << "the tenth step without a draw draws instead of ticking";
  EXPECT_GT(mApp.mDrawCount, draws + 1);
}

TEST_F(FrameLoopTest, TimeSpentInAMessageBoxOrPopupIsNotCaughtUp) {
  plat::ScopedMessageBoxScript boxes;
  for (int kind = 0; kind < 2; ++kind) {
    mApp.Cycle();
    mClock.AdvanceMillis(2000);  // the loop stood still while the box was open
    if (kind == 0)
      mApp.MsgBox("Saved.", "Notice", MB_OK);
    else
      mApp.Popup("Lost.");
    const int ticks = mApp.mUpdateCount;
    const int sleeps = mApp.mSleepCount;
    while (mApp.mSleepCount == sleeps) mApp.Cycle();
    EXPECT_LE(mApp.mUpdateCount - ticks, 1) << (kind == 0 ? "message box" : "popup");
  }
}

TEST_F(FrameLoopTest, BeforeTheHandOverNoDrawIsForced) {
  mApp.mLoadedHandedOver = false;
  mApp.Cycle();
  const int draws = mApp.mDrawCount;
  mClock.AdvanceMillis(2000);
  while (mApp.mSleepCount == 0 && mApp.mDrawCount == draws) mApp.Cycle();
  EXPECT_EQ(mApp.mUpdateCount, 20) << "all owed ticks ran before the next draw";
}

TEST_F(FrameLoopTest, DoubleSpeedTicksEveryFiveMillisecondsAndForcesDrawsAfterTwenty) {
  mApp.mUpdateMultiplier = 2.0;
  EXPECT_DOUBLE_EQ(mApp.UpdatePeriod(), 5.0);
  mApp.Cycle();
  const int ticks = mApp.mUpdateCount;
  mClock.AdvanceMillis(5);
  mApp.mHasPendingDraw = false;
  mApp.Cycle();
  EXPECT_EQ(mApp.mUpdateCount, ticks + 1);
  mApp.Cycle();  // draws that tick

  mClock.AdvanceMillis(2000);
  const int start = mApp.mUpdateCount;
  const int draws = mApp.mDrawCount;
  while (mApp.mDrawCount == draws) mApp.Cycle();
  EXPECT_EQ(mApp.mUpdateCount - start, 19);
  // The watchdog is off at any other speed than 1.
  EXPECT_EQ(mApp.mVSyncBrokenTestUpdates, 0);
}

TEST_F(FrameLoopTest, StoppedTimeOrAPausedPlaybackNeitherTicksNorDrawsButStillDeletesQueuedWidgets) {
  for (bool paused : {false, true}) {
    LoopApp app;
    app.ResetTiming(false);
    if (paused)
      app.mPlaybackPaused = true;
    else
      app.mUpdateMultiplier = 0.0;
    bool deleted = false;
    ++app.mUpdateDepth;  // queued by a handler inside a step
    app.SafeDeleteWidget(new MortalWidget(&deleted));
    --app.mUpdateDepth;
    mClock.AdvanceMillis(500);
    for (int i = 0; i < 10; ++i) app.UpdateAppStep(nullptr);
    EXPECT_EQ(app.mUpdateCount, 0) << paused;
    EXPECT_EQ(app.mDrawCount, 0) << paused;
    EXPECT_TRUE(deleted) << paused;
  }
}

TEST_F(FrameLoopTest, PauseRequestRunsOneTickOneFractionOneDrawThenSleepsFrames) {
  mApp.mVSyncUpdates = true;
  mApp.mPauseState = 1;
  mApp.UpdateAppStep(nullptr);  // pump
  mApp.UpdateAppStep(nullptr);
  EXPECT_EQ(mApp.mPauseState, 2);
  EXPECT_EQ(mApp.mUpdateCount, 1);
  ASSERT_EQ(mApp.mBusy.mFractions.size(), 1u);
  EXPECT_FLOAT_EQ(mApp.mBusy.mFractions[0], 1.0f);
  EXPECT_EQ(mApp.mDrawCount, 1);
  const DWORD before = timeGetTime();
  mApp.UpdateAppStep(nullptr);
  EXPECT_EQ(timeGetTime() - before, 10u);
  EXPECT_EQ(mApp.mUpdateCount, 1);
  EXPECT_EQ(mApp.mUpdateState, Kit::KitAppBase::UpdateState::kStepDone);
}

TEST_F(FrameLoopTest, SmoothUpdatesPassTheFractionalStepOfTheRefreshRate) {
  mApp.mVSyncUpdates = true;
  mApp.mSyncRefreshRate = 60;
  EXPECT_NEAR(mApp.UpdatePeriod(), 1000.0 / 60.0, 1e-9);
  EXPECT_NEAR(mApp.FractionalStep(), 1000.0 / 600.0, 1e-9);
  mApp.Cycle();
  for (int i = 0; i < 30; ++i) {
    mClock.AdvanceMillis(17);
    mApp.Cycle();
  }
  // Windowed with the soft refresh wait, ticks follow the clock; each carries 1.67 logical ticks,
  // the fractions owed being caught up with whole ticks.
  ASSERT_FALSE(mApp.mBusy.mFractions.empty());
  EXPECT_NEAR(mApp.mBusy.mFractions.back(), 1000.0f / 600.0f, 1e-5);
  const double logical = mApp.mBusy.mFractions.size() * (1000.0 / 600.0);
  EXPECT_NEAR(mApp.mUpdateCount, logical, 2.0);
}

TEST_F(FrameLoopTest, At60HzAFractionOfAMillisecondOwedIsSleptNotSpun) {
  mApp.mVSyncUpdates = true;
  mApp.mSyncRefreshRate = 60;
  // Only the loop's own sleeps move the clock: 16 ms slept leave 0.67 ms owed.
  const DWORD start = timeGetTime();
  for (int i = 0; i < 500 && timeGetTime() - start < 1000; ++i) mApp.Cycle();
  EXPECT_GE(timeGetTime() - start, 1000u) << "the loop stopped sleeping with less than 1 ms owed";
  EXPECT_NEAR(static_cast<double>(mApp.mBusy.mFractions.size()), 60.0, 2.0);
}

TEST_F(FrameLoopTest, RefreshSynchronisedRuleNeedsFullScreenOrAHardWaitInAWindow) {
  mApp.mVSyncUpdates = true;
  mApp.mWindowedInUse = true;
  mApp.mWaitForVSync = true;
  mApp.mSoftVSyncWait = true;
  EXPECT_FALSE(mApp.UsesRefreshSyncedRule());
  mApp.mSoftVSyncWait = false;
  EXPECT_TRUE(mApp.UsesRefreshSyncedRule());
  mApp.mWindowedInUse = false;
  mApp.mWaitForVSync = false;
  EXPECT_TRUE(mApp.UsesRefreshSyncedRule());
  mApp.mLastDrawWasEmpty = true;
  EXPECT_FALSE(mApp.UsesRefreshSyncedRule());
  mApp.mLastDrawWasEmpty = false;
  mApp.mVSyncBroken = true;
  EXPECT_FALSE(mApp.UsesRefreshSyncedRule());
}

// Ticks that arrive faster than the clock allows: each step is given a whole frame of owed time
// while the clock moves `millisPerTick`.
int WindowsUntilGivenUp(LoopApp& app, plat::FakeClock& clock, DWORD millisPerTick, int ticks) {
  for (int i = 0; i < ticks && !app.mVSyncBroken; ++i) {
    clock.AdvanceMillis(millisPerTick);
    app.mUpdateState = Kit::KitAppBase::UpdateState::kReadyToTick;
    app.mLastTimeAcc = timeGetTime();
    app.mUpdateFTimeAcc = 10.0;
    app.mHasPendingDraw = false;
    app.mUpdatesSinceDraw = 0;
    app.Process(true);
    app.Process(true);
  }
  return app.mVSyncBrokenCount;
}

TEST_F(FrameLoopTest, WatchdogGivesUpRefreshPacingAfterThreeFastSecondsButForgivesASlowOne) {
  WindowsUntilGivenUp(mApp, mClock, 7, 300);
  EXPECT_FALSE(mApp.mVSyncBroken) << "the first window only starts the measurement";
  EXPECT_EQ(mApp.mVSyncBrokenCount, 2);
  WindowsUntilGivenUp(mApp, mClock, 9, 100);
  EXPECT_EQ(mApp.mVSyncBrokenCount, 0);
  WindowsUntilGivenUp(mApp, mClock, 7, 200);
  EXPECT_FALSE(mApp.mVSyncBroken);
  WindowsUntilGivenUp(mApp, mClock, 7, 100);
  EXPECT_TRUE(mApp.mVSyncBroken);
}

TEST_F(FrameLoopTest, ResetTimingForgetsOwedTimeAndForgivingLagSuppressesCatchUp) {
  mClock.AdvanceMillis(100);
  mApp.UpdateFTimeAcc();
  EXPECT_DOUBLE_EQ(mApp.mUpdateFTimeAcc, 100.0);
  mApp.ResetTiming(true);
  EXPECT_DOUBLE_EQ(mApp.mUpdateFTimeAcc, 0.0);
  EXPECT_EQ(mApp.mNoCatchUpCountdown, 1000);
  mClock.AdvanceMillis(400);
  mApp.UpdateFTimeAcc();
  EXPECT_EQ(mApp.mNoCatchUpCountdown, 600);
  mApp.mUpdateState = Kit::KitAppBase::UpdateState::kTicked;
  mApp.Process(true);
  EXPECT_DOUBLE_EQ(mApp.mUpdateFTimeAcc, 0.0) << "owed time is dropped after each update while forgiving";
  mClock.AdvanceMillis(600);
  mApp.UpdateFTimeAcc();
  EXPECT_EQ(mApp.mNoCatchUpCountdown, 0);
}

TEST_F(FrameLoopTest, WhileLoadingTheMainThreadYieldsTwiceItsTimeUpTo250Milliseconds) {
  mApp.mYieldMainThread = true;
  mApp.mBusy.mDrawMillis = 30;
  mApp.Cycle();  // a draw of 30 ms, then a yield of 60
  EXPECT_EQ(timeGetTime() - 1000, 90u);
  mApp.mBusy.mDrawMillis = 200;
  mApp.ResetTiming(false);
  mApp.mHasPendingDraw = true;
  mApp.mBusy.MarkDirty();
  const DWORD before = timeGetTime();
  mApp.Cycle();
  EXPECT_EQ(timeGetTime() - before, 200u + 250u);
}

TEST_F(FrameLoopTest, WhileLoadingDrawsAreAtLeast50MillisecondsApart) {
  mApp.mLoadingThreadStarted = true;  // and not completed
  std::vector<DWORD> drawTimes;
  for (int i = 0; i < 200; ++i) {
    const int before = mApp.mDrawCount;
    mClock.AdvanceMillis(1);
    mApp.mHasPendingDraw = true;
    mApp.mBusy.MarkDirty();
    mApp.mUpdateState = Kit::KitAppBase::UpdateState::kStepDone;
    mApp.Cycle();
    if (mApp.mDrawCount != before) drawTimes.push_back(timeGetTime());
  }
  ASSERT_GE(drawTimes.size(), 3u);
  for (std::size_t i = 2; i < drawTimes.size(); ++i) EXPECT_GE(drawTimes[i] - drawTimes[i - 1], 50u);
  mApp.mLoadingThreadStarted = false;
}

TEST_F(FrameLoopTest, NothingDirtyIsDrawnOnlyOnceASecond) {
  mApp.mWidgetManager->RemoveWidget(&mApp.mBusy);
  mApp.Cycle();
  const int draws = mApp.mDrawCount;
  mApp.mHasPendingDraw = true;
  EXPECT_FALSE(mApp.DrawFrame());
  EXPECT_TRUE(mApp.mLastDrawWasEmpty);
  mClock.AdvanceMillis(1000);
  mApp.mHasPendingDraw = true;
  EXPECT_TRUE(mApp.DrawFrame());
  EXPECT_EQ(mApp.mDrawCount, draws + 1);
  mApp.mWidgetManager->AddWidget(&mApp.mBusy);
}

TEST_F(FrameLoopTest, AWidgetQueuedInANestedLoopGoesThereAndTheOuterOneAfterwards) {
  bool outerDeleted = false;
  bool innerDeleted = false;
  bool outerAliveAfterNested = false;
  int nestedDepth = 0;
  mApp.mBusy.mOnUpdate = [&] {
    if (nestedDepth != 0) return;
    mApp.SafeDeleteWidget(new MortalWidget(&outerDeleted));
    nestedDepth = mApp.mUpdateDepth + 1;
    mApp.SafeDeleteWidget(nullptr);
    // A modal wait: the loop nested inside this handler.
    ++mApp.mUpdateDepth;
    mApp.SafeDeleteWidget(new MortalWidget(&innerDeleted));
    --mApp.mUpdateDepth;
    for (int i = 0; i < 6; ++i) {
      mClock.AdvanceMillis(10);
      mApp.UpdateAppStep(nullptr);
    }
    outerAliveAfterNested = !outerDeleted;
  };
  mClock.AdvanceMillis(10);
  mApp.Cycle();
  EXPECT_TRUE(innerDeleted);
  EXPECT_TRUE(outerAliveAfterNested);
  EXPECT_TRUE(outerDeleted);
}

TEST_F(FrameLoopTest, ShutdownFromAnotherThreadRunsOnceOnTheLoopsThread) {
  std::thread([&] { mApp.Shutdown(); }).join();
  EXPECT_FALSE(mApp.mQuit);
  EXPECT_TRUE(mApp.mShutdownRequested);
  mApp.mUpdateState = Kit::KitAppBase::UpdateState::kReadyToTick;
  mApp.Process(true);
  EXPECT_TRUE(mApp.mQuit);
  EXPECT_EQ(mApp.mShutdowns, 1);
  mApp.Shutdown();
  std::thread([&] { mApp.Shutdown(); }).join();
  mApp.Process(true);
  EXPECT_EQ(mApp.mShutdowns, 1);
  EXPECT_FALSE(mApp.UpdateApp()) << "nested loops are left once quitting";
}

}  // namespace
