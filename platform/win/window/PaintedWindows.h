// The top-level windows that the layer paints itself (those whose class has a background brush):
// each has a canvas of its client area, filled with the brush and drawn over by its controls on the
// window's own thread, and an SDL window of its own that only the main thread creates, moves, shows
// and presents into. A window made on another thread (a crash window on the crashing thread) is
// handed to the main thread's pump for all of that. Internal to the layer.
#pragma once

#include "platform/win/window/WindowPixels.h"
#include "platform/win/window/WindowTable.h"

namespace plat {

// A window larger than this (a template can ask for 32767 dialog units) is drawn and shown only this far.
constexpr int kLargestPaintedSide = 4096;

// What draws a painted window's client area afresh, on the window's thread: its class background and
// the windows in it. The controls set it when they register their classes, before the first window is
// made; until then a painted window shows nothing.
using WindowComposer = WindowPixels (*)(HWND window);
void SetWindowComposer(WindowComposer composer);

// Whether a new window is one of these: top-level with a background brush.
[[nodiscard]] bool WantsPainting(const WindowRecord& record);
// Starts keeping a canvas for the window (at its creation).
void AddPaintedWindow(HWND window);
// Something inside the window (or the window itself) changed: its top-level canvas is drawn again
// at the next pump of its thread.
void RepaintLater(HWND window);
// Place, size, title or visibility changed: the SDL window follows (on the main thread).
void SyncPaintedWindow(HWND window);
// The window goes; its SDL window is destroyed on the main thread.
void RemovePaintedWindow(HWND window);
// Draws the changed canvases of the calling thread's windows and hands them to the main thread to
// show. Run by every message pump.
void PaintChangedWindows();

}  // namespace plat
