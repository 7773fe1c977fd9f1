// Every surface routine against the pixel model over the whole matrix: depth and masks (5-6-5,
// 5-5-5, 32-bit), padded and unpadded pitches, plain and palettized sources, white, opaque and
// translucent colours, plain and mirrored, rotated at any angle, with placements partly outside the
// surface. The padding after each row must come through untouched. Then a few pixels worked out by
// hand, and hostile geometry.
#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/surface/SurfaceBlt.h"
#include "framework/graphics/surface/SurfaceFill.h"
#include "framework/graphics/surface/SurfaceLine.h"
#include "framework/graphics/surface/SurfaceRotate.h"
#include "framework/graphics/surface/SurfaceStretch.h"
#include "tests/support/PixelModel.h"
#include "tests/support/SimdLevels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

using namespace model;
using Kit::Color;
using Kit::Rect;

const Color kColors[] = {Color::White, Color(200, 120, 40), Color(90, 230, 160, 140), Color(255, 255, 255, 100),
                         Color(300, -5, 128, 0)};

std::string Describe(const model::Format& format, int pad, const Color& color) {
  return FormatName(format) + " pad " + std::to_string(pad) + " colour " + std::to_string(color.mRed) + "," +
         std::to_string(color.mGreen) + "," + std::to_string(color.mBlue) + "," + std::to_string(color.mAlpha);
}

Rect RandomRect(std::mt19937& rng, int width, int height) {
  const int x = static_cast<int>(rng() % (width + 8)) - 4;
  const int y = static_cast<int>(rng() % (height + 8)) - 4;
  return Rect(x, y, static_cast<int>(rng() % (width / 2 + 4)), static_cast<int>(rng() % (height / 2 + 4)));
}

// A source image: plain ARGB pixels, or the same limited to 24 colours and palettized.
std::unique_ptr<Kit::MemoryImage> MakeSource(std::mt19937& rng, bool palettized, int width = 37, int height = 23) {
  auto image = std::make_unique<Kit::MemoryImage>();
  std::vector<std::uint32_t> px = MakeSpritePixels(width, height, rng);
  // Black with alpha: the additive blit skips it, the additive stretch draws it.
  for (std::size_t i = 0; i < px.size(); i += 5) px[i] &= 0xFF000000u;
  if (palettized) {
    std::vector<std::uint32_t> pool;
    for (int i = 0; i < 24; ++i) pool.push_back(px[rng() % px.size()]);
    for (auto& p : px) p = pool[(p ^ (p >> 11)) % pool.size()];
  }
  image->SetBits(px.data(), width, height);
  if (palettized) {
    EXPECT_TRUE(image->Palletize());
  }
  return image;
}

class SurfaceDrawMatrix : public testing::Test {
 protected:
  template <typename Draw, typename Reference>
  void Check(const model::Format& format, int pad, Draw draw, Reference reference) {
    model::Surface actual = MakeSurface(format, surfaceWidth_, surfaceHeight_, pad, rng_);
    if (surfaceByte_) std::fill(actual.bytes.begin(), actual.bytes.end(), *surfaceByte_);
    model::Surface expected = actual;
    FormatDisplay display(format);
    Target target(actual, display);
    draw(target.target, display);
    reference(expected, display);
    const auto diff = std::mismatch(actual.bytes.begin(), actual.bytes.end(), expected.bytes.begin());
    ASSERT_TRUE(diff.first == actual.bytes.end())
        << "first differing byte at row " << (diff.first - actual.bytes.begin()) / actual.pitch << ", byte "
        << (diff.first - actual.bytes.begin()) % actual.pitch;
  }

  std::mt19937 rng_{1234};
  std::optional<std::uint8_t> surfaceByte_;  // every byte of the surface, instead of noise
  int surfaceWidth_ = 61;
  int surfaceHeight_ = 43;
};

// The routine on target t and the model on surface s (d: the display), drawn on copies of one surface
// of `format` with `pad` bytes after each row, must leave the same bytes.
#define EXPECT_SAME_BYTES(routine, reference) \
  Check(                                      \
      format, pad, [&](auto& t, auto& d) { routine; }, [&](auto& s, auto& d) { reference; })

