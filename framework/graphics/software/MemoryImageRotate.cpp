// Rotated blits with bilinear sampling in 16.16 fixed point.
#include "framework/graphics/ImageLock.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/kernels/AdditiveTable.h"
#include "framework/graphics/kernels/PixelBlend.h"
#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/kernels/UnrotatedRows.h"
#include "framework/graphics/software/SelfDrawCopy.h"
#include "framework/graphics/software/SourcePixels.h"
#include "framework/graphics/surface/RotatedSpan.h"

#include <algorithm>
#include <cmath>
#include <memory>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit {
namespace {

using PixelBlend::Clamp255;

struct Sample {
  std::uint32_t coverage;  // 0..256
  std::uint32_t r, g, b;   // colour times coverage, 0..65280
};

// The four neighbours around (u, v) (16.16, the top-left neighbour at their integer parts), each
// weighted by the product of its fractions and by its alpha. fetch(ix, iy, p) reads the 2x2 block.
template <typename Fetch>
Sample SampleBilinear(const Fetch& fetch, std::int64_t u, std::int64_t v) {
  std::uint32_t p[4];
  fetch(static_cast<int>(u >> 16), static_cast<int>(v >> 16), p);
  if (((p[0] | p[1] | p[2] | p[3]) >> 24) == 0) return {0, 0, 0, 0};  // all transparent
  const std::uint32_t fx = (static_cast<std::uint32_t>(u) & 0xFFFE) + 1;
  const std::uint32_t fy = (static_cast<std::uint32_t>(v) & 0xFFFE) + 1;
  const std::uint32_t gx = 65536 - fx, gy = 65536 - fy;
  // Rounded to 8 bits, so that a sample on a pixel centre weighs that pixel by a full 256:
  // ((a x b >> 23) + 1) >> 1 is (a x b + 2^23) >> 24 without leaving 32 bits.
  const auto weight = [](std::uint32_t a, std::uint32_t b) { return (((a * b) >> 23) + 1) >> 1; };
  // Red and blue share one 64-bit sum 32 bits apart; no sum exceeds 24 bits.
  std::uint64_t redBlue = 0;
  std::uint32_t coverage = 0, green = 0;
  const auto add = [&](std::uint32_t pixel, std::uint32_t w) {
    const std::uint32_t wa = w * (pixel >> 24);
    coverage += wa;
    redBlue += ((static_cast<std::uint64_t>(pixel & 0xFF0000) << 16) | (pixel & 0xFF)) * wa;
    green += ((pixel >> 8) & 0xFF) * wa;
  };
  add(p[0], weight(gx, gy));
  add(p[1], weight(fx, gy));
  add(p[2], weight(gx, fy));
  add(p[3], weight(fx, fy));
  return {std::min<std::uint32_t>(coverage / 255, 256), static_cast<std::uint32_t>(redBlue >> 32) / 255, green / 255,
          static_cast<std::uint32_t>(redBlue) / 255};
}

std::uint32_t ComposeNormal(std::uint32_t dst, const Sample& s) {
  if (s.coverage >= 251)
    return 0xFF000000u | (std::min<std::uint32_t>(s.r >> 8, 255) << 16) |
           (std::min<std::uint32_t>(s.g >> 8, 255) << 8) | std::min<std::uint32_t>(s.b >> 8, 255);
  const std::uint32_t da = dst >> 24;
  const std::uint32_t uncovered = 256 - s.coverage;
  if (da == 255) {
    // Over an opaque pixel nothing is hidden and the divisor is 256.
    auto channel = [&](std::uint32_t d, std::uint32_t sum) {
      return std::min<std::uint32_t>((((d * 255) >> 8) * uncovered + sum) >> 8, 255);
    };
    return 0xFF000000u | (channel((dst >> 16) & 0xFF, s.r) << 16) | (channel((dst >> 8) & 0xFF, s.g) << 8) |
           channel(dst & 0xFF, s.b);
  }
  const std::uint32_t hidden = ((256 - da) * uncovered) >> 8;
  const std::uint32_t outA = 255 - hidden;
  const std::uint32_t denominator = 256 - hidden;  // > 0: coverage 0 never gets here
  auto channel = [&](std::uint32_t d, std::uint32_t sum) {
    return std::min<std::uint32_t>((((d * da) >> 8) * uncovered + sum) / denominator, 255);
  };
  return (outA << 24) | (channel((dst >> 16) & 0xFF, s.r) << 16) | (channel((dst >> 8) & 0xFF, s.g) << 8) |
         channel(dst & 0xFF, s.b);
}

std::uint32_t ComposeAdditive(std::uint32_t dst, const Sample& s, const AdditiveTable& add) {
  return (dst & 0xFF000000u) |
         (std::uint32_t{add[((dst >> 16) & 0xFF) + std::min<std::uint32_t>(s.r >> 8, 255)]} << 16) |
         (std::uint32_t{add[((dst >> 8) & 0xFF) + std::min<std::uint32_t>(s.g >> 8, 255)]} << 8) |
         add[(dst & 0xFF) + std::min<std::uint32_t>(s.b >> 8, 255)];
}

// Whole source pixels over a row of opaque ones, uncoloured, four at a time while the destination
// stays opaque: alpha 0 leaves a pixel, alpha 251 and up gives the source colour (C x 256a / 255 >> 8),
// any other mixes ((D x 255 >> 8)(256 - a) + C x 256a / 255) >> 8. Returns how many pixels it drew.
int WholePixelsOntoOpaque(std::uint32_t* out, const std::uint32_t* in, int count) {
  int k = 0;
#if defined(__SSE2__)
  if (!Simd::UseSse2()) return 0;
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi16(1);
  const __m128i full = _mm_set1_epi16(256);
  const __m128i nearlyOpaque = _mm_set1_epi16(250);
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  auto half = [&](__m128i s16, __m128i d16) {
    const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    const __m128i ac = _mm_mullo_epi16(s16, a);
    // ac / 255 is (ac + 1 + (ac >> 8)) >> 8 for every ac up to 255 x 255.
    const __m128i sum =
        _mm_add_epi16(ac, _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(ac, one), _mm_srli_epi16(ac, 8)), 8));
    const __m128i kept = _mm_mullo_epi16(_mm_subs_epu16(d16, one), _mm_sub_epi16(full, a));
    const __m128i mixed = _mm_srli_epi16(_mm_add_epi16(kept, sum), 8);
    const __m128i high = _mm_cmpgt_epi16(a, nearlyOpaque);
    const __m128i drawn = _mm_or_si128(_mm_and_si128(high, _mm_srli_epi16(sum, 8)), _mm_andnot_si128(high, mixed));
    const __m128i clear = _mm_cmpeq_epi16(a, zero);
    return _mm_or_si128(_mm_and_si128(clear, d16), _mm_andnot_si128(clear, drawn));
  };
  for (; k + 4 <= count; k += 4) {
    const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    // Four transparent pixels leave the destination as it is, four opaque ones are copied, whatever it holds.
    const __m128i alpha = _mm_and_si128(src, opaque);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) continue;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, opaque)) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), src);
      continue;
    }
    const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + k));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(dst, opaque), opaque)) != 0xFFFF) break;
    const __m128i lo = half(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_or_si128(_mm_packus_epi16(lo, hi), opaque));
  }
