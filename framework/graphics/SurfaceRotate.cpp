#include "framework/graphics/SurfaceRotate.h"

#include "framework/graphics/SourcePixels.h"
#include "framework/graphics/SurfacePixelMath.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

enum class Blend { kNormalWhite, kNormalColored, kAdditiveWhite, kAdditiveColored };

// An unrotated row blended onto 8-8-8 pixels (red at 16, green at 8, blue at 0), four at a time. Each
// destination pixel takes the source pixels above (row) and below (next), it and its right neighbour,
// each weighing k x alpha >> 16 (times the colour's alpha >> 8 when coloured); the destination keeps
// 256 less their sum, and the alpha byte comes out 0. With kOneTap only the top-left neighbour weighs
// anything. Returns how many pixels it drew.
template <bool kOneTap>
int UnrotatedRow8888(std::uint32_t* d, const std::uint32_t* row, const std::uint32_t* next, int count,
                     const std::uint32_t (&k)[4], bool colored, const Rgba& c) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i weights[4] = {_mm_set1_epi16(static_cast<short>(k[0])), _mm_set1_epi16(static_cast<short>(k[1])),
                              _mm_set1_epi16(static_cast<short>(k[2])), _mm_set1_epi16(static_cast<short>(k[3]))};
  const __m128i colourAlpha = _mm_set1_epi16(static_cast<short>(c.a));
  const __m128i full = _mm_set1_epi16(256);
  // Red and green are (x w (c + 1)) >> 16; blue drops its low byte first: ((x w >> 8)(c + 1)) >> 8.
  const __m128i tint = _mm_set_epi16(0, static_cast<short>(c.r + 1), static_cast<short>(c.g + 1), 0, 0,
                                     static_cast<short>(c.r + 1), static_cast<short>(c.g + 1), 0);
  const __m128i blueTint = _mm_set_epi16(0, 0, 0, static_cast<short>(c.b + 1), 0, 0, 0, static_cast<short>(c.b + 1));
  const __m128i blueLane = _mm_set_epi16(0, 0, 0, -1, 0, 0, 0, -1);
  const __m128i colourBytes = _mm_set1_epi32(0x00FFFFFF);
  constexpr int kTaps = kOneTap ? 1 : 4;
  // Two pixels in 16-bit lanes; unpack picks the low or the high pair of a 4-pixel register.
  auto half = [&](const __m128i(&src)[4], __m128i dst, auto unpack) {
    __m128i weighted = zero, covered = zero;
    for (int t = 0; t < kTaps; ++t) {
      const __m128i s16 = unpack(src[t], zero);
      const __m128i alpha =
          _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
      __m128i w = _mm_mulhi_epu16(alpha, weights[t]);
      if (colored) w = _mm_srli_epi16(_mm_mullo_epi16(w, colourAlpha), 8);
      weighted = _mm_add_epi16(weighted, _mm_mullo_epi16(s16, w));
      covered = _mm_add_epi16(covered, w);
    }
    __m128i source;
    if (colored) {
      const __m128i blue = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(weighted, 8), blueTint), 8);
      source = _mm_or_si128(_mm_mulhi_epu16(weighted, tint), _mm_and_si128(blue, blueLane));
    } else {
      source = _mm_srli_epi16(weighted, 8);
    }
    const __m128i d16 = unpack(dst, zero);
    return _mm_add_epi16(source, _mm_srli_epi16(_mm_mullo_epi16(d16, _mm_sub_epi16(full, covered)), 8));
  };
  const auto low = [](__m128i v, __m128i z) { return _mm_unpacklo_epi8(v, z); };
  const auto high = [](__m128i v, __m128i z) { return _mm_unpackhi_epi8(v, z); };
  const auto load = [](const std::uint32_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
  for (; i + 4 <= count; i += 4) {
    __m128i src[4] = {load(row + i), zero, zero, zero};
    if constexpr (!kOneTap) {
      src[1] = load(row + i + 1);
      src[2] = load(next + i);
      src[3] = load(next + i + 1);
    }
    const __m128i dst = load(d + i);
    const __m128i out = _mm_packus_epi16(half(src, dst, low), half(src, dst, high));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_and_si128(out, colourBytes));
  }
#else
  (void)d, (void)row, (void)next, (void)count, (void)k, (void)colored, (void)c;
#endif
  return i;
}