TEST_F(SurfaceDrawMatrix, FillsMatchTheFormulas) {
  for (const auto& format : kSurfaceFormats)
    for (int pad : {0, 3})
      for (const Color& color : kColors)
        for (int round = 0; round < 6; ++round) {
          SCOPED_TRACE(Describe(format, pad, color));
          const Rect rect = round == 0 ? Rect(-5, 30, 1000000, 1000000) : RandomRect(rng_, 61, 43);
          EXPECT_SAME_BYTES(Kit::SurfaceDraw::NormalFill(t, rect, color), model::NormalFill(s, rect, color));
          EXPECT_SAME_BYTES(Kit::SurfaceDraw::AdditiveFill(t, rect, color), model::AdditiveFill(s, rect, color));
        }
}

TEST_F(SurfaceDrawMatrix, LinesMatchTheWalkAndFormulas) {
  std::uniform_real_distribution<double> coord(-6.0, 66.0);
  for (const auto& format : kSurfaceFormats)
    for (int pad : {0, 3})
      for (const Color& color : kColors)
        for (int round = 0; round < 12; ++round) {
          SCOPED_TRACE(Describe(format, pad, color));
          double x0 = coord(rng_), y0 = coord(rng_), x1 = coord(rng_), y1 = coord(rng_);
          if (round == 0) y1 = y0 + (x1 - x0);  // equal deltas: y-major
          if (round == 1) x1 = x0 + 0.4;        // steep with a sub-pixel x delta
          EXPECT_SAME_BYTES(Kit::SurfaceDraw::NormalLine(t, x0, y0, x1, y1, color),
                            model::NormalLine(s, x0, y0, x1, y1, color));
          EXPECT_SAME_BYTES(Kit::SurfaceDraw::AdditiveLine(t, x0, y0, x1, y1, color),
                            model::AdditiveLine(s, x0, y0, x1, y1, color));
        }
}

TEST_F(SurfaceDrawMatrix, BlitsMatchTheFormulasForEverySourceKind) {
  for (const auto& format : kSurfaceFormats)
    for (int pad : {0, 3})
      for (bool palettized : {false, true})
        for (const Color& color : kColors)
          for (bool mirror : {false, true})
            for (int round = 0; round < 4; ++round) {
              SCOPED_TRACE(Describe(format, pad, color) + (palettized ? " palettized" : " bits") +
                           (mirror ? " mirrored" : ""));
              auto image = MakeSource(rng_, palettized);
              const Rect srcRect = RandomRect(rng_, 37, 23);
              const int x = static_cast<int>(rng_() % 70) - 5, y = static_cast<int>(rng_() % 50) - 5;
              EXPECT_SAME_BYTES(Kit::SurfaceDraw::AlphaBlt(t, *image, &d, x, y, srcRect, color, mirror),
                                model::AlphaBlt(s, SourceOf(*image, d), x, y, srcRect, color, mirror));
              EXPECT_SAME_BYTES(Kit::SurfaceDraw::AdditiveBlt(t, *image, &d, x, y, srcRect, color, mirror),
                                model::AdditiveBlt(s, SourceOf(*image, d), x, y, srcRect, color, mirror));
              if (mirror || color != Color::White) continue;
              for (bool skip : {false, true})
                EXPECT_SAME_BYTES(Kit::SurfaceDraw::CopyNative(t, *image, &d, x, y, srcRect, skip),
                                  model::CopyNative(s, SourceOf(*image, d), x, y, srcRect, skip));
              EXPECT_SAME_BYTES(Kit::SurfaceDraw::VolatileBlt(t, *image, x, y, srcRect),
                                model::VolatileBlt(s, SourceOf(*image, d), x, y, srcRect));
            }
}

