// Test seam: input as a user makes it. Each call pushes the SDL event a real device would cause into
// SDL's queue (the dummy video driver accepts them), so the layer's translation into window messages
// runs exactly as for real input when the main thread next pumps messages. Main thread only; needs
// the main window (the SDL window) to exist.
#pragma once

#include <string_view>

#include "platform/win/Types.h"

namespace plat::inject {

// The events that follow go to this top-level window's SDL window (one the layer paints, such as a
// dialog) instead of the main window's; null goes back to the main window.
void SetTargetWindow(HWND window);

// Keys by SDL's key names: "A", "Left Shift", "Left Ctrl", "Left Alt", "Return", "F10", "Backspace".
// The injector keeps the modifier state of the keys it pressed, as SDL would.
bool Key(std::string_view keyName, bool down, bool repeat = false);
// Presses and releases a key.
bool Tap(std::string_view keyName);
// The text SDL reports for typing (UTF-8), as a text-input event.
bool Text(std::string_view utf8);
// Mouse positions are in the main window's client coordinates and may lie outside it.
bool MouseMove(int x, int y);
// Buttons: 1 left, 2 middle, 3 right; clicks is SDL's click count (2 for the second click of a
// double click).
bool MouseButton(int button, bool down, int x, int y, int clicks = 1);
bool Wheel(int notches);

enum class WindowChange { FocusGained, FocusLost, Minimised, Restored, Moved, Exposed, Close, Enter, Leave };
bool Window(WindowChange change, int x = 0, int y = 0);
// SDL's quit request (a termination signal).
bool Quit();

}  // namespace plat::inject
