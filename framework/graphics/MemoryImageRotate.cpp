// Rotated blits with bilinear sampling in 16.16 fixed point.
#include "framework/graphics/AdditiveTable.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelBlend.h"
#include "framework/graphics/RotatedSpan.h"
#include "framework/graphics/SourcePixels.h"

#include <algorithm>
#include <cmath>

namespace Kit {
namespace {

using PixelBlend::Clamp255;

struct Sample {
  std::uint32_t coverage;  // 0..256
  std::uint32_t r, g, b;   // colour times coverage, 0..65280
};

// The four neighbours around (u, v) (16.16, the top-left neighbour at their integer parts), each
// weighted by the product of its fractions and by its alpha.
template <typename Fetch>
Sample SampleBilinear(const Fetch& fetch, std::int64_t u, std::int64_t v) {
  const int ix = static_cast<int>(u >> 16), iy = static_cast<int>(v >> 16);
  const std::uint32_t fx = (static_cast<std::uint32_t>(u) & 0xFFFE) + 1;
  const std::uint32_t fy = (static_cast<std::uint32_t>(v) & 0xFFFE) + 1;
  const std::uint64_t gx = 65536 - fx, gy = 65536 - fy;
  // Rounded to 8 bits, so that a sample on a pixel centre weighs that pixel by a full 256.
  const auto weight = [](std::uint64_t a, std::uint64_t b) {
    return static_cast<std::uint32_t>((a * b + (1u << 23)) >> 24);
  };
  const std::uint32_t w[4] = {weight(gx, gy), weight(fx, gy), weight(gx, fy), weight(fx, fy)};
  const std::uint32_t p[4] = {fetch(ix, iy), fetch(ix + 1, iy), fetch(ix, iy + 1), fetch(ix + 1, iy + 1)};
  std::uint32_t coverage = 0, r = 0, g = 0, b = 0;
  for (int i = 0; i < 4; ++i) {
    const std::uint32_t wa = w[i] * (p[i] >> 24);
    coverage += wa;
    r += wa * ((p[i] >> 16) & 0xFF);
    g += wa * ((p[i] >> 8) & 0xFF);
    b += wa * (p[i] & 0xFF);
  }
  return {std::min<std::uint32_t>(coverage / 255, 256), r / 255, g / 255, b / 255};
}

std::uint32_t ComposeNormal(std::uint32_t dst, const Sample& s) {
  if (s.coverage >= 251)
    return 0xFF000000u | (std::min<std::uint32_t>(s.r >> 8, 255) << 16) |
           (std::min<std::uint32_t>(s.g >> 8, 255) << 8) | std::min<std::uint32_t>(s.b >> 8, 255);
  const std::uint32_t da = dst >> 24;
  const std::uint32_t uncovered = 256 - s.coverage;
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

template <typename Fetch>
void DrawRotated(std::uint32_t* dest, int destWidth, const Fetch& fetch, const RotatedSetup& setup, const Rect& box,
                 const Color& color, int drawMode) {
  const bool colored = color != Color::White;
  const std::uint32_t cr = Clamp255(color.mRed), cg = Clamp255(color.mGreen), cb = Clamp255(color.mBlue);
  const std::uint32_t ca = Clamp255(color.mAlpha);
  const AdditiveTable& add = GetAdditiveTable();
  for (int y = box.mY; y < box.mY + box.mHeight; ++y) {
    const RotatedRow row = setup.Row(box.mX, y, box.mWidth);
    std::uint32_t* out = dest + static_cast<std::size_t>(y) * destWidth + box.mX;
    for (int k = row.mFirst; k <= row.mLast; ++k) {
      Sample s = SampleBilinear(fetch, row.mU + k * setup.mStepU, row.mV + k * setup.mStepV);
      if (colored) {
        s.coverage = PixelBlend::Div255(s.coverage * ca);
        s.r = PixelBlend::Div255(((s.r * cr) / 255) * ca);
        s.g = PixelBlend::Div255(((s.g * cg) / 255) * ca);
        s.b = PixelBlend::Div255(((s.b * cb) / 255) * ca);
      }
      if (s.coverage == 0) continue;  // nothing to draw, and the blend would divide by zero
      out[k] = drawMode == 1 ? ComposeAdditive(out[k], s, add) : ComposeNormal(out[k], s);
    }
  }
}

}  // namespace

bool MemoryImage::GetRotatedBounds(float x, float y, const Rect& srcRect, const Rect& clipRect, double angle,
                                   float centerX, float centerY, Rect& bounds) {
  return RotatedSetup::Bounds(x, y, srcRect, clipRect, angle, centerX, centerY, bounds);
}

void MemoryImage::BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                       int drawMode) {
  BltRotated(image, x, y, srcRect, clipRect, color, drawMode, 0.0, 0.0f, 0.0f);
}

void MemoryImage::BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                             const Color& color, int drawMode, double angle, float centerX, float centerY) {
  auto* source = dynamic_cast<MemoryImage*>(image);
  if (!source || (drawMode != 0 && drawMode != 1)) return;
  Rect box;
  if (!GetRotatedBounds(x, y, srcRect, clipRect, angle, centerX, centerY, box)) return;
  box = box.Intersection(Rect(0, 0, mWidth, mHeight));
  // Only the part of srcRect inside the source image is sampled.
  const Rect src = srcRect.Intersection(Rect(0, 0, source->mWidth, source->mHeight));
  if (box.IsEmpty() || src.mWidth < 2 || src.mHeight < 2) return;

  std::uint32_t* dest = GetBits();
  std::unique_ptr<MemoryImage> selfCopy;
  if (source == this) {
    selfCopy = std::make_unique<MemoryImage>();
    selfCopy->SetBits(dest, mWidth, mHeight, true);
    source = selfCopy.get();
  }
  const RotatedSetup setup(x, y, srcRect, src, angle, centerX, centerY);
  const SourcePixels pixels(*source);
  const int sourceWidth = source->mWidth;
  if (pixels.IsPalettized()) {
    const std::uint32_t* table = pixels.Table();
    const std::uint8_t* indices = pixels.Indices();
    DrawRotated(
        dest, mWidth, [=](int px, int py) { return table[indices[static_cast<std::size_t>(py) * sourceWidth + px]]; },
        setup, box, color, drawMode);
  } else {
    const std::uint32_t* bits = pixels.Bits();
    DrawRotated(
        dest, mWidth, [=](int px, int py) { return bits[static_cast<std::size_t>(py) * sourceWidth + px]; }, setup, box,
        color, drawMode);
  }
  BitsChanged();
}

}  // namespace Kit
