#include "tests/support/PixelModel.h"

#include "framework/graphics/NativePixel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace model {
namespace {

using U = std::uint32_t;
using L = long long;

int Clamp(int v) { return std::clamp(v, 0, 255); }
U Cl(int v) { return static_cast<U>(Clamp(v)); }
bool White(const Kit::Color& c) { return c == Kit::Color::White; }

struct Field {
  int shift, bits;
};
Field FieldOf(U mask) {
  int shift = 0;
  while (shift < 32 && !(mask & (1u << shift))) ++shift;
  int bits = 0;
  while (shift + bits < 32 && (mask & (1u << (shift + bits)))) ++bits;
  return {shift, bits};
}

U Sat(U value, int bits) { return std::min(value, (1u << bits) - 1); }
U MaskOf(const Format& f, int i) { return i == 0 ? f.rMask : i == 1 ? f.gMask : f.bMask; }
U Masks(const Surface& s, int i) { return MaskOf(s.format, i); }
U Chan(const Kit::Color& c, int i) { return Cl(i == 0 ? c.mRed : i == 1 ? c.mGreen : c.mBlue); }
U Store(const Surface& s, U v) { return s.format.bitCount == 16 ? (v & 0xFFFF) : v; }

// The one line walker: plots (major, minor) while stop(major, minor, stepped) allows, moving one
// along the major axis each step and, whenever the error is positive, one along the minor axis.
template <typename Stop, typename Plot>
void Bresenham(bool xMajor, int major, int minor, int minorStep, L error, L up, L flat, Stop stop, Plot plot) {
  for (bool stepped = false; !stop(major, minor, stepped); ++major) {
    xMajor ? plot(major, minor) : plot(minor, major);
    stepped = error > 0;
    if (stepped) {
      minor += minorStep;
      error += up;
    } else {
      error += flat;
    }
  }
}

// A surface line: the major axis by the exact deltas, or by the truncated ones (translucent and
// additive lines); the first pixel always, then on until the far end or a minor step leaves the
// line's box.
template <typename Pixel>
void SurfaceWalk(Surface& s, double x0, double y0, double x1, double y1, bool truncMajor, Pixel pixel) {
  const double dx = x1 - x0, dy = y1 - y0;
  const bool xMajor =
      truncMajor ? std::abs(static_cast<int>(dy)) < std::abs(static_cast<int>(dx)) : std::fabs(dx) > std::fabs(dy);
  double a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0, a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1;
  const double bLow = std::fmin(b0, b1), bHigh = std::fmax(b0, b1), aLow = std::fmin(a0, a1);
  if (a1 < a0) {
    std::swap(a0, a1);
    std::swap(b0, b1);
  }
  const double da = a1 - a0, db = std::fabs(b1 - b0);
  const int start = static_cast<int>(a0), i1 = static_cast<int>(2 * (db - da)), i2 = static_cast<int>(2 * db);
  const int error = static_cast<int>((b0 - static_cast<int>(b0)) * i2 + static_cast<int>(2 * db - da));
  Bresenham(
      xMajor, start, static_cast<int>(b0), b1 < b0 ? -1 : 1, error, i1, i2,
      [&](int a, int b, bool stepped) {
        return a > start && (a > a1 || (stepped && (a < aLow || b < bLow || b > bHigh)));
      },
      [&](int x, int y) {
        if (s.Inside(x, y)) s.Set(x, y, pixel(s.Get(x, y)));
      });
}

U AdditivePixel(const Surface& s, U d, const Kit::Color& c) {
  U out = 0;
  for (int i = 0; i < 3; ++i) {
    const U m = Masks(s, i);
    const Field f = FieldOf(m);
    const U e = ((Chan(c, i) * Cl(c.mAlpha)) / 255) >> (8 - f.bits);
    out |= Sat(((d & m) >> f.shift) + e, f.bits) << f.shift;
  }
  return out;
}

// Calls fn(dx, dy, native, argb) for each source pixel of a plain or mirrored blit that lands on the
// surface.
template <typename Fn>
void ForEachBlitPixel(Surface& s, const Source& src, int x, int y, const Kit::Rect& r, bool mirror, Fn fn) {
  for (int j = 0; j < r.mHeight; ++j)
    for (int k = 0; k < r.mWidth; ++k) {
      const int sx = r.mX + k, sy = r.mY + j;
      const int dx = mirror ? x + r.mWidth - 1 - k : x + k, dy = y + j;
      if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height || !s.Inside(dx, dy)) continue;
      const std::size_t i = static_cast<std::size_t>(sy) * src.width + sx;
      fn(dx, dy, src.native[i], src.argb[i]);
    }
}

