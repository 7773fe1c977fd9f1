// Matrix and textured-triangle blits of software images, end to end through the rasteriser.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/raster/TriangleSpans.h"
#include "tests/support/PixelModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace rastertest {
namespace {

using namespace model;

using Kit::Color;
using Kit::Matrix3;
using Kit::MemoryImage;
using Kit::Rect;
using Kit::TriVertex;

std::vector<std::uint32_t> RandomPixels(std::mt19937& rng, int count, bool opaque) {
  std::vector<std::uint32_t> out(static_cast<std::size_t>(count));
  for (auto& p : out) p = opaque ? (rng() | 0xFF000000u) : rng();
  return out;
}

void Fill(MemoryImage& image, const std::vector<std::uint32_t>& pixels, int w, int h, bool opaqueMode) {
  image.SetBits(pixels.data(), w, h);
  if (opaqueMode) image.SetImageMode(false, false);
}

std::vector<std::uint32_t> Pixels(MemoryImage& image) {
  const std::uint32_t* bits = image.GetBits();
  return {bits, bits + static_cast<std::ptrdiff_t>(image.mWidth) * image.mHeight};
}

Matrix3 RotateScale(float angle, float sx, float sy) {
  Matrix3 m;
  m.m[0][0] = std::cos(angle) * sx;
  m.m[0][1] = -std::sin(angle) * sy;
  m.m[1][0] = std::sin(angle) * sx;
  m.m[1][1] = std::cos(angle) * sy;
  return m;
}

TEST(MatrixBlt, AnIdentityMatrixCopiesTheSourceRectanglePixelForPixel) {
  std::mt19937 rng(1);
  for (const auto& [w, h] : {std::pair{6, 4}, std::pair{5, 3}, std::pair{1, 1}, std::pair{16, 9}}) {
    MemoryImage source, dest;
    const auto sprite = RandomPixels(rng, 20 * 20, true);
    Fill(source, sprite, 20, 20, false);
    const auto before = RandomPixels(rng, 30 * 30, true);
    Fill(dest, before, 30, 30, true);
    const Rect src(2, 3, w, h);
    dest.BltMatrix(&source, 7 + w / 2.0f, 5 + h / 2.0f, Matrix3(), Rect(0, 0, 30, 30), Color::White, 0, src, false);
    const auto after = Pixels(dest);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) {
        const bool inside = x >= 7 && x < 7 + w && y >= 5 && y < 5 + h;
        const std::uint32_t want = inside ? sprite[(y - 5 + 3) * 20 + (x - 7 + 2)] : before[y * 30 + x];
        ASSERT_EQ(after[y * 30 + x], want) << w << "x" << h << " at " << x << "," << y;
      }
  }
}

TEST(MatrixBlt, ATranslucentColourBlendsEveryPixelOfTheQuadOnce) {
  MemoryImage source, dest;
  Fill(source, std::vector<std::uint32_t>(64 * 64, 0xFFFFFFFF), 64, 64, false);
  Fill(dest, std::vector<std::uint32_t>(100 * 100, 0xFF000000), 100, 100, true);
  dest.BltMatrix(&source, 50, 50, RotateScale(0.7f, 1.2f, 0.9f), Rect(0, 0, 100, 100), Color(255, 255, 255, 128), 0,
                 Rect(0, 0, 64, 64), true);
  int drawn = 0;
  for (std::uint32_t p : Pixels(dest)) {
    ASSERT_TRUE(p == 0xFF000000u || p == 0xFF808080u) << std::hex << p;
    drawn += p != 0xFF000000u;
  }
  // About the quad's area, 64 x 64 x 1.2 x 0.9.
  EXPECT_NEAR(drawn, 4424, 150);
}

TEST(MatrixBlt, TheClipRectangleIsFilledToItsLastColumnAndRowAndNothingBeyond) {
  MemoryImage source, dest;
  Fill(source, std::vector<std::uint32_t>(4 * 4, 0xFF00FF00), 4, 4, false);
  for (const bool opaqueMode : {false, true}) {
    Fill(dest, std::vector<std::uint32_t>(20 * 20, 0xFF000000), 20, 20, opaqueMode);
    const Rect clip(3, 4, 10, 7);
    dest.BltMatrix(&source, 10, 10, RotateScale(0.3f, 12, 12), clip, Color::White, 0, Rect(0, 0, 4, 4), false);
    const auto after = Pixels(dest);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x)
        ASSERT_EQ(after[y * 20 + x], clip.Contains(x, y) ? 0xFF00FF00u : 0xFF000000u) << x << "," << y;
  }
}

TEST(TrianglesTex, TrianglesInsideTheClipMatchTheModel) {
  std::mt19937 rng(42);
  constexpr int W = 41, H = 33;
  for (int round = 0; round < 300; ++round) {
    const bool opaqueMode = round % 2;
    TriangleCall call(rng, W, H, round);
    MemoryImage dest;
    const auto before = RandomPixels(rng, W * H, opaqueMode);
    Fill(dest, before, W, H, opaqueMode);
    const float tx = 0.25f, ty = -0.5f;
    auto expected = before;
    call.Draw(opaqueMode ? Group::RGB32 : Group::ARGB, {expected.data(), W * 4, W, H}, tx, ty);
    dest.BltTrianglesTex(call.Texture(), call.tri, 1, Rect(0, 0, W, H), call.color, 0, tx, ty, call.blend);
    ASSERT_EQ(Pixels(dest), expected) << "round " << round;
  }
}

