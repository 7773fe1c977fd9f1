// The area-weighted stretch drawn onto a surface row by row as it is resampled (SurfaceDraw::AreaStretch,
// what a surface image's uncached stretch draws) against the way it was drawn before and still is for a
// kept stretch: resampled into a transparent picture, then the picture blitted white (copied, keyed or
// alpha-blitted, as the surface image blits it). At every vector
// level, onto 5-6-5, 5-5-5 and 32-bit surfaces, magnified, minified and cut, from sprites with
// translucent edges, colour-keyed and opaque; and onto a surface whose fields no row kernel draws, which
// it leaves to the picture.
#include "framework/graphics/surface/SurfaceBlt.h"
#include "framework/graphics/surface/SurfaceStretch.h"
#include "tests/support/PixelModel.h"
#include "tests/support/SimdLevels.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Kit::Rect;

class AreaStretchRows : public testsupport::SimdLevelTest {
 protected:
  // The stretch of `cut` of the source onto `dest` both ways, on copies of one noise surface: every byte
  // must agree.
  void ExpectAsThePicture(const model::Format& format, Kit::MemoryImage& source, const Rect& dest,
                          const Kit::MemoryImage::StretchSource& cut) {
    model::Surface actual = model::MakeSurface(format, kSurfaceWidth, kSurfaceHeight, 3, rng_);
    model::Surface expected = actual;
    model::FormatDisplay display(format);
    model::Target rows(actual, display), picture(expected, display);
    ASSERT_TRUE(Kit::SurfaceDraw::AreaStretch(rows.target, source, &display, dest, cut));
    Kit::MemoryImage scaled;
    scaled.Create(dest.mWidth, dest.mHeight);
    Kit::MemoryImage::SlowStretchBlt(scaled.GetBits(), dest.mWidth, dest.mHeight, Rect(0, 0, dest.mWidth, dest.mHeight),
                                     &source, cut);
    scaled.BitsChanged();
    // As the surface image blits a picture white: copied (keyed where it has transparent pixels) when
    // it has no translucent ones, else alpha-blitted.
    scaled.CommitBits();
    const Rect whole(0, 0, dest.mWidth, dest.mHeight);
    if (!scaled.mHasAlpha)
      Kit::SurfaceDraw::CopyNative(picture.target, scaled, &display, dest.mX, dest.mY, whole, scaled.mHasTrans);
    else
      Kit::SurfaceDraw::AlphaBlt(picture.target, scaled, &display, dest.mX, dest.mY, whole, Kit::Color::White, false);
    const auto diff = std::mismatch(actual.bytes.begin(), actual.bytes.end(), expected.bytes.begin());
    ASSERT_TRUE(diff.first == actual.bytes.end())
        << model::FormatName(format) << " onto " << dest.mX << "," << dest.mY << " " << dest.mWidth << "x"
        << dest.mHeight << " from " << cut.mX << "," << cut.mY << " " << cut.mWidth << "x" << cut.mHeight
        << ": first differing byte at row " << (diff.first - actual.bytes.begin()) / actual.pitch << ", byte "
        << (diff.first - actual.bytes.begin()) % actual.pitch;
  }

  static constexpr int kSurfaceWidth = 90, kSurfaceHeight = 70;
  std::mt19937 rng_{321};
};

TEST_P(AreaStretchRows, DrawTheResampledPictureAsItsBlitWould) {
  const int width = 23, height = 19;
  std::vector<std::uint32_t> soft = model::MakeSpritePixels(width, height, rng_);
  std::vector<std::uint32_t> keyed = soft, opaque = soft;
  for (std::uint32_t& p : keyed) p = (p >> 24) >= 128 ? p | 0xFF000000u : p & 0xFFFFFF;
  for (std::uint32_t& p : opaque) p |= 0xFF000000u;
  for (const auto* pixels : {&soft, &keyed, &opaque})
    for (const auto& format : model::kSurfaceFormats) {
      Kit::MemoryImage source;
      source.SetBits(pixels->data(), width, height);
      // Magnified, minified, one axis each way, a cut of the source at fractional edges, rows of every
      // width up to past two registers, and a rectangle reaching the surface's far corner.
      ExpectAsThePicture(format, source, Rect(3, 2, 80, 60), {0, 0, width, height});
      ExpectAsThePicture(format, source, Rect(5, 4, 9, 7), {0, 0, width, height});
      ExpectAsThePicture(format, source, Rect(0, 0, 50, 8), {0, 0, width, height});
      ExpectAsThePicture(format, source, Rect(1, 1, 11, 40), {2.5, 1.25, 17.75, 15.5});
      for (int w = 1; w <= 20; ++w) ExpectAsThePicture(format, source, Rect(2, 3, w, 5), {1, 1, 20, 16});
      ExpectAsThePicture(format, source, Rect(kSurfaceWidth - 31, kSurfaceHeight - 29, 31, 29), {0, 0, width, height});
    }
}

// Fields no row kernel draws (blue high, red low), and a rectangle past the surface: nothing is drawn
// and the caller makes the picture.
TEST_P(AreaStretchRows, LeaveWhatTheKernelsDoNotDrawToThePicture) {
  const model::Format bgr{32, 0x0000FF, 0x00FF00, 0xFF0000};
  Kit::MemoryImage source;
  const std::vector<std::uint32_t> px = model::MakeSpritePixels(8, 8, rng_);
  source.SetBits(px.data(), 8, 8);
  for (const auto& [format, dest] :
       {std::pair{bgr, Rect(0, 0, 16, 16)}, std::pair{model::kFormat565, Rect(80, 0, 16, 16)},
        std::pair{model::kFormat888, Rect(0, -1, 16, 16)}}) {
    model::Surface surface = model::MakeSurface(format, kSurfaceWidth, kSurfaceHeight, 0, rng_);
    const auto before = surface.bytes;
    model::FormatDisplay display(format);
    model::Target target(surface, display);
    EXPECT_FALSE(Kit::SurfaceDraw::AreaStretch(target.target, source, &display, dest, {0, 0, 8, 8}))
        << model::FormatName(format);
    EXPECT_EQ(surface.bytes, before) << model::FormatName(format);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, AreaStretchRows, testing::ValuesIn(testsupport::kSimdLevels),
                         testsupport::SimdLevelName);

}  // namespace
