// The pixels of an SDL window as the X server holds them: what the player sees, read back with
// XGetImage once SDL's requests have reached the server.
#pragma once

#include <cstdint>
#include <vector>

struct SDL_Window;

namespace testsupport {

// Row after row of 0x00RRGGBB pixels of the window's top-left width x height; empty when the window is
// not an X11 window of a 24-bit true-colour screen or cannot be read.
std::vector<std::uint32_t> ReadXWindowPixels(SDL_Window* window, int width, int height);

}  // namespace testsupport
