#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

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

// Every pixel says where it came from: red x, green y.
std::unique_ptr<MemoryImage> Coded(int width, int height) {
  auto image = std::make_unique<MemoryImage>();
  image->Create(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image->GetBits()[y * width + x] =
          0xFF000000u | static_cast<std::uint32_t>(x) << 16 | static_cast<std::uint32_t>(y) << 8 | 0x80;
  image->BitsChanged();
  return image;
}

std::unique_ptr<MemoryImage> Canvas(int width, int height) { return testsupport::Canvas(width, height, BLACK); }

std::uint32_t Code(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>(x) << 16 | static_cast<std::uint32_t>(y) << 8 | 0x80;
}

// Draws of a 10 x 8 sprite onto a 40 x 30 image moved 1 left: the blit each makes (source rectangle,
// position), or none ("").
TEST(GraphicsImage, DrawsAreClippedOnEverySideAndTheSourceFollows) {
  MemoryImage sprite;
  sprite.Create(10, 8);
  struct Case {
    std::function<void(Graphics&)> draw;
    std::string op;
    Rect rect = Rect(), dest = Rect();
  };
  const Case cases[] = {
      {[&](Graphics& g) { g.DrawImage(&sprite, -2, -2); }, "Blt", Rect(3, 2, 7, 6), Rect(0, 0, 0, 0)},
      {[&](Graphics& g) { g.DrawImage(&sprite, 36, 25); }, "Blt", Rect(0, 0, 5, 5), Rect(35, 25, 0, 0)},
      {[&](Graphics& g) { g.DrawImage(&sprite, 41, 0); }, ""},   // wholly right
      {[&](Graphics& g) { g.DrawImage(&sprite, 30, 30); }, ""},  // wholly below
      {[&](Graphics& g) { g.DrawImage(nullptr, 0, 0); }, ""},
      // Source rectangles reaching outside the sprite draw nothing.
      {[&](Graphics& g) { g.DrawImage(&sprite, 1, 0, Rect(5, 0, 6, 8)); }, ""},
      {[&](Graphics& g) { g.DrawImage(&sprite, 1, 0, Rect(0, 4, 10, 5)); }, ""},
      {[&](Graphics& g) { g.DrawImage(&sprite, 1, 0, Rect(-1, 0, 4, 4)); }, ""},
      {[&](Graphics& g) { g.DrawImage(&sprite, Rect(1, 0, 20, 20), Rect(0, 0, 11, 8)); }, ""},
      {[&](Graphics& g) { g.DrawImageMirror(&sprite, 1, 0, Rect(0, -2, 4, 4)); }, ""},
      {[&](Graphics& g) { g.DrawImage(&sprite, 5, 5, Rect(2, 3, 8, 5)); }, "Blt", Rect(2, 3, 8, 5), Rect(4, 5, 0, 0)},
      // Mirrored, the columns cut on the left are the source's rightmost, and the other way round.
      {[&](Graphics& g) { g.DrawImageMirror(&sprite, -2, 0); }, "BltMirror", Rect(0, 0, 7, 8), Rect(0, 0, 0, 0)},
      {[&](Graphics& g) { g.DrawImageMirror(&sprite, 34, 0); }, "BltMirror", Rect(3, 0, 7, 8), Rect(33, 0, 0, 0)},
      {[&](Graphics& g) { g.DrawImageMirror(&sprite, 1, 0, false); }, "Blt", Rect(0, 0, 10, 8), Rect(0, 0, 0, 0)},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    RecordingImage dest(40, 30);
    Graphics g(&dest);
    g.Translate(-1, 0);
    g.SetColor(Color(10, 20, 30, 40));  // not colourising: the images are drawn white
    g.SetDrawMode(1);
    c.draw(g);
    ASSERT_EQ(dest.calls.size(), c.op.empty() ? 0u : 1u) << "draw " << i;
    if (c.op.empty()) continue;
    EXPECT_EQ(dest.calls[0].op, c.op) << "draw " << i;
    EXPECT_EQ(dest.calls[0].rect, c.rect) << "draw " << i;
    EXPECT_EQ(dest.calls[0].dest, c.dest) << "draw " << i;
    EXPECT_EQ(dest.calls[0].color, Color::White) << "draw " << i;
    EXPECT_EQ(dest.calls[0].drawMode, 1) << "draw " << i;
  }
}

TEST(GraphicsImage, StretchedAndRotatedDrawsAreTranslated) {
  RecordingImage dest(40, 30);
  MemoryImage sprite;
  sprite.Create(11, 7);
  Graphics g(&dest);
  g.Translate(2.5f, 3.25f);
  g.SetClipRect(0, 0, 20, 20);
  g.SetFastStretch(true);
  g.DrawImage(&sprite, Rect(1, 1, 30, 40), Rect(1, 1, 10, 6));
  g.DrawImageRotated(&sprite, 4, 5, 0.5);
  const Rect part(2, 2, 5, 3);
  g.DrawImageRotatedF(&sprite, 1.5f, 2.5f, -1.0, &part);
  g.DrawImageRotated(&sprite, 0, 0, 2.0, 7, 9);
  ASSERT_EQ(dest.calls.size(), 4u);
  EXPECT_EQ(dest.calls[0].dest, Rect(3, 4, 30, 40));
  EXPECT_EQ(dest.calls[0].clip, Rect(2, 3, 20, 20));
  EXPECT_TRUE(dest.calls[0].fastStretch);
  EXPECT_EQ(dest.calls[1].x1, 6.5);
  EXPECT_EQ(dest.calls[1].y1, 8.25);
  EXPECT_EQ(dest.calls[1].x2, 5);  // integer halves of 11 x 7
  EXPECT_EQ(dest.calls[1].y2, 3);
  EXPECT_EQ(dest.calls[1].rect, Rect(0, 0, 11, 7));
  EXPECT_EQ(dest.calls[2].rect, part);
  EXPECT_EQ(dest.calls[2].x2, 2);
  EXPECT_EQ(dest.calls[2].y2, 1);
  EXPECT_EQ(dest.calls[3].x2, 7);
  EXPECT_EQ(dest.calls[3].y2, 9);
  EXPECT_EQ(dest.calls[3].angle, 2.0);
}

TEST(GraphicsImage, CelsOutsideTheGridDrawNothing) {
  RecordingImage dest(100, 100);
  MemoryImage strip;
  strip.Create(40, 20);
  strip.mNumCols = 4;
  strip.mNumRows = 2;
  Graphics g(&dest);
  g.DrawImageCel(&strip, 0, 0, 5);
  g.DrawImageRotatedCel(&strip, 0, 0, 6, 1.0);
  g.DrawImageRotatedCelF(&strip, 0.5f, 0, 7, 1.0);
  ASSERT_EQ(dest.calls.size(), 3u);
  EXPECT_EQ(dest.calls[0].rect, Rect(10, 10, 10, 10));
  EXPECT_EQ(dest.calls[1].rect, Rect(20, 10, 10, 10));
  EXPECT_EQ(dest.calls[1].x2, 5);
  EXPECT_EQ(dest.calls[2].rect, Rect(30, 10, 10, 10));
  dest.calls.clear();
  g.DrawImageCel(&strip, 0, 0, 8);
  g.DrawImageCel(&strip, 0, 0, -1);
  g.DrawImageRotatedCel(&strip, 0, 0, -5, 1.0);
  strip.mNumCols = 0;
  g.DrawImageCel(&strip, 0, 0, 0);
  strip.mNumCols = 4;
  strip.mNumRows = 0;
  g.DrawImageCel(&strip, 0, 0, 0);
  EXPECT_TRUE(dest.calls.empty());
}

// The box drawn from a coded source of corners 3 and a middle of 3 (9 x 9) or 4 (10 x 9): every
// destination pixel must come from the source pixel the nine-slice layout assigns to it.
TEST(GraphicsBox, EveryPixelComesFromItsSlice) {
  auto source = Coded(11, 11);
  for (const Rect& srcRect : {Rect(1, 1, 9, 9), Rect(1, 1, 10, 9)})
    for (const Rect& box : {Rect(2, 3, 20, 17), Rect(0, 0, 6, 6), Rect(4, 1, 7, 25), Rect(-5, -4, 30, 30)}) {
      auto dest = Canvas(28, 28);
      Graphics g(dest.get());
      g.Translate(1, 0);
      g.SetClipRect(0, 0, 26, 28);
      g.DrawImageBox(box, srcRect, source.get());
      auto sourceOf = [](int d, int size, int sourceSize) {
        if (d < 3) return d;
        if (d >= size - 3) return sourceSize - 3 + d - (size - 3);
        return 3 + (d - 3) % (sourceSize - 6);
      };
      for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 28; ++x) {
          const int bx = x - 1 - box.mX, by = y - box.mY;
          const bool inside = bx >= 0 && by >= 0 && bx < box.mWidth && by < box.mHeight && x >= 1 && x < 27;
          const std::uint32_t expected =
              inside ? Code(1 + sourceOf(bx, box.mWidth, srcRect.mWidth), 1 + sourceOf(by, box.mHeight, 9)) : BLACK;
          ASSERT_EQ(dest->GetBits()[y * 28 + x], expected)
              << srcRect.mWidth << " wide, box " << box.mX << "," << box.mY << " at " << x << "," << y;
        }
    }
}

