#include "MainWindow.h"

#include "platform/win/Window.h"
#include "tests/support/TestWindow.h"

namespace ddraw_test {

HWND MainWindow() {
  static HWND window =
      testsupport::CreateTestWindow("DDrawPresentTest", "present", kWindowX, kWindowY, kClientWidth, kClientHeight);
  return window;
}

void Pump() {
  MSG message;
  while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
}

}  // namespace ddraw_test
