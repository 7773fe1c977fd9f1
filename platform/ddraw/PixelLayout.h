// The layout of one pixel in surface memory, as the blitter and the presenter see it.
#pragma once

#include <optional>

#include "platform/ddraw/DDraw.h"

namespace plat::ddraw {

struct PixelLayout {
  int bytesPerPixel = 4;
  DWORD redMask = 0;
  DWORD greenMask = 0;
  DWORD blueMask = 0;
  DWORD alphaMask = 0;
  bool palettized = false;

  // The bits a colour key compares: the colour channels, or the whole index of a palettized pixel.
  DWORD ColorBits() const;
  DDPIXELFORMAT ToPixelFormat() const;
  bool operator==(const PixelLayout&) const = default;

  static PixelLayout Rgb565();
  static PixelLayout Rgb555();
  static PixelLayout Xrgb8888();
  static PixelLayout Rgb888();
  static PixelLayout Palette8();
};

// Reads a caller's pixel format; nothing when it is not one the layer can hold (FourCC, masks that
// overlap or do not fit the bit count, bit counts other than 8, 16, 24 and 32).
[[nodiscard]] std::optional<PixelLayout> LayoutFromPixelFormat(const DDPIXELFORMAT& format);

// The layout of a display mode of the given depth; 16 bits follow the desktop's 16-bit layout when the
// desktop is 5-5-5 and are 5-6-5 otherwise.
[[nodiscard]] std::optional<PixelLayout> LayoutForDepth(DWORD bitsPerPixel, const PixelLayout& desktop);

}  // namespace plat::ddraw
