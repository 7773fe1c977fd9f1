#include "framework/graphics/SurfaceRotate.h"

#include "framework/graphics/SourcePixels.h"
#include "framework/graphics/SurfacePixelMath.h"

#include <algorithm>
#include <cmath>

namespace Kit::SurfaceDraw {
namespace {

using namespace SurfaceMath;
using I64 = std::int64_t;

// Beyond this a row's 16.16 start no longer means anything for any surface; such rows are skipped.
constexpr double kFixedLimit = 1e15;

// Narrows [i0, i1] so that every sample u = start + i x step of the row keeps its right (or lower)
// neighbour inside a source extent of size pixels; false when the row draws nothing.
bool CutSpan(I64 start, I64 step, I64 size, bool lowerBoundByDivision, I64& i0, I64& i1) {
  const I64 one = 65536;
  if (step > 0) {
    if ((start >> 16) >= size - 1) return false;
    const I64 first = (one - start) / step;
    if (first > 0) i0 = std::max(i0, first);
    i1 = std::min(i1, (size * one - start - 98303) / step);
  } else if (step == 0) {
    if (start < 0 || start >= size * one - one) return false;
  } else {
    if ((start >> 16) < 0) return false;
    const I64 first = (size * one - start - 163839) / step;
    if (first >= 0) i0 = std::max(i0, first);
    i1 = std::min(i1, lowerBoundByDivision ? -(start / step) : (32767 - start) / step);
  }
  return true;
}

struct Corners {
  std::uint32_t p[4];
  std::uint32_t w[4];
  std::uint32_t rest;  // 256 minus the sum of the weights
};

template <typename Pixel>
void RotateRows(const SurfaceTarget& t, const SourcePixels& src, const Rect& srcRect, float x, float y,
                const Rect& area, const Rgba& c, bool white, bool additive, double angle, float centerX,
                float centerY) {
  const double cosA = std::cos(angle), sinA = std::sin(angle);
  const I64 du = static_cast<I64>(cosA * 65536), dv = static_cast<I64>(sinA * 65536);
  const I64 w = srcRect.mWidth, h = srcRect.mHeight;
  const Rgba cp = Premultiplied(c);
  const SurfaceChannel* channels[3] = {&t.mRed, &t.mGreen, &t.mBlue};
  const std::uint32_t byteMasks[3] = {0xFF0000, 0xFF00, 0xFF};
  const int downBase[3] = {32, 24, 16};
  const std::uint32_t colour[3] = {c.r, c.g, c.b};
  const std::uint32_t colourPremul[3] = {cp.r, cp.g, cp.b};

  auto sample = [&](I64 u, I64 v) {
    Corners k;
    const int sx = srcRect.mX + static_cast<int>(u >> 16), sy = srcRect.mY + static_cast<int>(v >> 16);
    k.p[0] = src.At(sx, sy);
    k.p[1] = src.At(sx + 1, sy);
    k.p[2] = src.At(sx, sy + 1);
    k.p[3] = src.At(sx + 1, sy + 1);
    const std::uint32_t fx = (static_cast<std::uint32_t>(u) & 0xFFFE) + 1;
    const std::uint32_t fy = (static_cast<std::uint32_t>(v) & 0xFFFE) + 1;
    const std::uint32_t factors[4] = {(65536 - fx) * (65536 - fy), fx * (65536 - fy), (65536 - fx) * fy, fx * fy};
    std::uint32_t sum = 0;
    for (int i = 0; i < 4; ++i) {
      k.w[i] = ((factors[i] >> 16) * (k.p[i] >> 24)) >> 16;
      if (!white && !additive) k.w[i] = (k.w[i] * c.a) >> 8;
      sum += k.w[i];
    }
    k.rest = 256 - sum;
    return k;
  };

  auto compose = [&](const Corners& k, std::uint32_t d) {
    std::uint32_t out = 0;
    for (int ch = 0; ch < 3; ++ch) {
      const SurfaceChannel& sc = *channels[ch];
      std::uint32_t s = 0;
      for (int i = 0; i < 4; ++i) s += (k.p[i] & byteMasks[ch]) * k.w[i];
      const int down = downBase[ch] - sc.mBits;
      if (additive) {
        std::uint32_t value = s >> down;
        if (!white) value = (value * colourPremul[ch]) >> 8;
        out |= AddChannel(sc, d, value);
      } else {
        const std::uint32_t value = white ? s >> down : ((s >> 8) * (colour[ch] + 1)) >> down;
        out |= (value << sc.mShift) + ((((d & sc.mMask) * k.rest) >> 8) & sc.mMask);
      }
    }
    return out;
  };

  for (int r = 0; r < area.mHeight; ++r) {
    const int px = area.mX, py = area.mY + r;
    const double ex = px - static_cast<double>(centerX) - x, ey = py - static_cast<double>(centerY) - y;
    const double uStart = (ex * cosA - ey * sinA + centerX) * 65536;
    const double vStart = (ex * sinA + ey * cosA + centerY) * 65536;
    if (!(std::fabs(uStart) < kFixedLimit) || !(std::fabs(vStart) < kFixedLimit)) continue;
    const I64 uRow = static_cast<I64>(uStart), vRow = static_cast<I64>(vStart);
    I64 i0 = 0, i1 = area.mWidth - 1;
    if (!CutSpan(uRow, du, w, false, i0, i1) || !CutSpan(vRow, dv, h, true, i0, i1) || i0 > i1) continue;
    Pixel* d = t.mPixels.Row<Pixel>(py) + px;
    I64 u = uRow + i0 * du, v = vRow + i0 * dv;
    for (I64 i = i0; i <= i1; ++i, u += du, v += dv) d[i] = static_cast<Pixel>(compose(sample(u, v), d[i]));
  }
}

}  // namespace

void RotatedBlt(const SurfaceTarget& target, MemoryImage& source, float x, float y, const Rect& srcRect,
                const Rect& bounds, const Color& color, int drawMode, double angle, float centerX, float centerY) {
  const bool additive = drawMode == 1;
  if (!target.mPixels.IsDrawable() || (additive && !target.mAdditiveUsable)) return;
  if (!std::isfinite(angle) || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(centerX) ||
      !std::isfinite(centerY))
    return;
  const Rect area = bounds.Intersection(target.mPixels.Bounds());
  if (area.IsEmpty() || srcRect.IsEmpty() || srcRect.Intersection(Rect(0, 0, source.mWidth, source.mHeight)) != srcRect)
    return;
  source.CommitBits();
  const SourcePixels src(source);
  if (!src.IsPalettized() && !src.Bits()) return;
  const Rgba c = Clamped(color);
  const bool white = IsWhite(color);
  if (target.mPixels.mBitCount == 16)
    RotateRows<std::uint16_t>(target, src, srcRect, x, y, area, c, white, additive, angle, centerX, centerY);
  else
    RotateRows<std::uint32_t>(target, src, srcRect, x, y, area, c, white, additive, angle, centerX, centerY);
}

}  // namespace Kit::SurfaceDraw
