// What screen-saver handling keeps between calls: the keeper that pauses a windowed game while the
// system's screen saver is due, and the message filter of screen-saver mode.
#pragma once

#include <functional>

#include "platform/win/Types.h"

namespace Kit {

// While set, no tick runs and nothing is drawn or presented: the system may start its screen saver.
extern bool gScreenSaverPaused;

struct ScreenSaverState {
  // How the system is asked (SystemParametersInfo and GetLastInputInfo); tests put their own here.
  std::function<BOOL(UINT action, PVOID param)> mSystemParameters;
  // Empty when the system cannot tell the last input time.
  std::function<BOOL(DWORD* lastInputTick)> mLastInputInfo;

  // The keeper.
  bool mSettingsRead = false;
  DWORD mLastSettingsCheck = 0;
  bool mSystemSaverActive = false;
  DWORD mIdleLimit = 0;
  DWORD mLastInputTime = 0;

  // The filter of screen-saver mode.
  DWORD mStartTime = 0;
  int mMoveCount = 0;
  POINT mLastMouse{};
  HMODULE mPasswordLibrary = nullptr;
  BOOL(WINAPI* mVerifyPassword)(HWND window) = nullptr;
  bool mClosing = false;
};

}  // namespace Kit
