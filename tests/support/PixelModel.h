// The one per-pixel model of every drawing routine, for checking the optimised ones against: plain
// formulas, one pixel at a time, with no run tables, templates or row tricks. Software images are
// ARGB words; surfaces are memory of a display format (5-6-5, 5-5-5, 8-8-8) reached through pack and
// unpack; every line goes through one walker.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/raster/SoftwareTriangle.h"
#include "framework/graphics/surface/ChannelAddTables.h"
#include "framework/graphics/surface/SurfaceTarget.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace model {

// ---- Pixels and formats ----

int A(std::uint32_t p);
int R(std::uint32_t p);
int G(std::uint32_t p);
int B(std::uint32_t p);
std::uint32_t Argb(int a, int r, int g, int b);

struct Format {
  int bitCount;
  std::uint32_t rMask, gMask, bMask;
};
inline constexpr Format kFormat565{16, 0xF800, 0x07E0, 0x001F};
inline constexpr Format kFormat555{16, 0x7C00, 0x03E0, 0x001F};
inline constexpr Format kFormat888{32, 0xFF0000, 0x00FF00, 0x0000FF};
inline constexpr Format kSurfaceFormats[] = {kFormat565, kFormat555, kFormat888};
std::string FormatName(const Format& format);

// An ARGB colour as a word of the format, each channel cut to its field; and back, each field
// widened to 8 bits by repeating its bits, alpha 255.
std::uint32_t Pack(std::uint32_t argb, const Format& format);
std::uint32_t Unpack(std::uint32_t word, const Format& format);

