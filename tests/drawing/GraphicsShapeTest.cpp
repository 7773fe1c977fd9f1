#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "tests/drawing/DrawingDoubles.h"
#include "tests/support/Canvas.h"

namespace {

using drawingtest::RecordingImage;
using Kit::Color;
using Kit::Graphics;
using Kit::MemoryImage;
using Kit::Rect;

constexpr std::uint32_t BLACK = 0xFF000000;
constexpr std::uint32_t WHITE = 0xFFFFFFFF;

std::unique_ptr<MemoryImage> Canvas(int width, int height) { return testsupport::Canvas(width, height, BLACK); }

std::uint32_t Pixel(MemoryImage& image, int x, int y) { return image.GetBits()[y * image.mWidth + x]; }

// Rectangles at, across and past every edge of the clip (5, 5, 20, 15) with a translation of (2, 3).
TEST(GraphicsFill, FillsOnlyWithinTheClipAtAndPastEveryEdge) {
  const Rect rects[] = {
      {0, 0, 30, 25}, {-10, 4, 14, 3}, {1, 2, 3, 3},   {20, 4, 10, 2}, {3, -10, 2, 13},
      {3, 16, 4, 20}, {-2, -3, 5, 2},  {23, 17, 5, 5}, {0, 0, 0, 5},   {4, 4, -3, 2},
      {5, 5, 1, 1},   {-3, -2, 1, 1},  {22, 16, 1, 1}, {-3, 16, 1, 1}, {22, -2, 1, 1},
  };
  const Rect clip(5, 5, 20, 15);
  for (const Rect& r : rects) {
    auto image = Canvas(30, 25);
    Graphics g(image.get());
    g.SetColor(Color(255, 255, 255));
    g.Translate(2, 3);
    g.SetClipRect(3, 2, 20, 15);
    ASSERT_EQ(g.mClipRect, clip);
    g.FillRect(r.mX, r.mY, r.mWidth, r.mHeight);
    const Rect expected = Rect(r.mX + 2, r.mY + 3, r.mWidth, r.mHeight).Intersection(clip);
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 30; ++x)
        ASSERT_EQ(Pixel(*image, x, y), expected.Contains(x, y) ? WHITE : BLACK)
            << "rect " << r.mX << "," << r.mY << " " << r.mWidth << "x" << r.mHeight << " at " << x << "," << y;
  }
}

TEST(GraphicsFill, TransparentColourFillsNothing) {
  RecordingImage dest(10, 10);
  Graphics g(&dest);
  g.SetColor(Color(255, 255, 255, 0));
  g.FillRect(0, 0, 5, 5);
  g.DrawRect(0, 0, 5, 5);
  EXPECT_TRUE(dest.calls.empty());
  // Lines do not look at alpha.
  g.DrawLine(0, 0, 5, 5);
  EXPECT_EQ(dest.calls.size(), 1u);
}

// An outline covers one more column and row than its size; clipped, it keeps the sides that show.
TEST(GraphicsRect, OutlineCoversOneMoreColumnAndRowAndIsClipped) {
  for (const Rect& clip : {Rect(0, 0, 20, 20), Rect(3, 2, 10, 10)}) {
    auto image = Canvas(20, 20);
    Graphics g(image.get());
    g.SetColor(Color(255, 255, 255));
    g.SetClipRect(clip.mX, clip.mY, clip.mWidth, clip.mHeight);
    g.DrawRect(1, 1, 6, 14);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        const bool edge = x >= 1 && x <= 7 && y >= 1 && y <= 15 && (x == 1 || x == 7 || y == 1 || y == 15);
        ASSERT_EQ(Pixel(*image, x, y), edge && clip.Contains(x, y) ? WHITE : BLACK) << x << "," << y;
      }
  }
}

// The clip's inclusive bounds are 10..39 and 20..59: ends are moved onto them, lines wholly outside dropped.
TEST(GraphicsLine, EndsAreMovedOntoTheClipEdgesAndLinesOutsideAreDropped) {
  struct Case {
    double x1, y1, x2, y2;
    std::vector<double> drawn;
  };
  const Case cases[] = {{0, 30, 100, 30, {10, 30, 39, 30}},
                        {25, 0, 25, 100, {25, 20, 25, 59}},
                        {0, 0, 60, 60, {20, 20, 39, 39}},
                        {60, 60, 0, 0, {20, 20, 39, 39}},
                        {39, 0, 39, 99, {39, 20, 39, 59}},
                        {0, 59, 99, 59, {10, 59, 39, 59}},
                        // The near end, clipped at the left, lands at y 59.5: only the part in row 59 is left.
                        {-10, 40, 30, 79, {10, 59, 10 + 0.5 * 20 / 19.5, 59}},
                        {0, 0, 9, 50, {}},
                        {40, 0, 80, 50, {}},
                        {20, 0, 30, 19, {}},
                        {20, 60, 30, 99, {}}};
  for (const Case& c : cases) {
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.SetClipRect(10, 20, 30, 40);
    g.DrawLine(c.x1, c.y1, c.x2, c.y2);
    std::vector<double> drawn;
    for (const auto& call : dest.calls) drawn.insert(drawn.end(), {call.x1, call.y1, call.x2, call.y2});
    EXPECT_EQ(drawn, c.drawn) << c.x1 << "," << c.y1 << " to " << c.x2 << "," << c.y2;
  }
}

TEST(GraphicsLine, RandomLinesNeverTouchPixelsOutsideTheClip) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-30, 70);
  auto image = Canvas(40, 40);
  Graphics g(image.get());
  g.SetColor(Color(255, 255, 255));
  g.Translate(3, -2);
  g.SetClipRect(5, 8, 20, 17);
  const Rect clip = g.mClipRect;
  for (int i = 0; i < 500; ++i)
    g.DrawLine(coordinate(random), coordinate(random), coordinate(random), coordinate(random));
  int drawn = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      if (!clip.Contains(x, y)) {
        ASSERT_EQ(Pixel(*image, x, y), BLACK) << x << "," << y;
      }
      drawn += Pixel(*image, x, y) != BLACK;
    }
  EXPECT_GT(drawn, 100);
}

}  // namespace
