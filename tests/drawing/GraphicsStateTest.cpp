#include <gtest/gtest.h>

#include <memory>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "tests/drawing/DrawingDoubles.h"

namespace {

using drawingtest::FixedFont;
using drawingtest::RecordingImage;
using Kit::Color;
using Kit::Graphics;
using Kit::Rect;

TEST(GraphicsState, NullDestinationDrawsIntoNothing) {
  Graphics g(nullptr);
  ASSERT_NE(g.mDestImage, nullptr);
  EXPECT_EQ(g.mClipRect, Rect(0, 0, 0, 0));
  FixedFont font;
  g.SetFont(&font);
  g.SetColor(Color(255, 0, 0));
  g.FillRect(0, 0, 10, 10);
  g.DrawLine(0, 0, 10, 10);
  g.DrawImage(nullptr, 0, 0);
  g.DrawImageBox(Rect(0, 0, 50, 50), nullptr);
  g.SetClipRect(0, 0, 100, 100);
  EXPECT_EQ(g.mClipRect, Rect(0, 0, 0, 0));
}

TEST(GraphicsState, PushAndPopRestoreEverything) {
  RecordingImage dest(100, 100);
  Graphics g(&dest);
  FixedFont a, b;
  g.SetFont(&a);
  g.Translate(3, 4);
  g.PushState();
  g.Translate(10, 20);
  g.SetClipRect(0, 0, 5, 5);
  g.SetColor(Color(1, 2, 3, 4));
  g.SetFont(&b);
  g.SetDrawMode(1);
  g.SetColorizeImages(true);
  g.PushState();
  g.Translate(-100, 0);
  g.PopState();
  EXPECT_EQ(g.mTransX, 13);
  EXPECT_EQ(g.mClipRect, Rect(13, 24, 5, 5));
  g.PopState();
  EXPECT_EQ(g.mTransX, 3);
  EXPECT_EQ(g.mTransY, 4);
  EXPECT_EQ(g.mClipRect, Rect(0, 0, 100, 100));
  EXPECT_EQ(g.GetFont(), &a);
  EXPECT_EQ(g.GetDrawMode(), 0);
  EXPECT_EQ(g.GetColor(), Color::Black);
  EXPECT_FALSE(g.GetColorizeImages());
  EXPECT_TRUE(g.mStateStack.empty());

  // An empty stack changes nothing.
  g.Translate(1, 1);
  g.PopState();
  EXPECT_EQ(g.mTransX, 4);
}

TEST(GraphicsState, ClipRectsAreTranslatedAndStayWithinTheDestination) {
  RecordingImage dest(50, 40);
  Graphics g(&dest);
  g.Translate(10.75f, -5.5f);
  g.SetClipRect(0, 0, 100, 100);
  // 0 + 10.75 truncates to 10, 0 - 5.5 to -5; then the destination bounds cut.
  EXPECT_EQ(g.mClipRect, Rect(10, 0, 40, 40));
  g.ClipRect(5, 10, 10, 10);
  EXPECT_EQ(g.mClipRect, Rect(15, 4, 10, 10));
  g.ClipRect(100, 100, 5, 5);
  EXPECT_TRUE(g.mClipRect.IsEmpty());
  g.ClearClipRect();
  EXPECT_EQ(g.mClipRect, Rect(0, 0, 50, 40));
}

TEST(GraphicsState, HugeTranslationsNeitherOverflowNorDraw) {
  RecordingImage dest(50, 40);
  Graphics g(&dest);
  g.SetColor(Color(255, 255, 255));
  g.Translate(3e9f, -3e9f);
  g.FillRect(0, 0, 10, 10);
  g.DrawLine(0, 0, 10, 10);
  g.Translate(1e38f, 1e38f);
  g.Translate(1e38f, 1e38f);  // infinite
  g.DrawLine(0, 0, 10, 10);
  g.DrawRect(0, 0, 10, 10);
  for (const auto& call : dest.calls) {
    EXPECT_NE(call.op, "DrawLine");
    EXPECT_TRUE(call.rect.IsEmpty()) << call.op;
  }
}

}  // namespace