// ---- Software images: ARGB words ----

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> px;

  std::uint32_t& At(int x, int y) { return px[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t At(int x, int y) const { return px[static_cast<std::size_t>(y) * width + x]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Source alpha sa (> 0) with source channels (r, g, b) over dst.
std::uint32_t Over(std::uint32_t dst, int r, int g, int b, int sa);
// The same, each source channel also multiplied by the colour channel: s x f x c >> 16.
std::uint32_t OverColored(std::uint32_t dst, int r, int g, int b, int sa, int cr, int cg, int cb);

void FillRect(Pixels& dest, const Kit::Rect& rect, const Kit::Color& color);
void DrawLine(Pixels& dest, double x0, double y0, double x1, double y1, const Kit::Color& color, int mode);
void Blt(Pixels& dest, bool destOpaque, const Pixels& src, bool srcHasAlpha, int x, int y, const Kit::Rect& srcRect,
         const Kit::Color& color, int mode);
void BltRotated(Pixels& dest, const Pixels& src, float x, float y, const Kit::Rect& srcRect, const Kit::Rect& box,
                const Kit::Color& color, int mode, double angle, float centerX, float centerY);
void FastStretch(Pixels& dest, const Pixels& src, const Kit::Rect& clippedDest, double srcX, double srcY, double srcW,
                 double srcH);

// ---- Surfaces: memory of a display format ----

// Surface memory with its own pitch (bytes); the bytes past each row's pixels are padding.
struct Surface {
  Format format;
  int width = 0, height = 0, pitch = 0;
  std::vector<std::uint8_t> bytes;

  std::uint32_t Get(int x, int y) const;
  void Set(int x, int y, std::uint32_t value);
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Surface memory of width x height with padPixels of padding after each row, all of it noise.
Surface MakeSurface(const Format& format, int width, int height, int padPixels, std::mt19937& rng);

// The display description of a format, as the display fills it in from its primary surface.
class FormatDisplay : public Kit::NativeDisplay {
 public:
  explicit FormatDisplay(const Format& format);
};

// The routines' view of surface memory, for the given display.
struct Target {
  Target(Surface& surface, const Kit::NativeDisplay& display);
  Kit::ChannelAddTables tables;
  Kit::SurfaceTarget target;
};

// ARGB pixels in runs of transparent, opaque and translucent pixels of random length, some black.
std::vector<std::uint32_t> MakeSpritePixels(int width, int height, std::mt19937& rng);

// Source pixels: ARGB words and the premultiplied native word of each, in the display's format.
struct Source {
  int width = 0, height = 0;
  std::vector<std::uint32_t> argb;
  std::vector<std::uint32_t> native;
};
Source SourceOf(Kit::MemoryImage& image, const Kit::NativeDisplay& display);

void NormalFill(Surface& s, const Kit::Rect& rect, const Kit::Color& color);
void AdditiveFill(Surface& s, const Kit::Rect& rect, const Kit::Color& color);
void NormalLine(Surface& s, double x0, double y0, double x1, double y1, const Kit::Color& color);
void AdditiveLine(Surface& s, double x0, double y0, double x1, double y1, const Kit::Color& color);
void VolatileBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& srcRect);
void CopyNative(Surface& s, const Source& src, int x, int y, const Kit::Rect& srcRect, bool skipTransparent);
void AlphaBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& srcRect, const Kit::Color& color,
              bool mirror);
void AdditiveBlt(Surface& s, const Source& src, int x, int y, const Kit::Rect& srcRect, const Kit::Color& color,
                 bool mirror);
// The rotated bilinear blit over the destination rectangle box (already clipped).
void RotatedBlt(Surface& s, const Source& src, float x, float y, const Kit::Rect& srcRect, const Kit::Rect& box,
                const Kit::Color& color, int mode, double angle, float centerX, float centerY);
// The nearest-neighbour stretch of the cut source (x, y, w, h) onto dest, plain or mirrored.
void FastStretch(Surface& s, const Source& src, const Kit::Rect& dest, double x, double y, double w, double h,
                 const Kit::Color& color, int mode, bool mirror);

// ---- Triangles: every destination pixel tested against the three edge functions ----

enum class Group { ARGB = 0, RGB32 = 1, RGB565 = 2, RGB555 = 3 };

struct Features {
  bool textured = false, alpha = false, vertexColors = false, colourised = false, blend = false;
  Group group = Group::ARGB;
  static Features FromIndex(int index);
};

struct Destination {
  void* bits = nullptr;
  int pitch = 0;
  int width = 0;
  int height = 0;
};

void Triangle(const Kit::FixedVertex (&triangle)[3], const Features& features, const Destination& dest,
              const Kit::SpanTexture& texture, const Kit::SpanColor& color);

// The spans' pixel formulas: each channel of p times its colour channel / 255; src at alpha sa onto an
// opaque dst; src at alpha sa over a dst that keeps its alpha.
std::uint32_t SpanModulate(std::uint32_t p, std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b);
std::uint32_t SpanOntoOpaque(std::uint32_t dst, std::uint32_t src, std::uint32_t sa);
std::uint32_t SpanOverKeepingAlpha(std::uint32_t dst, std::uint32_t src, std::uint32_t sa);

// The 16.16 triangle the rasteriser makes of float vertices that need no clipping.
Kit::FixedVertex ToFixed(float x, float y, float u, float v, std::uint32_t color, int textureWidth, int textureHeight);

Kit::SpanTexture DescribeTexture(const std::uint32_t* bits, int width, int height);

// A random call of BltTrianglesTex, its flags taken from the round: one triangle inside width x height, a
// texture (with alpha or opaque, or none), vertex colours or white, a white or random colour, blended or not.
struct TriangleCall {
  explicit TriangleCall(std::mt19937& rng, int width, int height, int round);
  // What the call draws onto dest (of the group), the vertices moved by (tx, ty).
  void Draw(Group group, const Destination& dest, float tx = 0, float ty = 0);
  Kit::MemoryImage* Texture() { return textured ? &texture : nullptr; }

  Kit::MemoryImage texture;
  Kit::TriVertex tri[1][3];
  Kit::Color color;
  bool textured, blend, vertexColors;
};

}  // namespace model