// Gathered rows (palettized or mirrored) reach the row kernels in pieces: rows of a piece, one past it
// and of two pieces and a tail must come out whole, also cut on the left.
TEST_F(SurfaceDrawMatrix, RowsLongerThanAGatheredPieceDrawWhole) {
  surfaceWidth_ = 600;
  surfaceHeight_ = 4;
  for (const auto& format : kSurfaceFormats)
    for (int width : {256, 257, 587})
      for (bool palettized : {false, true})
        for (bool mirror : {false, true})
          for (const Color& color : {Color::White, Color(200, 120, 40), Color(90, 230, 160, 140)}) {
            const int pad = 0;
            SCOPED_TRACE(Describe(format, pad, color) + " width " + std::to_string(width) +
                         (palettized ? " palettized" : " bits") + (mirror ? " mirrored" : ""));
            auto image = MakeSource(rng_, palettized, width, 3);
            for (int x : {5, -3}) {
              const Rect srcRect(0, 0, width, 3);
              EXPECT_SAME_BYTES(Kit::SurfaceDraw::AlphaBlt(t, *image, &d, x, 1, srcRect, color, mirror),
                                model::AlphaBlt(s, SourceOf(*image, d), x, 1, srcRect, color, mirror));
              EXPECT_SAME_BYTES(Kit::SurfaceDraw::AdditiveBlt(t, *image, &d, x, 1, srcRect, color, mirror),
                                model::AdditiveBlt(s, SourceOf(*image, d), x, 1, srcRect, color, mirror));
            }
          }
}

TEST_F(SurfaceDrawMatrix, FastStretchesMatchTheFormulas) {
  for (const auto& format : kSurfaceFormats)
    for (int pad : {0, 3})
      for (bool palettized : {false, true})
        for (const Color& color : kColors)
          for (bool mirror : {false, true})
            for (int mode : {0, 1}) {
              SCOPED_TRACE(Describe(format, pad, color) + (palettized ? " palettized" : " bits") +
                           (mirror ? " mirrored" : "") + " mode " + std::to_string(mode));
              auto image = MakeSource(rng_, palettized);
              const Rect dest(static_cast<int>(rng_() % 20), static_cast<int>(rng_() % 15),
                              1 + static_cast<int>(rng_() % 40), 1 + static_cast<int>(rng_() % 28));
              const double x = (rng_() % 100) / 10.0, y = (rng_() % 60) / 10.0;
              const double w = 0.5 + (rng_() % 250) / 10.0, h = 0.5 + (rng_() % 160) / 10.0;
              const Kit::MemoryImage::StretchSource cut{x, y, std::min(w, 37 - x), std::min(h, 23 - y)};
              EXPECT_SAME_BYTES(Kit::SurfaceDraw::FastStretch(t, *image, &d, dest, cut, color, mode, mirror),
                                model::FastStretch(s, SourceOf(*image, d), dest, cut.mX, cut.mY, cut.mWidth,
                                                   cut.mHeight, color, mode, mirror));
            }
}

// Run at every kernel width the processor has, and with none.
class SurfaceRotateKernels : public SurfaceDrawMatrix, public testing::WithParamInterface<Kit::Simd::Level> {
 protected:
  void SetUp() override { Kit::Simd::Limit(GetParam()); }
  void TearDown() override { Kit::Simd::Limit(Kit::Simd::Level::kAvx2); }
};

