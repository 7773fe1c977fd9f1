#include <gtest/gtest.h>

#include "framework/app/KitAppBase.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/system/SystemInfo.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Messages.h"
#include "platform/win/window/Window.h"

namespace {

// What the system says about its screen saver, as the test chooses.
struct SystemSaver {
  UINT timeoutSeconds = 60;
  BOOL active = TRUE;
  BOOL running = FALSE;
  DWORD lastInput = 0;

  void InstallIn(Kit::KitAppBase& app) {
    app.mScreenSaver.mSystemParameters = [this](UINT action, PVOID param) -> BOOL {
      if (action == SPI_GETSCREENSAVETIMEOUT)
        *static_cast<UINT*>(param) = timeoutSeconds;
      else if (action == SPI_GETSCREENSAVEACTIVE)
        *static_cast<BOOL*>(param) = active;
      else if (action == SPI_GETSCREENSAVERRUNNING)
        *static_cast<BOOL*>(param) = running;
      else
        return FALSE;
      return TRUE;
    };
    app.mScreenSaver.mLastInputInfo = [this](DWORD* time) {
      *time = lastInput;
      return TRUE;
    };
  }
};

class ScreenSaverKeeper : public testing::Test {
 protected:
  ScreenSaverKeeper() { mSystem.InstallIn(mApp); }
  ~ScreenSaverKeeper() override { Kit::gScreenSaverPaused = false; }
  Kit::KitAppBase mApp;
  SystemSaver mSystem;
};

TEST_F(ScreenSaverKeeper, AWindowedGamePausesTwoSecondsBeforeTheSystemSaverIsDue) {
  mSystem.lastInput = 1000;
  mApp.ScreenSaverKeeper(1000);
  mApp.ScreenSaverKeeper(1000 + 58000);
  EXPECT_FALSE(Kit::gScreenSaverPaused);
  mApp.ScreenSaverKeeper(1000 + 58001);
  EXPECT_TRUE(Kit::gScreenSaverPaused);

  mSystem.running = TRUE;  // the system's saver shows: the pause holds whatever the input says
  mSystem.lastInput = 59500;
  mApp.ScreenSaverKeeper(59600);
  EXPECT_TRUE(Kit::gScreenSaverPaused);
  mSystem.running = FALSE;
  mApp.ScreenSaverKeeper(59700);
  EXPECT_FALSE(Kit::gScreenSaverPaused);
}

TEST_F(ScreenSaverKeeper, NothingPausesWhileTheSystemSaverIsOffOrTheGameIsNotWindowed) {
  mSystem.active = FALSE;
  mApp.ScreenSaverKeeper(100000);
  EXPECT_FALSE(Kit::gScreenSaverPaused);

  Kit::KitAppBase fullScreen;
  fullScreen.mWindowedInUse = false;
  SystemSaver on;
  on.InstallIn(fullScreen);
  fullScreen.ScreenSaverKeeper(500000);
  EXPECT_FALSE(Kit::gScreenSaverPaused);

  Kit::KitAppBase saver;
  saver.mIsScreenSaver = true;
  on.InstallIn(saver);
  saver.ScreenSaverKeeper(500000);
  EXPECT_FALSE(Kit::gScreenSaverPaused);
}

TEST_F(ScreenSaverKeeper, TheSettingsAreReadAgainEveryTenSeconds) {
  mApp.ScreenSaverKeeper(60000);
  EXPECT_TRUE(Kit::gScreenSaverPaused);
  mSystem.active = FALSE;  // switched off by the user: seen on the next check only
  mSystem.timeoutSeconds = 1;
  mApp.ScreenSaverKeeper(70000);
  EXPECT_TRUE(Kit::gScreenSaverPaused);
  mApp.ScreenSaverKeeper(70001);
  EXPECT_FALSE(Kit::gScreenSaverPaused);
  EXPECT_EQ(mApp.mScreenSaver.mIdleLimit, 1000u);  // a short timeout still leaves a second
}

TEST_F(ScreenSaverKeeper, AnInputTimeAheadOfNowCountsAsNow) {
  mSystem.lastInput = 5000;
  mApp.ScreenSaverKeeper(4000);
  EXPECT_EQ(mApp.mScreenSaver.mLastInputTime, 4000u);
}

TEST(ScreenSaverKeeperOnThisSystem, TheSystemSaverIsReportedOffSoNothingPauses) {
  Kit::KitAppBase app;
  app.ScreenSaverKeeper(10'000'000);
  EXPECT_FALSE(app.mScreenSaver.mSystemSaverActive);
  EXPECT_FALSE(Kit::gScreenSaverPaused);
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(window, message, wParam, lParam);
}

// Screen-saver mode with a real main window, on a clock the test moves.
class ScreenSaverFilter : public testing::Test {
 protected:
  ScreenSaverFilter() : mClockGuard(mClock) {
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.lpszClassName = "ScreenSaverFilterTest";
    RegisterClass(&windowClass);
    mApp.mHWnd =
        CreateWindowEx(0, "ScreenSaverFilterTest", "saver", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
    mApp.mIsScreenSaver = true;
    SetCursorPos(100, 100);
    EXPECT_FALSE(Send(WM_CREATE));
  }
  ~ScreenSaverFilter() override { DestroyWindow(mApp.mHWnd); }

  bool Send(UINT message, WPARAM wParam = 0) {
    LRESULT result = -1;
    return mApp.VerifyScreenSaverPassword(mApp.mHWnd, message, wParam, 0, &result);
  }
  bool MoveTo(int x, int y) {
    SetCursorPos(x, y);
    return Send(WM_MOUSEMOVE);
  }
  bool ClosePosted() {
    MSG msg{};
    while (PeekMessage(&msg, mApp.mHWnd, 0, 0, PM_REMOVE))
      if (msg.message == WM_CLOSE) return true;
    return false;
  }

  plat::FakeClock mClock;
  plat::ScopedClock mClockGuard;
  Kit::KitAppBase mApp;
};

TEST_F(ScreenSaverFilter, TheFirstThreeMovesAreSwallowedAndTheFourthCloses) {
  mClock.AdvanceMillis(2000);
  EXPECT_TRUE(MoveTo(101, 100));
  EXPECT_TRUE(MoveTo(101, 100));  // no move at all: not counted
  EXPECT_TRUE(MoveTo(102, 100));
  EXPECT_TRUE(MoveTo(103, 100));
  EXPECT_FALSE(ClosePosted());
  EXPECT_TRUE(MoveTo(104, 100));
  EXPECT_TRUE(mApp.mScreenSaver.mClosing);
  EXPECT_TRUE(ClosePosted());
  EXPECT_FALSE(Send(WM_KEYDOWN));  // closing: the window handles everything itself now
}

TEST_F(ScreenSaverFilter, AKeyOrAClickClosesAtOnce) {
  EXPECT_TRUE(Send(WM_KEYDOWN, 'A'));
  EXPECT_TRUE(ClosePosted());
}

TEST_F(ScreenSaverFilter, MovesAndDeactivationInTheFirstSecondAreIgnored) {
  for (int x = 101; x < 110; ++x) MoveTo(x, 100);
  EXPECT_FALSE(Send(WM_ACTIVATEAPP, 0));
  EXPECT_FALSE(Send(WM_ACTIVATEAPP, 1));  // activation is no trigger at all
  EXPECT_FALSE(ClosePosted());
  mClock.AdvanceMillis(1000);
  EXPECT_TRUE(Send(WM_ACTIVATEAPP, 0));
  EXPECT_TRUE(ClosePosted());
}

TEST_F(ScreenSaverFilter, SwitchingAwayIsSwallowedAndOtherMessagesPassThrough) {
  EXPECT_TRUE(Send(WM_SYSCOMMAND, SC_NEXTWINDOW));
  EXPECT_TRUE(Send(WM_SYSCOMMAND, SC_SCREENSAVE | 0x2));
  EXPECT_FALSE(Send(WM_SYSCOMMAND, SC_MINIMIZE));
  EXPECT_FALSE(Send(WM_TIMER));
  EXPECT_FALSE(ClosePosted());
}

int gPasswordAsks = 0;
BOOL gPasswordAnswer = FALSE;
BOOL WINAPI FakeVerifyPassword(HWND) {
  ++gPasswordAsks;
  return gPasswordAnswer;
}

TEST_F(ScreenSaverFilter, ARefusedPasswordKeepsTheSaverAndAnAcceptedOneCloses) {
  mApp.mInitialized = true;
  mApp.mScreenSaver.mVerifyPassword = FakeVerifyPassword;
  gPasswordAsks = 0;
  gPasswordAnswer = FALSE;
  EXPECT_TRUE(Send(WM_KEYDOWN, 'A'));
  EXPECT_EQ(gPasswordAsks, 1);
  EXPECT_FALSE(mApp.mScreenSaver.mClosing);
  EXPECT_FALSE(ClosePosted());

  gPasswordAnswer = TRUE;
  EXPECT_TRUE(Send(WM_LBUTTONDOWN));
  EXPECT_EQ(gPasswordAsks, 2);
  EXPECT_TRUE(mApp.mScreenSaver.mClosing);
  EXPECT_EQ(mApp.mScreenSaver.mVerifyPassword, nullptr);
  EXPECT_TRUE(ClosePosted());
}

TEST_F(ScreenSaverFilter, OtherWindowsAndOrdinaryModeAreLeftAlone) {
  LRESULT result = 0;
  EXPECT_FALSE(mApp.VerifyScreenSaverPassword(nullptr, WM_KEYDOWN, 0, 0, &result));
  mApp.mIsScreenSaver = false;
  EXPECT_FALSE(Send(WM_KEYDOWN));
  EXPECT_FALSE(ClosePosted());
}

}  // namespace
