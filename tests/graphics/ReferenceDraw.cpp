#include "ReferenceDraw.h"

#include <algorithm>
#include <cmath>

namespace ref {

int A(std::uint32_t p) { return static_cast<int>(p >> 24); }
int R(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
int G(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
int B(std::uint32_t p) { return static_cast<int>(p & 0xFF); }
std::uint32_t Pack(int a, int r, int g, int b) {
  return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(r) << 16) |
         (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

static int Clamp(int v) { return std::clamp(v, 0, 255); }

std::uint32_t Over(std::uint32_t dst, int r, int g, int b, int sa) {
  const int da = A(dst);
  const int outA = da + (255 - da) * sa / 255;
  const int f = sa * 255 / outA;
  auto ch = [&](int s, int d) { return s * f / 256 + d * (256 - f) / 256; };
  return Pack(outA, ch(r, R(dst)), ch(g, G(dst)), ch(b, B(dst)));
}

std::uint32_t OverColored(std::uint32_t dst, int r, int g, int b, int sa, int cr, int cg, int cb) {
  const int da = A(dst);
  const int outA = da + (255 - da) * sa / 255;
  const int f = sa * 255 / outA;
  auto ch = [&](int s, int c, int d) { return s * f * c / 65536 + d * (256 - f) / 256; };
  return Pack(outA, ch(r, cr, R(dst)), ch(g, cg, G(dst)), ch(b, cb, B(dst)));
}

void FillRect(Pixels& dest, const Kit::Rect& rect, const Kit::Color& color) {
  const int a = Clamp(color.mAlpha);
  const int r = Clamp(color.mRed), g = Clamp(color.mGreen), b = Clamp(color.mBlue);
  for (int y = rect.mY; y < rect.mY + rect.mHeight; ++y) {
    for (int x = rect.mX; x < rect.mX + rect.mWidth; ++x) {
      if (!dest.Inside(x, y) || a == 0) continue;
      dest.At(x, y) = a == 255 ? Pack(255, r, g, b) : Over(dest.At(x, y), r, g, b, a);
    }
  }
}

std::uint32_t LinePixel(std::uint32_t dst, const Kit::Color& color, int mode) {
  const int a = Clamp(color.mAlpha);
  const int c[3] = {Clamp(color.mRed), Clamp(color.mGreen), Clamp(color.mBlue)};
  const int d[3] = {R(dst), G(dst), B(dst)};
  int out[3];
  for (int i = 0; i < 3; ++i) {
    if (mode == 1) {
      out[i] = std::min(d[i] + c[i] * a / 255, 255);
    } else if (a == 255) {
      out[i] = (255 * c[i] + 127) / 256;
    } else {
      const int premultiplied = (c[i] * a + 128) / 256;
      out[i] = (d[i] * (256 - a) + 127) / 256 + (255 * premultiplied + 127) / 256;
    }
  }
  return Pack(255, out[0], out[1], out[2]);
}

void Blt(Pixels& dest, bool destOpaque, const Pixels& src, bool srcHasAlpha, int x, int y, const Kit::Rect& srcRect,
         const Kit::Color& color, int mode) {
  const bool white = color == Kit::Color::White;
  const int ca = Clamp(color.mAlpha);
  const int cr = Clamp(color.mRed), cg = Clamp(color.mGreen), cb = Clamp(color.mBlue);
  for (int sy = srcRect.mY; sy < srcRect.mY + srcRect.mHeight; ++sy) {
    for (int sx = srcRect.mX; sx < srcRect.mX + srcRect.mWidth; ++sx) {
      const int dx = x + sx - srcRect.mX, dy = y + sy - srcRect.mY;
      if (!src.Inside(sx, sy) || !dest.Inside(dx, dy)) continue;
      const std::uint32_t s = src.At(sx, sy);
      std::uint32_t& d = dest.At(dx, dy);
      if (mode == 1) {
        int ch[3] = {R(s), G(s), B(s)};
        const int pc[3] = {cr * ca / 255, cg * ca / 255, cb * ca / 255};
        for (int i = 0; i < 3; ++i) {
          if (!white) ch[i] = ch[i] * pc[i] / 256;
          if (srcHasAlpha) ch[i] = ch[i] * A(s) / 256;
        }
        d = Pack(A(d), std::min(R(d) + ch[0], 255), std::min(G(d) + ch[1], 255), std::min(B(d) + ch[2], 255));
      } else if (destOpaque && white) {
        const int a = A(s);
        if (a == 255) {
          d = s;
        } else if (a != 0) {
          auto ch = [&](int sc, int dc) { return dc * (256 - a) / 256 + sc * a / 256; };
          d = Pack(255, ch(R(s), R(d)), ch(G(s), G(d)), ch(B(s), B(d)));
        }
      } else if (!white) {
        const int sa = A(s) * ca / 255;
        if (sa > 0) d = OverColored(d, R(s), G(s), B(s), sa, cr, cg, cb);
      } else if (A(s) > 0) {
        d = Over(d, R(s), G(s), B(s), A(s));
      }
    }
  }
}

void BltRotated(Pixels& dest, const Pixels& src, float x, float y, const Kit::Rect& srcRect, const Kit::Rect& box,
                const Kit::Color& color, int mode, double angle, float centerX, float centerY) {
  const Kit::Rect sampled = srcRect.Intersection(Kit::Rect(0, 0, src.width, src.height));
  const double cx = static_cast<double>(x) + centerX, cy = static_cast<double>(y) + centerY;
  const double c = std::cos(angle), s = std::sin(angle);
  const long long stepU = std::llround(c * 65536), stepV = std::llround(s * 65536);
  const bool white = color == Kit::Color::White;
  const int ca = Clamp(color.mAlpha);
  const int cc[3] = {Clamp(color.mRed), Clamp(color.mGreen), Clamp(color.mBlue)};
  for (int dy = box.mY; dy < box.mY + box.mHeight; ++dy) {
    // The row's first pixel, as the routine computes it; every later pixel steps from it.
    const double rx = box.mX + 0.5 - cx, ry = dy + 0.5 - cy;
    const long long u0 = static_cast<long long>(std::floor((cx + rx * c - ry * s - x + srcRect.mX - 0.5) * 65536));
    const long long v0 = static_cast<long long>(std::floor((cy + rx * s + ry * c - y + srcRect.mY - 0.5) * 65536));
    for (int k = 0; k < box.mWidth; ++k) {
      const int dx = box.mX + k;
      if (!dest.Inside(dx, dy)) continue;
      const long long u = u0 + k * stepU, v = v0 + k * stepV;
      const long long ix = u >> 16, iy = v >> 16;
      if (ix < sampled.mX || ix > sampled.mX + sampled.mWidth - 2) continue;
      if (iy < sampled.mY || iy > sampled.mY + sampled.mHeight - 2) continue;
      const long long fx = (u & 0xFFFE) + 1, fy = (v & 0xFFFE) + 1;
      const long long wx[2] = {65536 - fx, fx}, wy[2] = {65536 - fy, fy};
      long long coverage = 0, sum[3] = {0, 0, 0};
      for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
          const std::uint32_t p = src.At(static_cast<int>(ix) + i, static_cast<int>(iy) + j);
          const long long weight = (wx[i] * wy[j] + (1LL << 23)) >> 24;
          coverage += weight * A(p);
          sum[0] += weight * A(p) * R(p);
          sum[1] += weight * A(p) * G(p);
          sum[2] += weight * A(p) * B(p);
        }
      }
      coverage = std::min(coverage / 255, 256LL);
      for (long long& v2 : sum) v2 /= 255;
      if (!white) {
        coverage = coverage * ca / 255;
        for (int i = 0; i < 3; ++i) sum[i] = sum[i] * cc[i] / 255 * ca / 255;
      }
      if (coverage == 0) continue;
      std::uint32_t& d = dest.At(dx, dy);
      const int dc[3] = {R(d), G(d), B(d)};
      int out[3];
      if (mode == 1) {
        for (int i = 0; i < 3; ++i) out[i] = std::min(dc[i] + static_cast<int>(std::min(sum[i] / 256, 255LL)), 255);
        d = Pack(A(d), out[0], out[1], out[2]);
      } else if (coverage >= 251) {
        for (int i = 0; i < 3; ++i) out[i] = static_cast<int>(std::min(sum[i] / 256, 255LL));
        d = Pack(255, out[0], out[1], out[2]);
      } else {
        const long long da = A(d);
        const long long hidden = (256 - da) * (256 - coverage) / 256;
        for (int i = 0; i < 3; ++i)
          out[i] = static_cast<int>(std::min((dc[i] * da / 256 * (256 - coverage) + sum[i]) / (256 - hidden), 255LL));
        d = Pack(static_cast<int>(255 - hidden), out[0], out[1], out[2]);
      }
    }
  }
}

void FastStretch(Pixels& dest, const Pixels& src, const Kit::Rect& clippedDest, double srcX, double srcY, double srcW,
                 double srcH) {
  for (int row = 0; row < clippedDest.mHeight; ++row) {
    for (int col = 0; col < clippedDest.mWidth; ++col) {
      const double fy = std::trunc(srcY + row * (srcH / clippedDest.mHeight));
      const double fx = std::trunc(srcX + col * (srcW / clippedDest.mWidth));
      const int sy = static_cast<int>(std::clamp(fy, 0.0, src.height - 1.0));
      const int sx = static_cast<int>(std::clamp(fx, 0.0, src.width - 1.0));
      const std::uint32_t s = src.At(sx, sy);
      std::uint32_t& d = dest.At(clippedDest.mX + col, clippedDest.mY + row);
      if (A(s) > 0) d = Over(d, R(s), G(s), B(s), A(s));
    }
  }
}

}  // namespace ref