// The rows of one rotated blit, compiled once per destination depth, blend and source kind so that
// the per-pixel loop holds no tests but the span's.
// A whole-pixel unrotated row blended onto 5-6-5 pixels, eight at a time: each source pixel weighs
// w = k0 x alpha >> 16 (times the colour's alpha >> 8 when coloured), each destination field keeps
// field x (256 - w) >> 8. Returns how many pixels it drew.
int WholePixelRow565(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t k0, bool colored,
                     const Rgba& c) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i byte = _mm_set1_epi32(0xFF);
  const __m128i k = _mm_set1_epi16(static_cast<short>(k0));
  const __m128i colourAlpha = _mm_set1_epi16(static_cast<short>(c.a));
  const __m128i full = _mm_set1_epi16(256);
  const __m128i redTint = _mm_set1_epi16(static_cast<short>(c.r + 1));
  const __m128i greenTint = _mm_set1_epi16(static_cast<short>(c.g + 1));
  const __m128i blueTint = _mm_set1_epi16(static_cast<short>(c.b + 1));
  const __m128i five = _mm_set1_epi16(0x1F), six = _mm_set1_epi16(0x3F);
  // Byte n of eight 32-bit pixels, as 16-bit lanes.
  const auto channel = [&](__m128i a, __m128i b, int shift) {
    return _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(a, shift), byte),
                           _mm_and_si128(_mm_srli_epi32(b, shift), byte));
  };
  for (; i + 8 <= count; i += 8) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 4));
    const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    __m128i w = _mm_mulhi_epu16(channel(a, b, 24), k);
    if (colored) w = _mm_srli_epi16(_mm_mullo_epi16(w, colourAlpha), 8);
    const __m128i rest = _mm_sub_epi16(full, w);
    const __m128i r = _mm_mullo_epi16(channel(a, b, 16), w);
    const __m128i g = _mm_mullo_epi16(channel(a, b, 8), w);
    const __m128i bl = _mm_mullo_epi16(channel(a, b, 0), w);
    __m128i vr, vg, vb;
    if (colored) {
      vr = _mm_srli_epi16(_mm_mulhi_epu16(r, redTint), 3);
      vg = _mm_srli_epi16(_mm_mulhi_epu16(g, greenTint), 2);
      vb = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(bl, 8), blueTint), 11);
    } else {
      vr = _mm_srli_epi16(r, 11);
      vg = _mm_srli_epi16(g, 10);
      vb = _mm_srli_epi16(bl, 11);
    }
    const __m128i dr = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(dst, 11), rest), 8);
    const __m128i dg = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(dst, 5), six), rest), 8);
    const __m128i db = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(dst, five), rest), 8);
    const __m128i out =
        _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_add_epi16(vr, dr), 11), _mm_slli_epi16(_mm_add_epi16(vg, dg), 5)),
                     _mm_add_epi16(vb, db));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
  }
#else
  (void)d, (void)s, (void)count, (void)k0, (void)colored, (void)c;
#endif
  return i;
}

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
    const auto at = [&](I64 uAt, I64 vAt) {
      return static_cast<std::size_t>(srcRect.mY + static_cast<int>(vAt >> 16)) * sourceWidth +
             static_cast<std::size_t>(srcRect.mX + static_cast<int>(uAt >> 16));
    };
    if (du == 65536 && dv == 0) {
      // Axis-aligned: the fractions, and so the neighbours' weights, hold for the whole row, and the
      // neighbourhood moves one source pixel a step. At a whole-pixel offset only the top-left
      // neighbour weighs anything.
      const Weights k = weightsAt(u, v);
      const std::size_t first = at(u, v) - static_cast<std::size_t>(i0);
      // 8-8-8 pixels from 32-bit ones are blended four at a time; the rest, and the other kinds, one by one.
      constexpr bool kFourAtATime = std::is_same_v<Pixel, std::uint32_t> && !kPalettized && !kAdditive;
      const bool standardMasks = red.mMask == 0xFF0000 && green.mMask == 0xFF00 && blue.mMask == 0xFF;
      const int count = static_cast<int>(i1 - i0 + 1);
      const std::uint32_t weights[4] = {k.k0, k.k1, k.k2, k.k3};
      I64 i = i0;
      if (k.k1 == 0 && k.k2 == 0 && k.k3 == 0) {
        if constexpr (kFourAtATime)
          if (standardMasks)
            i += UnrotatedRow8888<true>(d + i0, bits + first + i0, nullptr, count, weights, kColored, c);
        if constexpr (std::is_same_v<Pixel, std::uint16_t> && !kPalettized && !kAdditive)
          if (red.mMask == 0xF800 && green.mMask == 0x07E0 && blue.mMask == 0x001F)
            i += WholePixelRow565(d + i0, bits + first + i0, count, k.k0, kColored, c);
        const Weights one{k.k0, 0, 0, 0};
        for (; i <= i1; ++i) d[i] = static_cast<Pixel>(compose(fetch(first + i), 0, 0, 0, one, d[i]));
      } else {
        if constexpr (kFourAtATime)
          if (standardMasks)
            i += UnrotatedRow8888<false>(d + i0, bits + first + i0, bits + first + i0 + sourceWidth, count, weights,
                                         kColored, c);
        for (; i <= i1; ++i) {
          const std::size_t s = first + i;
          d[i] = static_cast<Pixel>(
              compose(fetch(s), fetch(s + 1), fetch(s + sourceWidth), fetch(s + sourceWidth + 1), k, d[i]));
        }
      }
      continue;
    }
    for (I64 i = i0; i <= i1; ++i, u += du, v += dv) {
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
    RotateAt<std::uint16_t>(target, src, source.mWidth, srcRect, x, y, area, c, white, additive, angle, centerX,
                            centerY);
  else
    RotateAt<std::uint32_t>(target, src, source.mWidth, srcRect, x, y, area, c, white, additive, angle, centerX,
                            centerY);
}

}  // namespace Kit::SurfaceDraw
