// Stretched blits: the fast nearest-pixel path and the area-weighted resampler.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelBlend.h"
#include "framework/graphics/SourcePixels.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

struct Accum {
  int a = 0, r = 0, g = 0, b = 0;
  void Add(std::uint32_t pixel, int w) {
    a += static_cast<int>(pixel >> 24) * w;
    r += static_cast<int>((pixel >> 16) & 0xFF) * w;
    g += static_cast<int>((pixel >> 8) & 0xFF) * w;
    b += static_cast<int>(pixel & 0xFF) * w;
  }
  void Add(const Accum& o, int w) {
    a += o.a * w;
    r += o.r * w;
    g += o.g * w;
    b += o.b * w;
  }
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
  const AxisWeights ax = MakeAxis(src.mX, src.mWidth, dw, source->mWidth, 257);
  const AxisWeights ay = MakeAxis(src.mY, src.mHeight, dh, source->mHeight, 256);
  if (ax.lo > ax.hi || ay.lo > ay.hi) return;
  const SourcePixels pixels(*source);

  // Horizontal pass: one accumulated row (dw + 4 slots) per covered source row.
  const int slots = dw + 4;
  const int rows = ay.hi - ay.lo + 1;
  std::vector<Accum> horizontal(static_cast<std::size_t>(rows) * slots);
  for (int sy = ay.lo; sy <= ay.hi; ++sy) {
    Accum* out = &horizontal[static_cast<std::size_t>(sy - ay.lo) * slots];
    if (ax.magnify) {
      for (int j = 0; j < dw; ++j) {
        out[j + 1].Add(pixels.At(ax.left[j], sy), 257 - ax.mix[j]);
        if (ax.mix[j]) out[j + 1].Add(pixels.At(ax.left[j] + 1, sy), ax.mix[j]);
      }
    } else {
      for (int sx = ax.lo; sx <= ax.hi; ++sx) {
        const std::uint32_t pixel = pixels.At(sx, sy);
        for (const auto& term : ax.bySource[sx - ax.lo]) out[term.slot].Add(pixel, term.weight);
      }
    }
  }

  // Vertical pass into dh + 4 accumulated rows.
  std::vector<Accum> vertical(static_cast<std::size_t>(dh + 4) * dw);
  for (int j = 0; j < dh; ++j) {
    if (!ay.magnify) break;
    const Accum* top = &horizontal[static_cast<std::size_t>(ay.left[j] - ay.lo) * slots + 1];
    const Accum* bottom = ay.mix[j] ? top + slots : top;
    Accum* out = &vertical[static_cast<std::size_t>(j + 1) * dw];
    for (int i = 0; i < dw; ++i) {
      out[i].Add(top[i], 256 - ay.mix[j]);
      if (ay.mix[j]) out[i].Add(bottom[i], ay.mix[j]);
    }
  }
  if (!ay.magnify) {
    for (int sy = ay.lo; sy <= ay.hi; ++sy) {
      const Accum* in = &horizontal[static_cast<std::size_t>(sy - ay.lo) * slots + 1];
      for (const auto& term : ay.bySource[sy - ay.lo]) {
        Accum* out = &vertical[static_cast<std::size_t>(term.slot) * dw];
        for (int i = 0; i < dw; ++i) out[i].Add(in[i], term.weight);
      }
    }
  }

  for (int j = 0; j < dh; ++j) {
    const Accum* in = &vertical[static_cast<std::size_t>(j + 1) * dw];
    std::uint32_t* row = destBits + static_cast<std::size_t>(clippedDest.mY + j) * destWidth + clippedDest.mX;
    for (int i = 0; i < dw; ++i) {
      const auto down = [](int v) { return static_cast<std::uint32_t>(std::clamp(v >> 16, 0, 255)); };
      const std::uint32_t a = down(in[i].a);
      if (a == 0) continue;
      const std::uint32_t pixel = (down(in[i].r) << 16) | (down(in[i].g) << 8) | down(in[i].b);
      row[i] = PixelBlend::Over(row[i], pixel, a);
    }
  }
}

void MemoryImage::StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                             const Color& color, int drawMode, bool fastStretch) {
  auto* source = dynamic_cast<MemoryImage*>(image);
  if (!source) return;
  Rect dest;
  StretchSource src;
  // The destination image bounds join the clip: a destination rectangle past the image must not
  // write outside the pixels.
  if (!ClipStretch(destRect, srcRect, clipRect.Intersection(Rect(0, 0, mWidth, mHeight)), dest, src)) return;
  if (fastStretch && color != Color::White) return;

  std::uint32_t* bits = GetBits();
  std::unique_ptr<MemoryImage> selfCopy;
  if (source == this) {
    selfCopy = std::make_unique<MemoryImage>();
    selfCopy->SetBits(bits, mWidth, mHeight, true);
    source = selfCopy.get();
  }
  if (source->mWidth <= 0 || source->mHeight <= 0) return;

  if (fastStretch) {
    const SourcePixels pixels(*source);
    const double stepX = src.mWidth / dest.mWidth, stepY = src.mHeight / dest.mHeight;
    for (int row = 0; row < dest.mHeight; ++row) {
      // Positions outside the source image (a source rectangle reaching past it) read its edge.
      const int sy = static_cast<int>(std::clamp(std::trunc(src.mY + row * stepY), 0.0, source->mHeight - 1.0));
      std::uint32_t* out = bits + static_cast<std::size_t>(dest.mY + row) * mWidth + dest.mX;
      for (int col = 0; col < dest.mWidth; ++col) {
        const int sx = static_cast<int>(std::clamp(std::trunc(src.mX + col * stepX), 0.0, source->mWidth - 1.0));
        const std::uint32_t pixel = pixels.At(sx, sy);
        if (const std::uint32_t a = pixel >> 24; a > 0) out[col] = PixelBlend::Over(out[col], pixel, a);
      }
    }
  } else {
    SlowStretchBlt(bits, mWidth, mHeight, dest, source, src);
  }
  BitsChanged();
}

}  // namespace Kit
