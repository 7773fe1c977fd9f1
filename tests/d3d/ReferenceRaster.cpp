#include "tests/d3d/ReferenceRaster.h"

#include <algorithm>
#include <cmath>

namespace d3d_test {
namespace {

int Ch(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }
int Round255(double x) { return std::min(255, static_cast<int>(std::floor(x / 255.0 + 0.5))); }

std::uint32_t Texel(const RefTexture& t, double x, double y) {
  const int ix = std::clamp(static_cast<int>(std::floor(x)), 0, t.width - 1);
  const int iy = std::clamp(static_cast<int>(std::floor(y)), 0, t.height - 1);
  return t.argb[static_cast<size_t>(iy * t.width + ix)];
}

std::uint32_t Sample(const RefState& s, double u, double v) {
  const RefTexture& t = *s.texture;
  const double x = u * t.width, y = v * t.height;
  if (!s.linear) return Texel(t, x, y);
  const double fx0 = x - 0.5, fy0 = y - 0.5, x0 = std::floor(fx0), y0 = std::floor(fy0);
  const double fx = std::floor((fx0 - x0) * 256), fy = std::floor((fy0 - y0) * 256);
  const std::uint32_t t00 = Texel(t, x0, y0), t10 = Texel(t, x0 + 1, y0), t01 = Texel(t, x0, y0 + 1),
                      t11 = Texel(t, x0 + 1, y0 + 1);
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double value = Ch(t00, shift) * (256 - fx) * (256 - fy) + Ch(t10, shift) * fx * (256 - fy) +
                         Ch(t01, shift) * (256 - fx) * fy + Ch(t11, shift) * fx * fy;
    out |= static_cast<std::uint32_t>(std::floor(value / 65536 + 0.5)) << shift;
  }
  return out;
}

int Factor(DWORD blend, std::uint32_t src, std::uint32_t dst, int shift) {
  switch (blend) {
    case D3DBLEND_SRCALPHA:
      return Ch(src, 24);
    case D3DBLEND_INVSRCALPHA:
      return 255 - Ch(src, 24);
    default:
      return 255;
  }
}

// Top-left rule: a centre on an edge belongs to the triangle when the edge is a top or a left one.
bool Covers(const RefTriangle& t, double px, double py, double w[3]) {
  // In double throughout: positions may be as far apart as floats go.
  double x[3], y[3];
  for (size_t i = 0; i < 3; ++i) {
    x[i] = t[i].sx;
    y[i] = t[i].sy;
  }
  const double area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
  if (area == 0) return false;
  const double sign = area > 0 ? 1 : -1;
  for (int i = 0; i < 3; ++i) {
    const int a = (i + 1) % 3, b = (i + 2) % 3;
    // Oriented as a clockwise triangle on the screen.
    const double dx = (x[b] - x[a]) * sign, dy = (y[b] - y[a]) * sign;
    const double e = dx * (py - y[a]) - dy * (px - x[a]);
    if (e < 0) return false;
    if (e == 0 && !((dy == 0 && dx > 0) || dy < 0)) return false;
    w[i] = e * sign / area;
  }
  return true;
}

}  // namespace

std::uint32_t Quantise(std::uint32_t c, const std::array<int, 3>& channelBits) {
  std::uint32_t out = 0xFF000000;
  for (int i = 0; i < 3; ++i) {
    const int shift = 16 - 8 * i, bits = channelBits[static_cast<size_t>(i)];
    const std::uint32_t v = static_cast<std::uint32_t>(Ch(c, shift)) >> (8 - bits);
    std::uint32_t wide = 0;
    for (int filled = 0; filled < 16; filled += bits) wide = (wide << bits) | v;
    out |= ((wide >> (((16 + bits - 1) / bits) * bits - 8)) & 0xFF) << shift;
  }
  return out;
}

RefFrame::RefFrame(int width, int height, std::array<int, 3> bits, std::uint32_t clear)
    : mWidth(width), mHeight(height), mBits(bits), mPixels(static_cast<size_t>(width * height)) {
  std::fill(mPixels.begin(), mPixels.end(), Quantise(clear, mBits));
}

void RefFrame::Draw(const RefState& state, const std::vector<RefTriangle>& triangles) {
  for (int y = 0; y < mHeight; ++y)
    for (int x = 0; x < mWidth; ++x)
      for (const RefTriangle& t : triangles) {
        double w[3];
        if (!Covers(t, x, y, w)) continue;
        std::uint32_t color = 0;
        for (int shift = 0; shift < 32; shift += 8) {
          double v = 0;
          for (int i = 0; i < 3; ++i) v += w[i] * Ch(t[static_cast<size_t>(i)].color, shift);
          color |= static_cast<std::uint32_t>(std::clamp(static_cast<int>(std::floor(v + 0.5)), 0, 255)) << shift;
        }
        std::uint32_t src = color;
        if (state.texture) {
          double u = 0, v = 0;
          for (int i = 0; i < 3; ++i) {
            u += w[i] * t[static_cast<size_t>(i)].tu;
            v += w[i] * t[static_cast<size_t>(i)].tv;
          }
          const std::uint32_t texel = Sample(state, u, v);
          src = 0;
          for (int shift = 0; shift < 32; shift += 8)
            src |= static_cast<std::uint32_t>(Round255(Ch(texel, shift) * Ch(color, shift))) << shift;
        }
        std::uint32_t& dst = mPixels[static_cast<size_t>(y * mWidth + x)];
        std::uint32_t out = src;
        if (state.blend) {
          out = 0;
          for (int shift = 0; shift < 32; shift += 8)
            out |= static_cast<std::uint32_t>(Round255(Ch(src, shift) * Factor(state.srcBlend, src, dst, shift) +
                                                       Ch(dst, shift) * Factor(state.destBlend, src, dst, shift)))
                   << shift;
        }
        dst = Quantise(out, mBits);
      }
}

}  // namespace d3d_test
