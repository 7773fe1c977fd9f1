#include "framework/graphics/surface/SurfaceRotate.h"

#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/kernels/SurfaceRotateRows.h"
#include "framework/graphics/kernels/UnrotatedRows.h"
#include "framework/graphics/software/SourcePixels.h"
#include "framework/graphics/surface/RotatedSpan.h"
#include "framework/graphics/surface/SurfacePixelMath.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace Kit::SurfaceDraw {
namespace {

using namespace SurfaceMath;
using I64 = std::int64_t;

// Beyond this a row's 16.16 start no longer means anything for any surface; such rows are skipped.
constexpr double kFixedLimit = 1e15;

// Narrows [i0, i1] so that every sample u = start + i x step of the row keeps its right (or lower)
// neighbour inside a source extent of size pixels; false when the row draws nothing.
inline bool CutSpan(I64 start, I64 step, I64 size, bool lowerBoundByDivision, I64& i0, I64& i1) {
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

enum class Blend { kNormalWhite, kNormalColored, kAdditiveWhite, kAdditiveColored };

template <typename Pixel, Blend kBlend, bool kPalettized>
void RotateRows(const SurfaceTarget& t, const SourcePixels& src, int sourceWidth, const Rect& srcRect, float x, float y,
                const Rect& area, const Rgba& c, double angle, float centerX, float centerY) {
  constexpr bool kAdditive = kBlend == Blend::kAdditiveWhite || kBlend == Blend::kAdditiveColored;
  constexpr bool kColored = kBlend == Blend::kNormalColored || kBlend == Blend::kAdditiveColored;
  const double cosA = std::cos(angle), sinA = std::sin(angle);
  const I64 du = static_cast<I64>(cosA * 65536), dv = static_cast<I64>(sinA * 65536);
  const I64 w = srcRect.mWidth, h = srcRect.mHeight;
  const Rgba cp = Premultiplied(c);
  const SurfaceChannel& red = t.mRed;
  const SurfaceChannel& green = t.mGreen;
  const SurfaceChannel& blue = t.mBlue;
  const std::uint32_t colourMask = red.mMask | green.mMask | blue.mMask;
  const int redDown = 32 - red.mBits, greenDown = 24 - green.mBits, blueDown = 16 - blue.mBits;
  const std::uint32_t* bits = src.Bits();
  const std::uint32_t* table = src.Table();
  const std::uint8_t* indices = src.Indices();
  auto fetch = [&](std::size_t i) -> std::uint32_t {
    if constexpr (kPalettized)
      return table[indices[i]];
    else
      return bits[i];
  };

  // The four neighbours' weights before their alpha: products of the fractions of (u, v).
  struct Weights {
    std::uint32_t k0, k1, k2, k3;
  };
  auto weightsAt = [](I64 u, I64 v) {
    const std::uint32_t fx = (static_cast<std::uint32_t>(u) & 0xFFFE) + 1;
    const std::uint32_t fy = (static_cast<std::uint32_t>(v) & 0xFFFE) + 1;
    const std::uint32_t gx = 65536 - fx, gy = 65536 - fy;
    return Weights{(gx * gy) >> 16, (fx * gy) >> 16, (gx * fy) >> 16, (fx * fy) >> 16};
  };
  // One destination pixel from its 2 x 2 source neighbourhood p0 p1 / p2 p3 and their weights.
  // Inlined always, so that the whole-pixel rows drop the three neighbours that weigh nothing.
  auto compose = [&](std::uint32_t p0, std::uint32_t p1, std::uint32_t p2, std::uint32_t p3, const Weights& k,
                     std::uint32_t d) __attribute__((always_inline))
                     ->std::uint32_t {
    // Four transparent neighbours weigh nothing: the formula gives the pixel's own colour fields.
    if (((p0 | p1 | p2 | p3) >> 24) == 0 && (d & ~colourMask) == 0) return d;
    std::uint32_t w0 = (k.k0 * (p0 >> 24)) >> 16;
    std::uint32_t w1 = (k.k1 * (p1 >> 24)) >> 16;
    std::uint32_t w2 = (k.k2 * (p2 >> 24)) >> 16;
    std::uint32_t w3 = (k.k3 * (p3 >> 24)) >> 16;
    if constexpr (kBlend == Blend::kNormalColored) {
      w0 = (w0 * c.a) >> 8;
      w1 = (w1 * c.a) >> 8;
      w2 = (w2 * c.a) >> 8;
      w3 = (w3 * c.a) >> 8;
    }
    auto sum = [&](std::uint32_t byteMask) {
      return (p0 & byteMask) * w0 + (p1 & byteMask) * w1 + (p2 & byteMask) * w2 + (p3 & byteMask) * w3;
    };
    const std::uint32_t sr = sum(0xFF0000), sg = sum(0xFF00), sb = sum(0xFF);
    if constexpr (kAdditive) {
      std::uint32_t vr = sr >> redDown, vg = sg >> greenDown, vb = sb >> blueDown;
      if constexpr (kColored) {
        vr = (vr * cp.r) >> 8;
        vg = (vg * cp.g) >> 8;
        vb = (vb * cp.b) >> 8;
      }
      return AddChannel(red, d, vr) | AddChannel(green, d, vg) | AddChannel(blue, d, vb);
    } else {
      const std::uint32_t rest = 256 - w0 - w1 - w2 - w3;
      std::uint32_t vr, vg, vb;
      if constexpr (kColored) {
        vr = ((sr >> 8) * (c.r + 1)) >> redDown;
        vg = ((sg >> 8) * (c.g + 1)) >> greenDown;
        vb = ((sb >> 8) * (c.b + 1)) >> blueDown;
      } else {
        vr = sr >> redDown;
        vg = sg >> greenDown;
        vb = sb >> blueDown;
      }
      return ((vr << red.mShift) + ((((d & red.mMask) * rest) >> 8) & red.mMask)) |
             ((vg << green.mShift) + ((((d & green.mMask) * rest) >> 8) & green.mMask)) |
             ((vb << blue.mShift) + ((((d & blue.mMask) * rest) >> 8) & blue.mMask));
    }
  };

  // Rows from 32-bit pixels onto 8-8-8 surfaces and rotated ones have kernels of their own, and so
  // have normal ones onto 5-6-5 surfaces.
  constexpr bool kRowKernels = !kPalettized;
  constexpr bool kNormalKernels = !kPalettized && !kAdditive;
  const bool standard888 = red.mMask == 0xFF0000 && green.mMask == 0xFF00 && blue.mMask == 0xFF;
  const bool standard565 = red.mMask == 0xF800 && green.mMask == 0x07E0 && blue.mMask == 0x001F;
  const bool standard555 = red.mMask == 0x7C00 && green.mMask == 0x03E0 && blue.mMask == 0x001F;
  const SurfaceRotateRows::RowMode mode{kAdditive, kColored, kAdditive ? cp : c};
  const bool axisAligned = du == 65536 && dv == 0;
  // The general rows' kernel works in 32-bit lanes, 16 x 16 products for the row offsets.
  const bool narrowSource = sourceWidth < 32768 && srcRect.mHeight < 32768 && srcRect.mWidth < 32768;
  // Each row's 16.16 start and drawn span, [i0, i1] (empty when i0 > i1).
  struct Span {
    I64 uRow, vRow, i0, i1;
  };
  const auto spanOf = [&](int r) {
    const int px = area.mX, py = area.mY + r;
    const double ex = px - static_cast<double>(centerX) - x, ey = py - static_cast<double>(centerY) - y;
    const double uStart = (ex * cosA - ey * sinA + centerX) * 65536;
    const double vStart = (ex * sinA + ey * cosA + centerY) * 65536;
    Span span{0, 0, 0, area.mWidth - 1};
    if (!(std::fabs(uStart) < kFixedLimit) || !(std::fabs(vStart) < kFixedLimit)) return Span{0, 0, 1, 0};
    span.uRow = static_cast<I64>(uStart);
    span.vRow = static_cast<I64>(vStart);
    // (Written out for the axis-aligned steps, so that their divisions become shifts.)
    const bool drawn =
        axisAligned
            ? CutSpan(span.uRow, 65536, w, false, span.i0, span.i1) && CutSpan(span.vRow, 0, h, true, span.i0, span.i1)
            : CutSpan(span.uRow, du, w, false, span.i0, span.i1) && CutSpan(span.vRow, dv, h, true, span.i0, span.i1);
    return drawn ? span : Span{0, 0, 1, 0};
  };
  // The spans are worked out a batch of rows ahead, so that their arithmetic overlaps.
  constexpr int kBatch = 32;
  Span spans[kBatch];
  for (int r = 0; r < area.mHeight; ++r) {
    if (r % kBatch == 0)
      for (int j = 0; j < kBatch && r + j < area.mHeight; ++j) spans[j] = spanOf(r + j);
    const Span& span = spans[r % kBatch];
    const I64 uRow = span.uRow, vRow = span.vRow, i0 = span.i0, i1 = span.i1;
    if (i0 > i1) continue;
    const int px = area.mX, py = area.mY + r;
    Pixel* d = t.mPixels.Row<Pixel>(py) + px;
    I64 u = uRow + i0 * du, v = vRow + i0 * dv;
    const auto at = [&](I64 uAt, I64 vAt) {
      return static_cast<std::size_t>(srcRect.mY + static_cast<int>(vAt >> 16)) * sourceWidth +
             static_cast<std::size_t>(srcRect.mX + static_cast<int>(uAt >> 16));
    };
    if (axisAligned) {
      // The fractions, and so the neighbours' weights, hold for the whole row, and the neighbourhood
      // moves one source pixel a step. At a whole-pixel offset only the top-left neighbour weighs anything.
      const Weights k = weightsAt(u, v);
      // The source index of the row's pixel 0, which may lie before the source (it wraps): only first + i
      // for i from i0 on is a pixel, so pointers are taken there.
      const std::size_t first = at(u, v) - static_cast<std::size_t>(i0);
      const int count = static_cast<int>(i1 - i0 + 1);
      I64 i = i0;
      if (k.k1 == 0 && k.k2 == 0 && k.k3 == 0) {
        if constexpr (kRowKernels && std::is_same_v<Pixel, std::uint32_t>) {
          if (standard888) i += SurfaceRotateRows::OneTap888(d + i0, bits + (first + i0), count, mode);
        } else if constexpr (kNormalKernels) {
          if (standard565) i += SurfaceRotateRows::OneTap565(d + i0, bits + (first + i0), count, mode);
          if (standard555) i += SurfaceRotateRows::OneTap555(d + i0, bits + (first + i0), count, mode);
        }
        const Weights one{k.k0, 0, 0, 0};
        for (; i <= i1; ++i) d[i] = static_cast<Pixel>(compose(fetch(first + i), 0, 0, 0, one, d[i]));
      } else {
        if constexpr (kRowKernels && std::is_same_v<Pixel, std::uint32_t>) {
          const std::uint32_t weights[4] = {k.k0, k.k1, k.k2, k.k3};
          if (standard888)
            i += SurfaceRotateRows::FourTap888(d + i0, bits + (first + i0), bits + (first + i0) + sourceWidth, count,
                                               weights, mode);
        } else if constexpr (kNormalKernels) {
          // Onto 16-bit pixels the rotated rows serve, stepping straight along the source row.
          const auto row = [&](auto kernel) {
            i += kernel(d + i0, bits + at(0, 0), sourceWidth, static_cast<std::int32_t>(u),
                        static_cast<std::int32_t>(v), 65536, 0, count, mode);
          };
          if (narrowSource && standard565) row(SurfaceRotateRows::Rotated565);
          if (narrowSource && standard555) row(SurfaceRotateRows::Rotated555);
        }
        for (; i <= i1; ++i) {
          const std::size_t s = first + i;
          d[i] = static_cast<Pixel>(
              compose(fetch(s), fetch(s + 1), fetch(s + sourceWidth), fetch(s + sourceWidth + 1), k, d[i]));
        }
      }
      continue;
    }
    I64 i = i0;
    if constexpr (kRowKernels) {
      if (narrowSource) {
        const auto row = [&](auto kernel) {
          i +=
              kernel(d + i0, bits + at(0, 0), sourceWidth, static_cast<std::int32_t>(u), static_cast<std::int32_t>(v),
                     static_cast<std::int32_t>(du), static_cast<std::int32_t>(dv), static_cast<int>(i1 - i0 + 1), mode);
        };
        if constexpr (std::is_same_v<Pixel, std::uint32_t>) {
          if (standard888) row(SurfaceRotateRows::Rotated888);
        } else {
          if (standard565) row(SurfaceRotateRows::Rotated565);
          if (standard555) row(SurfaceRotateRows::Rotated555);
        }
        u = uRow + i * du;
        v = vRow + i * dv;
      }
    }
    for (; i <= i1; ++i, u += du, v += dv) {
      const std::size_t s = at(u, v);
      d[i] = static_cast<Pixel>(
          compose(fetch(s), fetch(s + 1), fetch(s + sourceWidth), fetch(s + sourceWidth + 1), weightsAt(u, v), d[i]));
    }
  }
}

template <typename Pixel, Blend kBlend>
void RotateWithSource(const SurfaceTarget& t, const SourcePixels& src, int sourceWidth, const Rect& srcRect, float x,
                      float y, const Rect& area, const Rgba& c, double angle, float centerX, float centerY) {
  if (src.IsPalettized())
    RotateRows<Pixel, kBlend, true>(t, src, sourceWidth, srcRect, x, y, area, c, angle, centerX, centerY);
  else
    RotateRows<Pixel, kBlend, false>(t, src, sourceWidth, srcRect, x, y, area, c, angle, centerX, centerY);
}

template <typename Pixel>
void RotateAt(const SurfaceTarget& t, const SourcePixels& src, int sourceWidth, const Rect& srcRect, float x, float y,
              const Rect& area, const Rgba& c, bool white, bool additive, double angle, float centerX, float centerY) {
  if (additive && white)
    RotateWithSource<Pixel, Blend::kAdditiveWhite>(t, src, sourceWidth, srcRect, x, y, area, c, angle, centerX,
                                                   centerY);
  else if (additive)
    RotateWithSource<Pixel, Blend::kAdditiveColored>(t, src, sourceWidth, srcRect, x, y, area, c, angle, centerX,
                                                     centerY);
  else if (white)
    RotateWithSource<Pixel, Blend::kNormalWhite>(t, src, sourceWidth, srcRect, x, y, area, c, angle, centerX, centerY);
  else
    RotateWithSource<Pixel, Blend::kNormalColored>(t, src, sourceWidth, srcRect, x, y, area, c, angle, centerX,
                                                   centerY);
}

// Angle 0, normal and uncoloured, onto 8-8-8 or 5-6-5 fields: every drawn row takes the same run of
// the next source row at the same fractions. At a whole-pixel position the weights hang on the source
// pixel alone, so the rows are a plain blit of the source's weighted words (UnrotatedRows); at a
// sub-pixel one the four neighbours' weights are the draw's own. The rows' starts are
// worked out as the general rows work them out (at cos 1 and sin 0 the column does not change from
// row to row). False, having drawn nothing, when the draw is not of that kind.
bool UnrotatedBlt(const SurfaceTarget& t, MemoryImage& source, const SourcePixels& src, float x, float y,
                  const Rect& srcRect, const Rect& area, double angle, float centerX, float centerY) {
  using UnrotatedRows::Layout;
  if (angle != 0 || !Simd::UseSse2()) return false;
  const auto fields = [](const SurfaceChannel& c, std::uint32_t mask, int shift, int bits) {
    return c.mMask == mask && c.mShift == shift && c.mBits == bits;
  };
  const SurfaceChannel &red = t.mRed, &green = t.mGreen, &blue = t.mBlue;
  Layout layout;
  if (t.mPixels.mBitCount == 32 && fields(red, 0xFF0000, 16, 8) && fields(green, 0xFF00, 8, 8) &&
      fields(blue, 0xFF, 0, 8))
    layout = Layout::k888;
  else if (t.mPixels.mBitCount == 16 && fields(red, 0xF800, 11, 5) && fields(green, 0x07E0, 5, 6) &&
           fields(blue, 0x001F, 0, 5))
    layout = Layout::k565;
  else
    return false;
  const double cosA = 1.0, sinA = angle;  // cos and sin of 0 (or -0)
  const double ex = area.mX - static_cast<double>(centerX) - x;
  const auto vStart = [&](int r) {
    const double ey = area.mY + r - static_cast<double>(centerY) - y;
    return (ex * sinA + ey * cosA + centerY) * 65536;
  };
  const double uStart = (ex * cosA - (area.mY - static_cast<double>(centerY) - y) * sinA + centerX) * 65536;
  if (!(std::fabs(uStart) < kFixedLimit)) return false;
  const I64 uRow = static_cast<I64>(uStart);
  I64 i0 = 0, i1 = area.mWidth - 1;
  if (!CutSpan(uRow, 65536, srcRect.mWidth, false, i0, i1) || i0 > i1) return true;
  // The drawn rows must be one run of rows down the source, at one fraction.
  const I64 rowEnd = static_cast<I64>(srcRect.mHeight) * 65536 - 65536;
  int first = -1, rows = 0;
  I64 firstV = 0;
  if (OnFixedGrid(y) && OnFixedGrid(centerY)) {
    // Every step of the rows' arithmetic is exact: row r starts r whole pixels below row 0, and the
    // drawn rows are those whose start lies in [0, rowEnd).
    const I64 v0 = static_cast<I64>(vStart(0));
    const auto ceilRows = [](I64 distance) { return -((-distance) >> 16); };
    const I64 top = std::max<I64>(0, ceilRows(-v0)), end = std::min<I64>(area.mHeight, ceilRows(rowEnd - v0));
    if (top >= end) return true;
    first = static_cast<int>(top);
    rows = static_cast<int>(end - top);
    firstV = v0 + top * 65536;
  }
  for (int r = rows > 0 ? area.mHeight : 0; r < area.mHeight; ++r) {
    const double start = vStart(r);
    if (!(std::fabs(start) < kFixedLimit)) return false;
    const I64 v = static_cast<I64>(start);
    if (v < 0 || v >= rowEnd) continue;
    if (first < 0) {
      first = r;
      firstV = v;
    } else if (r != first + rows || v != firstV + static_cast<I64>(rows) * 65536) {
      return false;
    }
    ++rows;
  }
  if (rows == 0) return true;
  const std::size_t at = static_cast<std::size_t>(srcRect.mY + (firstV >> 16)) * source.mWidth +
                         static_cast<std::size_t>(srcRect.mX + (uRow >> 16) + i0);
  const int count = static_cast<int>(i1 - i0 + 1);
  const int left = area.mX + static_cast<int>(i0), top = area.mY + first;
  if ((uRow & 0xFFFE) != 0 || (firstV & 0xFFFE) != 0) {
    if (src.IsPalettized() || (layout == Layout::k888 && count < 4)) return false;
    const std::uint32_t fx = (static_cast<std::uint32_t>(uRow) & 0xFFFE) + 1;
    const std::uint32_t fy = (static_cast<std::uint32_t>(firstV) & 0xFFFE) + 1;
    const std::uint32_t gx = 65536 - fx, gy = 65536 - fy;
    const std::uint32_t k[4] = {(gx * gy) >> 16, (fx * gy) >> 16, (gx * fy) >> 16, (fx * fy) >> 16};
    if (layout == Layout::k888)
      UnrotatedRows::FourTap888(t.mPixels.Row<std::uint32_t>(top) + left, t.mPixels.mPitch / 4, src.Bits() + at,
                                source.mWidth, count, rows, k);
    else
      UnrotatedRows::FourTap565(t.mPixels.Row<std::uint16_t>(top) + left, t.mPixels.mPitch / 2, src.Bits() + at,
                                source.mWidth, count, rows, k);
    return true;
  }
  const std::uint32_t* words = source.GetWeightedWords(layout) + at;
  if (layout == Layout::k888)
    UnrotatedRows::Onto888(t.mPixels.Row<std::uint32_t>(top) + left, t.mPixels.mPitch / 4, words, source.mWidth, count,
                           rows);
  else
    UnrotatedRows::Onto565(t.mPixels.Row<std::uint16_t>(top) + left, t.mPixels.mPitch / 2, words, source.mWidth, count,
                           rows);
  return true;
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
  if (!additive && white && UnrotatedBlt(target, source, src, x, y, srcRect, area, angle, centerX, centerY)) return;
  if (target.mPixels.mBitCount == 16)
    RotateAt<std::uint16_t>(target, src, source.mWidth, srcRect, x, y, area, c, white, additive, angle, centerX,
                            centerY);
  else
    RotateAt<std::uint32_t>(target, src, source.mWidth, srcRect, x, y, area, c, white, additive, angle, centerX,
                            centerY);
}

}  // namespace Kit::SurfaceDraw
