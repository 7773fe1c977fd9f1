// The window procedure's queue and the handling of one record per loop pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/input/VirtualKeys.h"
#include "platform/win/threads/Time.h"
#include "tests/app/AppTestSupport.h"
#include "tests/widget/WidgetTestSupport.h"

namespace {

// Stand-ins for the two windows: the procedure only compares handles.
HWND const kMain = reinterpret_cast<HWND>(0x1001);
HWND const kInvisible = reinterpret_cast<HWND>(0x1002);

LPARAM At(int x, int y) { return static_cast<LPARAM>((static_cast<unsigned>(y) << 16) | (x & 0xFFFF)); }

class QueueApp : public apptest::LoopApp {
 public:
  QueueApp() {
    mHWnd = kMain;
    mInvisHWnd = kInvisible;
    mTarget.Resize(100, 100, 200, 200);
    mWidgetManager->AddWidget(&mTarget);
  }
  ~QueueApp() override {
    mWidgetManager->RemoveWidget(&mTarget);
    mHWnd = nullptr;
    mInvisHWnd = nullptr;
  }
  void SwitchScreenModeWindowed(bool windowed) override { mSwitches.push_back(windowed); }
  void CloseRequested() override { ++mCloseRequests; }
  bool DebugKeyDown(int key) override {
    mDebugKeys.push_back(key);
    return true;
  }
  void GotFocus() override { mFocusLog.push_back("got"); }
  void LostFocus() override { mFocusLog.push_back("lost"); }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, HWND window = kMain) {
    return HandleWindowMessage(window, message, wParam, lParam);
  }
  std::vector<UINT> Queued() const {
    std::vector<UINT> messages;
    for (const MSG& msg : mDeferredMessages) messages.push_back(msg.message);
    return messages;
  }

  std::vector<std::string> mLog;
  KitTest::RecordingWidget mTarget{"target", &mLog};
  std::vector<bool> mSwitches;
  std::vector<int> mDebugKeys;
  std::vector<std::string> mFocusLog;
  int mCloseRequests = 0;
};

class WindowProcTest : public testing::Test {
 protected:
  WindowProcTest() : mScoped(mClock) {}
  plat::FakeClock mClock;
  plat::ScopedClock mScoped;
  QueueApp mApp;
};

TEST_F(WindowProcTest, ConsecutiveTimersMergeButATimerAfterAKeyIsQueued) {
  mApp.Send(WM_TIMER, Kit::kAppTimerId);
  mApp.Send(WM_TIMER, Kit::kAppTimerId);
  EXPECT_EQ(mApp.Queued(), (std::vector<UINT>{WM_TIMER}));
  mApp.Send(WM_KEYDOWN, 'A');
  mApp.Send(WM_TIMER, Kit::kAppTimerId);
  EXPECT_EQ(mApp.Queued(), (std::vector<UINT>{WM_TIMER, WM_KEYDOWN, WM_TIMER}));
}

TEST_F(WindowProcTest, NothingFollowsAQueuedCloseAndReachingItShutsDown) {
  mApp.Send(WM_KEYDOWN, 'A');
  EXPECT_EQ(mApp.Send(WM_CLOSE), 0);
  EXPECT_EQ(mApp.mCloseRequests, 1);
  mApp.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(150, 150));
  mApp.Send(WM_TIMER, Kit::kAppTimerId);
  EXPECT_EQ(mApp.Queued(), (std::vector<UINT>{WM_KEYDOWN, WM_CLOSE}));
  EXPECT_FALSE(mApp.mQuit) << "the close waits for its turn";
  EXPECT_TRUE(mApp.ProcessDeferredMessages(true));
  EXPECT_FALSE(mApp.mQuit);
  EXPECT_FALSE(mApp.ProcessDeferredMessages(true));
  EXPECT_TRUE(mApp.mQuit);
  EXPECT_EQ(mApp.mShutdowns, 1);
}

