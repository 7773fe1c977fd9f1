// The queued window input, handled one record per main-loop pass so that every input the game sees
// lies on the update timeline: keys and the mouse go to the widget manager, window changes to the
// application.
#include "framework/app/KitAppBase.h"
#include "framework/app/MouseMessages.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/sound/SoundManager.h"
#include "framework/widget/WidgetManager.h"
#include "platform/shell/Shell.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/input/VirtualKeys.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Window.h"

namespace Kit {

namespace {

constexpr const char* kDebugToggleSound = "c:\\windows\\media\\Windows XP Menu Command.wav";

}  // namespace

bool KitAppBase::ProcessDeferredMessages() {
  if (mDeferredMessages.empty()) return false;
  ProcessDeferredMessages(true);
  return true;
}

bool KitAppBase::ProcessDeferredMessages(bool onlyOne) {
  while (!mDeferredMessages.empty()) {
    const MSG msg = mDeferredMessages.front();
    mDeferredMessages.pop_front();
    RecordDemoMessage(msg);
    // While a demo plays its input is the stream's; the user can only close the window.
    const bool playing = mDemoStream != nullptr && mDemoStream->mDemoPlaying;
    if (!playing) HandleQueuedMessage(msg);
    if (msg.message == WM_CLOSE && (msg.hwnd == mHWnd || msg.hwnd == mInvisHWnd)) {
      if (playing) mDemoStream->mDemoUserClosed = true;
      Shutdown();
    }
    if (onlyOne) break;
  }
  return !mDeferredMessages.empty();
}

void KitAppBase::HandleQueuedMessage(const MSG& msg) {
  const int key = static_cast<int>(msg.wParam);
  switch (msg.message) {
    case WM_CHAR:
      mLastUserInputTick = mLastTimerTime;
      mWidgetManager->KeyChar(static_cast<char>(msg.wParam));
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      mLastUserInputTick = mLastTimerTime;
      if (key == 'D' && mWidgetManager->mKeyDownTable[VK_CONTROL] && mWidgetManager->mKeyDownTable[VK_MENU]) {
        PlaySound(kDebugToggleSound, nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
        mDebugKeysEnabled = !mDebugKeysEnabled;
      }
      if (!mDebugKeysEnabled || !DebugKeyDown(key)) mWidgetManager->KeyDown(key);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      mLastUserInputTick = mLastTimerTime;
      mWidgetManager->KeyUp(key);
      break;
    case WM_MOVE:
      if (msg.hwnd == mHWnd && mIsWindowed) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        if (GetWindowPlacement(mHWnd, &placement) &&
            (placement.showCmd == SW_SHOWNORMAL || placement.showCmd == SW_SHOW)) {
          mPreferredX = placement.rcNormalPosition.left;
          mPreferredY = placement.rcNormalPosition.top;
        }
      }
      break;
    case WM_SIZE:
      if (msg.hwnd == mHWnd && !mQuit) {
        const bool minimized = msg.wParam == SIZE_MINIMIZED;
        if (minimized != mMinimized) {
          mMinimized = minimized;
          if (minimized) {
            if (mMuteOnLostFocus) Mute(true);
          } else {
            if (mMuteOnLostFocus) Unmute(true);
            mWidgetManager->MarkAllDirty();
          }
        }
        RehupFocus();
      }
      break;
    case WM_ACTIVATEAPP:
      if (msg.hwnd == mHWnd && !mCrashShutdown && !mQuit) {
        RehupFocus();
        if (mActive && !mWindowedInUse) mWidgetManager->MarkAllDirty();
        if (mURLOpenPending && !mActive) URLOpenSucceeded(mPendingURL);
      }
      break;
    case WM_TIMER:
      if (!mCrashShutdown && mRunning) HandleQueuedTimer();
      break;
    case WM_MOUSEWHEEL:
      mWidgetManager->MouseWheel(GET_WHEEL_DELTA_WPARAM(msg.wParam) / WHEEL_DELTA);
      break;
    default:
      if (FindMouseMessage(msg.message) != nullptr && !mCrashShutdown) HandleQueuedMouse(msg);
      break;
  }
}

void KitAppBase::HandleQueuedMouse(const MSG& msg) {
  const int x = GET_X_LPARAM(msg.lParam);
  const int y = GET_Y_LPARAM(msg.lParam);
  mLastUserInputTick = mLastTimerTime;
  mWidgetManager->MouseMoveEntry(x, y);
  // The entry itself was recorded ahead of the message (RecordDemoMessage).
  if (!mMouseIn) EnforceCursor();

  const MouseMessage* mouse = FindMouseMessage(msg.message);
  if (mouse == nullptr || mouse->mClickCode == 0) return;
  if (mouse->mPress) {
    SetCapture(mHWnd);
    mWidgetManager->MouseDown(x, y, mouse->mClickCode);
  } else {
    if ((mWidgetManager->mHeldButtons & ~mouse->mButton) == 0) ReleaseCapture();
    mWidgetManager->MouseUp(x, y, mouse->mClickCode);
  }
}

void KitAppBase::HandleQueuedTimer() {
  const DWORD now = GetTickCount();
  if (now - mLastTimerTime > 500) mLastBigDelayTime = now;
  mLastTimerTime = now;

  if (mURLOpenPending && now - mLastBigDelayTime > 5000) {
    if (now - mURLOpenStartTime >= 8001 && !mActive)
      URLOpenSucceeded(mPendingURL);
    else if (now - mURLOpenStartTime > 12000 && mActive)
      URLOpenFailed(mPendingURL);
  }

  POINT cursor{};
  GetCursorPos(&cursor);
  bool inside = false;
  if (mHWnd != nullptr && WindowFromPoint(cursor) == mHWnd) {
    POINT client = cursor;
    ScreenToClient(mHWnd, &client);
    RECT rect{};
    GetClientRect(mHWnd, &rect);
    inside = client.x >= 0 && client.y >= 0 && client.x < rect.right - rect.left && client.y < rect.bottom - rect.top;
  }
  if (inside == mMouseIn) return;
  // Recorded before the widgets hear of it, in the order a playback applies it.
  RecordDemoCommand(inside ? DEMO_MOUSE_ENTER : DEMO_MOUSE_LEAVE);
  if (!inside && mHWnd != nullptr) {
    POINT client = cursor;
    ScreenToClient(mHWnd, &client);
    mWidgetManager->MouseExit(client.x, client.y);
  }
  mMouseIn = inside;
  EnforceCursor();
}

void KitAppBase::RehupFocus() {
  const bool hasFocus = mActive && !mMinimized;
  if (hasFocus == mHasFocus) return;
  mHasFocus = hasFocus;
  if (hasFocus) {
    if (mMuteOnLostFocus) Unmute(true);
    mWidgetManager->GotFocus();
    GotFocus();
  } else {
    if (mMuteOnLostFocus) Mute(true);
    mWidgetManager->LostFocus();
    LostFocus();
    ReleaseCapture();
    mWidgetManager->ReleaseMouseButtons();
  }
}

}  // namespace Kit
