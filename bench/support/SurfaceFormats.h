// The 5-6-5, 5-5-5 and 32-bit surface formats the drawing benchmarks run on, with the display description and
// surface memory the framework's surface routines draw into.
#pragma once

#include <pixman.h>

#include <cstdint>
#include <vector>

#include "framework/graphics/surface/SurfaceBlt.h"

namespace benchsupport {

struct Format {
  int bits;
  std::uint32_t r, g, b;
  pixman_format_code_t pixman;
};
inline constexpr Format F565{16, 0xF800, 0x07E0, 0x001F, PIXMAN_r5g6b5};
inline constexpr Format F555{16, 0x7C00, 0x03E0, 0x001F, PIXMAN_x1r5g5b5};
inline constexpr Format F888{32, 0xFF0000, 0xFF00, 0xFF, PIXMAN_a8r8g8b8};

class FormatDisplay : public Kit::NativeDisplay {
 public:
  explicit FormatDisplay(const Format& f) { SetFormat(f.bits, f.r, f.g, f.b); }
};

// width x height surface memory of the format, filled with 0x5A bytes, as a target of the surface
// routines.
struct SurfaceMemory {
  SurfaceMemory(const Format& f, int width, int height)
      : display(f), memory(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0x5A) {
    tables.Build(display);
    Kit::SurfacePixels pixels;
    pixels.mBits = memory.data();
    pixels.mPitch = width * f.bits / 8;
    pixels.mWidth = width;
    pixels.mHeight = height;
    pixels.mBitCount = f.bits;
    pixels.mRedMask = f.r;
    pixels.mGreenMask = f.g;
    pixels.mBlueMask = f.b;
    target = Kit::MakeSurfaceTarget(pixels, display, tables);
  }
  FormatDisplay display;
  Kit::ChannelAddTables tables;
  std::vector<std::uint8_t> memory;
  Kit::SurfaceTarget target;
};

}  // namespace benchsupport
