// The per-pixel formulas of the software triangle rasteriser's span routines on 32-bit ARGB words:
// the colour multiply, the blend onto an opaque destination (both rounding by division by 255) and the
// blend over a destination that keeps its alpha.
#pragma once

#include "framework/graphics/kernels/PixelBlend.h"

#include <cstdint>

namespace Kit::SpanPixels {

constexpr std::uint32_t Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// Each channel (alpha included) times its colour channel (0..255), divided by 255.
constexpr std::uint32_t Modulate(std::uint32_t pixel, std::uint32_t a, std::uint32_t r, std::uint32_t g,
                                 std::uint32_t b) {
  using PixelBlend::Div255;
  return (Div255(Channel(pixel, 24) * a) << 24) | (Div255(Channel(pixel, 16) * r) << 16) |
         (Div255(Channel(pixel, 8) * g) << 8) | Div255(Channel(pixel, 0) * b);
}

// src at alpha sa onto an opaque dst: (src x sa + dst x (255 - sa)) / 255 per channel, alpha 255.
constexpr std::uint32_t OntoOpaque(std::uint32_t dst, std::uint32_t src, std::uint32_t sa) {
  using PixelBlend::Div255;
  const std::uint32_t rest = 255 - sa;
  return 0xFF000000 | (Div255(Channel(src, 16) * sa + Channel(dst, 16) * rest) << 16) |
         (Div255(Channel(src, 8) * sa + Channel(dst, 8) * rest) << 8) |
         Div255(Channel(src, 0) * sa + Channel(dst, 0) * rest);
}

// src by its own alpha over dst, which keeps its alpha: alpha 0 leaves dst, alpha 255 gives src,
// any other gives PixelBlend::Over.
constexpr std::uint32_t OverKeepingAlpha(std::uint32_t dst, std::uint32_t src) {
  const std::uint32_t sa = src >> 24;
  return sa == 0 ? dst : sa == 255 ? src : PixelBlend::Over(dst, src, sa);
}

}  // namespace Kit::SpanPixels
