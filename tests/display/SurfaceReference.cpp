#include "tests/display/SurfaceReference.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace surfref {
namespace {

using U = std::uint32_t;

U Cl(int v) { return static_cast<U>(v < 0 ? 0 : v > 255 ? 255 : v); }

bool White(const Kit::Color& c) { return c.mRed == 255 && c.mGreen == 255 && c.mBlue == 255 && c.mAlpha == 255; }

U Sat(U value, int bits) {
  const U max = (1u << bits) - 1;
  return value < max ? value : max;
}

U Masks(const Surface& s, int i) { return i == 0 ? s.format.rMask : i == 1 ? s.format.gMask : s.format.bMask; }
U Chan(const Kit::Color& c, int i) { return Cl(i == 0 ? c.mRed : i == 1 ? c.mGreen : c.mBlue); }

U Store(const Surface& s, U v) { return s.format.bitCount == 16 ? (v & 0xFFFF) : v; }

// Source column of destination pixel k for a plain or mirrored blit.
void ForEachBlitPixel(Surface& s, const Source& src, int x, int y, const Kit::Rect& r, bool mirror,
                      void (*fn)(Surface&, int, int, U, U, const void*), const void* ctx) {
  for (int j = 0; j < r.mHeight; ++j)
    for (int k = 0; k < r.mWidth; ++k) {
      const int sx = r.mX + k, sy = r.mY + j;
      const int dx = mirror ? x + r.mWidth - 1 - k : x + k, dy = y + j;
      if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height || !s.Inside(dx, dy)) continue;
      const std::size_t i = static_cast<std::size_t>(sy) * src.width + sx;
      fn(s, dx, dy, src.native[i], src.argb[i], ctx);
    }
}

void Walk(double x0, double y0, double x1, double y1, bool truncMajor, Surface& s,
          U (*pixel)(const Surface&, U, const void*), const void* ctx) {
  const double dx = x1 - x0, dy = y1 - y0;
  const bool xMajor =
      truncMajor ? std::abs(static_cast<int>(dy)) < std::abs(static_cast<int>(dx)) : std::fabs(dx) > std::fabs(dy);
  // The walk steps along the major axis a, and now and then along the minor axis b.
  double a0 = x0, b0 = y0, a1 = x1, b1 = y1;
  if (!xMajor) {
    std::swap(a0, b0);
    std::swap(a1, b1);
  }
  const double a0Box = std::fmin(a0, a1), a1Box = std::fmax(a0, a1), b0Box = std::fmin(b0, b1),
               b1Box = std::fmax(b0, b1);
  auto plot = [&](int a, int b) {
    const int px = xMajor ? a : b, py = xMajor ? b : a;
    if (s.Inside(px, py)) s.Set(px, py, pixel(s, s.Get(px, py), ctx));
  };
  if (a1 < a0) {
    std::swap(a0, a1);
    std::swap(b0, b1);
  }
  const double da = a1 - a0;
  double db = b1 - b0;
  int step = 1;
  if (db < 0) {
    step = -1;
    db = -db;
  }
  int pa = static_cast<int>(a0), pb = static_cast<int>(b0);
  const int i1 = static_cast<int>(2 * (db - da)), i2 = static_cast<int>(2 * db);
  int err = static_cast<int>((b0 - static_cast<int>(b0)) * i2 + static_cast<int>(2 * db - da));
  plot(pa, pb);
  for (pa = pa + 1; pa <= a1; ++pa) {
    if (err > 0) {
      pb += step;
      err += i1;
      if (pa < a0Box || pa > a1Box || pb < b0Box || pb > b1Box) return;
    } else {
      err += i2;
    }
    plot(pa, pb);
  }
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

}  // namespace

std::uint32_t Surface::Get(int x, int y) const {
  const std::uint8_t* p = bytes.data() + static_cast<std::size_t>(y) * pitch;
  if (format.bitCount == 16) {
    std::uint16_t v;
    std::memcpy(&v, p + 2 * x, 2);
    return v;
  }
  std::uint32_t v;
  std::memcpy(&v, p + 4 * x, 4);
  return v;
}

void Surface::Set(int x, int y, std::uint32_t value) {
  std::uint8_t* p = bytes.data() + static_cast<std::size_t>(y) * pitch;
  if (format.bitCount == 16) {
    const std::uint16_t v = static_cast<std::uint16_t>(value);
    std::memcpy(p + 2 * x, &v, 2);
  } else {
    std::memcpy(p + 4 * x, &value, 4);
  }
}

Field FieldOf(std::uint32_t mask) {
  int shift = 0;
  while (shift < 32 && !(mask & (1u << shift))) ++shift;
  int bits = 0;
  while (shift + bits < 32 && (mask & (1u << (shift + bits)))) ++bits;
  return {shift, bits};
}