TEST_F(WindowProcTest, CloseOfTheInvisibleWindowAlsoShutsDown) {
  mApp.Send(WM_CLOSE, 0, 0, kInvisible);
  mApp.ProcessDeferredMessages(false);
  EXPECT_TRUE(mApp.mQuit);
}

TEST_F(WindowProcTest, AltEnterSwitchesModesAndNeverReachesTheWidgets) {
  mApp.mWidgetManager->SetFocus(&mApp.mTarget);
  mApp.mLog.clear();
  mApp.Send(WM_SYSKEYDOWN, VK_MENU);
  EXPECT_EQ(mApp.Send(WM_SYSKEYDOWN, VK_RETURN), 0);
  EXPECT_EQ(mApp.mSwitches, (std::vector<bool>{false}));
  EXPECT_EQ(mApp.Queued(), (std::vector<UINT>{WM_SYSKEYDOWN}));
  EXPECT_FALSE(mApp.mAltDown) << "key states are forgotten after the switch";
  while (mApp.ProcessDeferredMessages(true)) {
  }
  for (const std::string& line : mApp.mLog) EXPECT_EQ(line.find("keydown 13"), std::string::npos) << line;
}

TEST_F(WindowProcTest, AltEnterIsAnOrdinaryKeyAfterTheWindowMakerSwitchedOnItsOwn) {
  mApp.mForceFullscreen = true;
  mApp.Send(WM_SYSKEYDOWN, VK_RETURN);
  EXPECT_TRUE(mApp.mSwitches.empty());
  EXPECT_EQ(mApp.Queued(), (std::vector<UINT>{WM_SYSKEYDOWN}));
}

TEST_F(WindowProcTest, WhileAPopupIsShownNothingIsQueued) {
  mApp.mPopupActive = true;
  mApp.Send(WM_KEYDOWN, 'A');
  mApp.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(150, 150));
  EXPECT_TRUE(mApp.Queued().empty());
}

TEST_F(WindowProcTest, OneRecordPerPassRoutesMouseAndKeysToTheWidgets) {
  mApp.mWidgetManager->SetFocus(&mApp.mTarget);
  mApp.Send(WM_MOUSEMOVE, 0, At(150, 160));
  mApp.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(150, 160));
  mApp.Send(WM_LBUTTONUP, 0, At(150, 160));
  mApp.Send(WM_RBUTTONDBLCLK, MK_RBUTTON, At(151, 160));
  mApp.Send(WM_CHAR, 'x');
  mApp.Send(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<WORD>(-240)) << 16, At(150, 160));
  mApp.mLog.clear();
  int passes = 0;
  while (!mApp.mDeferredMessages.empty()) {
    const std::size_t before = mApp.mDeferredMessages.size();
    mApp.UpdateAppStep(nullptr);
    EXPECT_EQ(mApp.mDeferredMessages.size(), before - 1) << "one record per pass";
    ++passes;
  }
  EXPECT_EQ(passes, 6);
  // In arrival order, in the widget's own coordinates.
  const std::vector<std::string> expected = {"target down 50,60 b0 c1", "target up 50,60 b0 c1",
                                             "target move 51,60",       "c2",
                                             "target char x",           "target wheel -2"};
  auto from = mApp.mLog.begin();
  for (const std::string& event : expected) {
    from = std::find_if(from, mApp.mLog.end(),
                        [&](const std::string& line) { return line.find(event) != std::string::npos; });
    ASSERT_NE(from, mApp.mLog.end()) << "missing or out of order: " << event;
  }
}

