// The rotated bilinear blit onto surfaces: against the reference over formats, colours, modes and
// angles; the unrotated case's exact footprint; and hostile geometry that must not read or write
// outside either image.
#include "framework/graphics/SimdLevel.h"
#include "framework/graphics/SurfaceRotate.h"
#include "tests/display/SurfaceFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using namespace surftest;
using Kit::Color;
using Kit::Rect;

// Run at every kernel width the processor has, and with none.
class SurfaceRotateKernels : public testing::TestWithParam<Kit::Simd::Level> {
 protected:
  void SetUp() override { Kit::Simd::Limit(GetParam()); }
  void TearDown() override { Kit::Simd::Limit(Kit::Simd::Level::kAvx2); }
};

TEST_P(SurfaceRotateKernels, MatchesTheReferenceOverFormatsColoursModesAndAngles) {
  std::mt19937 rng(5);
  const Color colors[] = {Color::White, Color(220, 90, 30), Color(40, 200, 250, 120)};
  for (const auto& format : {kFormat565, kFormat555, kFormat888})
    for (const Color& color : colors)
      for (int mode : {0, 1})
        for (double angle : {0.0, 0.5236, -1.2, 3.0, 1.5707963267948966})
          for (const float x : {9.25f, 9.0f, 8.0f}) {
            SCOPED_TRACE(FormatName(format) + " mode " + std::to_string(mode) + " angle " + std::to_string(angle) +
                         " x " + std::to_string(x));
            Kit::MemoryImage sprite;
            const auto px = MakeSpritePixels(20, 17, rng);
            sprite.SetBits(px.data(), 20, 17);
            const bool palettized = angle == 3.0 || (angle == 0.0 && x == 9.0f && mode == 1);
            if (palettized) {
              std::vector<std::uint32_t> few(px);
              for (auto& p : few) p = px[p % 7];
              sprite.SetBits(few.data(), 20, 17);
              ASSERT_TRUE(sprite.Palletize());
            }
            surfref::Surface actual = MakeSurface(format, 48, 40, 3, rng);
            surfref::Surface expected = actual;
            FormatDisplay display(format);
            Target target(actual, display);
            // At a whole-pixel x and y the unrotated sample has a single neighbour.
            const float y = x == 9.25f ? 6.5f : 6.0f, cx = 9.0f, cy = 8.0f;
            const Rect srcRect(1, 2, 18, 14);
            Rect box;
            ASSERT_TRUE(Kit::MemoryImage::GetRotatedBounds(x, y, srcRect, Rect(0, 0, 48, 40), angle, cx, cy, box));
            Kit::SurfaceDraw::RotatedBlt(target.target, sprite, x, y, srcRect, box, color, mode, angle, cx, cy);
            surfref::RotatedBlt(expected, ReferenceSource(sprite, display), x, y, srcRect, box, color, mode, angle, cx,
                                cy);
            const auto diff = std::mismatch(actual.bytes.begin(), actual.bytes.end(), expected.bytes.begin());
            ASSERT_TRUE(diff.first == actual.bytes.end())
                << "row " << (diff.first - actual.bytes.begin()) / actual.pitch;
          }
}

INSTANTIATE_TEST_SUITE_P(Widths, SurfaceRotateKernels,
                         testing::Values(Kit::Simd::Level::kScalar, Kit::Simd::Level::kSse2, Kit::Simd::Level::kAvx2));

TEST(SurfaceRotate, UnrotatedAtAWholePixelDrawsEachPixelFromItsOwnSourcePixel) {
  const int w = 6, h = 5;
  std::vector<std::uint32_t> px;
  for (int i = 0; i < w * h; ++i) px.push_back(0xFF000000u | static_cast<std::uint32_t>(i * 8) << 16);
  Kit::MemoryImage sprite;
  sprite.SetBits(px.data(), w, h);
  std::mt19937 rng(1);
  surfref::Surface surface = MakeSurface(kFormat888, 16, 16, 0, rng);
  FormatDisplay display(kFormat888);
  Target target(surface, display);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) surface.Set(x, y, 0);
  Rect box;
  ASSERT_TRUE(Kit::MemoryImage::GetRotatedBounds(4, 3, Rect(0, 0, w, h), Rect(0, 0, 16, 16), 0.0, 0, 0, box));
  Kit::SurfaceDraw::RotatedBlt(target.target, sprite, 4, 3, Rect(0, 0, w, h), box, Color::White, 0, 0.0, 0, 0);
  for (int j = 0; j < h; ++j)
    for (int k = 0; k < w; ++k) {
      const std::uint32_t got = surface.Get(4 + k, 3 + j);
      const bool drawn = k >= 1 && k <= w - 2 && j <= h - 2;
      if (!drawn) {
        EXPECT_EQ(got, 0u) << k << "," << j;
        continue;
      }
      // The pixel's own red at weight 254 of 256, nothing from its neighbours.
      const std::uint32_t red = static_cast<std::uint32_t>((j * w + k) * 8);
      EXPECT_EQ(got >> 16 & 0xFF, red * 65536 * 254 >> 24) << k << "," << j;
    }
}

TEST(SurfaceRotate, HostileGeometryStaysInsideBothImages) {
  std::mt19937 rng(11);
  Kit::MemoryImage sprite;
  const auto px = MakeSpritePixels(3, 2, rng);
  sprite.SetBits(px.data(), 3, 2);
  surfref::Surface surface = MakeSurface(kFormat565, 9, 7, 2, rng);
  FormatDisplay display(kFormat565);
  Target target(surface, display);
  const auto before = surface.bytes;
  const float inf = std::numeric_limits<float>::infinity();
  std::uniform_real_distribution<double> any(-40.0, 40.0);
  for (int i = 0; i < 2000; ++i) {
    const float x = static_cast<float>(any(rng)), y = static_cast<float>(any(rng));
    const double angle = any(rng);
    // Bounds far larger than the surface, and source rectangles partly outside the source.
    Kit::SurfaceDraw::RotatedBlt(target.target, sprite, x, y, Rect(0, 0, 3, 2), Rect(-50, -50, 200, 200), Color::White,
                                 i % 2, angle, static_cast<float>(any(rng)), 1.0f);
    Kit::SurfaceDraw::RotatedBlt(target.target, sprite, x, y, Rect(1, 0, 3, 2), Rect(0, 0, 9, 7), Color::White, 0,
                                 angle, 0, 0);
  }
  Kit::SurfaceDraw::RotatedBlt(target.target, sprite, inf, 0, Rect(0, 0, 3, 2), Rect(0, 0, 9, 7), Color::White, 0, 0.5,
                               0, 0);
  for (int y = 0; y < 7; ++y)
    for (int b = 18; b < surface.pitch; ++b)
      ASSERT_EQ(surface.bytes[y * surface.pitch + b], before[y * surface.pitch + b]);
}

}  // namespace