// The additive sum of a native word, scaled by the colour unless it is white, onto d.
U AddNative(const Surface& s, U d, U word, const Kit::Color& c) {
  U out = 0;
  for (int i = 0; i < 3; ++i) {
    const U m = Masks(s, i);
    const Field f = FieldOf(m);
    const U sum = White(c)
                      ? ((d & m) + (word & m)) >> f.shift
                      : ((((word & m) >> f.shift) * (Chan(c, i) * Cl(c.mAlpha) / 255)) >> 8) + ((d & m) >> f.shift);
    out |= Sat(sum, f.bits) << f.shift;
  }
  return out;
}

}  // namespace

// ---- Pixels and formats ----

int A(U p) { return static_cast<int>(p >> 24); }
int R(U p) { return static_cast<int>((p >> 16) & 0xFF); }
int G(U p) { return static_cast<int>((p >> 8) & 0xFF); }
int B(U p) { return static_cast<int>(p & 0xFF); }
U Argb(int a, int r, int g, int b) {
  return (static_cast<U>(a) << 24) | (static_cast<U>(r) << 16) | (static_cast<U>(g) << 8) | static_cast<U>(b);
}

std::string FormatName(const Format& format) {
  if (format.bitCount == 32) return "888";
  return format.gMask == 0x07E0 ? "565" : "555";
}

U Pack(U argb, const Format& format) {
  U word = 0;
  for (int i = 0; i < 3; ++i) {
    const Field f = FieldOf(MaskOf(format, i));
    if (f.bits > 0 && f.bits <= 8) word |= (((argb >> (16 - 8 * i)) & 0xFF) >> (8 - f.bits)) << f.shift;
  }
  return word;
}

U Unpack(U word, const Format& format) {
  U argb = 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    const U mask = MaskOf(format, i);
    const Field f = FieldOf(mask);
    if (f.bits == 0) continue;
    const U v = (word & mask) >> f.shift;
    U wide = f.bits >= 8 ? v >> (f.bits - 8) : v << (8 - f.bits);
    for (int filled = f.bits; filled < 8; filled += f.bits) wide |= v << (8 - f.bits) >> filled;
    argb |= (wide & 0xFF) << (16 - 8 * i);
  }
  return argb;
}

// ---- Software images ----

U OverColored(U dst, int r, int g, int b, int sa, int cr, int cg, int cb) {
  const int da = A(dst);
  const int outA = da + (255 - da) * sa / 255;
  const int f = sa * 255 / outA;
  auto ch = [&](int s, int c, int d) { return s * f * c / 65536 + d * (256 - f) / 256; };
  return Argb(outA, ch(r, cr, R(dst)), ch(g, cg, G(dst)), ch(b, cb, B(dst)));
}

// With colour 256 the colour's scaling (s x f x 256 >> 16) is the plain s x f >> 8.
U Over(U dst, int r, int g, int b, int sa) { return OverColored(dst, r, g, b, sa, 256, 256, 256); }

void FillRect(Pixels& dest, const Kit::Rect& rect, const Kit::Color& color) {
  const int a = Clamp(color.mAlpha);
  const int r = Clamp(color.mRed), g = Clamp(color.mGreen), b = Clamp(color.mBlue);
  const Kit::Rect area = rect.Intersection(Kit::Rect(0, 0, dest.width, dest.height));
  for (int y = area.mY; y < area.mY + area.mHeight; ++y)
    for (int x = area.mX; x < area.mX + area.mWidth; ++x) {
      if (a == 0) continue;
      dest.At(x, y) = a == 255 ? Argb(255, r, g, b) : Over(dest.At(x, y), r, g, b, a);
    }
}

