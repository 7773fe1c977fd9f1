// A plain, one-pixel-at-a-time statement of the surface drawing formulas, for checking the
// optimised routines against: no run tables, no templates, every pixel read and written through
// its address on its own.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <vector>

namespace surfref {

struct Format {
  int bitCount;
  std::uint32_t rMask, gMask, bMask;
};

// Surface memory with its own pitch (bytes) and format; the bytes past each row's pixels are padding.
struct Surface {
  Format format;
  int width = 0, height = 0, pitch = 0;
  std::vector<std::uint8_t> bytes;

  std::uint32_t Get(int x, int y) const;
  void Set(int x, int y, std::uint32_t value);
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

struct Field {
  int shift, bits;
};
Field FieldOf(std::uint32_t mask);

// Source pixels: ARGB words and the premultiplied native word of each, in the surface's format.
struct Source {
  int width = 0, height = 0;
  std::vector<std::uint32_t> argb;
  std::vector<std::uint32_t> native;
};

void NormalFill(Surface& s, const Kit::Rect& rect, const Kit::Color& color);
void AdditiveFill(Surface& s, const Kit::Rect& rect, const Kit::Color& color);
void NormalLine(Surface& s, double x0, double y0, double x1, double y1, const Kit::Color& color);
void AdditiveLine(Surface& s, double x0, double y0, double x1, double y1, const Kit::Color& color);
void VolatileBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& srcRect);
void CopyNative(Surface& s, const Source& src, int x, int y, const Kit::Rect& srcRect, bool skipTransparent);
void AlphaBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& srcRect, const Kit::Color& color,
              bool mirror);
void AdditiveBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& srcRect, const Kit::Color& color,
                 bool mirror);

// The rotated bilinear blit over the destination rectangle box (already clipped).
void RotatedBlt(Surface& s, const Source& src, float x, float y, const Kit::Rect& srcRect, const Kit::Rect& box,
                const Kit::Color& color, int mode, double angle, float centerX, float centerY);

// The nearest-neighbour stretch of the cut source (x, y, w, h) onto dest, plain or mirrored.
void FastStretch(Surface& s, const Source& src, const Kit::Rect& dest, double x, double y, double w, double h,
                 const Kit::Color& color, int mode, bool mirror);

}  // namespace surfref