TEST_P(SurfaceRotateKernels, RotatedBlitsMatchTheFormulasAtAnyAngle) {
  for (const auto& format : kSurfaceFormats)
    for (const Color& color : {Color::White, Color(220, 90, 30), Color(40, 200, 250, 120)})
      for (int mode : {0, 1})
        for (double angle : {0.0, 0.5236, -1.2, 3.0, 1.5707963267948966})
          for (const float x : {9.25f, 9.0f, 8.0f}) {
            const int pad = 3;
            SCOPED_TRACE(Describe(format, pad, color) + " mode " + std::to_string(mode) + " angle " +
                         std::to_string(angle) + " x " + std::to_string(x));
            auto image = MakeSource(rng_, angle == 3.0 || (angle == 0.0 && x == 9.0f && mode == 1));
            if (!image->mColorTable) {
              // A band of opaque rows, which the sub-pixel rows take whole blocks at a time, and one of
              // transparent rows, whose blocks weigh nothing (a 5-5-5 pixel's top bit is dropped even so).
              std::uint32_t* bits = image->GetBits();
              if (x == 9.25f)
                for (int i = 37 * 3; i < 37 * 11; ++i) bits[i] |= 0xFF000000u;
              for (int i = 37 * 12; i < 37 * 15; ++i) bits[i] &= 0x00FFFFFFu;
              image->BitsChanged();
            }
            // At a whole-pixel x and y the unrotated sample has a single neighbour.
            const float y = x == 9.25f ? 6.5f : 6.0f, cx = 9.0f, cy = 8.0f;
            const Rect srcRect(1, 2, 19, 14);
            Rect box;
            ASSERT_TRUE(Kit::MemoryImage::GetRotatedBounds(x, y, srcRect, Rect(0, 0, 61, 43), angle, cx, cy, box));
            EXPECT_SAME_BYTES(
                Kit::SurfaceDraw::RotatedBlt(t, *image, x, y, srcRect, box, color, mode, angle, cx, cy),
                model::RotatedBlt(s, SourceOf(*image, d), x, y, srcRect, box, color, mode, angle, cx, cy));
          }
}

// A palettized source draws exactly as the formulas draw its own pixels: rectangles one pixel wide up to odd widths
// past a register, whole-pixel and sub-pixel unrotated draws and turned ones, the turned ones partly
// off the surface, colours of alpha 0 and 255 among the table's.
TEST_P(SurfaceRotateKernels, PalettizedSourcesDrawAsTheirPixels) {
  struct Case {
    Rect srcRect;
    float x, y;
    double angle;
  };
  const Case cases[] = {
      {Rect(0, 0, 1, 5), 4.0f, 3.0f, 0.0},      {Rect(3, 1, 2, 2), 4.5f, 3.25f, 0.0},
      {Rect(2, 3, 3, 7), 10.0f, 6.0f, 0.5236},  {Rect(0, 0, 37, 23), 9.25f, 6.5f, 0.0},
      {Rect(1, 2, 19, 14), 9.0f, 6.0f, 0.0},    {Rect(5, 4, 9, 11), -6.5f, -4.0f, 0.5236},
      {Rect(0, 0, 37, 23), 40.0f, 30.0f, -1.2}, {Rect(4, 0, 33, 23), 20.75f, 10.5f, 3.0},
  };
  for (const auto& format : kSurfaceFormats)
    for (const Case& c : cases)
      for (const Color& color : {Color::White, Color(40, 200, 250, 120)})
        for (int mode : {0, 1}) {
          SCOPED_TRACE(Describe(format, 0, color) + " mode " + std::to_string(mode) + " angle " +
                       std::to_string(c.angle) + " source width " + std::to_string(c.srcRect.mWidth));
          std::vector<std::uint32_t> pool = {0x00FFFFFFu, 0xFF000000u, 0xFFFFFFFFu, 0x80FF8040u, 0x01102030u};
          for (int i = 0; i < 20; ++i) pool.push_back(static_cast<std::uint32_t>(rng_()));
          std::vector<std::uint32_t> px(37 * 23);
          for (auto& p : px) p = pool[rng_() % pool.size()];
          Kit::MemoryImage plain, palettized;
          plain.SetBits(px.data(), 37, 23);
          palettized.SetBits(px.data(), 37, 23);
          ASSERT_TRUE(palettized.Palletize());
          const float cx = c.srcRect.mWidth / 2.0f, cy = c.srcRect.mHeight / 2.0f;
          Rect box;
          ASSERT_TRUE(
              Kit::MemoryImage::GetRotatedBounds(c.x, c.y, c.srcRect, Rect(0, 0, 61, 43), c.angle, cx, cy, box));
          const int pad = 0;
          EXPECT_SAME_BYTES(
              Kit::SurfaceDraw::RotatedBlt(t, palettized, c.x, c.y, c.srcRect, box, color, mode, c.angle, cx, cy),
              model::RotatedBlt(s, SourceOf(plain, d), c.x, c.y, c.srcRect, box, color, mode, c.angle, cx, cy));
        }
}

