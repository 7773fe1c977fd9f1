#include "game/data/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "framework/resource/Image.h"
#include "framework/resource/JPEGWriter.h"
#include "framework/resource/PNGWriter.h"

namespace gamedata {

Rgba Hex(unsigned rgb, float alpha) {
  return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, alpha};
}

Rgba Mix(const Rgba& from, const Rgba& to, float t) {
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
          from.a + (to.a - from.a) * t};
}

Rgba Shade(const Rgba& colour, float factor) {
  if (factor <= 1.0f) return {colour.r * factor, colour.g * factor, colour.b * factor, colour.a};
  const float t = std::min(1.0f, factor - 1.0f);
  return {colour.r + (1 - colour.r) * t, colour.g + (1 - colour.g) * t, colour.b + (1 - colour.b) * t, colour.a};
}

Rgba WithAlpha(Rgba colour, float alpha) {
  colour.a = alpha;
  return colour;
}

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float SmoothStep(float edge0, float edge1, float v) {
  const float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

Shape RoundBox(float x0, float y0, float x1, float y1, float radius) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  return [=](float x, float y) {
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
  };
}

Shape Circle(float cx, float cy, float radius) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; };
}

Shape Ring(float cx, float cy, float radius, float halfWidth) {
  return [=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - radius) - halfWidth; };
}

Shape Segment(float x0, float y0, float x1, float y1, float halfWidth) {
  return [=](float x, float y) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float lengthSquared = dx * dx + dy * dy;
    const float t = lengthSquared > 0 ? Clamp01(((x - x0) * dx + (y - y0) * dy) / lengthSquared) : 0.0f;
    return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - halfWidth;
  };
}

Shape Polygon(std::vector<float> xy) {
  return [xy = std::move(xy)](float x, float y) {
    const size_t n = xy.size() / 2;
    float best = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      const float ax = xy[2 * j], ay = xy[2 * j + 1], bx = xy[2 * i], by = xy[2 * i + 1];
      const float ex = bx - ax, ey = by - ay;
      const float lengthSquared = ex * ex + ey * ey;
      const float t = lengthSquared > 0 ? Clamp01(((x - ax) * ex + (y - ay) * ey) / lengthSquared) : 0.0f;
      best = std::min(best, std::hypot(x - (ax + t * ex), y - (ay + t * ey)));
      if ((ay > y) != (by > y) && x < ax + (y - ay) * ex / ey) inside = !inside;
    }
    return inside ? -best : best;
  };
}

Paint Solid(const Rgba& colour) {
  return [colour](float, float) { return colour; };
}

Paint VerticalGradient(float y0, const Rgba& top, float y1, const Rgba& bottom) {
  return [=](float, float y) { return Mix(top, bottom, Clamp01((y - y0) / (y1 - y0))); };
}

Canvas::Canvas(int width, int height, const Rgba& fill)
    : mWidth(width), mHeight(height), mPixels(static_cast<size_t>(width) * height, fill) {}

void Canvas::Put(int x, int y, const Rgba& colour, float coverage, Blend blend) {
  if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return;
  const float a = Clamp01(colour.a * coverage);
  if (a <= 0) return;
  Rgba& d = At(x, y);
  if (blend == Blend::kAdd) {
    d.r = std::min(1.0f, d.r * d.a + colour.r * a);
    d.g = std::min(1.0f, d.g * d.a + colour.g * a);
    d.b = std::min(1.0f, d.b * d.a + colour.b * a);
    // Light added to a transparent pixel makes it as opaque as it is bright.
    const float newAlpha = std::max(d.a, std::max({d.r, d.g, d.b}));
    if (newAlpha > 0) {
      d.r /= newAlpha;
      d.g /= newAlpha;
      d.b /= newAlpha;
    }
    d.a = newAlpha;
    return;
  }
  const float outA = a + d.a * (1 - a);
  if (outA <= 0) return;
  d.r = (colour.r * a + d.r * d.a * (1 - a)) / outA;
  d.g = (colour.g * a + d.g * d.a * (1 - a)) / outA;
  d.b = (colour.b * a + d.b * d.a * (1 - a)) / outA;
  d.a = outA;
}

void Canvas::Fill(const Shape& shape, const Paint& paint, Blend blend) {
  Fill(shape, paint, 0, 0, mWidth, mHeight, blend);
}

void Canvas::Fill(const Shape& shape, const Paint& paint, int x0, int y0, int x1, int y1, Blend blend) {
  x0 = std::max(0, x0);
  y0 = std::max(0, y0);
  x1 = std::min(mWidth, x1);
  y1 = std::min(mHeight, y1);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float coverage = Clamp01(0.5f - shape(px, py));
      if (coverage > 0) Put(x, y, paint(px, py), coverage, blend);
    }
  }
}

void Canvas::Generate(const Paint& paint) {
  for (int y = 0; y < mHeight; ++y)
    for (int x = 0; x < mWidth; ++x) At(x, y) = paint(x + 0.5f, y + 0.5f);
}

