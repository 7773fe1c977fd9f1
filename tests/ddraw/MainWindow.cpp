#include "MainWindow.h"

#include "platform/win/Window.h"

namespace ddraw_test {

HWND MainWindow() {
  static HWND window = [] {
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = DefWindowProc;
    windowClass.lpszClassName = "DDrawPresentTest";
    RegisterClass(&windowClass);
    return CreateWindowEx(0, "DDrawPresentTest", "present", WS_POPUP | WS_VISIBLE, kWindowX, kWindowY, kClientWidth,
                          kClientHeight, nullptr, nullptr, nullptr, nullptr);
  }();
  return window;
}

void Pump() {
  MSG message;
  while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
}

}  // namespace ddraw_test
