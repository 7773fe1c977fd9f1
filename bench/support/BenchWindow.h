// The window the display benchmarks present into: a visible pop-up of its own class. SDL gets its dummy
// video driver unless the run names another, so the figures measure our code, not a desktop.
#pragma once

#include <cstdlib>

#include "platform/win/Window.h"

namespace benchsupport {

inline HWND CreateBenchWindow(const char* className, int width, int height) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  WNDCLASS windowClass{};
  windowClass.lpfnWndProc = DefWindowProc;
  windowClass.lpszClassName = className;
  RegisterClass(&windowClass);
  return CreateWindowEx(0, className, "bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr, nullptr,
                        nullptr);
}

}  // namespace benchsupport
