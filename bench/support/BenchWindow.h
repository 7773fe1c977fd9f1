// The window the display benchmarks present into: a visible pop-up of its own class. SDL gets its dummy
// video driver unless the run names another, so the figures measure our code, not a desktop.
#pragma once

#include <cstdlib>

#include "framework/graphics/ImageHost.h"
#include "platform/win/window/Messages.h"
#include "platform/win/window/Window.h"

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

// Handles what the window's thread has queued (a present's work among it).
inline void PumpMessages() {
  MSG message;
  while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
}

// What a display of the window's size needs of the application (and full screen, its depth).
class WindowSizedHost : public Kit::ImageHost {
 public:
  WindowSizedHost(int width, int height, int fullScreenBits = 16)
      : mWidth(width), mHeight(height), mFullScreenBits(fullScreenBits) {}
  int GetDisplayWidth() override { return mWidth; }
  int GetDisplayHeight() override { return mHeight; }
  int GetFullScreenBits() override { return mFullScreenBits; }

 private:
  int mWidth;
  int mHeight;
  int mFullScreenBits;
};

}  // namespace benchsupport
