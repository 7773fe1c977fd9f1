// A picture being painted by the data generator: straight-alpha float pixels, shapes given as signed
// distance functions (negative inside) so that every edge is anti-aliased, source-over and additive
// painting, blur, and saving through the framework's PNG and JPEG writers. Owned by its painter; not
// thread-safe.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace gamedata {

struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;
};

// 0xRRGGBB with an alpha of 0..1.
Rgba Hex(unsigned rgb, float alpha = 1.0f);
Rgba Mix(const Rgba& from, const Rgba& to, float t);
// Scales the colour channels: below 1 darkens, above 1 brightens towards white.
Rgba Shade(const Rgba& colour, float factor);
Rgba WithAlpha(Rgba colour, float alpha);
float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float v);

// Signed distance of a point to a shape, in pixels; negative inside.
using Shape = std::function<float(float x, float y)>;
// Colour of a covered point.
using Paint = std::function<Rgba(float x, float y)>;

Shape RoundBox(float x0, float y0, float x1, float y1, float radius);
Shape Circle(float cx, float cy, float radius);
Shape Ring(float cx, float cy, float radius, float halfWidth);
Shape Segment(float x0, float y0, float x1, float y1, float halfWidth);
Shape Polygon(std::vector<float> xy);
Paint Solid(const Rgba& colour);
Paint VerticalGradient(float y0, const Rgba& top, float y1, const Rgba& bottom);

enum class Blend { kOver, kAdd };

class Canvas {
 public:
  Canvas(int width, int height, const Rgba& fill = {});

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  Rgba& At(int x, int y) { return mPixels[static_cast<size_t>(y) * mWidth + x]; }
  const Rgba& At(int x, int y) const { return mPixels[static_cast<size_t>(y) * mWidth + x]; }

  // Puts one colour on one pixel with the given coverage; pixels outside are ignored.
  void Put(int x, int y, const Rgba& colour, float coverage, Blend blend = Blend::kOver);
  // Paints every pixel whose centre is covered by the shape, edges anti-aliased; only the pixels of
  // the rectangle (x0, y0)-(x1, y1) are visited.
  void Fill(const Shape& shape, const Paint& paint, Blend blend = Blend::kOver);
  void Fill(const Shape& shape, const Paint& paint, int x0, int y0, int x1, int y1, Blend blend = Blend::kOver);
  // Sets every pixel from a function of its centre.
  void Generate(const Paint& paint);
  // Draws another canvas with its top-left corner at (x, y).
  void Draw(const Canvas& source, int x, int y, Blend blend = Blend::kOver, float opacity = 1.0f);
  // Box-blurs colour and alpha three times (close to a Gaussian of the radius).
  void Blur(int radius);
  // The same picture mirrored left to right.
  Canvas Mirrored() const;
  // A soft dark copy of the alpha, moved by (dx, dy), under the picture.
  void DropShadow(int dx, int dy, int blur, float opacity);

  // PNG keeps alpha; JPEG drops it (opaque pictures only). False when the file cannot be written.
  bool SavePNG(const std::string& path) const;
  bool SaveJPEG(const std::string& path) const;
  // Pixels as 0xAARRGGBB.
  std::vector<unsigned> ToArgb() const;

 private:
  int mWidth;
  int mHeight;
  std::vector<Rgba> mPixels;
};

// Fractal value noise in [0, 1], tileable over `period` pixels horizontally when period > 0.
float Noise(float x, float y, unsigned seed, int octaves, float scale, int period = 0);

}  // namespace gamedata
