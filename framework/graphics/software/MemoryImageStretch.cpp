// Stretched blits: the fast nearest-pixel path and the area-weighted resampler.
#include "framework/graphics/ImageLock.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/kernels/AreaStretchRows.h"
#include "framework/graphics/kernels/OverRows.h"
#include "framework/graphics/kernels/PixelBlend.h"
#include "framework/graphics/software/SelfDrawCopy.h"
#include "framework/graphics/software/SourcePixels.h"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Kit {
namespace {

bool ClipStretchCommon(const Rect& destRect, const Rect& srcRect, const Rect& clipRect, bool mirror, Rect& clippedDest,
                       MemoryImage::StretchSource& clippedSrc) {
  if (destRect.mWidth <= 0 || destRect.mHeight <= 0) return false;
  clippedDest = destRect.Intersection(clipRect);
  if (clippedDest.IsEmpty()) return false;
  const double scaleX = static_cast<double>(srcRect.mWidth) / destRect.mWidth;
  const double scaleY = static_cast<double>(srcRect.mHeight) / destRect.mHeight;
  const double cutLeft = mirror
                             ? static_cast<double>(destRect.mX) + destRect.mWidth - clippedDest.mX - clippedDest.mWidth
                             : static_cast<double>(clippedDest.mX) - destRect.mX;
  clippedSrc.mX = srcRect.mX + cutLeft * scaleX;
  clippedSrc.mY = srcRect.mY + (static_cast<double>(clippedDest.mY) - destRect.mY) * scaleY;
  clippedSrc.mWidth = srcRect.mWidth + (static_cast<double>(clippedDest.mWidth) - destRect.mWidth) * scaleX;
  clippedSrc.mHeight = srcRect.mHeight + (static_cast<double>(clippedDest.mHeight) - destRect.mHeight) * scaleY;
  return clippedSrc.mWidth > 0 && clippedSrc.mHeight > 0;
}

// One axis of the area-weighted resampler: how the covered source pixels lo..hi (absolute) feed the
// accumulation slots 1..destSize (slot 0 and the last ones are spares that catch the edges).
struct AxisWeights {
  struct Term {
    int slot;
    int weight;
  };
  std::vector<std::vector<Term>> bySource;  // minification: source pixel -> slots it adds to
  std::vector<int> left;                    // magnification: slot -> source pixel and weight of
  std::vector<int> mix;                     // the right-hand neighbour
  bool magnify = false;
  int lo = 0, hi = -1;
};

// Source pixel i (absolute) covers [ (i - start) x r + 1, (i + 1 - start) x r + 1 ), r = dest / source
// size. Weights are differences of the scaled boundaries, truncated, so that the weights of a fully
// covered slot add up to exactly the scale. The horizontal pass scales by 257 and the vertical one by
// 256: 257 x 256 >> 16 keeps every channel value exactly (257 x 257 would brighten colours by up to 2).
AxisWeights MakeAxis(double start, double size, int destSize, int imageSize, int scale) {
  AxisWeights axis;
  const double first = std::floor(start);
  const double count = std::ceil((start - first) + size);
  axis.lo = static_cast<int>(std::max(first, 0.0));
  axis.hi = static_cast<int>(std::min(first + count, static_cast<double>(imageSize))) - 1;
  if (axis.lo > axis.hi) return axis;
  axis.magnify = size < destSize;
  if (axis.magnify) {
    axis.left.resize(destSize);
    axis.mix.resize(destSize);
    for (int j = 0; j < destSize; ++j) {
      const double p = start + (j + 0.5) * size / destSize - 0.5;
      const double floorP = std::floor(p);
      int leftPixel = static_cast<int>(std::clamp(floorP, -1.0, static_cast<double>(axis.hi) + 1));
      int weight = static_cast<int>((p - floorP) * scale);
      if (leftPixel < axis.lo) {
        leftPixel = axis.lo;
        weight = 0;
      } else if (leftPixel >= axis.hi) {
        leftPixel = axis.hi;
        weight = 0;
      }
      axis.left[j] = leftPixel;
      axis.mix[j] = weight;
    }
    return axis;
  }
  const double r = destSize / size;
  const int lastSlot = destSize + 3;
  axis.bySource.resize(axis.hi - axis.lo + 1);
  for (int i = axis.lo; i <= axis.hi; ++i) {
    const double from = (i - start) * r + 1, to = from + r;
    const double slotFloor = std::floor(from);
    const int slot = static_cast<int>(std::clamp(slotFloor, 0.0, static_cast<double>(lastSlot)));
    const long long scaledFrom = static_cast<long long>(std::floor(from * scale));
    const long long scaledTo = static_cast<long long>(std::floor(to * scale));
    auto& terms = axis.bySource[i - axis.lo];
    if (to <= slotFloor + 1) {
      terms.push_back({slot, static_cast<int>(scaledTo - scaledFrom)});
    } else {
      const long long boundary = (static_cast<long long>(slotFloor) + 1) * scale;
      terms.push_back({slot, static_cast<int>(boundary - scaledFrom)});
      terms.push_back({std::min(slot + 1, lastSlot), static_cast<int>(scaledTo - boundary)});
    }
  }
  return axis;
}

// Four accumulated channels (blue, green, red, alpha). They are sums of whole-number products that
// stay below 2^24 (a channel times weights adding up to at most 257, then times weights adding up
// to at most 256), so single-precision floats hold them exactly and SSE can do four at a time.
struct Accum {
#if defined(__SSE2__)
  __m128 v = _mm_setzero_ps();
  void Add(std::uint32_t pixel, int w) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lanes = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(pixel)), zero), zero);
    v = _mm_add_ps(v, _mm_mul_ps(_mm_cvtepi32_ps(lanes), _mm_set1_ps(static_cast<float>(w))));
  }
  void Add(const Accum& o, int w) { v = _mm_add_ps(v, _mm_mul_ps(o.v, _mm_set1_ps(static_cast<float>(w)))); }
  const float* Floats() const { return reinterpret_cast<const float*>(&v); }
