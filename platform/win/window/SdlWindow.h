// The seam between the layer's window records and SDL, for the parts of the layer that draw into
// or read from the main window (DirectDraw presentation, cursors) and for thread hand-over.
#pragma once

#include <functional>

#include "platform/win/Types.h"

struct SDL_Window;

namespace plat {

// The SDL window behind a window handle; null for windows that are only records of the layer.
[[nodiscard]] SDL_Window* SdlWindowOf(HWND window);
// The window whose SDL window this is, or null.
[[nodiscard]] HWND WindowOfSdl(SDL_Window* sdlWindow);
// Whether the calling thread is the process's initial thread, which owns SDL's video and events.
[[nodiscard]] bool IsMainThread();
// Queues work for the main thread; the main thread's message pump (PeekMessage, GetMessage) runs
// it in order. Called on the main thread itself it is still queued, never run inline.
void PostToMainThread(std::function<void()> work);
// The client area of a window in screen coordinates.
[[nodiscard]] bool GetClientRectOnScreen(HWND window, RECT* rect);

}  // namespace plat