// Turned rows onto every layout: rows of every length from 1 pixel to past a register's worth at
// either width (so every count of pixels left after whole registers), from sources at the sums'
// extremes (every field and alpha 255, everything transparent but the colour, alpha 1) and of mixed
// runs, over noise and over pixels with every bit set (5-5-5 pixels with their top bit, 32-bit ones
// with their top byte), white, coloured (colour and alpha at their ends) and additive.
TEST_P(SurfaceRotateKernels, TurnedRowsMatchTheFormulasAtEveryLength) {
  surfaceWidth_ = 72;
  surfaceHeight_ = 30;
  const std::uint32_t uniform[] = {0xFFFFFFFFu, 0x00FFFFFFu, 0x01FFFFFFu, 0xFF000000u};
  const Color colours[] = {Color::White, Color(255, 255, 255, 254), Color(0, 255, 1, 255), Color(40, 200, 250, 120)};
  for (const auto& format : kSurfaceFormats)
    for (const std::optional<std::uint8_t> fill : {std::optional<std::uint8_t>(), std::optional<std::uint8_t>(0xFF)})
      for (int width = 2; width <= 42; ++width)
        for (double angle : {0.5236, 0.03, -2.8}) {
          surfaceByte_ = fill;
          const int source = width % 5;  // a uniform source, or runs of every kind
          std::vector<std::uint32_t> px = MakeSpritePixels(width, 4, rng_);
          if (source < 4) std::fill(px.begin(), px.end(), uniform[source]);
          Kit::MemoryImage image;
          image.SetBits(px.data(), width, 4);
          const Color& color = colours[width % 4];
          const int mode = (width / 4) % 2;
          const int pad = 0;
          SCOPED_TRACE(Describe(format, pad, color) + " mode " + std::to_string(mode) + " angle " +
                       std::to_string(angle) + " source width " + std::to_string(width) + " kind " +
                       std::to_string(source) + (fill ? " over set bits" : " over noise"));
          const Rect srcRect(0, 0, width, 4);
          const float x = 30.25f - width / 2.0f, y = 12.5f, cx = width / 2.0f, cy = 2.0f;
          Rect box;
          ASSERT_TRUE(Kit::MemoryImage::GetRotatedBounds(x, y, srcRect, Rect(0, 0, 72, 30), angle, cx, cy, box));
          EXPECT_SAME_BYTES(Kit::SurfaceDraw::RotatedBlt(t, image, x, y, srcRect, box, color, mode, angle, cx, cy),
                            model::RotatedBlt(s, SourceOf(image, d), x, y, srcRect, box, color, mode, angle, cx, cy));
        }
}

INSTANTIATE_TEST_SUITE_P(Widths, SurfaceRotateKernels, testing::ValuesIn(testsupport::kSimdLevels),
                         testsupport::SimdLevelName);

using SurfaceBlitKernels = SurfaceRotateKernels;

// The white alpha blit onto 16-bit fields row by row: rows of 1 pixel to odd lengths past two
// registers, cut at every edge of the surface, plain, palettized and mirrored, from runs of alpha 0,
// 255 and between.
TEST_P(SurfaceBlitKernels, WhiteAlphaBlitsOnto16BitFieldsMatchTheFormula) {
  struct Case {
    Rect srcRect;
    int x, y;
  };
  const Case cases[] = {{Rect(0, 0, 1, 4), 3, 2},     {Rect(2, 1, 7, 5), 10, 4},   {Rect(0, 0, 8, 3), 0, 0},
                        {Rect(1, 2, 17, 9), 20, 8},   {Rect(0, 0, 33, 23), 5, 10}, {Rect(0, 0, 37, 23), -9, -7},
                        {Rect(3, 0, 31, 23), 45, 30}, {Rect(0, 5, 37, 0), 4, 4}};
  for (const auto& format : {kFormat565, kFormat555})
    for (int pad : {0, 3})
      for (bool palettized : {false, true})
        for (bool mirror : {false, true})
          for (const Case& c : cases) {
            SCOPED_TRACE(Describe(format, pad, Color::White) + (palettized ? " palettized" : " bits") +
                         (mirror ? " mirrored" : "") + " width " + std::to_string(c.srcRect.mWidth));
            auto image = MakeSource(rng_, palettized);
            EXPECT_SAME_BYTES(Kit::SurfaceDraw::AlphaBlt(t, *image, &d, c.x, c.y, c.srcRect, Color::White, mirror),
                              model::AlphaBlt(s, SourceOf(*image, d), c.x, c.y, c.srcRect, Color::White, mirror));
          }
}

