#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/ScreenFixture.h"

namespace {

using Kit::Color;
using Kit::Graphics;
using Kit::MemoryImage;
using Kit::Rect;

// A 12 x 12 frame image for boxes: a dark border, a light inside and a half-transparent corner dot.
std::unique_ptr<MemoryImage> Frame() {
  auto image = std::make_unique<MemoryImage>();
  image->Create(12, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool border = x < 2 || y < 2 || x > 9 || y > 9;
      std::uint32_t pixel = border ? 0xFF203060 : 0xFFC0D0E0;
      if ((x + y) % 5 == 0) pixel = 0x80FF8000;
      image->GetBits()[y * 12 + x] = pixel;
    }
  image->BitsChanged();
  return image;
}

// Translation, nested saved states and clips, every primitive at and past the clip's edges, within
// 96 x 64 pixels.
void DrawScene(Graphics& g, MemoryImage* frame) {
  g.SetColor(Color(30, 30, 40));
  g.FillRect(0, 0, 96, 64);

  g.Translate(4, 3);
  g.PushState();
  g.SetClipRect(2, 2, 60, 40);
  g.SetColor(Color(250, 200, 40, 160));
  g.FillRect(-10, -10, 30, 25);
  g.SetColor(Color(40, 220, 120));
  g.DrawRect(50, 30, 20, 20);
  g.DrawLine(-20, 5, 90, 50);
  g.SetDrawMode(Graphics::DRAWMODE_ADDITIVE);
  g.SetColor(Color(0, 80, 200));
  g.FillRect(10, 20, 70, 8);
  g.SetDrawMode(Graphics::DRAWMODE_NORMAL);
  g.DrawImageBox(Rect(30, -4, 40, 22), frame);
  g.PushState();
  g.Translate(-20, 25);
  g.ClipRect(0, 0, 30, 30);
  g.SetColorizeImages(true);
  g.SetColor(Color(255, 128, 128));
  g.DrawImage(frame, 10, 0);
  g.DrawImageMirror(frame, 22, 4, Rect(0, 0, 9, 12));
  g.PopState();
  g.DrawImage(frame, Rect(60, 20, 30, 18), Rect(2, 2, 8, 8));
  g.PopState();

  g.SetColor(Color(255, 255, 255));
  g.DrawRect(0, 0, 87, 57);
  g.DrawImageRotated(frame, 70, 40, 0.6);
}

TEST(GraphicsGolden, SceneOnSoftwareImage) {
  MemoryImage canvas;
  canvas.Create(96, 64);
  auto frame = Frame();
  Graphics g(&canvas);
  DrawScene(g, frame.get());
  EXPECT_TRUE(testsupport::MatchesGolden("graphics_scene_memory", canvas.GetBits(), 96, 64));
}

using GraphicsScreenGolden = testsupport::ScreenTest;

// The same scene drawn on the display's surface in its own format.
TEST_P(GraphicsScreenGolden, SceneOnTheScreen) {
  Clear(0x000000);
  auto frame = Frame();
  Graphics g(Screen());
  DrawScene(g, frame.get());
  const std::vector<std::uint32_t> screen = ReadScreen();
  ASSERT_EQ(screen.size(), static_cast<std::size_t>(WIDTH * HEIGHT));
  EXPECT_TRUE(
      testsupport::MatchesGolden(std::string("graphics_scene_") + GetParam().name, screen.data(), WIDTH, HEIGHT));
}

INSTANTIATE_TEST_SUITE_P(Formats, GraphicsScreenGolden, testing::ValuesIn(testsupport::kScreenFormats),
                         testsupport::ScreenFormatName);

}  // namespace
