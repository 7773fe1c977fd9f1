// The surface routines' edge cases, what a user sees of them, and golden checksums of a fixed scene
// per format so that a change to any formula shows.
#include "framework/graphics/SurfaceBlt.h"
#include "framework/graphics/SurfaceFill.h"
#include "framework/graphics/SurfaceLine.h"
#include "tests/display/SurfaceFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace surftest;
using Kit::Color;
using Kit::Rect;

struct Scene {
  explicit Scene(const surfref::Format& format, int width = 16, int height = 8, int pad = 2)
      : surface(MakeSurface(format, width, height, pad, rng)), display(format), target(surface, display) {}
  std::mt19937 rng{7};
  surfref::Surface surface;
  FormatDisplay display;
  Target target;
};

TEST(SurfaceFill, OpaqueWhiteIsEveryColourBitSet) {
  Scene s32(kFormat888);
  Kit::SurfaceDraw::NormalFill(s32.target.target, Rect(1, 1, 3, 2), Color(255, 255, 255));
  EXPECT_EQ(s32.surface.Get(1, 1), 0x00FFFFFFu);
  EXPECT_EQ(s32.surface.Get(3, 2), 0x00FFFFFFu);
  Scene s565(kFormat565);
  Kit::SurfaceDraw::NormalFill(s565.target.target, Rect(1, 1, 3, 2), Color(255, 255, 255));
  EXPECT_EQ(s565.surface.Get(2, 2), 0xFFFFu);
  Scene s555(kFormat555);
  Kit::SurfaceDraw::NormalFill(s555.target.target, Rect(0, 0, 1, 1), Color(255, 255, 255));
  EXPECT_EQ(s555.surface.Get(0, 0), 0x7FFFu);
}

TEST(SurfaceFill, AdditiveDrawingSaturatesInsteadOfWrapping) {
  for (const auto& format : {kFormat565, kFormat555, kFormat888}) {
    Scene s(format);
    Kit::SurfaceDraw::NormalFill(s.target.target, Rect(0, 0, 16, 8), Color(250, 10, 200));
    Kit::SurfaceDraw::AdditiveFill(s.target.target, Rect(0, 0, 16, 8), Color(255, 255, 255));
    Kit::SurfaceDraw::AdditiveFill(s.target.target, Rect(0, 0, 16, 8), Color(255, 255, 255));
    EXPECT_EQ(s.surface.Get(5, 5), format.rMask | format.gMask | format.bMask) << FormatName(format);
  }
}

TEST(SurfaceFill, AddTablesSaturateAtTheChannelMaximum) {
  FormatDisplay display(kFormat565);
  EXPECT_EQ(display.mRedShift, 11);
  EXPECT_EQ(display.mGreenShift, 5);
  EXPECT_EQ(display.mBlueShift, 0);
  EXPECT_EQ(display.mGreenBits, 6);
  Kit::ChannelAddTables tables;
  tables.Build(display);
  ASSERT_EQ(tables.Red().size(), 63u);
  EXPECT_EQ(tables.Red().back(), 31);
  EXPECT_EQ(tables.Red()[20], 20);
  EXPECT_EQ(tables.Green().size(), 127u);
}

TEST(SurfaceFill, RectanglesBeyondTheSurfaceAreCutAndPaddingIsKept) {
  Scene s(kFormat565, 8, 4, 3);
  const auto before = s.surface.bytes;
  Kit::SurfaceDraw::NormalFill(s.target.target, Rect(-5, -5, 100, 100), Color(0, 0, 0));
  Kit::SurfaceDraw::AdditiveFill(s.target.target, Rect(6, 2, 1000000, 1000000), Color(10, 10, 10));
  for (int y = 0; y < 4; ++y)
    for (int b = 16; b < s.surface.pitch; ++b)
      EXPECT_EQ(s.surface.bytes[y * s.surface.pitch + b], before[y * s.surface.pitch + b]);
  EXPECT_EQ(s.surface.Get(0, 0), 0u);
}