TEST_F(WindowProcTest, CtrlAltDTogglesTheDebugKeysEvenWhileAWidgetHasTheFocus) {
  mApp.mWidgetManager->SetFocus(&mApp.mTarget);
  mApp.Send(WM_KEYDOWN, VK_CONTROL);
  mApp.Send(WM_SYSKEYDOWN, VK_MENU);
  mApp.Send(WM_SYSKEYDOWN, 'D');
  mApp.ProcessDeferredMessages(false);
  EXPECT_TRUE(mApp.mDebugKeysEnabled);
  EXPECT_EQ(mApp.mDebugKeys, (std::vector<int>{'D'})) << "once on, keys go to the debug handler first";
  mApp.Send(WM_SYSKEYDOWN, 'D');
  mApp.ProcessDeferredMessages(false);
  EXPECT_FALSE(mApp.mDebugKeysEnabled);
}

TEST_F(WindowProcTest, MinimisingMutesAndRestoringUnmutesInBalance) {
  mApp.Send(WM_SIZE, SIZE_MINIMIZED);
  mApp.ProcessDeferredMessages(false);
  EXPECT_TRUE(mApp.mMinimized);
  EXPECT_TRUE(mApp.IsMuted());
  EXPECT_EQ(mApp.mFocusLog, (std::vector<std::string>{"lost"}));
  mApp.Send(WM_SIZE, SIZE_RESTORED);
  mApp.ProcessDeferredMessages(false);
  EXPECT_FALSE(mApp.IsMuted());
  EXPECT_EQ(mApp.mMuteCount, 0);
  EXPECT_EQ(mApp.mAutoMuteCount, 0);
  EXPECT_EQ(mApp.mFocusLog, (std::vector<std::string>{"lost", "got"}));
}

TEST_F(WindowProcTest, DeactivationTakesEffectWhenItsRecordIsReached) {
  mApp.Send(WM_ACTIVATEAPP, 0);
  EXPECT_FALSE(mApp.mActive);
  EXPECT_TRUE(mApp.mHasFocus) << "the focus changes on the update timeline";
  mApp.ProcessDeferredMessages(false);
  EXPECT_FALSE(mApp.mHasFocus);
  EXPECT_TRUE(mApp.IsMuted());
  mApp.Send(WM_ACTIVATEAPP, 1);
  mApp.ProcessDeferredMessages(false);
  EXPECT_TRUE(mApp.mHasFocus);
  EXPECT_FALSE(mApp.IsMuted());
}

TEST_F(WindowProcTest, ScreenSaverAndMonitorPowerAreRefusedUntilTheHandOver) {
  mApp.mLoadedHandedOver = false;
  EXPECT_EQ(mApp.Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
  EXPECT_EQ(mApp.Send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
  EXPECT_TRUE(mApp.Queued().empty());
}

TEST_F(WindowProcTest, TheAppsAltKeyIsSwallowedAndErasingIsRefused) {
  EXPECT_EQ(mApp.Send(WM_SYSCHAR, 'r'), 0);
  EXPECT_EQ(mApp.Send(WM_ERASEBKGND), 1);
}

TEST_F(WindowProcTest, AMessageForAWindowWithoutTheApplicationGoesToTheDefault) {
  EXPECT_EQ(Kit::KitAppBase::WindowProc(nullptr, WM_KEYDOWN, 'A', 0), 0);
  EXPECT_TRUE(mApp.Queued().empty());
}

TEST_F(WindowProcTest, DebugKeyDownExCanTakeAKeyBeforeItIsQueued) {
  struct TakingApp : QueueApp {
    bool DebugKeyDownEx(int key, bool ctrl, bool alt) override { return key == 'Q' && ctrl && !alt; }
  };
  plat::FakeClock clock;
  TakingApp app;
  app.Send(WM_KEYDOWN, VK_CONTROL);
  app.Send(WM_KEYDOWN, 'Q');
  EXPECT_EQ(app.Queued(), (std::vector<UINT>{WM_KEYDOWN}));
  app.Send(WM_KEYUP, VK_CONTROL);
  app.Send(WM_KEYDOWN, 'Q');
  EXPECT_EQ(app.Queued(), (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN}));
}

}  // namespace