TEST(TrianglesTex, ClippingKeepsWhatTheWholeTriangleDrawsInsideTheClip) {
  std::mt19937 rng(9);
  constexpr int W = 48, H = 40;
  int stray = 0;
  for (int round = 0; round < 300; ++round) {
    std::uniform_real_distribution<float> px(-20, W + 20), py(-20, H + 20);
    TriVertex tri[1][3];
    for (auto& v : tri[0]) v = {std::round(px(rng) * 256) / 256, std::round(py(rng) * 256) / 256, 0, 0, 0xFFFFFFFF};
    const Rect clip(static_cast<int>(rng() % 20), static_cast<int>(rng() % 15), static_cast<int>(rng() % 30 + 1),
                    static_cast<int>(rng() % 25 + 1));
    MemoryImage whole, clipped;
    Fill(whole, std::vector<std::uint32_t>(W * H, 0xFF000000), W, H, true);
    Fill(clipped, std::vector<std::uint32_t>(W * H, 0xFF000000), W, H, true);
    // The model, unclipped, on a canvas large enough for the whole triangle.
    constexpr int PAD = 32, CW = W + 2 * PAD, CH = H + 2 * PAD;
    std::vector<std::uint32_t> canvas(CW * CH, 0xFF000000);
    Kit::FixedVertex fixed[3];
    for (int i = 0; i < 3; ++i) fixed[i] = ToFixed(tri[0][i].mX + PAD, tri[0][i].mY + PAD, 0, 0, 0, 1, 1);
    Features f;
    f.colourised = true;
    f.group = Group::RGB32;
    Triangle(fixed, f, {canvas.data(), CW * 4, CW, CH}, {}, {255, 255, 0, 0});
    clipped.BltTrianglesTex(nullptr, tri, 1, clip, Color(255, 0, 0), 0, 0, 0, false);
    const auto after = Pixels(clipped);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        if (!clip.Contains(x, y)) {
          ASSERT_EQ(after[y * W + x], 0xFF000000u) << "outside the clip at " << x << "," << y;
          continue;
        }
        stray += after[y * W + x] != canvas[(y + PAD) * CW + x + PAD];
      }
  }
  // Clipped edges run through rounded crossing points: at most a pixel here and there may differ.
  EXPECT_LE(stray, 30);
}

TEST(TrianglesTex, AVertexColourOfZeroTakesTheCallsColour) {
  MemoryImage a, b;
  Fill(a, std::vector<std::uint32_t>(16 * 16, 0xFF000000), 16, 16, true);
  Fill(b, std::vector<std::uint32_t>(16 * 16, 0xFF000000), 16, 16, true);
  TriVertex withZero[1][3] = {{{0, 0, 0, 0, 0}, {15, 0, 0, 0, 0xFF0000FF}, {0, 15, 0, 0, 0}}};
  TriVertex withWhite[1][3] = {{{0, 0, 0, 0, 0xFFFFFFFF}, {15, 0, 0, 0, 0xFF0000FF}, {0, 15, 0, 0, 0xFFFFFFFF}}};
  a.BltTrianglesTex(nullptr, withZero, 1, Rect(0, 0, 16, 16), Color(0, 255, 0), 0, 0, 0, false);
  b.BltTrianglesTex(nullptr, withWhite, 1, Rect(0, 0, 16, 16), Color(0, 255, 0), 0, 0, 0, false);
  EXPECT_EQ(Pixels(a), Pixels(b));
  EXPECT_EQ(Pixels(a)[0], 0xFF00FF00u);
}

// Hostile coordinates and clips are the fuzz target's (fuzz/triangle_raster.cpp, its "hostile" seeds).
TEST(HostileInput, EmptySourcesAndArgumentsDrawNothing) {
  MemoryImage empty, dest, texture;
  Fill(dest, std::vector<std::uint32_t>(10 * 10, 0xFF112233), 10, 10, false);
  Fill(texture, std::vector<std::uint32_t>(4, 0xFFFFFFFF), 2, 2, false);
  const auto before = Pixels(dest);
  TriVertex tri[1][3] = {{{0, 0, 0, 0}, {9, 0, 1, 0}, {0, 9, 0, 1}}};
  dest.BltMatrix(&empty, 5, 5, Matrix3(), Rect(0, 0, 10, 10), Color::White, 0, Rect(0, 0, 4, 4), false);
  dest.BltMatrix(&texture, 5, 5, Matrix3(), Rect(0, 0, 10, 10), Color::White, 0, Rect(0, 0, 0, 0), false);
  dest.BltMatrix(nullptr, 5, 5, Matrix3(), Rect(0, 0, 10, 10), Color::White, 0, Rect(0, 0, 2, 2), false);
  dest.BltTrianglesTex(&empty, tri, 1, Rect(0, 0, 10, 10), Color::White, 0, 0, 0, false);
  dest.BltTrianglesTex(&texture, nullptr, 1, Rect(0, 0, 10, 10), Color::White, 0, 0, 0, false);
  dest.BltTrianglesTex(&texture, tri, -3, Rect(0, 0, 10, 10), Color::White, 0, 0, 0, false);
  Matrix3 flat;
  flat.m[1][1] = 0;  // every corner on one line
  dest.BltMatrix(&texture, 5, 5, flat, Rect(0, 0, 10, 10), Color::White, 0, Rect(0, 0, 2, 2), false);
  EXPECT_EQ(Pixels(dest), before);
  MemoryImage noPixels;
  noPixels.BltMatrix(&texture, 5, 5, Matrix3(), Rect(0, 0, 10, 10), Color::White, 0, Rect(0, 0, 2, 2), false);
  noPixels.BltTrianglesTex(&texture, tri, 1, Rect(0, 0, 10, 10), Color::White, 0, 0, 0, false);
}

}  // namespace
}  // namespace rastertest
