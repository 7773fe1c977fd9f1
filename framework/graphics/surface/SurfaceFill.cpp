#include "framework/graphics/surface/SurfaceFill.h"

#include "framework/graphics/surface/SurfacePixelMath.h"

#include <algorithm>
#include <cstring>

namespace Kit::SurfaceDraw {
namespace {

using namespace SurfaceMath;

template <typename Pixel, typename Op>
void ForEachPixel(const SurfaceTarget& t, const Rect& area, Op op) {
  for (int y = area.mY; y < area.mY + area.mHeight; ++y) {
    Pixel* p = t.mPixels.Row<Pixel>(y) + area.mX;
    for (int i = 0; i < area.mWidth; ++i) p[i] = static_cast<Pixel>(op(static_cast<std::uint32_t>(p[i])));
  }
}

std::uint32_t OpaqueValue(const SurfaceTarget& t, const Rgba& c) {
  return ((((c.r + 1) * t.mRed.mMask) >> 8) & t.mRed.mMask) | ((((c.g + 1) * t.mGreen.mMask) >> 8) & t.mGreen.mMask) |
         ((((c.b + 1) * t.mBlue.mMask) >> 8) & t.mBlue.mMask);
}

template <typename Pixel>
void NormalFillAt(const SurfaceTarget& t, const Rect& area, const Rgba& c) {
  if (c.a == 255) {
    Pixel* first = t.mPixels.Row<Pixel>(area.mY) + area.mX;
    std::fill_n(first, area.mWidth, static_cast<Pixel>(OpaqueValue(t, c)));
    // The other rows copy the first: a wide memory copy beats a loop of single pixels.
    for (int y = area.mY + 1; y < area.mY + area.mHeight; ++y)
      std::memcpy(t.mPixels.Row<Pixel>(y) + area.mX, first, static_cast<std::size_t>(area.mWidth) * sizeof(Pixel));
    return;
  }
  const std::uint32_t ia = 256 - c.a;
  // 16 bits round both terms, 32 bits round the colour term only slightly and truncate the rest.
  constexpr bool k16 = sizeof(Pixel) == 2;
  constexpr std::uint32_t colourRound = k16 ? 128 : 127;
  auto term = [&](std::uint32_t channel, std::uint32_t mask) {
    return (((((channel * c.a + colourRound) >> 8) + 1) * mask) >> 8) & mask;
  };
  const std::uint32_t k = term(c.r, t.mRed.mMask) + term(c.g, t.mGreen.mMask) + term(c.b, t.mBlue.mMask);
  if constexpr (k16) {
    auto scale = [&](std::uint32_t d, std::uint32_t mask) { return ((((d & mask) * ia + mask) >> 8) & mask); };
    ForEachPixel<Pixel>(t, area, [&](std::uint32_t d) {
      return scale(d, t.mRed.mMask) + scale(d, t.mGreen.mMask) + scale(d, t.mBlue.mMask) + k;
    });
  } else {
    ForEachPixel<Pixel>(t, area, [&](std::uint32_t d) { return ScaleChannels(t, d, ia) + k; });
  }
}

template <typename Pixel>
void AdditiveFillAt(const SurfaceTarget& t, const Rect& area, const Rgba& c) {
  const Rgba p = Premultiplied(c);
  const std::uint32_t er = p.r >> (8 - t.mRed.mBits);
  const std::uint32_t eg = p.g >> (8 - t.mGreen.mBits);
  const std::uint32_t eb = p.b >> (8 - t.mBlue.mBits);
  ForEachPixel<Pixel>(t, area, [&](std::uint32_t d) {
    return AddChannel(t.mRed, d, er) | AddChannel(t.mGreen, d, eg) | AddChannel(t.mBlue, d, eb);
  });
}

}  // namespace

void NormalFill(const SurfaceTarget& target, const Rect& rect, const Color& color) {
  const Rect area = rect.Intersection(target.mPixels.Bounds());
  if (area.IsEmpty() || !target.mPixels.IsDrawable()) return;
  if (target.mPixels.mBitCount == 16)
    NormalFillAt<std::uint16_t>(target, area, Clamped(color));
  else
    NormalFillAt<std::uint32_t>(target, area, Clamped(color));
}

void AdditiveFill(const SurfaceTarget& target, const Rect& rect, const Color& color) {
  const Rect area = rect.Intersection(target.mPixels.Bounds());
  if (area.IsEmpty() || !target.mPixels.IsDrawable() || !target.mAdditiveUsable) return;
  if (target.mPixels.mBitCount == 16)
    AdditiveFillAt<std::uint16_t>(target, area, Clamped(color));
  else
    AdditiveFillAt<std::uint32_t>(target, area, Clamped(color));
}

}  // namespace Kit::SurfaceDraw
