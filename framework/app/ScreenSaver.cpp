// Screen savers: the keeper that lets the system's screen saver start over a windowed game, and the
// message filter of screen-saver mode that closes the program on user activity.
#include <algorithm>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/Errors.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/registry/Registry.h"
#include "platform/win/system/SystemInfo.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Messages.h"

namespace Kit {

bool gScreenSaverPaused = false;

namespace {

constexpr DWORD kSettingsCheckPeriod = 10000;
constexpr DWORD kStartGracePeriod = 1000;
constexpr int kSwallowedMoves = 3;

BOOL AskSystem(ScreenSaverState& state, UINT action, PVOID param) {
  if (state.mSystemParameters) return state.mSystemParameters(action, param);
  return SystemParametersInfo(action, 0, param, 0);
}

bool AskLastInput(ScreenSaverState& state, DWORD* lastInput) {
  if (state.mLastInputInfo) return state.mLastInputInfo(lastInput) != FALSE;
  using LastInputFunction = BOOL(WINAPI*)(LASTINPUTINFO*);
  static const auto function =
      reinterpret_cast<LastInputFunction>(GetProcAddress(GetModuleHandle("user32.dll"), "GetLastInputInfo"));
  if (function == nullptr) return false;
  LASTINPUTINFO info{sizeof(LASTINPUTINFO), 0};
  if (!function(&info)) return false;
  *lastInput = info.dwTime;
  return true;
}

// Whether the user asked for a password on the screen saver (Windows 95, 98 and ME only).
bool PasswordWanted() {
  OSVERSIONINFO version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionEx(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS) return false;
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  BYTE data[4] = {};
  DWORD type = 0;
  DWORD length = sizeof data;
  const bool read = RegQueryValueEx(key, "ScreenSaveUsePassword", nullptr, &type, data, &length) == ERROR_SUCCESS;
  RegCloseKey(key);
  return read && std::any_of(data, data + std::min<DWORD>(length, sizeof data), [](BYTE b) { return b != 0; });
}

bool IsActivationEnd(UINT message, WPARAM wParam) {
  return (message == WM_ACTIVATE || message == WM_ACTIVATEAPP || message == WM_NCACTIVATE) && wParam == 0;
}

}  // namespace

void KitAppBase::ScreenSaverKeeper(DWORD now) {
  if (!mWindowedInUse || mIsScreenSaver) return;
  ScreenSaverState& state = mScreenSaver;
  if (!state.mSettingsRead || now - state.mLastSettingsCheck > kSettingsCheckPeriod) {
    state.mSettingsRead = true;
    state.mLastSettingsCheck = now;
    UINT timeout = 0;
    BOOL active = FALSE;
    AskSystem(state, SPI_GETSCREENSAVETIMEOUT, &timeout);
    AskSystem(state, SPI_GETSCREENSAVEACTIVE, &active);
    state.mSystemSaverActive = active != FALSE;
    state.mIdleLimit = static_cast<DWORD>(std::max<long long>(static_cast<long long>(timeout) - 2, 1)) * 1000;
    if (!state.mSystemSaverActive) gScreenSaverPaused = false;
  }
  DWORD lastInput = 0;
  if (AskLastInput(state, &lastInput)) {
    // An input time ahead of now (the tick count is read at two moments) counts as now.
    state.mLastInputTime = static_cast<int>(lastInput - now) > 0 ? now : lastInput;
  }
  if (!state.mSystemSaverActive) return;

  const DWORD idle = now - state.mLastInputTime;
  if (!gScreenSaverPaused) {
    if (idle > state.mIdleLimit) gScreenSaverPaused = true;
    return;
  }
  BOOL running = FALSE;
  if (AskSystem(state, SPI_GETSCREENSAVERRUNNING, &running) && running) return;
  if (idle < state.mIdleLimit) {
    gScreenSaverPaused = false;
    if (mWidgetManager) mWidgetManager->MarkAllDirty();
  }
}

bool KitAppBase::VerifyScreenSaverPassword(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/,
                                           LRESULT* result) {
  ScreenSaverState& state = mScreenSaver;
  if (!mIsScreenSaver || state.mClosing) return false;
  bool close = false;
  bool gracePeriodApplies = false;
  switch (message) {
    case WM_CREATE:
      state.mStartTime = GetTickCount();
      GetCursorPos(&state.mLastMouse);
      if (PasswordWanted()) {
        state.mPasswordLibrary = LoadLibrary("PASSWORD.CPL");
        if (state.mPasswordLibrary != nullptr) {
          state.mVerifyPassword =
              reinterpret_cast<BOOL(WINAPI*)(HWND)>(GetProcAddress(state.mPasswordLibrary, "VerifyScreenSavePwd"));
          BOOL previous = FALSE;
          SystemParametersInfo(SPI_SCREENSAVERRUNNING, TRUE, &previous, 0);
        }
      }
      return false;
    case WM_SYSCOMMAND: {
      const WPARAM command = wParam & 0xFFF0;
      if (command != SC_NEXTWINDOW && command != SC_PREVWINDOW && command != SC_CLOSE && command != SC_SCREENSAVE)
        return false;
      *result = 0;
      return true;
    }
    case WM_MOUSEMOVE: {
      POINT position{};
      GetCursorPos(&position);
      if (position.x != state.mLastMouse.x || position.y != state.mLastMouse.y) {
        state.mLastMouse = position;
        ++state.mMoveCount;
      }
      if (state.mMoveCount <= kSwallowedMoves) {
        *result = 0;
        return true;
      }
      close = true;
      gracePeriodApplies = true;
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      close = true;
      break;
    case WM_CLOSE:
      close = true;
      gracePeriodApplies = true;
      break;
    default:
      if (!IsActivationEnd(message, wParam)) return false;
      close = true;
      gracePeriodApplies = true;
      break;
  }
  if (!close || window != mHWnd) return false;
  if (gracePeriodApplies && GetTickCount() - state.mStartTime < kStartGracePeriod) return false;

  if (state.mVerifyPassword != nullptr && mInitialized) {
    // The password box is the system's: it must show over a full-screen display, and the time spent
    // in it is no lag for the frame loop to catch up on.
    if (mDDInterface != nullptr && mDDInterface->mDirectDraw != nullptr) mDDInterface->mDirectDraw->FlipToGDISurface();
    const BOOL accepted = state.mVerifyPassword(window);
    ResetTiming(false);
    if (!accepted) {
      // Refused: the screen saver goes on, and the user's next moves count afresh.
      state.mMoveCount = 0;
      GetCursorPos(&state.mLastMouse);
      *result = 0;
      return true;
    }
    BOOL previous = FALSE;
    SystemParametersInfo(SPI_SCREENSAVERRUNNING, FALSE, &previous, 0);
    if (state.mPasswordLibrary != nullptr) FreeLibrary(state.mPasswordLibrary);
    state.mPasswordLibrary = nullptr;
    state.mVerifyPassword = nullptr;
  }
  state.mClosing = true;
  PostMessage(window, WM_CLOSE, 0, 0);
  *result = 0;
  return true;
}

}  // namespace Kit