// Straight lines are fills of their whole pixels; others walk from the end with the smaller major
// coordinate over whole pixels, the error starting from that end's fraction, and stop at the image's
// far edge. Every pixel is written opaque.
void DrawLine(Pixels& dest, double x0, double y0, double x1, double y1, const Kit::Color& color, int mode) {
  auto trunc = [](double v) { return static_cast<int>(v); };
  if (y0 == y1 || x0 == x1) {
    const int left = trunc(std::min(x0, x1)), top = trunc(std::min(y0, y1));
    FillRect(dest, Kit::Rect(left, top, trunc(std::max(x0, x1)) - left + 1, trunc(std::max(y0, y1)) - top + 1), color);
    return;
  }
  const bool xMajor = std::fabs(x1 - x0) >= std::fabs(y1 - y0);
  double a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0, a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1;
  if (a0 > a1) {
    std::swap(a0, a1);
    std::swap(b0, b1);
  }
  const int major = trunc(a0), minor = trunc(b0), majorEnd = trunc(a1), minorEnd = trunc(b1);
  const L D = majorEnd - major, d = std::abs(minorEnd - minor);
  if (D > (1 << 24)) return;
  const int limit = xMajor ? dest.width : dest.height;
  const int a = Clamp(color.mAlpha);
  const int c[3] = {Clamp(color.mRed), Clamp(color.mGreen), Clamp(color.mBlue)};
  Bresenham(
      xMajor, major, minor, minorEnd >= minor ? 1 : -1,
      static_cast<L>((a0 - std::floor(a0)) * 2.0 * static_cast<double>(d) + static_cast<double>(2 * d - D)),
      2 * (d - D), 2 * d,
      [&](int m, int n, bool) {
        return m > majorEnd || n < std::min(minor, minorEnd) || n > std::max(minor, minorEnd) || (m >= limit && m > 0);
      },
      [&](int x, int y) {
        if (!dest.Inside(x, y)) return;
        std::uint32_t& p = dest.At(x, y);
        const int dc[3] = {R(p), G(p), B(p)};
        int out[3];
        for (int i = 0; i < 3; ++i) {
          if (mode == 1)
            out[i] = std::min(dc[i] + c[i] * a / 255, 255);
          else if (a == 255)
            out[i] = (255 * c[i] + 127) / 256;
          else
            out[i] = (dc[i] * (256 - a) + 127) / 256 + (255 * ((c[i] * a + 128) / 256) + 127) / 256;
        }
        p = Argb(255, out[0], out[1], out[2]);
      });
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
        d = Argb(A(d), std::min(R(d) + ch[0], 255), std::min(G(d) + ch[1], 255), std::min(B(d) + ch[2], 255));
      } else if (destOpaque && white) {
        const int a = A(s);
        if (a == 255) {
          d = s;
        } else if (a != 0) {
          auto ch = [&](int sc, int dc) { return dc * (256 - a) / 256 + sc * a / 256; };
          d = Argb(255, ch(R(s), R(d)), ch(G(s), G(d)), ch(B(s), B(d)));
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

void BltRotated(Pixels& dest, const Pixels& src, float x, float y, const Kit::Rect& srcRect, const Kit::Rect& bounds,
                const Kit::Color& color, int mode, double angle, float centerX, float centerY) {
  // Rows start at the left edge of the bounds cut to the image, as the routine's do.
  const Kit::Rect box = bounds.Intersection(Kit::Rect(0, 0, dest.width, dest.height));
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
          for (int c = 0; c < 3; ++c) sum[c] += weight * A(p) * ((p >> (16 - 8 * c)) & 0xFF);
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
        d = Argb(A(d), out[0], out[1], out[2]);
      } else if (coverage >= 251) {
        for (int i = 0; i < 3; ++i) out[i] = static_cast<int>(std::min(sum[i] / 256, 255LL));
        d = Argb(255, out[0], out[1], out[2]);
      } else {
        const long long da = A(d);
        const long long hidden = (256 - da) * (256 - coverage) / 256;
        for (int i = 0; i < 3; ++i)
          out[i] = static_cast<int>(std::min((dc[i] * da / 256 * (256 - coverage) + sum[i]) / (256 - hidden), 255LL));
        d = Argb(static_cast<int>(255 - hidden), out[0], out[1], out[2]);
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

// ---- Surfaces ----

U Surface::Get(int x, int y) const {
  const std::uint8_t* p = bytes.data() + static_cast<std::size_t>(y) * pitch + x * format.bitCount / 8;
  U v = 0;
  std::memcpy(&v, p, format.bitCount / 8);
  return v;
}

void Surface::Set(int x, int y, U value) {
  std::memcpy(bytes.data() + static_cast<std::size_t>(y) * pitch + x * format.bitCount / 8, &value,
              format.bitCount / 8);
}

Surface MakeSurface(const Format& format, int width, int height, int padPixels, std::mt19937& rng) {
  Surface s{format, width, height, (width + padPixels) * format.bitCount / 8, {}};
  s.bytes.resize(static_cast<std::size_t>(s.pitch) * height);
  for (auto& byte : s.bytes) byte = static_cast<std::uint8_t>(rng());
  return s;
}

FormatDisplay::FormatDisplay(const Format& format) {
  SetFormat(format.bitCount, format.rMask, format.gMask, format.bMask);
}

Target::Target(Surface& surface, const Kit::NativeDisplay& display) {
  tables.Build(display);
  const Format& f = surface.format;
  const Kit::SurfacePixels pixels{surface.bytes.data(), surface.pitch, surface.width, surface.height,
                                  f.bitCount,           f.rMask,       f.gMask,       f.bMask};
  target = Kit::MakeSurfaceTarget(pixels, display, tables);
}

std::vector<U> MakeSpritePixels(int width, int height, std::mt19937& rng) {
  std::vector<U> px(static_cast<std::size_t>(width) * height);
  std::size_t i = 0;
  while (i < px.size()) {
    const int kind = static_cast<int>(rng() % 4);
    const std::size_t run = 1 + rng() % 9;
    for (std::size_t k = 0; k < run && i < px.size(); ++k, ++i) {
      const U colour = kind == 3 ? 0 : rng() & 0xFFFFFF;
      const U alpha = kind == 0 ? 0 : kind == 2 ? 1 + rng() % 254 : 255;
      px[i] = (alpha << 24) | colour;
    }
  }
  return px;
}

Source SourceOf(Kit::MemoryImage& image, const Kit::NativeDisplay& display) {
  Source src{image.mWidth, image.mHeight, {}, {}};
  const std::size_t n = static_cast<std::size_t>(src.width) * src.height;
  for (std::size_t i = 0; i < n; ++i) {
    const U argb = image.mBits ? image.mBits[i] : image.mColorTable[image.mColorIndices[i]];
    src.argb.push_back(argb);
    src.native.push_back(Kit::ToNativePixel(argb, display));
  }
  return src;
}

void NormalFill(Surface& s, const Kit::Rect& rect, const Kit::Color& c) {
  const U ca = Cl(c.mAlpha);
  const Kit::Rect r = rect.Intersection(Kit::Rect(0, 0, s.width, s.height));
  for (int y = r.mY; y < r.mY + r.mHeight; ++y)
    for (int x = r.mX; x < r.mX + r.mWidth; ++x) {
      const U d = s.Get(x, y);
      U v = 0;
      for (int i = 0; i < 3; ++i) {
        const U m = Masks(s, i), ch = Chan(c, i);
        if (ca == 255)
          v |= ((ch + 1) * m >> 8) & m;
        else if (s.format.bitCount == 16)
          v += ((((((ch * ca + 128) >> 8) + 1) * m) >> 8) & m) + ((((d & m) * (256 - ca) + m) >> 8) & m);
        else
          v += ((((((ch * ca + 127) >> 8) + 1) * m) >> 8) & m) + ((((d & m) * (256 - ca)) >> 8) & m);
      }
      s.Set(x, y, v);
    }
}

void AdditiveFill(Surface& s, const Kit::Rect& rect, const Kit::Color& c) {
  const Kit::Rect r = rect.Intersection(Kit::Rect(0, 0, s.width, s.height));
  for (int y = r.mY; y < r.mY + r.mHeight; ++y)
    for (int x = r.mX; x < r.mX + r.mWidth; ++x) s.Set(x, y, AdditivePixel(s, s.Get(x, y), c));
}

void NormalLine(Surface& s, double x0, double y0, double x1, double y1, const Kit::Color& c) {
  const U ca = Cl(c.mAlpha);
  SurfaceWalk(s, x0, y0, x1, y1, ca != 255, [&](U d) {
    U v = 0;
    for (int i = 0; i < 3; ++i) {
      const U m = Masks(s, i), ch = Chan(c, i);
      if (ca == 255)
        v |= ((ch * m + m / 2) >> 8) & m;
      else
        v += (((((ch * ca + 128) >> 8) * m + m / 2) >> 8) & m) + ((((d & m) * (256 - ca) + m / 2) >> 8) & m);
    }
    return v;
  });
}

void AdditiveLine(Surface& s, double x0, double y0, double x1, double y1, const Kit::Color& c) {
  SurfaceWalk(s, x0, y0, x1, y1, true, [&](U d) { return AdditivePixel(s, d, c); });
}

void VolatileBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& r) {
  ForEachBlitPixel(s, src, x, y, r, false, [&](int dx, int dy, U, U argb) {
    const U d = s.Get(dx, dy), a = argb >> 24;
    U v = 0;
    for (int i = 0; i < 3; ++i) {
      const U m = Masks(s, i), sc = (argb >> (16 - 8 * i)) & 0xFF;
      const U colour = s.format.bitCount == 16 ? (sc * a * m) >> 8 : ((sc * a) >> 8) * m;
      v += (((d & m) * (256 - a) + m / 2 + colour) >> 8) & m;
    }
    s.Set(dx, dy, v);
  });
}

void CopyNative(Surface& s, const Source& src, int x, int y, const Kit::Rect& r, bool skipTransparent) {
  ForEachBlitPixel(s, src, x, y, r, false, [&](int dx, int dy, U word, U) {
    if (!skipTransparent || (word >> 24) != 0) s.Set(dx, dy, Store(s, word));
  });
}

void AlphaBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& r, const Kit::Color& c, bool mirror) {
  ForEachBlitPixel(s, src, x, y, r, mirror, [&](int dx, int dy, U word, U) {
    const U a = word >> 24, d = s.Get(dx, dy), ca = Cl(c.mAlpha);
    if (a == 0) return;
    U v = White(c) ? word : 0;
    for (int i = 0; i < 3; ++i) {
      const U m = Masks(s, i), cc = Chan(c, i) * ca / 255;
      if (White(c))
        v += a == 255 ? 0 : (((d & m) * (256 - a)) >> 8) & m;
      else if (a == 255 && ca == 255)
        v += (((word & m) * cc) >> 8) & m;
      else
        v += (((d & m) * (256 - a * ca / 255) + (word & m) * cc) >> 8) & m;
    }
    s.Set(dx, dy, Store(s, v));
  });
}

void AdditiveBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& r, const Kit::Color& c, bool mirror) {
  ForEachBlitPixel(s, src, x, y, r, mirror, [&](int dx, int dy, U word, U) {
    if ((word & 0xFFFFFF) != 0) s.Set(dx, dy, AddNative(s, s.Get(dx, dy), word, c));
  });
}
void RotatedBlt(Surface& s, const Source& src, float x, float y, const Kit::Rect& sr, const Kit::Rect& box,
                const Kit::Color& color, int mode, double angle, float centerX, float centerY) {
  const double co = std::cos(angle), si = std::sin(angle);
  const L du = static_cast<L>(co * 65536), dv = static_cast<L>(si * 65536);
  const L W = sr.mWidth, H = sr.mHeight;
  const bool white = White(color);
  const U ca = Cl(color.mAlpha);
  for (int r = 0; r < box.mHeight; ++r) {
    const int px = box.mX, py = box.mY + r;
    const double ex = px - static_cast<double>(centerX) - x, ey = py - static_cast<double>(centerY) - y;
    const L uRow = static_cast<L>((ex * co - ey * si + centerX) * 65536);
    const L vRow = static_cast<L>((ex * si + ey * co + centerY) * 65536);
    L i0 = 0, i1 = box.mWidth - 1;
    bool skip = false;
    // Each axis narrows the row to the pixels whose 2 x 2 texels lie inside the source; a falling
    // axis ends at its own last step (the two axes' ends differ, as the routine's do).
    const auto axis = [&](L d, L row, L size, L fallingEnd) {
      if (d > 0) {
        skip |= (row >> 16) >= size - 1;
        i0 = std::max(i0, (65536 - row) / d);
        i1 = std::min(i1, (size * 65536 - row - 98303) / d);
      } else if (d == 0) {
        skip |= !(0 <= row && row < size * 65536 - 65536);
      } else {
        skip |= (row >> 16) < 0;
        i0 = std::max(i0, (size * 65536 - row - 163839) / d);
        i1 = std::min(i1, fallingEnd);
      }
    };
    axis(du, uRow, W, du < 0 ? (32767 - uRow) / du : 0);
    axis(dv, vRow, H, dv < 0 ? -(vRow / dv) : 0);
    if (skip) continue;
    for (L i = i0; i <= i1; ++i) {
      const L u = uRow + i * du, v = vRow + i * dv;
      const int sx = sr.mX + static_cast<int>(u >> 16), sy = sr.mY + static_cast<int>(v >> 16);
      U p[4];
      for (int k = 0; k < 4; ++k) p[k] = src.argb[static_cast<std::size_t>(sy + k / 2) * src.width + sx + k % 2];
      const U fx = (static_cast<U>(u) & 0xFFFE) + 1, fy = (static_cast<U>(v) & 0xFFFE) + 1;
      const U fac[4] = {(65536 - fx) * (65536 - fy), fx * (65536 - fy), (65536 - fx) * fy, fx * fy};
      U w[4], total = 0;
      for (int k = 0; k < 4; ++k) {
        w[k] = ((fac[k] >> 16) * (p[k] >> 24)) >> 16;
        if (!white && mode == 0) w[k] = (w[k] * ca) >> 8;
        total += w[k];
      }
      const int dx = px + static_cast<int>(i);
      const U d = s.Get(dx, py);
      U out = 0;
      for (int ch = 0; ch < 3; ++ch) {
        const U m = Masks(s, ch);
        const Field f = FieldOf(m);
        const U byteMask = 0xFFu << (16 - 8 * ch);
        U sum = 0;
        for (int k = 0; k < 4; ++k) sum += (p[k] & byteMask) * w[k];
        const int down = 32 - 8 * ch - f.bits;
        if (mode == 1) {
          U value = sum >> down;
          if (!white) value = (value * (Chan(color, ch) * ca / 255)) >> 8;
          out |= Sat(value + ((d & m) >> f.shift), f.bits) << f.shift;
        } else {
          const U value = white ? sum >> down : ((sum >> 8) * (Chan(color, ch) + 1)) >> down;
          out |= (value << f.shift) + ((((d & m) * (256 - total)) >> 8) & m);
        }
      }
      s.Set(dx, py, out);
    }
  }
}

