// Test seam: what the layer shows in a window it paints (a top-level window whose class has a
// background brush, with its standard controls), headless or not.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/Types.h"

namespace plat {

struct WindowPixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;  // 0xFFRRGGBB, row after row

  std::uint32_t At(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
};

// The client area of the window as it is shown, drawn afresh first when something changed. Call
// on the window's thread. False for a window the layer does not paint.
[[nodiscard]] bool ReadWindowPixels(HWND window, WindowPixels* pixels);
// What the window's SDL window holds, read back from its surface: the pixels given to the display.
// Main thread only. False before the window was first shown.
[[nodiscard]] bool ReadSdlWindowPixels(HWND window, WindowPixels* pixels);

}  // namespace plat
