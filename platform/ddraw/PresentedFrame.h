// Test seams that look at what a window shows: the renderer's pixels read back after a present, and
// the colour a surface pixel value is shown as.
#pragma once

#include <vector>

#include "platform/ddraw/DDraw.h"

namespace plat {

struct PresentedFrame {
  int width = 0;
  int height = 0;
  std::vector<DWORD> pixels;  // 0x00RRGGBB, row after row

  // Outside the frame (or of an empty one): a value no shown colour has, so checks fail rather than crash.
  static constexpr DWORD kOutside = 0xFFFFFFFF;
  DWORD At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return kOutside;
    return pixels[static_cast<size_t>(y) * width + x];
  }
};

// What the window's renderer holds after the last present; empty when nothing was presented into it.
// Main thread only.
[[nodiscard]] PresentedFrame ReadPresentedFrame(HWND window);

// The 0x00RRGGBB colour a window shows for a pixel value of a surface format (channels widened the
// way the software renderer widens them).
[[nodiscard]] DWORD ShownColorOf(DWORD pixel, const DDPIXELFORMAT& format);

// Whether a shown 0x00RRGGBB colour carries a pixel value of a surface format: each channel's top
// bits, as many as the format has, are the pixel's. Scaled presents widen channels in more than one way.
[[nodiscard]] bool ShowsPixel(DWORD shown, DWORD pixel, const DDPIXELFORMAT& format);

}  // namespace plat
