// The loading thread and the cursor thread of a running application.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/win/Cursor.h"
#include "platform/win/Process.h"
#include "platform/win/Threads.h"
#include "platform/win/Time.h"
#include "platform/win/Window.h"
#include "tests/support/HeadlessApp.h"

namespace {

// Loads in steps the test releases one at a time, so that progress can be watched midway.
class SteppedLoadingGame : public testsupport::HeadlessApp {
 public:
  SteppedLoadingGame() : HeadlessApp("WorkerThreadGame", 200, 150) {}
  void LoadingThreadProc() override {
    ++mRuns;
    mNumLoadingThreadTasks = 4;
    for (int i = 0; i < 4; ++i) {
      while (mReleased.load() <= i) std::this_thread::yield();
      ++mCompletedLoadingThreadTasks;
      mStepsDone = i + 1;
    }
  }
  std::atomic<int> mRuns{0};
  std::atomic<int> mReleased{0};
  std::atomic<int> mStepsDone{0};
};

class WorkerThreads : public testsupport::AppFixture {
 protected:
  template <typename Condition>
  static bool WaitFor(Condition condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }
};

TEST_F(WorkerThreads, TheLoadingThreadRunsOnceAndReportsItsProgress) {
  SteppedLoadingGame game;
  EXPECT_DOUBLE_EQ(game.GetLoadingThreadProgress(), 0.0);  // not started
  game.StartLoadingThread();
  game.StartLoadingThread();
  EXPECT_DOUBLE_EQ(game.GetLoadingThreadProgress(), 0.0);
  game.mReleased = 1;
  ASSERT_TRUE(WaitFor([&] { return game.mStepsDone.load() == 1; }));
  EXPECT_DOUBLE_EQ(game.GetLoadingThreadProgress(), 0.25);
  game.mReleased = 3;
  ASSERT_TRUE(WaitFor([&] { return game.mStepsDone.load() == 3; }));
  EXPECT_DOUBLE_EQ(game.GetLoadingThreadProgress(), 0.75);
  game.mReleased = 4;
  game.WaitForLoadingThread();
  EXPECT_TRUE(game.mLoadingThreadCompleted);
  EXPECT_DOUBLE_EQ(game.GetLoadingThreadProgress(), 1.0);
  EXPECT_EQ(game.mRuns.load(), 1);
}

TEST_F(WorkerThreads, TheCursorThreadMovesTheSoftwareCursorWithThePointer) {
  SteppedLoadingGame game;
  game.Init();
  ASSERT_NE(game.mDDInterface, nullptr);
  game.mDrawCount = 1;  // a frame has been drawn
  game.mNextDrawTick = timeGetTime() - 1000;
  game.StartCursorThread();
  EXPECT_TRUE(game.mCursorThreadRunning);

  POINT origin{0, 0};
  ClientToScreen(game.mHWnd, &origin);
  SetCursorPos(origin.x + 30, origin.y + 40);
  EXPECT_TRUE(WaitFor([&] { return game.mDDInterface->mCursorX == 30 && game.mDDInterface->mCursorY == 40; }));
  SetCursorPos(origin.x + 31, origin.y + 12);
  EXPECT_TRUE(WaitFor([&] { return game.mDDInterface->mCursorX == 31 && game.mDDInterface->mCursorY == 12; }));

  game.Shutdown();  // waits for the cursor thread
  EXPECT_FALSE(game.mCursorThreadRunning);
}

}  // namespace
