#include "framework/graphics/surface/SurfaceLine.h"

#include "framework/graphics/surface/SurfacePixelMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace Kit::SurfaceDraw {
namespace {

using namespace SurfaceMath;

// Coordinates far outside any surface would overflow the integer walk; such a line draws nothing.
bool Walkable(double v) { return std::isfinite(v) && std::fabs(v) < 1e6; }

int Trunc(double v) { return static_cast<int>(v); }

// Walks from one end to the other along the major axis. byTruncatedDelta picks the major axis by
// the truncated deltas (the translucent and additive lines), otherwise by the exact ones. plot(x, y)
// draws one pixel.
template <typename Plot>
void WalkLine(double x0, double y0, double x1, double y1, bool byTruncatedDelta, Plot plot) {
  const double minX = std::min(x0, x1), maxX = std::max(x0, x1);
  const double minY = std::min(y0, y1), maxY = std::max(y0, y1);
  auto outside = [&](int x, int y) { return x < minX || x > maxX || y < minY || y > maxY; };
  double dx = x1 - x0;
  double dy = y1 - y0;
  const bool xMajor = byTruncatedDelta ? std::abs(Trunc(dy)) < std::abs(Trunc(dx)) : std::fabs(dx) > std::fabs(dy);
  // Walk the major axis in the direction of growth: swap the ends when it shrinks.
  if ((xMajor && dx < 0) || (!xMajor && dy < 0)) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    dx = -dx;
    dy = -dy;
  }
  // In the walk's own terms: "major" grows by one per pixel, "minor" steps when the error says so.
  const double major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
  const double majorEnd = xMajor ? x1 : y1;
  double dMajor = xMajor ? dx : dy, dMinor = xMajor ? dy : dx;
  int minorStep = 1;
  if (dMinor < 0) {
    minorStep = -1;
    dMinor = -dMinor;
  }
  int major = Trunc(major0);
  int minor = Trunc(minor0);
  const int i1 = Trunc(2 * (dMinor - dMajor));
  const int i2 = Trunc(2 * dMinor);
  const double frac = minor0 - Trunc(minor0);
  int error = Trunc(frac * i2 + Trunc(2 * dMinor - dMajor));
  auto draw = [&](int maj, int min) { xMajor ? plot(maj, min) : plot(min, maj); };
  draw(major, minor);
  for (major = major + 1; major <= majorEnd; ++major) {
    if (error > 0) {
      minor += minorStep;
      error += i1;
      if (xMajor ? outside(major, minor) : outside(minor, major)) return;
    } else {
      error += i2;
    }
    draw(major, minor);
  }
}

template <typename Pixel, typename Op>
void DrawLineWith(const SurfaceTarget& t, double x0, double y0, double x1, double y1, bool byTruncatedDelta, Op op) {
  const SurfacePixels& s = t.mPixels;
  WalkLine(x0, y0, x1, y1, byTruncatedDelta, [&](int x, int y) {
    if (x < 0 || y < 0 || x >= s.mWidth || y >= s.mHeight) return;
    Pixel& p = s.Row<Pixel>(y)[x];
    p = static_cast<Pixel>(op(static_cast<std::uint32_t>(p)));
  });
}

template <typename Pixel>
void NormalLineAt(const SurfaceTarget& t, double x0, double y0, double x1, double y1, const Rgba& c) {
  auto half = [](std::uint32_t mask) { return mask / 2; };
  if (c.a == 255) {
    auto channel = [&](std::uint32_t v, std::uint32_t mask) { return ((v * mask + half(mask)) >> 8) & mask; };
    const std::uint32_t value = channel(c.r, t.mRed.mMask) | channel(c.g, t.mGreen.mMask) | channel(c.b, t.mBlue.mMask);
    DrawLineWith<Pixel>(t, x0, y0, x1, y1, false, [value](std::uint32_t) { return value; });
    return;
  }
  const std::uint32_t ia = 256 - c.a;
  auto term = [&](std::uint32_t v, std::uint32_t mask) {
    return ((((v * c.a + 128) >> 8) * mask + half(mask)) >> 8) & mask;
  };
  const std::uint32_t k = term(c.r, t.mRed.mMask) + term(c.g, t.mGreen.mMask) + term(c.b, t.mBlue.mMask);
  auto scale = [&](std::uint32_t d, std::uint32_t mask) { return (((d & mask) * ia + half(mask)) >> 8) & mask; };
  DrawLineWith<Pixel>(t, x0, y0, x1, y1, true, [&](std::uint32_t d) {
    return scale(d, t.mRed.mMask) + scale(d, t.mGreen.mMask) + scale(d, t.mBlue.mMask) + k;
  });
}

template <typename Pixel>
void AdditiveLineAt(const SurfaceTarget& t, double x0, double y0, double x1, double y1, const Rgba& c) {
  const Rgba p = Premultiplied(c);
  const std::uint32_t er = p.r >> (8 - t.mRed.mBits);
  const std::uint32_t eg = p.g >> (8 - t.mGreen.mBits);
  const std::uint32_t eb = p.b >> (8 - t.mBlue.mBits);
  DrawLineWith<Pixel>(t, x0, y0, x1, y1, true, [&](std::uint32_t d) {
    return AddChannel(t.mRed, d, er) | AddChannel(t.mGreen, d, eg) | AddChannel(t.mBlue, d, eb);
  });
}

bool LineDrawable(const SurfaceTarget& t, double x0, double y0, double x1, double y1) {
  return t.mPixels.IsDrawable() && Walkable(x0) && Walkable(y0) && Walkable(x1) && Walkable(y1);
}

}  // namespace

void NormalLine(const SurfaceTarget& target, double x0, double y0, double x1, double y1, const Color& color) {
  if (!LineDrawable(target, x0, y0, x1, y1)) return;
  if (target.mPixels.mBitCount == 16)
    NormalLineAt<std::uint16_t>(target, x0, y0, x1, y1, Clamped(color));
  else
    NormalLineAt<std::uint32_t>(target, x0, y0, x1, y1, Clamped(color));
}

void AdditiveLine(const SurfaceTarget& target, double x0, double y0, double x1, double y1, const Color& color) {
  if (!LineDrawable(target, x0, y0, x1, y1) || !target.mAdditiveUsable) return;
  if (target.mPixels.mBitCount == 16)
    AdditiveLineAt<std::uint16_t>(target, x0, y0, x1, y1, Clamped(color));
  else
    AdditiveLineAt<std::uint32_t>(target, x0, y0, x1, y1, Clamped(color));
}

}  // namespace Kit::SurfaceDraw
