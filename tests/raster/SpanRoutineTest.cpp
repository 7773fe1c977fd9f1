// Every span routine against the per-pixel model, over random triangles, textures, colours and
// destination contents.
#include "framework/graphics/raster/TriangleSpans.h"
#include "tests/support/PixelModel.h"
#include "tests/support/SimdLevels.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace rastertest {
namespace {

using namespace model;

constexpr int kW = 37, kH = 29;

struct Case {
  Kit::FixedVertex triangle[3];
  std::vector<std::uint32_t> texels;
  int texW = 1, texH = 1;
  Kit::SpanColor color;
  std::vector<std::uint8_t> dest;  // height rows of width pixels, 4 bytes each (16-bit formats use half)
  int width = kW, height = kH;
};

Case RandomCase(std::mt19937& rng, bool onGrid, int width = kW, int height = kH) {
  Case c;
  c.width = width;
  c.height = height;
  auto coord = [&](int max) {
    const std::int32_t v = std::uniform_int_distribution<std::int32_t>(0, (max - 1) << 16)(rng);
    return onGrid ? (v & ~0xFF) : v;
  };
  c.texW = std::uniform_int_distribution<int>(1, 9)(rng);
  c.texH = std::uniform_int_distribution<int>(1, 9)(rng);
  for (int i = 0; i < c.texW * c.texH; ++i) c.texels.push_back(rng());
  for (auto& v : c.triangle) {
    v.mX = coord(width);
    v.mY = coord(height);
    v.mAlpha = std::uniform_int_distribution<int>(0, 255)(rng) << 16;
    v.mRed = std::uniform_int_distribution<int>(0, 255)(rng) << 16;
    v.mGreen = std::uniform_int_distribution<int>(0, 255)(rng) << 16;
    v.mBlue = std::uniform_int_distribution<int>(0, 255)(rng) << 16;
    // Texture coordinates a little beyond the texture too, which the sampler clamps.
    v.mU = std::uniform_int_distribution<std::int32_t>(-(1 << 16), (c.texW + 1) << 16)(rng);
    v.mV = std::uniform_int_distribution<std::int32_t>(-(1 << 16), (c.texH + 1) << 16)(rng);
  }
  std::uniform_int_distribution<int> channel(0, 255);
  c.color = {channel(rng), channel(rng), channel(rng), channel(rng)};
  c.dest.resize(static_cast<std::size_t>(width) * height * 4);
  for (auto& b : c.dest) b = static_cast<std::uint8_t>(rng());
  return c;
}

void Check(Case c, int index) {
  const Features features = Features::FromIndex(index);
  const int bytesPerPixel = features.group == Group::RGB565 || features.group == Group::RGB555 ? 2 : 4;
  const Kit::SpanTexture texture = DescribeTexture(c.texels.data(), c.texW, c.texH);
  std::vector<std::uint8_t> expected = c.dest;
  Triangle(c.triangle, features, {expected.data(), c.width * bytesPerPixel, c.width, c.height}, texture, c.color);
  Kit::GetSpanRoutine(index)(c.triangle, c.dest.data(), c.width * bytesPerPixel, texture, c.color);
  ASSERT_EQ(c.dest, expected) << "routine " << index;
}

TEST(SpanRoutines, EveryRoutineMatchesThePerPixelModel) {
  std::mt19937 rng(20261206);
  for (int round = 0; round < 12; ++round)
    for (int index = 0; index < Kit::kSpanRoutineCount; ++index) Check(RandomCase(rng, round % 2 == 0), index);
}

TEST(SpanRoutines, TrianglesOnOnePixelRowOrColumnAndSliversFollowTheModel) {
  std::mt19937 rng(7);
  for (int round = 0; round < 400; ++round) {
    Case c = RandomCase(rng, false);
    // Squash onto a line through whole pixel centres, or to a sliver a fraction of a pixel wide.
    const int kind = round % 3;
    for (auto& v : c.triangle) {
      if (kind == 0) v.mY = c.triangle[0].mY & ~0xFFFF;
      if (kind == 1) v.mX = (c.triangle[0].mX & ~0xFFFF) + (v.mX & 0x3FF);
    }
    if (kind == 2) c.triangle[2] = c.triangle[0], c.triangle[2].mX += 0x100;
    Check(c, round % Kit::kSpanRoutineCount);
  }
}

TEST(SpanRoutines, AQuadSplitOnItsDiagonalBlendsEveryPixelOnce) {
  // Two triangles sharing an edge, drawn at half alpha: a pixel drawn twice would come out lighter
  // (255 x 128 >> 8 once, 0xBF twice).
  std::vector<std::uint32_t> dest(kW * kH, 0xFF000000);
  const Kit::SpanColor color{128, 255, 255, 255};
  const auto at = [](double x, double y) {
    Kit::FixedVertex v;
    v.mX = static_cast<std::int32_t>(x * 65536);
    v.mY = static_cast<std::int32_t>(y * 65536);
    return v;
  };
  // The shared edge runs through pixel centres: the top-left rule gives each of them to one side.
  const Kit::FixedVertex first[3] = {at(2.3, 1.7), at(30, 4), at(6, 28)};
  const Kit::FixedVertex second[3] = {at(30, 4), at(33.4, 27.2), at(6, 28)};
  const int index = Kit::SpanRoutineIndex(false, false, false, true, true, Kit::kFormatCode8888);
  Kit::GetSpanRoutine(index)(first, dest.data(), kW * 4, {}, color);
  Kit::GetSpanRoutine(index)(second, dest.data(), kW * 4, {}, color);
  int drawn = 0;
  for (std::uint32_t p : dest) {
    ASSERT_TRUE(p == 0xFF000000u || p == 0xFF7F7F7Fu) << std::hex << p;
    drawn += p != 0xFF000000u;
  }
  EXPECT_GT(drawn, 500);
}

// The textured routines work a run of texels at a time through the row kernels: at every vector
// width, on rows longer than a run, with coordinates running off the texture at either end.
class SpanRoutineWidths : public testsupport::SimdLevelTest {};

TEST_P(SpanRoutineWidths, TexturedRoutinesMatchTheModelOnLongAndShortRows) {
  std::mt19937 rng(20261207);
  for (int round = 0; round < 6; ++round)
    for (int index = 0; index < Kit::kSpanRoutineCount; ++index) {
      if (!Features::FromIndex(index).textured) continue;
      Check(RandomCase(rng, round % 2 == 0, 600, 7), index);
      Check(RandomCase(rng, round % 2 == 1), index);
    }
}

// Texture coordinates at the far end of their range, moving a 65536th of a texel a pixel: the first
// pixel inside the texture lies billions of steps away, and every pixel takes the clamped edge texel.
TEST_P(SpanRoutineWidths, CoordinatesFarOffTheTextureWithATinyStepTakeTheEdgeTexel) {
  std::mt19937 rng(7);
  Case c = RandomCase(rng, true, 600, 7);
  const auto at = [](int x, int y, std::int32_t u) {
    Kit::FixedVertex v{};
    v.mX = x << 16;
    v.mY = y << 16;
    v.mU = u;
    return v;
  };
  constexpr std::int32_t kLow = std::numeric_limits<std::int32_t>::min();
  c.triangle[0] = at(0, 0, kLow);
  c.triangle[1] = at(599, 0, kLow + 599);
  c.triangle[2] = at(0, 6, kLow);
  for (int index = 0; index < Kit::kSpanRoutineCount; ++index)
    if (Features::FromIndex(index).textured) Check(c, index);
}

INSTANTIATE_TEST_SUITE_P(Widths, SpanRoutineWidths, testing::ValuesIn(testsupport::kSimdLevels),
                         testsupport::SimdLevelName);

}  // namespace
}  // namespace rastertest
