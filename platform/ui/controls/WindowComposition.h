// A painted window's client area drawn afresh: the class background, and over it each visible child
// window, a control drawing itself, any other window filled with its class background, and so on down.
// The controls hand it to the windows that the layer paints. Internal to the layer.
#pragma once

#include "platform/win/Types.h"
#include "platform/win/window/WindowPixels.h"

namespace plat {

// On the window's thread.
[[nodiscard]] WindowPixels ComposeWindow(HWND window);

}  // namespace plat