// The additive blits (white and coloured), the tinted alpha blits and the nearest stretches (alpha and
// additive, white and coloured) onto 16-bit fields row by row: widths of 1 pixel to odd lengths past two registers,
// magnified and shrunk, cut at the surface's edges, plain, palettized and mirrored, over a surface of noise (5-5-5
// pixels with and without their top bit) from sources with black words, with and without alpha.
TEST_P(SurfaceBlitKernels, AdditiveTintedBlitsAndStretchesOnto16BitFieldsMatchTheFormula) {
  const Rect blits[] = {Rect(0, 0, 1, 4), Rect(2, 1, 7, 5), Rect(1, 2, 17, 9), Rect(0, 0, 33, 23), Rect(3, 0, 31, 23)};
  const int places[][2] = {{3, 2}, {40, 30}, {-9, -7}};
  const Rect stretches[] = {Rect(0, 0, 1, 3), Rect(5, 4, 15, 7), Rect(2, 2, 16, 16), Rect(10, 1, 33, 20),
                            Rect(0, 0, 61, 43)};
  for (const auto& format : {kFormat565, kFormat555})
    for (int pad : {0, 3})
      for (bool palettized : {false, true})
        for (bool mirror : {false, true})
          for (const Color& color :
               {Color::White, Color(200, 120, 40), Color(90, 230, 160, 140), Color(255, 255, 255, 100)}) {
            SCOPED_TRACE(Describe(format, pad, color) + (palettized ? " palettized" : " bits") +
                         (mirror ? " mirrored" : ""));
            auto image = MakeSource(rng_, palettized);
            for (const Rect& srcRect : blits)
              for (const auto& at : places) {
                SCOPED_TRACE("blit width " + std::to_string(srcRect.mWidth));
                EXPECT_SAME_BYTES(Kit::SurfaceDraw::AlphaBlt(t, *image, &d, at[0], at[1], srcRect, color, mirror),
                                  model::AlphaBlt(s, SourceOf(*image, d), at[0], at[1], srcRect, color, mirror));
                EXPECT_SAME_BYTES(Kit::SurfaceDraw::AdditiveBlt(t, *image, &d, at[0], at[1], srcRect, color, mirror),
                                  model::AdditiveBlt(s, SourceOf(*image, d), at[0], at[1], srcRect, color, mirror));
              }
            for (const Rect& dest : stretches)
              for (int mode : {0, 1}) {
                SCOPED_TRACE("stretch width " + std::to_string(dest.mWidth) + " mode " + std::to_string(mode));
                EXPECT_SAME_BYTES(
                    Kit::SurfaceDraw::FastStretch(t, *image, &d, dest, {1.5, 0.5, 30.25, 21.0}, color, mode, mirror),
                    model::FastStretch(s, SourceOf(*image, d), dest, 1.5, 0.5, 30.25, 21.0, color, mode, mirror));
              }
          }
}

INSTANTIATE_TEST_SUITE_P(Widths, SurfaceBlitKernels, testing::ValuesIn(testsupport::kSimdLevels),
                         testsupport::SimdLevelName);

