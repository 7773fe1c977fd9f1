// Every surface routine against the reference formulas over the whole matrix: depth and masks
// (5-6-5, 5-5-5, 32-bit), padded and unpadded pitches, plain and palettized sources, white, opaque
// and translucent colours, plain and mirrored, with placements partly outside the surface. The
// padding after each row must come through untouched.
#include "framework/graphics/SurfaceBlt.h"
#include "framework/graphics/SurfaceFill.h"
#include "framework/graphics/SurfaceLine.h"
#include "framework/graphics/SurfaceStretch.h"
#include "tests/display/SurfaceFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace surftest;
using Kit::Color;
using Kit::Rect;

const surfref::Format kFormats[] = {kFormat565, kFormat555, kFormat888};
const Color kColors[] = {Color::White, Color(200, 120, 40), Color(90, 230, 160, 140), Color(255, 255, 255, 100),
                         Color(300, -5, 128, 0)};

std::string Describe(const surfref::Format& format, int pad, const Color& color) {
  return FormatName(format) + " pad " + std::to_string(pad) + " colour " + std::to_string(color.mRed) + "," +
         std::to_string(color.mGreen) + "," + std::to_string(color.mBlue) + "," + std::to_string(color.mAlpha);
}

Rect RandomRect(std::mt19937& rng, int width, int height) {
  const int x = static_cast<int>(rng() % (width + 8)) - 4;
  const int y = static_cast<int>(rng() % (height + 8)) - 4;
  return Rect(x, y, static_cast<int>(rng() % (width / 2 + 4)), static_cast<int>(rng() % (height / 2 + 4)));
}

// A source image: plain ARGB pixels, or the same limited to 24 colours and palettized.
std::unique_ptr<Kit::MemoryImage> MakeSource(std::mt19937& rng, bool palettized) {
  auto image = std::make_unique<Kit::MemoryImage>();
  std::vector<std::uint32_t> px = MakeSpritePixels(37, 23, rng);
  if (palettized) {
    std::vector<std::uint32_t> pool;
    for (int i = 0; i < 24; ++i) pool.push_back(px[rng() % px.size()]);
    for (auto& p : px) p = pool[(p ^ (p >> 11)) % pool.size()];
  }
  image->SetBits(px.data(), 37, 23);
  if (palettized) {
    EXPECT_TRUE(image->Palletize());
  }
  return image;
}

class SurfaceDrawMatrix : public testing::Test {
 protected:
  template <typename Draw, typename Reference>
  void Check(const surfref::Format& format, int pad, Draw draw, Reference reference) {
    surfref::Surface actual = MakeSurface(format, 61, 43, pad, rng_);
    surfref::Surface expected = actual;
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
};

TEST_F(SurfaceDrawMatrix, FillsMatchTheFormulas) {
  for (const auto& format : kFormats)
    for (int pad : {0, 3})
      for (const Color& color : kColors)
        for (int round = 0; round < 6; ++round) {
          SCOPED_TRACE(Describe(format, pad, color));
          const Rect rect = RandomRect(rng_, 61, 43);
          Check(
              format, pad, [&](auto& t, auto&) { Kit::SurfaceDraw::NormalFill(t, rect, color); },
              [&](auto& s, auto&) { surfref::NormalFill(s, rect, color); });
          Check(
              format, pad, [&](auto& t, auto&) { Kit::SurfaceDraw::AdditiveFill(t, rect, color); },
              [&](auto& s, auto&) { surfref::AdditiveFill(s, rect, color); });
        }
}

TEST_F(SurfaceDrawMatrix, LinesMatchTheWalkAndFormulas) {
  std::uniform_real_distribution<double> coord(-6.0, 66.0);
  for (const auto& format : kFormats)
    for (int pad : {0, 3})
      for (const Color& color : kColors)
        for (int round = 0; round < 12; ++round) {
          SCOPED_TRACE(Describe(format, pad, color));
          double x0 = coord(rng_), y0 = coord(rng_), x1 = coord(rng_), y1 = coord(rng_);
          if (round == 0) y1 = y0 + (x1 - x0);  // equal deltas: y-major
          if (round == 1) x1 = x0 + 0.4;        // steep with a sub-pixel x delta
          Check(
              format, pad, [&](auto& t, auto&) { Kit::SurfaceDraw::NormalLine(t, x0, y0, x1, y1, color); },
              [&](auto& s, auto&) { surfref::NormalLine(s, x0, y0, x1, y1, color); });
          Check(
              format, pad, [&](auto& t, auto&) { Kit::SurfaceDraw::AdditiveLine(t, x0, y0, x1, y1, color); },
              [&](auto& s, auto&) { surfref::AdditiveLine(s, x0, y0, x1, y1, color); });
        }
}

TEST_F(SurfaceDrawMatrix, BlitsMatchTheFormulasForEverySourceKind) {
  for (const auto& format : kFormats)
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
              Check(
                  format, pad,
                  [&](auto& t, auto& d) { Kit::SurfaceDraw::AlphaBlt(t, *image, &d, x, y, srcRect, color, mirror); },
                  [&](auto& s, auto& d) {
                    surfref::AlphaBlt(s, ReferenceSource(*image, d), x, y, srcRect, color, mirror);
                  });
              Check(
                  format, pad,
                  [&](auto& t, auto& d) { Kit::SurfaceDraw::AdditiveBlt(t, *image, &d, x, y, srcRect, color, mirror); },
                  [&](auto& s, auto& d) {
                    surfref::AdditiveBlt(s, ReferenceSource(*image, d), x, y, srcRect, color, mirror);
                  });
              if (mirror || color != Color::White) continue;
              for (bool skip : {false, true})
                Check(
                    format, pad,
                    [&](auto& t, auto& d) { Kit::SurfaceDraw::CopyNative(t, *image, &d, x, y, srcRect, skip); },
                    [&](auto& s, auto& d) { surfref::CopyNative(s, ReferenceSource(*image, d), x, y, srcRect, skip); });
              Check(
                  format, pad, [&](auto& t, auto&) { Kit::SurfaceDraw::VolatileBlt(t, *image, x, y, srcRect); },
                  [&](auto& s, auto& d) { surfref::VolatileBlt(s, ReferenceSource(*image, d), x, y, srcRect); });
            }
}

TEST_F(SurfaceDrawMatrix, FastStretchesMatchTheFormulas) {
  for (const auto& format : kFormats)
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
              Check(
                  format, pad,
                  [&](auto& t, auto& d) {
                    Kit::SurfaceDraw::FastStretch(t, *image, &d, dest, cut, color, mode, mirror);
                  },
                  [&](auto& s, auto& d) {
                    surfref::FastStretch(s, ReferenceSource(*image, d), dest, cut.mX, cut.mY, cut.mWidth, cut.mHeight,
                                         color, mode, mirror);
                  });
            }
}

}  // namespace