void NormalFill(Surface& s, const Kit::Rect& rect, const Kit::Color& c) {
  const U ca = Cl(c.mAlpha);
  for (int y = rect.mY; y < rect.mY + rect.mHeight; ++y)
    for (int x = rect.mX; x < rect.mX + rect.mWidth; ++x) {
      if (!s.Inside(x, y)) continue;
      const U d = s.Get(x, y);
      U v = 0;
      for (int i = 0; i < 3; ++i) {
        const U m = Masks(s, i), ch = Chan(c, i);
        if (ca == 255) {
          v |= ((ch + 1) * m >> 8) & m;
        } else if (s.format.bitCount == 16) {
          v += ((((((ch * ca + 128) >> 8) + 1) * m) >> 8) & m) + ((((d & m) * (256 - ca) + m) >> 8) & m);
        } else {
          v += ((((((ch * ca + 127) >> 8) + 1) * m) >> 8) & m) + ((((d & m) * (256 - ca)) >> 8) & m);
        }
      }
      s.Set(x, y, v);
    }
}

void AdditiveFill(Surface& s, const Kit::Rect& rect, const Kit::Color& c) {
  for (int y = rect.mY; y < rect.mY + rect.mHeight; ++y)
    for (int x = rect.mX; x < rect.mX + rect.mWidth; ++x)
      if (s.Inside(x, y)) s.Set(x, y, AdditivePixel(s, s.Get(x, y), c));
}

void NormalLine(Surface& s, double x0, double y0, double x1, double y1, const Kit::Color& c) {
  const bool opaque = Cl(c.mAlpha) == 255;
  Walk(
      x0, y0, x1, y1, !opaque, s,
      [](const Surface& s, U d, const void* ctx) {
        const Kit::Color& c = *static_cast<const Kit::Color*>(ctx);
        const U ca = Cl(c.mAlpha);
        U v = 0;
        for (int i = 0; i < 3; ++i) {
          const U m = Masks(s, i), ch = Chan(c, i);
          if (ca == 255)
            v |= ((ch * m + m / 2) >> 8) & m;
          else
            v += (((((ch * ca + 128) >> 8) * m + m / 2) >> 8) & m) + ((((d & m) * (256 - ca) + m / 2) >> 8) & m);
        }
        return v;
      },
      &c);
}

void AdditiveLine(Surface& s, double x0, double y0, double x1, double y1, const Kit::Color& c) {
  Walk(
      x0, y0, x1, y1, true, s,
      [](const Surface& s, U d, const void* ctx) { return AdditivePixel(s, d, *static_cast<const Kit::Color*>(ctx)); },
      &c);
}

void VolatileBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& r) {
  ForEachBlitPixel(
      s, src, x, y, r, false,
      [](Surface& s, int dx, int dy, U, U argb, const void*) {
        const U d = s.Get(dx, dy), a = argb >> 24;
        U v = 0;
        for (int i = 0; i < 3; ++i) {
          const U m = Masks(s, i), sc = (argb >> (16 - 8 * i)) & 0xFF;
          const U colour = s.format.bitCount == 16 ? (sc * a * m) >> 8 : ((sc * a) >> 8) * m;
          v += (((d & m) * (256 - a) + m / 2 + colour) >> 8) & m;
        }
        s.Set(dx, dy, v);
      },
      nullptr);
}

void CopyNative(Surface& s, const Source& src, int x, int y, const Kit::Rect& r, bool skipTransparent) {
  ForEachBlitPixel(
      s, src, x, y, r, false,
      [](Surface& s, int dx, int dy, U word, U, const void* ctx) {
        if (*static_cast<const bool*>(ctx) && (word >> 24) == 0) return;
        s.Set(dx, dy, Store(s, word));
      },
      &skipTransparent);
}

void AlphaBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& r, const Kit::Color& color, bool mirror) {
  ForEachBlitPixel(
      s, src, x, y, r, mirror,
      [](Surface& s, int dx, int dy, U word, U, const void* ctx) {
        const Kit::Color& c = *static_cast<const Kit::Color*>(ctx);
        const U a = word >> 24, d = s.Get(dx, dy);
        if (a == 0) return;
        if (White(c)) {
          if (a == 255) {
            s.Set(dx, dy, Store(s, word));
            return;
          }
          U v = word;
          for (int i = 0; i < 3; ++i) v += (((d & Masks(s, i)) * (256 - a)) >> 8) & Masks(s, i);
          s.Set(dx, dy, Store(s, v));
          return;
        }
        const U ca = Cl(c.mAlpha);
        U v = 0;
        for (int i = 0; i < 3; ++i) {
          const U m = Masks(s, i), cc = Chan(c, i) * ca / 255;
          if (a == 255 && ca == 255)
            v += (((word & m) * cc) >> 8) & m;
          else
            v += (((d & m) * (256 - a * ca / 255) + (word & m) * cc) >> 8) & m;
        }
        s.Set(dx, dy, v);
      },
      &color);
}

void AdditiveBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& r, const Kit::Color& color,
                 bool mirror) {
  ForEachBlitPixel(
      s, src, x, y, r, mirror,
      [](Surface& s, int dx, int dy, U word, U, const void* ctx) {
        const Kit::Color& c = *static_cast<const Kit::Color*>(ctx);
        if ((word & 0xFFFFFF) == 0) return;
        const U d = s.Get(dx, dy);
        U v = 0;
        for (int i = 0; i < 3; ++i) {
          const U m = Masks(s, i);
          const Field f = FieldOf(m);
          U sum;
          if (White(c))
            sum = ((d & m) + (word & m)) >> f.shift;
          else
            sum = ((((word & m) >> f.shift) * (Chan(c, i) * Cl(c.mAlpha) / 255)) >> 8) + ((d & m) >> f.shift);
          v |= Sat(sum, f.bits) << f.shift;
        }
        s.Set(dx, dy, v);
      },
      &color);
}

void RotatedBlt(Surface& s, const Source& src, float x, float y, const Kit::Rect& sr, const Kit::Rect& box,
                const Kit::Color& color, int mode, double angle, float centerX, float centerY) {
  using L = long long;
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
    if (du > 0) {
      skip |= !((uRow >> 16) < W - 1);
      if ((65536 - uRow) / du > 0) i0 = (65536 - uRow) / du;
      i1 = std::min(i1, (W * 65536 - uRow - 98303) / du);
    } else if (du == 0) {
      skip |= !(0 <= uRow && uRow < W * 65536 - 65536);
    } else {
      skip |= !((uRow >> 16) >= 0);
      if ((W * 65536 - uRow - 163839) / du >= 0) i0 = (W * 65536 - uRow - 163839) / du;
      i1 = std::min(i1, (32767 - uRow) / du);
    }
    if (dv > 0) {
      skip |= !((vRow >> 16) < H - 1);
      if ((65536 - vRow) / dv > 0) i0 = std::max(i0, (65536 - vRow) / dv);
      i1 = std::min(i1, (H * 65536 - vRow - 98303) / dv);
    } else if (dv == 0) {
      skip |= !(0 <= vRow && vRow < H * 65536 - 65536);
    } else {
      skip |= !((vRow >> 16) >= 0);
      if ((H * 65536 - vRow - 163839) / dv >= 0) i0 = std::max(i0, (H * 65536 - vRow - 163839) / dv);
      i1 = std::min(i1, -(vRow / dv));
    }
    if (skip) continue;
    for (L i = i0; i <= i1; ++i) {
      const L u = uRow + i * du, v = vRow + i * dv;
      const int sx = sr.mX + static_cast<int>(u >> 16), sy = sr.mY + static_cast<int>(v >> 16);
      const U p[4] = {src.argb[static_cast<std::size_t>(sy) * src.width + sx],
                      src.argb[static_cast<std::size_t>(sy) * src.width + sx + 1],
                      src.argb[static_cast<std::size_t>(sy + 1) * src.width + sx],
                      src.argb[static_cast<std::size_t>(sy + 1) * src.width + sx + 1]};
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
  using L = long long;
  const L du = static_cast<L>(w * 65536 / dest.mWidth), dv = static_cast<L>(h * 65536 / dest.mHeight);
  const U ca = Cl(color.mAlpha);
  for (int j = 0; j < dest.mHeight; ++j) {
    const L v = static_cast<L>(y * 65536) + j * dv;
    for (int i = 0; i < dest.mWidth; ++i) {
      const L u = static_cast<L>(x * 65536) + i * du;
      const U word = src.native[static_cast<std::size_t>(v >> 16) * src.width + static_cast<std::size_t>(u >> 16)];
      const int dx = mirror ? dest.mX + dest.mWidth - 1 - i : dest.mX + i, dy = dest.mY + j;
      const U d = s.Get(dx, dy);
      U out = 0;
      if (mode == 1) {
        if (word == 0) continue;
        for (int ch = 0; ch < 3; ++ch) {
          const U m = Masks(s, ch);
          const Field f = FieldOf(m);
          const U sum = White(color)
                            ? ((d & m) + (word & m)) >> f.shift
                            : ((((word & m) >> f.shift) * (Chan(color, ch) * ca / 255)) >> 8) + ((d & m) >> f.shift);
          out |= Sat(sum, f.bits) << f.shift;
        }
      } else if (White(color)) {
        const U a = word >> 24;
        if (a == 0) continue;
        out = word;
        for (int ch = 0; ch < 3; ++ch) out += (((d & Masks(s, ch)) * (256 - a)) >> 8) & Masks(s, ch);
      } else {
        const U a = (word >> 24) * ca / 255;
        if (a == 0) continue;
        for (int ch = 0; ch < 3; ++ch) {
          const U m = Masks(s, ch);
          out += (((word & m) * (Chan(color, ch) * ca / 255) + (d & m) * (256 - a)) >> 8) & m;
        }
      }
      s.Set(dx, dy, Store(s, out));
    }
  }
}

}  // namespace surfref