#else
  (void)out, (void)in, (void)count;
#endif
  return k;
}

#define KIT_SIMD_BODY "framework/graphics/kernels/MemoryImageRotatedRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

// Rotated samples of 32-bit source pixels, a register at a time (see MemoryImageRotatedRowsBody.inl);
// pixels first to last of out, the ones the kernels leave to scalar(k). colour: red, green, blue, alpha.
template <typename Scalar>
void RotatedPixels(std::uint32_t* out, const std::uint32_t* bits, int stride, std::int64_t u, std::int64_t v,
                   std::int64_t du, std::int64_t dv, int first, int last, const std::uint32_t (&colour)[4],
                   bool colored, bool additive, const Scalar& scalar) {
  int i = first;
  KIT_RUN_AVX2(RotatedPixels(out, bits, stride, u, v, du, dv, i, last + 1, colour, colored, additive, scalar));
  KIT_RUN_SSE2(RotatedPixels(out, bits, stride, u, v, du, dv, i, last + 1, colour, colored, additive, scalar));
  for (; i <= last; ++i) scalar(i);
}

// A whole source pixel drawn uncoloured in normal mode: its sample is the pixel alone at coverage
// 256a / 255, and an opaque one comes out as it is.
std::uint32_t WholePixel(std::uint32_t dst, std::uint32_t src) {
  const std::uint32_t a = src >> 24;
  if (a == 0) return dst;
  if (a == 255) return src;
  return ComposeNormal(dst, {256 * a / 255, 256 * a * ((src >> 16) & 0xFF) / 255, 256 * a * ((src >> 8) & 0xFF) / 255,
                             256 * a * (src & 0xFF) / 255});
}