TEST(SurfaceFill, AdditiveRoutinesRefuseASurfaceWhoseMasksAreNotTheDisplays) {
  // A 5-5-5 surface under a 5-6-5 display description would index past the green table.
  std::mt19937 rng(3);
  surfref::Surface surface = MakeSurface(kFormat565, 8, 4, 0, rng);
  surface.format = {16, 0xFC00, 0x03E0, 0x001F};
  FormatDisplay display(kFormat565);
  Target target(surface, display);
  const auto before = surface.bytes;
  Kit::SurfaceDraw::AdditiveFill(target.target, Rect(0, 0, 8, 4), Color(255, 255, 255));
  Kit::SurfaceDraw::AdditiveLine(target.target, 0, 0, 7, 3, Color(255, 255, 255));
  EXPECT_EQ(surface.bytes, before);
}

TEST(SurfaceLine, NonFiniteOrHugeCoordinatesDrawNothing) {
  Scene s(kFormat888);
  const auto before = s.surface.bytes;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Kit::SurfaceDraw::NormalLine(s.target.target, nan, 0, 5, 5, Color(1, 2, 3));
  Kit::SurfaceDraw::NormalLine(s.target.target, 0, 0, 1e300, 5, Color(1, 2, 3));
  Kit::SurfaceDraw::AdditiveLine(s.target.target, 0, -std::numeric_limits<double>::infinity(), 5, 5, Color(1, 2, 3));
  EXPECT_EQ(s.surface.bytes, before);
}

TEST(SurfaceLine, ALineLeavingTheSurfaceDrawsOnlyItsInsidePixels) {
  Scene s(kFormat565, 8, 8, 4);
  const auto before = s.surface.bytes;
  Kit::SurfaceDraw::NormalLine(s.target.target, -20.5, -3.0, 40.0, 12.0, Color(255, 0, 0));
  for (int y = 0; y < 8; ++y)
    for (int b = 16; b < s.surface.pitch; ++b)
      ASSERT_EQ(s.surface.bytes[y * s.surface.pitch + b], before[y * s.surface.pitch + b]);
}

TEST(SurfaceLine, OpaqueDiagonalCoversOnePixelPerRow) {
  Scene s(kFormat888, 8, 8, 0);
  Kit::SurfaceDraw::NormalFill(s.target.target, Rect(0, 0, 8, 8), Color(0, 0, 0));
  Kit::SurfaceDraw::NormalLine(s.target.target, 1, 1, 6, 6, Color(255, 255, 255));
  for (int i = 1; i <= 6; ++i) EXPECT_NE(s.surface.Get(i, i), 0u) << i;
  EXPECT_EQ(s.surface.Get(0, 0), 0u);
  EXPECT_EQ(s.surface.Get(7, 7), 0u);
  EXPECT_EQ(s.surface.Get(2, 1), 0u);
}

TEST(SurfaceBlt, KeyedSpriteCopiesOpaquePixelsAndLeavesHolesAlone) {
  Scene s(kFormat565, 8, 2, 1);
  Kit::SurfaceDraw::NormalFill(s.target.target, Rect(0, 0, 8, 2), Color(0, 0, 255));
  const std::uint32_t px[] = {0xFFFF0000, 0x00000000, 0x00123456, 0xFF00FF00};
  Kit::MemoryImage sprite;
  sprite.SetBits(px, 4, 1);
  ASSERT_TRUE(sprite.mHasTrans);
  ASSERT_FALSE(sprite.mHasAlpha);
  Kit::SurfaceDraw::AlphaBlt(s.target.target, sprite, &s.display, 2, 1, Rect(0, 0, 4, 1), Color::White, false);
  EXPECT_EQ(s.surface.Get(2, 1), 0xF800u);
  EXPECT_EQ(s.surface.Get(3, 1), 0x001Fu);
  EXPECT_EQ(s.surface.Get(4, 1), 0x001Fu);
  EXPECT_EQ(s.surface.Get(5, 1), 0x07E0u);
  // The same through the keyed copy.
  Kit::SurfaceDraw::NormalFill(s.target.target, Rect(0, 0, 8, 2), Color(0, 0, 255));
  Kit::SurfaceDraw::CopyNative(s.target.target, sprite, &s.display, 2, 1, Rect(0, 0, 4, 1), true);
  EXPECT_EQ(s.surface.Get(3, 1), 0x001Fu);
  EXPECT_EQ(s.surface.Get(5, 1), 0x07E0u);
}

