// A visible pop-up window of its own window class, for tests that draw or present into one.
#pragma once

#include "platform/win/Types.h"

namespace testsupport {

// Registers `className` and makes the window at (x, y) with a width x height client area; null when it
// cannot be made. Callers keep one such window for the whole test program.
HWND CreateTestWindow(const char* className, const char* title, int x, int y, int width, int height);

}  // namespace testsupport
