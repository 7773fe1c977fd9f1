// A plain, one-pixel-at-a-time statement of the software drawing formulas, for checking the
// optimised routines against. Nothing here is fast or clever on purpose.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <vector>

namespace ref {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> px;

  std::uint32_t& At(int x, int y) { return px[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t At(int x, int y) const { return px[static_cast<std::size_t>(y) * width + x]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

int A(std::uint32_t p);
int R(std::uint32_t p);
int G(std::uint32_t p);
int B(std::uint32_t p);
std::uint32_t Pack(int a, int r, int g, int b);

// Source alpha sa (> 0) with source channels (r, g, b) over dst.
std::uint32_t Over(std::uint32_t dst, int r, int g, int b, int sa);
// The same, each source channel also multiplied by the colour channel: s x f x c >> 16.
std::uint32_t OverColored(std::uint32_t dst, int r, int g, int b, int sa, int cr, int cg, int cb);

void FillRect(Pixels& dest, const Kit::Rect& rect, const Kit::Color& color);
// A line pixel in normal or additive mode.
std::uint32_t LinePixel(std::uint32_t dst, const Kit::Color& color, int mode);
void Blt(Pixels& dest, bool destOpaque, const Pixels& src, bool srcHasAlpha, int x, int y, const Kit::Rect& srcRect,
         const Kit::Color& color, int mode);
void BltRotated(Pixels& dest, const Pixels& src, float x, float y, const Kit::Rect& srcRect, const Kit::Rect& box,
                const Kit::Color& color, int mode, double angle, float centerX, float centerY);
void FastStretch(Pixels& dest, const Pixels& src, const Kit::Rect& clippedDest, double srcX, double srcY, double srcW,
                 double srcH);

}  // namespace ref