#else
  float v[4] = {0, 0, 0, 0};
  void Add(std::uint32_t pixel, int w) {
    for (int c = 0; c < 4; ++c) v[c] += static_cast<float>((pixel >> (8 * c)) & 0xFF) * static_cast<float>(w);
  }
  void Add(const Accum& o, int w) {
    for (int c = 0; c < 4; ++c) v[c] += o.v[c] * static_cast<float>(w);
  }
  const float* Floats() const { return v; }
#endif
};

}  // namespace

bool MemoryImage::ClipStretch(const Rect& destRect, const Rect& srcRect, const Rect& clipRect, Rect& clippedDest,
                              StretchSource& clippedSrc) {
  return ClipStretchCommon(destRect, srcRect, clipRect, false, clippedDest, clippedSrc);
}

bool MemoryImage::ClipStretchMirror(const Rect& destRect, const Rect& srcRect, const Rect& clipRect, Rect& clippedDest,
                                    StretchSource& clippedSrc) {
  return ClipStretchCommon(destRect, srcRect, clipRect, true, clippedDest, clippedSrc);
}

void MemoryImage::SlowStretchBlt(std::uint32_t* destBits, int destWidth, int destHeight, const Rect& clippedDest,
                                 MemoryImage* source, const StretchSource& src) {
  const int dw = clippedDest.mWidth, dh = clippedDest.mHeight;
  if (dw <= 0 || dh <= 0 || clippedDest.mX < 0 || clippedDest.mY < 0 || clippedDest.mX + dw > destWidth ||
      clippedDest.mY + dh > destHeight)
    return;
  ResampleArea(source, src, dw, dh, [&](int j, const std::uint32_t* resampled) {
    OverRows::OverPixels(destBits + static_cast<std::size_t>(clippedDest.mY + j) * destWidth + clippedDest.mX,
                         resampled, dw);
  });
}

