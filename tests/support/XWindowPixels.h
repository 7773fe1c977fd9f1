// The pixels of an SDL window as the X server holds them: what the player sees, read back with
// XGetImage once SDL's requests have reached the server; and the icon the window manager shows for it.
#pragma once

#include <cstdint>
#include <vector>

struct SDL_Window;

namespace testsupport {

// Row after row of 0x00RRGGBB pixels of the window's top-left width x height; empty when the window is
// not an X11 window of a 24-bit true-colour screen or cannot be read.
std::vector<std::uint32_t> ReadXWindowPixels(SDL_Window* window, int width, int height);

// The window's icon as the window manager reads it (_NET_WM_ICON): its first picture, 0xAARRGGBB row
// after row. Width 0 when the window has none.
struct XWindowIcon {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
};
XWindowIcon ReadXWindowIcon(SDL_Window* window);

}  // namespace testsupport