void FastStretch(Surface& s, const Source& src, const Kit::Rect& dest, double x, double y, double w, double h,
                 const Kit::Color& color, int mode, bool mirror) {
  const L du = static_cast<L>(w * 65536 / dest.mWidth), dv = static_cast<L>(h * 65536 / dest.mHeight);
  const U ca = Cl(color.mAlpha);
  for (int j = 0; j < dest.mHeight; ++j) {
    const L v = static_cast<L>(y * 65536) + j * dv;
    for (int i = 0; i < dest.mWidth; ++i) {
      const L u = static_cast<L>(x * 65536) + i * du;
      const U word = src.native[static_cast<std::size_t>(v >> 16) * src.width + static_cast<std::size_t>(u >> 16)];
      const int dx = mirror ? dest.mX + dest.mWidth - 1 - i : dest.mX + i, dy = dest.mY + j;
      const U d = s.Get(dx, dy);
      const U a = White(color) ? word >> 24 : (word >> 24) * ca / 255;
      if (mode == 1 ? word == 0 : a == 0) continue;
      U out = mode == 1 ? AddNative(s, d, word, color) : White(color) ? word : 0;
      for (int ch = 0; ch < 3 && mode != 1; ++ch) {
        const U m = Masks(s, ch);
        out += (((White(color) ? 0 : (word & m) * (Chan(color, ch) * ca / 255)) + (d & m) * (256 - a)) >> 8) & m;
      }
      s.Set(dx, dy, Store(s, out));
    }
  }
}

