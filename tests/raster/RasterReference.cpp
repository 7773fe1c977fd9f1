#include "tests/raster/RasterReference.h"

#include <algorithm>
#include <cmath>

namespace rastertest {
namespace {

std::int64_t FloorDiv256(std::int64_t v) { return v >= 0 ? v / 256 : -((-v + 255) / 256); }

std::uint32_t Ch(std::uint32_t p, int shift) { return (p >> shift) & 0xFF; }

std::uint32_t Mul(std::uint32_t p, const std::uint32_t (&k)[4]) {
  return ((Ch(p, 24) * k[0] / 255) << 24) | ((Ch(p, 16) * k[1] / 255) << 16) | ((Ch(p, 8) * k[2] / 255) << 8) |
         (Ch(p, 0) * k[3] / 255);
}

std::uint32_t Opaque(std::uint32_t dst, std::uint32_t src, std::uint32_t sa) {
  std::uint32_t out = 0xFF000000;
  for (int s = 0; s < 24; s += 8) out |= ((Ch(src, s) * sa + Ch(dst, s) * (255 - sa)) / 255) << s;
  return out;
}

std::uint32_t OverKeepingAlpha(std::uint32_t dst, std::uint32_t src, std::uint32_t sa) {
  const std::uint32_t da = dst >> 24;
  const std::uint32_t outA = da == 255 ? 255 : da + (255 - da) * sa / 255;
  const std::uint32_t f = sa * 255 / outA;
  std::uint32_t out = outA << 24;
  for (int s = 0; s < 24; s += 8) out |= (((Ch(src, s) * f) >> 8) + ((Ch(dst, s) * (256 - f)) >> 8)) << s;
  return out;
}

std::uint32_t Widen(std::uint32_t v, int bits) { return (v << (8 - bits)) | (v >> (2 * bits - 8)); }

std::uint32_t From16(std::uint16_t p, Group g) {
  if (g == Group::RGB565)
    return 0xFF000000 | (Widen(p >> 11, 5) << 16) | (Widen((p >> 5) & 0x3F, 6) << 8) | Widen(p & 0x1F, 5);
  return 0xFF000000 | (Widen((p >> 10) & 0x1F, 5) << 16) | (Widen((p >> 5) & 0x1F, 5) << 8) | Widen(p & 0x1F, 5);
}

std::uint16_t To16(std::uint32_t c, Group g) {
  if (g == Group::RGB565)
    return static_cast<std::uint16_t>((Ch(c, 16) >> 3) << 11 | (Ch(c, 8) >> 2) << 5 | Ch(c, 0) >> 3);
  return static_cast<std::uint16_t>((Ch(c, 16) >> 3) << 10 | (Ch(c, 8) >> 3) << 5 | Ch(c, 0) >> 3);
}

struct Plane {
  double start = 0, perRow = 0;
  std::int64_t step = 0;
};

std::int64_t Round(double v) { return std::llround(std::clamp(v, -1e15, 1e15)); }

}  // namespace

Features Features::FromIndex(int index) {
  Features f;
  f.blend = index & 1;
  f.colourised = index & 2;
  f.vertexColors = index & 4;
  f.alpha = index & 8;
  f.textured = index & 16;
  f.group = static_cast<Group>(index / 32);
  return f;
}

void ReferenceTriangle(const Kit::FixedVertex (&t)[3], const Features& features, const Destination& dest,
                       const Kit::SpanTexture& texture, const Kit::SpanColor& color) {
  std::int64_t x[3], y[3];
  for (int i = 0; i < 3; ++i) {
    x[i] = t[i].mX >> 8;
    y[i] = t[i].mY >> 8;
  }
  const std::int64_t area = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
  if (area == 0) return;
  const int order[3] = {0, area > 0 ? 1 : 2, area > 0 ? 2 : 1};
  const std::int64_t left = -FloorDiv256(-std::min({x[0], x[1], x[2]}));
  const std::int64_t top = -FloorDiv256(-std::min({y[0], y[1], y[2]}));
  double X[3], Y[3];
  for (int i = 0; i < 3; ++i) {
    X[i] = x[i] / 256.0;
    Y[i] = y[i] / 256.0;
  }
  const double det = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
  const auto plane = [&](std::int32_t a0, std::int32_t a1, std::int32_t a2) {
    const double d1 = static_cast<double>(a1) - a0, d2 = static_cast<double>(a2) - a0;
    const double perX = (d1 * (Y[2] - Y[0]) - d2 * (Y[1] - Y[0])) / det;
    const double perY = (d2 * (X[1] - X[0]) - d1 * (X[2] - X[0])) / det;
    return Plane{a0 + perX * (left - X[0]) + perY * (top - Y[0]), perY, Round(perX)};
  };
  const auto at = [&](const Plane& p, int px, int py, std::int64_t lo, std::int64_t hi) {
    return std::clamp<std::int64_t>(Round(p.start + p.perRow * (py - top)) + (px - left) * p.step, lo, hi);
  };
  const Plane a = plane(t[0].mAlpha, t[1].mAlpha, t[2].mAlpha), r = plane(t[0].mRed, t[1].mRed, t[2].mRed),
              g = plane(t[0].mGreen, t[1].mGreen, t[2].mGreen), b = plane(t[0].mBlue, t[1].mBlue, t[2].mBlue),
              u = plane(t[0].mU, t[1].mU, t[2].mU), v = plane(t[0].mV, t[1].mV, t[2].mV);
  const auto clamp255 = [](int c) { return static_cast<std::uint32_t>(std::clamp(c, 0, 255)); };
  const std::uint32_t call[4] = {clamp255(color.mAlpha), clamp255(color.mRed), clamp255(color.mGreen),
                                 clamp255(color.mBlue)};

  for (int py = 0; py < dest.height; ++py) {
    for (int px = 0; px < dest.width; ++px) {
      bool covered = true;
      for (int i = 0; i < 3; ++i) {
        const int s = order[i], e = order[(i + 1) % 3];
        const std::int64_t dx = x[e] - x[s], dy = y[e] - y[s];
        const std::int64_t edge = dx * (py * 256 - y[s]) - dy * (px * 256 - x[s]);
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        covered = covered && (edge > 0 || (edge == 0 && topLeft));
      }
      if (!covered) continue;
      std::uint32_t src = 0xFFFFFFFF;
      if (features.textured) {
        const std::int64_t tu = at(u, px, py, 0, texture.mMaxU) >> 16, tv = at(v, px, py, 0, texture.mMaxV) >> 16;
        src = texture.mBits[tv * texture.mWidth + tu];
      }
      if (features.vertexColors) {
        const std::int64_t hi = 255 << 16;
        const std::uint32_t k[4] = {static_cast<std::uint32_t>(at(a, px, py, 0, hi) >> 16),
                                    static_cast<std::uint32_t>(at(r, px, py, 0, hi) >> 16),
                                    static_cast<std::uint32_t>(at(g, px, py, 0, hi) >> 16),
                                    static_cast<std::uint32_t>(at(b, px, py, 0, hi) >> 16)};
        src = Mul(src, k);
      }
      if (features.colourised) src = Mul(src, call);
      const bool blending = features.alpha || features.blend;
      const std::uint32_t sa = src >> 24;
      auto* row = static_cast<std::uint8_t*>(dest.bits) + static_cast<std::ptrdiff_t>(py) * dest.pitch;
      if (features.group == Group::ARGB || features.group == Group::RGB32) {
        std::uint32_t& d = reinterpret_cast<std::uint32_t*>(row)[px];
        const bool keepAlpha = features.group == Group::ARGB;
        if (!blending || sa == 255)
          d = keepAlpha ? src : (src | 0xFF000000);
        else if (sa > 0)
          d = keepAlpha ? OverKeepingAlpha(d, src, sa) : Opaque(d, src, sa);
      } else {
        std::uint16_t& d = reinterpret_cast<std::uint16_t*>(row)[px];
        if (!blending || sa == 255)
          d = To16(src, features.group);
        else if (sa > 0)
          d = To16(Opaque(From16(d, features.group), src, sa), features.group);
      }
    }
  }
}

Kit::FixedVertex ToFixed(float x, float y, float u, float v, std::uint32_t color, int textureWidth, int textureHeight) {
  Kit::FixedVertex f;
  f.mX = static_cast<std::int32_t>(static_cast<double>(x) * 65536.0);
  f.mY = static_cast<std::int32_t>(static_cast<double>(y) * 65536.0);
  f.mU = static_cast<std::int32_t>(static_cast<double>(u) * textureWidth * 65536.0);
  f.mV = static_cast<std::int32_t>(static_cast<double>(v) * textureHeight * 65536.0);
  f.mAlpha = static_cast<std::int32_t>(color >> 24) << 16;
  f.mRed = static_cast<std::int32_t>((color >> 16) & 0xFF) << 16;
  f.mGreen = static_cast<std::int32_t>((color >> 8) & 0xFF) << 16;
  f.mBlue = static_cast<std::int32_t>(color & 0xFF) << 16;
  return f;
}

Kit::SpanTexture DescribeTexture(const std::uint32_t* bits, int width, int height) {
  Kit::SpanTexture t;
  t.mBits = bits;
  int log = 0;
  while ((2 << log) <= width) ++log;
  t.mShift = 16 - log;
  t.mMaxU = (width - 1) << 16;
  t.mMaxV = (height - 1) << 16;
  t.mWidth = width;
  t.mPixelCount = width * height;
  t.mHeight = height;
  return t;
}

}  // namespace rastertest
