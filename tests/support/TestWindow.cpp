#include "tests/support/TestWindow.h"

#include "platform/win/window/Window.h"

namespace testsupport {

HWND CreateTestWindow(const char* className, const char* title, int x, int y, int width, int height) {
  WNDCLASS windowClass{};
  windowClass.lpfnWndProc = DefWindowProc;
  windowClass.lpszClassName = className;
  RegisterClass(&windowClass);
  return CreateWindowEx(0, className, title, WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr, nullptr,
                        nullptr);
}

}  // namespace testsupport