// ---- Triangles ----

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

const Format& FormatOf(Group g) { return g == Group::RGB565 ? kFormat565 : kFormat555; }

struct Plane {
  double start = 0, perRow = 0;
  std::int64_t step = 0;
};

std::int64_t Round(double v) { return std::llround(std::clamp(v, -1e15, 1e15)); }

}  // namespace

std::uint32_t SpanModulate(std::uint32_t p, std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return Mul(p, {a, r, g, b});
}

std::uint32_t SpanOntoOpaque(std::uint32_t dst, std::uint32_t src, std::uint32_t sa) { return Opaque(dst, src, sa); }

std::uint32_t SpanOverKeepingAlpha(std::uint32_t dst, std::uint32_t src, std::uint32_t sa) {
  return OverKeepingAlpha(dst, src, sa);
}

// Bit 0 blend, 1 colourised, 2 vertex colours, 3 alpha, 4 textured; the group above them.
Features Features::FromIndex(int index) {
  return {(index & 16) != 0, (index & 8) != 0, (index & 4) != 0,
          (index & 2) != 0,  (index & 1) != 0, static_cast<Group>(index / 32)};
}

void Triangle(const Kit::FixedVertex (&t)[3], const Features& features, const Destination& dest,
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
  const Plane* const colour[4] = {&a, &r, &g, &b};
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
        std::uint32_t k[4];
        for (int i = 0; i < 4; ++i) k[i] = static_cast<std::uint32_t>(at(*colour[i], px, py, 0, 255 << 16) >> 16);
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
          d = static_cast<std::uint16_t>(Pack(src, FormatOf(features.group)));
        else if (sa > 0)
          d = static_cast<std::uint16_t>(
              Pack(Opaque(Unpack(d, FormatOf(features.group)), src, sa), FormatOf(features.group)));
      }
    }
  }
}

