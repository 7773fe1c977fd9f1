// What the system (through SDL) does to windows, applied with the same messages the window calls
// send. Internal to the layer: used by the SDL event translation.
#pragma once

#include "platform/win/Types.h"

namespace plat {

// The application gains or loses the foreground; activating names the window to activate.
void SystemActivate(HWND window);
void SystemDeactivate();
// A button pressed on a top-level window that is not the active one activates it first, as on
// Windows; false when the window cannot be activated (hidden, disabled, unknown) or is active already.
bool SystemActivateByClick(HWND window);
void SystemMinimise(HWND window);
void SystemRestore(HWND window);
void SystemMoveClient(HWND window, int clientX, int clientY);
void SystemInvalidate(HWND window);
// The pointer entered or left the SDL window.
void SetPointerOverWindow(HWND window, bool over);

}  // namespace plat