TEST(GraphicsBox, DegenerateSourcesAndHugeBoxesAreSafe) {
  auto dest = Canvas(30, 30);
  Graphics g(dest.get());
  MemoryImage empty;
  g.DrawImageBox(Rect(0, 0, 30, 30), &empty);  // no middle piece to tile by
  g.DrawImageBox(Rect(0, 0, 30, 30), Rect(0, 0, 0, 5), dest.get());
  g.DrawImageBox(Rect(0, 0, 30, 30), nullptr);
  for (int i = 0; i < 900; ++i) ASSERT_EQ(dest->GetBits()[i], BLACK);

  // A one-pixel middle over a box of two billion pixels each way: only what shows is tiled.
  auto source = Coded(3, 3);
  // This thread's processor time, which a busy machine does not stretch; tiling it all would take years.
  const auto processorTime = [] {
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
  };
  const auto start = processorTime();
  g.DrawImageBox(Rect(-1000000000, -1000000000, 2000000000, 2000000000), source.get());
  EXPECT_LT(processorTime() - start, std::chrono::seconds(2));
  for (int i = 0; i < 900; ++i) ASSERT_EQ(dest->GetBits()[i], Code(1, 1));

  // Sources one and two pixels wide have no corners: the middle is the whole width.
  auto thin = Coded(2, 3);
  auto small = Canvas(7, 3);
  Graphics t(small.get());
  t.DrawImageBox(Rect(0, 0, 7, 3), thin.get());
  for (int x = 0; x < 7; ++x) EXPECT_EQ(small->GetBits()[x], Code(x % 2, 0)) << x;
}

}  // namespace