void MemoryImage::ResampleArea(MemoryImage* source, const StretchSource& src, int dw, int dh,
                               const std::function<void(int row, const std::uint32_t* pixels)>& drawRow) {
  const AxisWeights ax = MakeAxis(src.mX, src.mWidth, dw, source->mWidth, 257);
  const AxisWeights ay = MakeAxis(src.mY, src.mHeight, dh, source->mHeight, 256);
  if (ax.lo > ax.hi || ay.lo > ay.hi) return;
  const SourcePixels pixels(*source);

  // Horizontal pass: one accumulated row (dw + 4 slots) per covered source row. Magnified, each
  // source pixel's channels are made floats once (0 + c x 1 is c exactly) and weighted per slot.
  const int slots = dw + 4;
  const int rows = ay.hi - ay.lo + 1;
  std::vector<Accum> horizontal(static_cast<std::size_t>(rows) * slots);
  std::vector<Accum> sourceRow(ax.magnify ? ax.hi - ax.lo + 1 : 0);
  for (int sy = ay.lo; sy <= ay.hi; ++sy) {
    Accum* out = &horizontal[static_cast<std::size_t>(sy - ay.lo) * slots];
    if (ax.magnify) {
      for (int sx = ax.lo; sx <= ax.hi; ++sx) {
        sourceRow[sx - ax.lo] = Accum();
        sourceRow[sx - ax.lo].Add(pixels.At(sx, sy), 1);
      }
      for (int j = 0; j < dw; ++j) {
        const Accum* left = &sourceRow[ax.left[j] - ax.lo];
        out[j + 1].Add(left[0], 257 - ax.mix[j]);
        if (ax.mix[j]) out[j + 1].Add(left[1], ax.mix[j]);
      }
    } else {
      for (int sx = ax.lo; sx <= ax.hi; ++sx) {
        const std::uint32_t pixel = pixels.At(sx, sy);
        for (const auto& term : ax.bySource[sx - ax.lo]) out[term.slot].Add(pixel, term.weight);
      }
    }
  }

  std::vector<std::uint32_t> resampled(dw);
  // Vertical pass, magnified: each destination row mixes two accumulated rows straight into pixels.
  if (ay.magnify) {
    for (int j = 0; j < dh; ++j) {
      const Accum* top = &horizontal[static_cast<std::size_t>(ay.left[j] - ay.lo) * slots + 1];
      const Accum* bottom = ay.mix[j] ? top + slots : nullptr;
      AreaStretchRows::Mix(resampled.data(), top->Floats(), bottom ? bottom->Floats() : nullptr,
                           static_cast<float>(256 - ay.mix[j]), static_cast<float>(ay.mix[j]), dw);
      drawRow(j, resampled.data());
    }
    return;
  }
  // Minified: into dh + 4 accumulated rows first.
  std::vector<Accum> vertical(static_cast<std::size_t>(dh + 4) * dw);
  for (int sy = ay.lo; sy <= ay.hi; ++sy) {
    const Accum* in = &horizontal[static_cast<std::size_t>(sy - ay.lo) * slots + 1];
    for (const auto& term : ay.bySource[sy - ay.lo]) {
      Accum* out = &vertical[static_cast<std::size_t>(term.slot) * dw];
      for (int i = 0; i < dw; ++i) out[i].Add(in[i], term.weight);
    }
  }
  for (int j = 0; j < dh; ++j) {
    AreaStretchRows::Mix(resampled.data(), vertical[static_cast<std::size_t>(j + 1) * dw].Floats(), nullptr, 1.0f, 0.0f,
                         dw);
    drawRow(j, resampled.data());
  }
}

void MemoryImage::StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                             const Color& color, int drawMode, bool fastStretch) {
  const ImageOperationGuard guard(StoreLock());
  auto* source = dynamic_cast<MemoryImage*>(image);
  if (!source) return;
  Rect dest;
  StretchSource src;
  // The destination image bounds join the clip: a destination rectangle past the image must not
  // write outside the pixels.
  if (!ClipStretch(destRect, srcRect, clipRect.Intersection(Rect(0, 0, mWidth, mHeight)), dest, src)) return;
  if (fastStretch && color != Color::White) return;

  std::uint32_t* bits = GetBits();
  const SelfDrawCopy selfCopy(source, *this, bits);
  if (source->mWidth <= 0 || source->mHeight <= 0) return;

  if (fastStretch) {
    const SourcePixels pixels(*source);
    const double stepX = src.mWidth / dest.mWidth, stepY = src.mHeight / dest.mHeight;
    // Positions outside the source image (a source rectangle reaching past it) read its edge.
    std::vector<int> columns(dest.mWidth);
    for (int col = 0; col < dest.mWidth; ++col)
      columns[col] = static_cast<int>(std::clamp(std::trunc(src.mX + col * stepX), 0.0, source->mWidth - 1.0));
    // A magnified source row serves several destination rows: it is sampled once.
    std::vector<std::uint32_t> sampled(dest.mWidth);
    int sampledRow = -1;
    for (int row = 0; row < dest.mHeight; ++row) {
      const int sy = static_cast<int>(std::clamp(std::trunc(src.mY + row * stepY), 0.0, source->mHeight - 1.0));
      if (sy != sampledRow) {
        sampledRow = sy;
        for (int col = 0; col < dest.mWidth; ++col) sampled[col] = pixels.At(columns[col], sy);
      }
      OverRows::OverPixels(bits + static_cast<std::size_t>(dest.mY + row) * mWidth + dest.mX, sampled.data(),
                           dest.mWidth);
    }
  } else {
    SlowStretchBlt(bits, mWidth, mHeight, dest, source, src);
  }
  BitsChanged();
}

}  // namespace Kit
