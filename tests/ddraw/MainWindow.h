// The test program's main window (the first window of a process is the one SDL shows), shared by
// every test that presents, and the message pump that runs the work queued for the main thread.
#pragma once

#include "platform/win/Types.h"

namespace ddraw_test {

constexpr int kWindowX = 40;
constexpr int kWindowY = 30;
constexpr int kClientWidth = 320;
constexpr int kClientHeight = 240;

HWND MainWindow();
void Pump();

}  // namespace ddraw_test