// Unrotated at a whole-pixel position, normal and uncoloured, from 32-bit pixels: every drawn row
// takes the same run of the next source row (at angle 0 the row's column does not change), so the
// rows are drawn as one block. False, having drawn nothing, when the rows are not of that kind.
bool DrawWholePixels(std::uint32_t* dest, int destWidth, MemoryImage& source, const std::uint32_t* bits,
                     const RotatedSetup& setup, const Rect& box, bool exactRows) {
  const int sourceWidth = source.mWidth;
  int first = -1, rows = 0;
  RotatedRow top{};
  int from = 0, to = box.mHeight;
  if (exactRows) {
    // Row r starts exactly r pixels below row 0: the drawn ones follow at once.
    const std::int64_t v0 = setup.StartV(box.mX, box.mY);
    setup.RowsInside(v0, box.mHeight, from, to);
    if (from >= to) return true;
    if ((v0 & 0xFFFE) != 0) return false;
    top = setup.Row(box.mX, box.mY + from, box.mWidth);
    if ((top.mU & 0xFFFE) != 0) return false;
    first = box.mY + from;
    rows = to - from;
    from = to = 0;
  }
  for (int y = box.mY + from; y < box.mY + to; ++y) {
    const std::int64_t v = setup.StartV(box.mX, y);
    if (!setup.InsideV(v)) continue;
    if ((v & 0xFFFE) != 0) return false;
    if (first < 0) {
      top = setup.Row(box.mX, y, box.mWidth);
      if ((top.mU & 0xFFFE) != 0) return false;
      first = y;
    } else if (y != first + rows || (v >> 16) != (top.mV >> 16) + rows) {
      return false;
    }
    ++rows;
  }
  if (rows == 0 || top.mFirst > top.mLast) return true;
  const std::size_t at = static_cast<std::size_t>(top.mV >> 16) * sourceWidth + (top.mU >> 16) + top.mFirst;
  const std::uint32_t* words = source.GetWeightedWords(UnrotatedRows::Layout::kImage);
  const std::size_t plane = static_cast<std::size_t>(sourceWidth) * source.mHeight;
  UnrotatedRows::OntoImage(dest + static_cast<std::size_t>(first) * destWidth + box.mX + top.mFirst, destWidth,
                           words + at, words + plane + at, bits + at, source.GetRLAlphaData() + at, sourceWidth,
                           top.mLast - top.mFirst + 1, rows, &WholePixel);
  return true;
}

template <typename Fetch>
void DrawRotated(std::uint32_t* dest, int destWidth, const Fetch& fetch, const SourcePixels& pixels, int sourceWidth,
                 const Rect& sampled, bool narrowSource, const RotatedSetup& setup, const Rect& box, const Color& color,
                 int drawMode) {
  const bool colored = color != Color::White;
  const std::uint32_t cr = Clamp255(color.mRed), cg = Clamp255(color.mGreen), cb = Clamp255(color.mBlue);
  const std::uint32_t ca = Clamp255(color.mAlpha);
  const std::uint32_t colour[4] = {cr, cg, cb, ca};
  const AdditiveTable& add = GetAdditiveTable();
  const auto put = [&](std::uint32_t& out, Sample s) {
    if (colored) {
      s.coverage = PixelBlend::Div255(s.coverage * ca);
      s.r = PixelBlend::Div255(((s.r * cr) / 255) * ca);
      s.g = PixelBlend::Div255(((s.g * cg) / 255) * ca);
      s.b = PixelBlend::Div255(((s.b * cb) / 255) * ca);
    }
    if (s.coverage == 0) return;  // nothing to draw, and the blend would divide by zero
    out = drawMode == 1 ? ComposeAdditive(out, s, add) : ComposeNormal(out, s);
  };
  // Unrotated at a whole-pixel position every sample sits on a pixel centre: the top-left neighbour
  // weighs 256 and the others 0, so the sample is that one pixel (an opaque one comes out unchanged).
  const bool unrotated = setup.mStepU == 65536 && setup.mStepV == 0;
  const bool plainCopy = !colored && drawMode == 0;
  // The kernels read 32-bit pixels: a palettized source's sampled rectangle is looked up into rows of
  // its own, once, at the first row that needs them; there a sample sits at its position less the
  // rectangle's corner.
  std::unique_ptr<std::uint32_t[]> unpacked;
  const std::uint32_t* kernelBits = narrowSource ? pixels.Bits() : nullptr;
  int kernelStride = sourceWidth;
  std::int64_t cornerU = 0, cornerV = 0;
  const auto unpack = [&] {
    unpacked = pixels.Unpacked(sampled);
    kernelBits = unpacked.get();
    kernelStride = sampled.mWidth;
    cornerU = std::int64_t{sampled.mX} << 16;
    cornerV = std::int64_t{sampled.mY} << 16;
  };
  for (int y = box.mY; y < box.mY + box.mHeight; ++y) {
    const RotatedRow row = setup.Row(box.mX, y, box.mWidth);
    std::uint32_t* out = dest + static_cast<std::size_t>(y) * destWidth + box.mX;
    if (unrotated && (row.mU & 0xFFFE) == 0 && (row.mV & 0xFFFE) == 0) {
      std::uint32_t p[4];
      int k = row.mFirst;
      // 32-bit pixels over opaque ones go four at a time; the rest one by one.
      if (plainCopy && !pixels.IsPalettized() && row.mFirst <= row.mLast) {
        const std::uint32_t* in =
            pixels.Bits() + static_cast<std::size_t>(row.mV >> 16) * sourceWidth + (row.mU >> 16) + row.mFirst;
        k += WholePixelsOntoOpaque(out + row.mFirst, in, row.mLast - row.mFirst + 1);
      }
      for (; k <= row.mLast; ++k) {
        fetch(static_cast<int>((row.mU >> 16) + k), static_cast<int>(row.mV >> 16), p);
        const std::uint32_t a = p[0] >> 24;
        if (a == 0) continue;
        if (a == 255 && plainCopy) {
          out[k] = p[0];
          continue;
        }
        put(out[k], {256 * a / 255, 256 * a * ((p[0] >> 16) & 0xFF) / 255, 256 * a * ((p[0] >> 8) & 0xFF) / 255,
                     256 * a * (p[0] & 0xFF) / 255});
      }
      continue;
    }
    const auto sampleAt = [&](int k) {
      put(out[k], SampleBilinear(fetch, row.mU + k * setup.mStepU, row.mV + k * setup.mStepV));
    };
    if (narrowSource && pixels.IsPalettized() && !kernelBits && row.mFirst <= row.mLast) unpack();
    if (kernelBits)
      RotatedPixels(out, kernelBits, kernelStride, row.mU - cornerU, row.mV - cornerV, setup.mStepU, setup.mStepV,
                    row.mFirst, row.mLast, colour, colored, drawMode == 1, sampleAt);
    else
      for (int k = row.mFirst; k <= row.mLast; ++k) sampleAt(k);
  }
}

}  // namespace