// Pixels worked out by hand, so that the model and the routines cannot share a mistake.
struct Scene {
  explicit Scene(const model::Format& format, int width = 8, int height = 8, int pad = 2)
      : surface(MakeSurface(format, width, height, pad, rng)), display(format), target(surface, display) {}
  void Fill(const Color& color) { Kit::SurfaceDraw::NormalFill(target.target, Rect(0, 0, 8, 8), color); }
  std::mt19937 rng{7};
  model::Surface surface;
  FormatDisplay display;
  Target target;
};

Kit::MemoryImage Sprite(std::vector<std::uint32_t> px) {
  Kit::MemoryImage sprite;
  sprite.SetBits(px.data(), static_cast<int>(px.size()), 1);
  return sprite;
}

TEST(SurfaceDrawByHand, FillsLinesAndBlitsGiveTheWorkedOutPixels) {
  for (const auto& format : kSurfaceFormats) {
    Scene s(format);
    s.Fill(Color(255, 255, 255));
    EXPECT_EQ(s.surface.Get(3, 3), format.rMask | format.gMask | format.bMask) << FormatName(format);
  }
  Scene s(kFormat888);
  s.Fill(Color(0, 0, 0));
  Kit::SurfaceDraw::NormalLine(s.target.target, 1, 1, 6, 6, Color(255, 255, 255));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(s.surface.Get(i, i) != 0, i >= 1 && i <= 6) << i;
  EXPECT_EQ(s.surface.Get(2, 1), 0u);
  s.Fill(Color(100, 100, 100));
  Kit::MemoryImage sprite = Sprite({0x80FF0000, 0xFF000000, 0xFFFFFFFF, 0x00FFFFFF});
  Kit::SurfaceDraw::AdditiveBlt(s.target.target, sprite, &s.display, 0, 0, Rect(0, 0, 4, 1), Color::White, false);
  EXPECT_EQ(s.surface.Get(0, 0) & 0xFFFFFF, 0xE46464u);  // 100 + 255 x 129 / 256
  EXPECT_EQ(s.surface.Get(1, 0) & 0xFFFFFF, 0x646464u);
  EXPECT_EQ(s.surface.Get(2, 0) & 0xFFFFFF, 0xFFFFFFu);  // saturated
  EXPECT_EQ(s.surface.Get(3, 0) & 0xFFFFFF, 0x646464u);  // premultiplied by alpha 0: black

  Scene k(kFormat565);
  Kit::MemoryImage keyed = Sprite({0xFFFF0000, 0x00000000, 0x00123456, 0xFF00FF00});
  ASSERT_TRUE(keyed.mHasTrans && !keyed.mHasAlpha);
  for (bool copy : {false, true}) {
    k.Fill(Color(0, 0, 255));
    if (copy)
      Kit::SurfaceDraw::CopyNative(k.target.target, keyed, &k.display, 2, 1, Rect(0, 0, 4, 1), true);
    else
      Kit::SurfaceDraw::AlphaBlt(k.target.target, keyed, &k.display, 2, 1, Rect(0, 0, 4, 1), Color::White, false);
    EXPECT_EQ(k.surface.Get(2, 1), 0xF800u) << copy;
    EXPECT_EQ(k.surface.Get(3, 1), 0x001Fu) << copy;
    EXPECT_EQ(k.surface.Get(4, 1), 0x001Fu) << copy;
    EXPECT_EQ(k.surface.Get(5, 1), 0x07E0u) << copy;
  }
}