Kit::FixedVertex ToFixed(float x, float y, float u, float v, std::uint32_t color, int textureWidth, int textureHeight) {
  const auto fixed = [](double v) { return static_cast<std::int32_t>(v * 65536.0); };
  const auto channel = [&](int shift) { return static_cast<std::int32_t>((color >> shift) & 0xFF) << 16; };
  const double tu = static_cast<double>(u) * textureWidth, tv = static_cast<double>(v) * textureHeight;
  return {fixed(x), fixed(y), channel(24), channel(16), channel(8), channel(0), fixed(tu), fixed(tv)};
}

Kit::SpanTexture DescribeTexture(const std::uint32_t* bits, int width, int height) {
  int log = 0;
  while ((2 << log) <= width) ++log;
  return {bits, 16 - log, (width - 1) << 16, (height - 1) << 16, width, width * height, height};
}

TriangleCall::TriangleCall(std::mt19937& rng, int width, int height, int round)
    : textured(round % 5 != 0), blend((round / 2) % 2), vertexColors((round / 4) % 2) {
  const bool textureAlpha = (round / 8) % 2;
  const int tw = std::uniform_int_distribution<int>(1, 12)(rng), th = std::uniform_int_distribution<int>(1, 12)(rng);
  std::vector<std::uint32_t> texels(static_cast<std::size_t>(tw * th));
  for (auto& t : texels) t = textureAlpha ? static_cast<std::uint32_t>(rng()) : (rng() | 0xFF000000u);
  texture.SetBits(texels.data(), tw, th);
  texture.CommitBits();
  color = round % 3 == 0 ? Kit::Color::White
                         : Kit::Color(static_cast<int>(rng() % 256), static_cast<int>(rng() % 256),
                                      static_cast<int>(rng() % 256), static_cast<int>(rng() % 255 + 1));
  std::uniform_real_distribution<float> px(0, width - 1), py(0.5f, height - 1), uv(-0.2f, 1.2f);
  for (auto& v : tri[0])
    v = {px(rng), py(rng), uv(rng), uv(rng), vertexColors ? static_cast<std::uint32_t>(rng() | 1u) : 0xFFFFFFFFu};
}

void TriangleCall::Draw(Group group, const Destination& dest, float tx, float ty) {
  const Features f{textured,     textured && (texture.mHasAlpha || texture.mHasTrans || blend),
                   vertexColors, color != Kit::Color::White,
                   blend,        group};
  const int tw = texture.mWidth, th = texture.mHeight;
  Kit::FixedVertex fixed[3];
  for (int i = 0; i < 3; ++i) {
    const Kit::TriVertex& v = tri[0][i];
    fixed[i] = ToFixed(v.mX + tx, v.mY + ty, v.mU, v.mV, v.mColor, tw, th);
  }
  Triangle(fixed, f, dest, DescribeTexture(texture.GetBits(), tw, th),
           {color.mAlpha, color.mRed, color.mGreen, color.mBlue});
}

}  // namespace model