TEST(SurfaceBlt, ASourceRectangleStartingInsideARunUsesTheRestOfThatRun) {
  Scene s(kFormat888, 8, 1, 0);
  Kit::SurfaceDraw::NormalFill(s.target.target, Rect(0, 0, 8, 1), Color(0, 0, 0));
  // Five opaque pixels, then three transparent ones: starting at column 3 leaves two opaque.
  const std::uint32_t px[] = {0xFF101010, 0xFF202020, 0xFF303030, 0xFF404040, 0xFF505050, 0, 0, 0};
  Kit::MemoryImage sprite;
  sprite.SetBits(px, 8, 1);
  Kit::SurfaceDraw::AlphaBlt(s.target.target, sprite, &s.display, 0, 0, Rect(3, 0, 5, 1), Color::White, false);
  EXPECT_EQ(s.surface.Get(0, 0) & 0xFFFFFF, 0x404040u);
  EXPECT_EQ(s.surface.Get(1, 0) & 0xFFFFFF, 0x505050u);
  EXPECT_EQ(s.surface.Get(2, 0), 0u);
  Kit::SurfaceDraw::AlphaBlt(s.target.target, sprite, &s.display, 0, 0, Rect(3, 0, 5, 1), Color::White, true);
  EXPECT_EQ(s.surface.Get(4, 0) & 0xFFFFFF, 0x404040u);
  EXPECT_EQ(s.surface.Get(3, 0) & 0xFFFFFF, 0x505050u);
}

TEST(SurfaceBlt, AdditiveBlitAddsTheColourScaledBySourceAlphaAndSkipsBlack) {
  Scene s(kFormat888, 4, 1, 0);
  Kit::SurfaceDraw::NormalFill(s.target.target, Rect(0, 0, 4, 1), Color(100, 100, 100));
  const std::uint32_t px[] = {0x80FF0000, 0xFF000000, 0xFFFFFFFF, 0x00FFFFFF};
  Kit::MemoryImage sprite;
  sprite.SetBits(px, 4, 1);
  Kit::SurfaceDraw::AdditiveBlt(s.target.target, sprite, &s.display, 0, 0, Rect(0, 0, 4, 1), Color::White, false);
  EXPECT_EQ(s.surface.Get(0, 0) & 0xFFFFFF, 0xE46464u);  // 100 + 255 x 129 / 256
  EXPECT_EQ(s.surface.Get(1, 0) & 0xFFFFFF, 0x646464u);
  EXPECT_EQ(s.surface.Get(2, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(s.surface.Get(3, 0) & 0xFFFFFF, 0x646464u);  // premultiplied by alpha 0: black
}

TEST(SurfaceBlt, PlacementsOutsideTheSurfaceOrSourceDrawOnlyTheOverlap) {
  Scene s(kFormat565, 8, 8, 2);
  std::vector<std::uint32_t> px(16, 0xFFFFFFFF);
  Kit::MemoryImage sprite;
  sprite.SetBits(px.data(), 4, 4);
  Kit::SurfaceDraw::NormalFill(s.target.target, Rect(0, 0, 8, 8), Color(0, 0, 0));
  const auto before = s.surface.bytes;
  Kit::SurfaceDraw::AlphaBlt(s.target.target, sprite, &s.display, 4, 4, Rect(-2, -2, 6, 6), Color::White, true);
  Kit::SurfaceDraw::CopyNative(s.target.target, sprite, &s.display, -3, 7, Rect(0, 0, 4, 4), false);
  Kit::SurfaceDraw::VolatileBlt(s.target.target, sprite, 1 << 30, 0, Rect(0, 0, 4, 4));
  Kit::SurfaceDraw::AdditiveBlt(s.target.target, sprite, &s.display, 0, 0, Rect(3, 3, 1 << 30, 1 << 30), Color::White,
                                false);
  for (int y = 0; y < 8; ++y)
    for (int b = 16; b < s.surface.pitch; ++b)
      ASSERT_EQ(s.surface.bytes[y * s.surface.pitch + b], before[y * s.surface.pitch + b]);
  EXPECT_EQ(s.surface.Get(0, 0), 0xFFFFu);  // the additive blit's one pixel
  EXPECT_EQ(s.surface.Get(0, 7), 0xFFFFu);  // the copy's visible column
  EXPECT_EQ(s.surface.Get(7, 7), 0xFFFFu);  // the mirrored blit's corner
  EXPECT_EQ(s.surface.Get(4, 4), 0u);
}

}  // namespace