bool MemoryImage::GetRotatedBounds(float x, float y, const Rect& srcRect, const Rect& clipRect, double angle,
                                   float centerX, float centerY, Rect& bounds) {
  return RotatedSetup::Bounds(x, y, srcRect, clipRect, angle, centerX, centerY, bounds);
}

void MemoryImage::BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                       int drawMode) {
  const ImageOperationGuard guard(StoreLock());
  BltRotated(image, x, y, srcRect, clipRect, color, drawMode, 0.0, 0.0f, 0.0f);
}

void MemoryImage::BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                             const Color& color, int drawMode, double angle, float centerX, float centerY) {
  const ImageOperationGuard guard(StoreLock());
  auto* source = dynamic_cast<MemoryImage*>(image);
  if (!source || (drawMode != 0 && drawMode != 1)) return;
  Rect box;
  if (!GetRotatedBounds(x, y, srcRect, clipRect, angle, centerX, centerY, box)) return;
  box = box.Intersection(Rect(0, 0, mWidth, mHeight));
  // Only the part of srcRect inside the source image is sampled.
  const Rect src = srcRect.Intersection(Rect(0, 0, source->mWidth, source->mHeight));
  if (box.IsEmpty() || src.mWidth < 2 || src.mHeight < 2) return;

  std::uint32_t* dest = GetBits();
  const SelfDrawCopy selfCopy(source, *this, dest);
  const RotatedSetup setup(x, y, srcRect, src, angle, centerX, centerY);
  const SourcePixels pixels(*source);
  const int sourceWidth = source->mWidth;
  // The four-at-a-time rows compute source offsets in 32-bit lanes, rows as 16 x 16 products.
  const bool narrowSource = source->mWidth < 32768 && source->mHeight < 32768;
  if (angle == 0 && drawMode == 0 && color == Color::White && !pixels.IsPalettized() && Simd::UseSse2() &&
      DrawWholePixels(dest, mWidth, *source, pixels.Bits(), setup, box, OnFixedGrid(y) && OnFixedGrid(centerY))) {
    BitsChanged();
    return;
  }
  if (pixels.IsPalettized()) {
    const std::uint32_t* table = pixels.Table();
    const std::uint8_t* indices = pixels.Indices();
    DrawRotated(
        dest, mWidth,
        [=](int px, int py, std::uint32_t* p) {
          const std::uint8_t* at = indices + static_cast<std::size_t>(py) * sourceWidth + px;
          p[0] = table[at[0]];
          p[1] = table[at[1]];
          p[2] = table[at[sourceWidth]];
          p[3] = table[at[sourceWidth + 1]];
        },
        pixels, sourceWidth, src, narrowSource, setup, box, color, drawMode);
  } else {
    const std::uint32_t* bits = pixels.Bits();
    DrawRotated(
        dest, mWidth,
        [=](int px, int py, std::uint32_t* p) {
          const std::uint32_t* at = bits + static_cast<std::size_t>(py) * sourceWidth + px;
          p[0] = at[0];
          p[1] = at[1];
          p[2] = at[sourceWidth];
          p[3] = at[sourceWidth + 1];
        },
        pixels, sourceWidth, src, narrowSource, setup, box, color, drawMode);
  }
  BitsChanged();
}

}  // namespace Kit