TEST(SurfaceDrawByHand, UnrotatedAtAWholePixelDrawsEachPixelFromItsOwnSourcePixel) {
  const int w = 6, h = 5;
  std::vector<std::uint32_t> px;
  for (int i = 0; i < w * h; ++i) px.push_back(0xFF000000u | static_cast<std::uint32_t>(i * 8) << 16);
  Kit::MemoryImage sprite;
  sprite.SetBits(px.data(), w, h);
  Scene s(kFormat888, 16, 16, 0);
  Kit::SurfaceDraw::NormalFill(s.target.target, Rect(0, 0, 16, 16), Color(0, 0, 0));
  Rect box;
  ASSERT_TRUE(Kit::MemoryImage::GetRotatedBounds(4, 3, Rect(0, 0, w, h), Rect(0, 0, 16, 16), 0.0, 0, 0, box));
  Kit::SurfaceDraw::RotatedBlt(s.target.target, sprite, 4, 3, Rect(0, 0, w, h), box, Color::White, 0, 0.0, 0, 0);
  for (int j = 0; j < h; ++j)
    for (int k = 0; k < w; ++k) {
      // Drawn pixels have their own red at weight 254 of 256, nothing from their neighbours.
      const bool drawn = k >= 1 && k <= w - 2 && j <= h - 2;
      const std::uint32_t red = static_cast<std::uint32_t>((j * w + k) * 8);
      EXPECT_EQ(s.surface.Get(4 + k, 3 + j), drawn ? (red * 65536 * 254 >> 24) << 16 : 0u) << k << "," << j;
    }
}

// Nothing outside the surface's rows is written, whatever the geometry; additive routines refuse a
// surface whose masks are not the display's (a 5-5-5 surface would index past a 5-6-5 table).
TEST(SurfaceDrawHostile, NothingIsWrittenOutsideTheSurfaceOrPastTheTables) {
  Scene s(kFormat565, 9, 7, 2);
  const auto before = s.surface.bytes;
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  Kit::SurfaceDraw::NormalLine(s.target.target, nan, 0, 5, 5, Color(1, 2, 3));
  Kit::SurfaceDraw::NormalLine(s.target.target, 0, 0, 1e300, 5, Color(1, 2, 3));
  Kit::SurfaceDraw::AdditiveLine(s.target.target, 0, -inf, 5, 5, Color(1, 2, 3));
  EXPECT_EQ(s.surface.bytes, before);
  Kit::MemoryImage sprite;
  const auto px = MakeSpritePixels(3, 2, s.rng);
  sprite.SetBits(px.data(), 3, 2);
  Kit::SurfaceDraw::VolatileBlt(s.target.target, sprite, 1 << 30, 0, Rect(0, 0, 3, 2));
  Kit::SurfaceDraw::AdditiveBlt(s.target.target, sprite, &s.display, 0, 0, Rect(1, 1, 1 << 30, 1 << 30), Color::White,
                                false);
  std::uniform_real_distribution<double> any(-40.0, 40.0);
  for (int i = 0; i < 2000; ++i) {
    const float x = static_cast<float>(any(s.rng)), y = static_cast<float>(any(s.rng));
    const double angle = any(s.rng);
    // Bounds far larger than the surface, and source rectangles partly outside the source.
    Kit::SurfaceDraw::RotatedBlt(s.target.target, sprite, x, y, Rect(0, 0, 3, 2), Rect(-50, -50, 200, 200),
                                 Color::White, i % 2, angle, static_cast<float>(any(s.rng)), 1.0f);
    Kit::SurfaceDraw::RotatedBlt(s.target.target, sprite, x, y, Rect(1, 0, 3, 2), Rect(0, 0, 9, 7), Color::White, 0,
                                 angle, 0, 0);
  }
  Kit::SurfaceDraw::RotatedBlt(s.target.target, sprite, static_cast<float>(inf), 0, Rect(0, 0, 3, 2), Rect(0, 0, 9, 7),
                               Color::White, 0, 0.5, 0, 0);
  for (int y = 0; y < 7; ++y)
    for (int b = 18; b < s.surface.pitch; ++b)
      ASSERT_EQ(s.surface.bytes[y * s.surface.pitch + b], before[y * s.surface.pitch + b]);

  model::Surface other = s.surface;
  other.format = {16, 0xFC00, 0x03E0, 0x001F};
  Target mismatched(other, s.display);
  const auto kept = other.bytes;
  Kit::SurfaceDraw::AdditiveFill(mismatched.target, Rect(0, 0, 8, 4), Color(255, 255, 255));
  Kit::SurfaceDraw::AdditiveLine(mismatched.target, 0, 0, 7, 3, Color(255, 255, 255));
  EXPECT_EQ(other.bytes, kept);
}

}  // namespace