void Canvas::Draw(const Canvas& source, int x, int y, Blend blend, float opacity) {
  for (int sy = 0; sy < source.mHeight; ++sy)
    for (int sx = 0; sx < source.mWidth; ++sx) Put(x + sx, y + sy, source.At(sx, sy), opacity, blend);
}

void Canvas::Blur(int radius) {
  if (radius <= 0) return;
  // Blur premultiplied colour so that transparent pixels do not darken the edges.
  std::vector<Rgba> work(mPixels.size());
  for (size_t i = 0; i < mPixels.size(); ++i) {
    const Rgba& p = mPixels[i];
    work[i] = {p.r * p.a, p.g * p.a, p.b * p.a, p.a};
  }
  std::vector<Rgba> line;
  auto pass = [&](int count, int stride, int lines, int lineStride) {
    line.resize(count);
    const float scale = 1.0f / (2 * radius + 1);
    for (int l = 0; l < lines; ++l) {
      Rgba* base = work.data() + static_cast<size_t>(l) * lineStride;
      for (int i = 0; i < count; ++i) line[i] = base[static_cast<size_t>(i) * stride];
      for (int i = 0; i < count; ++i) {
        Rgba sum;
        for (int k = -radius; k <= radius; ++k) {
          const Rgba& p = line[std::clamp(i + k, 0, count - 1)];
          sum.r += p.r;
          sum.g += p.g;
          sum.b += p.b;
          sum.a += p.a;
        }
        base[static_cast<size_t>(i) * stride] = {sum.r * scale, sum.g * scale, sum.b * scale, sum.a * scale};
      }
    }
  };
  for (int round = 0; round < 3; ++round) {
    pass(mWidth, 1, mHeight, mWidth);
    pass(mHeight, mWidth, mWidth, 1);
  }
  for (size_t i = 0; i < mPixels.size(); ++i) {
    const Rgba& p = work[i];
    mPixels[i] = p.a > 1e-6f ? Rgba{p.r / p.a, p.g / p.a, p.b / p.a, p.a} : Rgba{};
  }
}

Canvas Canvas::Mirrored() const {
  Canvas out(mWidth, mHeight);
  for (int y = 0; y < mHeight; ++y)
    for (int x = 0; x < mWidth; ++x) out.At(mWidth - 1 - x, y) = At(x, y);
  return out;
}

void Canvas::DropShadow(int dx, int dy, int blur, float opacity) {
  Canvas shadow(mWidth, mHeight);
  for (int y = 0; y < mHeight; ++y)
    for (int x = 0; x < mWidth; ++x) {
      const int sx = x - dx, sy = y - dy;
      if (sx >= 0 && sy >= 0 && sx < mWidth && sy < mHeight) shadow.At(x, y) = {0, 0, 0, At(sx, sy).a * opacity};
    }
  shadow.Blur(blur);
  shadow.Draw(*this, 0, 0);
  mPixels.swap(shadow.mPixels);
}

std::vector<unsigned> Canvas::ToArgb() const {
  std::vector<unsigned> out(mPixels.size());
  auto byte = [](float v) { return static_cast<unsigned>(std::lround(Clamp01(v) * 255.0f)); };
  for (size_t i = 0; i < mPixels.size(); ++i) {
    const Rgba& p = mPixels[i];
    const unsigned a = byte(p.a);
    out[i] = a == 0 ? 0u : (a << 24) | (byte(p.r) << 16) | (byte(p.g) << 8) | byte(p.b);
  }
  return out;
}

namespace {

bool Save(const Canvas& canvas, const std::string& path, bool jpeg) {
  ImageLib::Image image;
  if (!image.Allocate(canvas.Width(), canvas.Height())) return false;
  const std::vector<unsigned> argb = canvas.ToArgb();
  std::copy(argb.begin(), argb.end(), image.GetBits());
  return jpeg ? ImageLib::WriteJPEGImage(path, image) : ImageLib::WritePNGImage(path, image);
}

float Lattice(int x, int y, unsigned seed) {
  std::uint32_t h =
      static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / 16777215.0f;
}

}  // namespace

bool Canvas::SavePNG(const std::string& path) const { return Save(*this, path, false); }
bool Canvas::SaveJPEG(const std::string& path) const { return Save(*this, path, true); }

float Noise(float x, float y, unsigned seed, int octaves, float scale, int period) {
  float sum = 0, amplitude = 1, total = 0;
  for (int o = 0; o < octaves; ++o) {
    const float fx = x / scale, fy = y / scale;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const float tx = fx - ix, ty = fy - iy;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const int cells = period > 0 ? std::max(1, static_cast<int>(std::lround(period / scale))) : 0;
    auto wrap = [cells](int v) { return cells > 0 ? ((v % cells) + cells) % cells : v; };
    const float a = Lattice(wrap(ix), iy, seed + o), b = Lattice(wrap(ix + 1), iy, seed + o);
    const float c = Lattice(wrap(ix), iy + 1, seed + o), d = Lattice(wrap(ix + 1), iy + 1, seed + o);
    sum += amplitude * ((a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy);
    total += amplitude;
    amplitude *= 0.5f;
    scale *= 0.5f;
  }
  return sum / total;
}

}  // namespace gamedata
