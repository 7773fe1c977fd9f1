// The window procedure of both window classes: a few messages are answered at once, every input,
// timer, move, size, close and activation message is queued for the main loop.
#include <cstdint>

#include "framework/app/KitAppBase.h"
#include "framework/app/MouseMessages.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/util/StringUtil.h"
#include "platform/win/input/VirtualKeys.h"
#include "platform/win/process/DebugOutput.h"
#include "platform/win/window/Window.h"

namespace Kit {

namespace {

bool IsQueuedMessage(UINT message) {
  switch (message) {
    case WM_MOVE:
    case WM_SIZE:
    case WM_CLOSE:
    case WM_ACTIVATEAPP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_TIMER:
    case WM_MOUSEWHEEL:
      return true;
    default:
      return FindMouseMessage(message) != nullptr;
  }
}

}  // namespace

LRESULT CALLBACK KitAppBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* app = reinterpret_cast<KitAppBase*>(GetWindowLongPtr(window, GWLP_USERDATA));
  if (app == nullptr) return DefWindowProc(window, message, wParam, lParam);
  LRESULT filtered = 0;
  if (app->mIsScreenSaver && app->VerifyScreenSaverPassword(window, message, wParam, lParam, &filtered))
    return filtered;
  return app->HandleWindowMessage(window, message, wParam, lParam);
}

LRESULT KitAppBase::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND: {
      const WPARAM command = wParam & 0xFFF0;
      if (command == SC_SCREENSAVE && (!mLoadedHandedOver || !mWindowedInUse)) return 0;
      if (command == SC_MONITORPOWER && (!mLoadedHandedOver || !mAllowMonitorPowersave)) return 0;
      return DefWindowProc(window, message, wParam, lParam);
    }
    case WM_NCLBUTTONDOWN: {
      // A caption drag blocks inside DefWindowProc; the time it took is not owed to the game.
      const LRESULT result = DefWindowProc(window, message, wParam, lParam);
      ResetTiming(false);
      return result;
    }
    case WM_SYSCHAR:
      if (IsAltKeyUsed(wParam)) return 0;
      return DefWindowProc(window, message, wParam, lParam);
    case WM_SETCURSOR:
      if (!mCrashShutdown) EnforceCursor();
      return TRUE;
    case WM_DESTROY:
      OutputDebugString(
          StrFormat("DESTROYED HWND: %d\r\n", static_cast<int>(reinterpret_cast<std::intptr_t>(window))).c_str());
      return DefWindowProc(window, message, wParam, lParam);
    case WM_PAINT:
      if (mInitialized && !mCrashShutdown) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        if (mRunning) Redraw(nullptr);
        EndPaint(window, &paint);
        return 0;
      }
      return DefWindowProc(window, message, wParam, lParam);
    case WM_ERASEBKGND:
      return 1;
    case WM_ENDSESSION:
      Shutdown();
      return DefWindowProc(window, message, wParam, lParam);
    default:
      break;
  }

  if (IsQueuedMessage(message)) {
    // While a demo plays, activation comes from the stream.
    if (message == WM_ACTIVATEAPP && window == mHWnd && (mDemoStream == nullptr || !mDemoStream->mDemoPlaying))
      mActive = wParam != 0;
    if (mPopupActive) return DefWindowProc(window, message, wParam, lParam);

    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
      if (wParam == VK_CONTROL) mCtrlDown = true;
      if (wParam == VK_MENU) mAltDown = true;
      if (DebugKeyDownEx(static_cast<int>(wParam), mCtrlDown, mAltDown)) return 0;
      // A played demo drops live keys from the queue, but the debug keys still hear them.
      if (message == WM_KEYDOWN && DemoPlaying()) DebugKeyDown(static_cast<int>(wParam));
    } else if (message == WM_CHAR && DemoPlaying()) {
      DemoPlaybackKey(static_cast<int>(wParam));
    } else if (message == WM_KEYUP || message == WM_SYSKEYUP) {
      if (wParam == VK_CONTROL) mCtrlDown = false;
      if (wParam == VK_MENU) mAltDown = false;
    }

    const bool appended = QueueMessage(window, message, wParam, lParam);

    if (message == WM_SYSKEYDOWN) {
      if (wParam == VK_RETURN && !mForceFullscreen && !mForceWindowed) {
        if (appended) mDeferredMessages.pop_back();
        SwitchScreenModeWindowed(!mIsWindowed);
        ClearKeyStates();
        return 0;
      }
      if (wParam != VK_F4) return 0;
      return DefWindowProc(window, message, wParam, lParam);
    }
    if (message == WM_CLOSE) {
      CloseRequested();
      return 0;
    }
    return DefWindowProc(window, message, wParam, lParam);
  }

  if (mNotifyMessage != 0 && message == mNotifyMessage) {
    if (mHWnd != nullptr) {
      if (IsIconic(mHWnd)) ShowWindow(mHWnd, SW_RESTORE);
      SetForegroundWindow(mHWnd);
    }
    return 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

// Consecutive timers merge into one record and nothing follows a close.
bool KitAppBase::QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!mDeferredMessages.empty()) {
    const UINT last = mDeferredMessages.back().message;
    if (last == WM_CLOSE) return false;
    if (message == WM_TIMER && last == WM_TIMER) return false;
  }
  MSG record{};
  record.hwnd = window;
  record.message = message;
  record.wParam = wParam;
  record.lParam = lParam;
  mDeferredMessages.push_back(record);
  return true;
}

}  // namespace Kit
