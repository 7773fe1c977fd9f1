#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/font/ImageFont.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/resource/PNGWriter.h"
#include "tests/resource/TestResourceHost.h"
#include "tests/support/Canvas.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/TempDir.h"

namespace {

using Kit::Color;
using Kit::Graphics;
using Kit::ImageFont;
using Kit::MemoryImage;
using Kit::Rect;
using testsupport::Canvas;

// The glyphs of the test font, 5 x 7 each ('#' set), drawn by the test into its glyph sheets.
const std::map<char, std::array<const char*, 7>> kGlyphShapes = {
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'b', {"#    ", "#    ", "#### ", "#   #", "#   #", "#   #", "#### "}},
    {'c', {"     ", "     ", " ####", "#    ", "#    ", "#    ", " ####"}},
    {'d', {"    #", "    #", " ####", "#   #", "#   #", "#   #", " ####"}},
    {'e', {"     ", "     ", " ### ", "#   #", "#####", "#    ", " ####"}},
    {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"}},
    {'!', {"  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "     ", "  #  "}},
};
const std::string kChars = "AbcdeQ!";

bool Set(char c, int x, int y) {
  const auto& rows = kGlyphShapes.at(c);
  return x >= 0 && y >= 0 && x < 5 && y < 7 && rows[static_cast<std::size_t>(y)][x] == '#';
}

// Face sheet: glyphs side by side in 6 x 8 cells, white with a soft right edge. Outline sheet: the
// glyphs grown by one pixel in 7 x 9 cells, white.
void WriteSheets(const testsupport::TempDir& dir) {
  ImageLib::Image face, outline;
  const int count = static_cast<int>(kChars.size());
  ASSERT_TRUE(face.Allocate(6 * count, 8));
  ASSERT_TRUE(outline.Allocate(7 * count, 9));
  for (int i = 0; i < count; ++i) {
    const char c = kChars[static_cast<std::size_t>(i)];
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 5; ++x)
        if (Set(c, x, y)) face.GetBits()[y * face.GetWidth() + i * 6 + x] = Set(c, x + 1, y) ? 0xFFFFFFFF : 0xC0FFFFFF;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 7; ++x) {
        bool near = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) near = near || Set(c, x - 1 + dx, y - 1 + dy);
        if (near) outline.GetBits()[y * outline.GetWidth() + i * 7 + x] = 0xFFFFFFFF;
      }
  }
  ASSERT_TRUE(ImageLib::WritePNGImage(dir / "face.png", face));
  ASSERT_TRUE(ImageLib::WritePNGImage(dir / "outline.png", outline));
}

// A glyph layer and an outline layer drawn behind it; the tag "Warm" swaps the face for a warm one.
const char* const kDescriptor = R"(
  SetDefaultPointSize 10;
  Define Chars ('A' 'b' 'c' 'd' 'e' 'Q' '!' ' ');
  CreateHorzSpanRectList FaceRects (0 0 0 8) (6 6 6 6 6 6 6 0);
  CreateHorzSpanRectList OutlineRects (0 0 0 9) (7 7 7 7 7 7 7 0);
  CreateLayer Face;
  LayerSetImage Face face.png;
  LayerSetImageMap Face Chars FaceRects;
  LayerSetCharWidths Face Chars (6 6 6 6 6 6 4 4);
  LayerSetAscent Face 7;
  LayerSetPointSize Face 10;
  CreateLayerFrom WarmFace Face;
  LayerExcludeTags Face ('warm');
  LayerRequireTags WarmFace ('warm');
  LayerSetColorMult WarmFace (1 0.7 0.3 1);
  CreateLayer Outline;
  LayerSetImage Outline outline.png;
  LayerSetImageMap Outline Chars OutlineRects;
  LayerSetCharWidths Outline Chars (6 6 6 6 6 6 4 4);
  LayerSetAscent Outline 8;
  LayerSetPointSize Outline 10;
  LayerSetBaseOrder Outline -1;
  LayerSetColorMult Outline (0 0 0 1);
  LayerSetColorAdd Outline (0.1 0.1 0.35 0);
)";

class ImageFontDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSheets(dir);
    font = std::make_unique<ImageFont>(&host, dir.Write("font.txt", kDescriptor));
    ASSERT_EQ(font->StringWidth("Ab"), 12);
  }

  testsupport::TempDir dir;
  testresources::TestResourceHost host;
  std::unique_ptr<ImageFont> font;
};

// Both sizes, the tag and a colour code, within 120 x 72 pixels.
void DrawTwoLayerText(Graphics& g, ImageFont* font) {
  g.SetFont(font);
  g.SetColor(Color(255, 255, 255));
  g.WriteString("Abc^FF6060.de!", 4, 12);
  font->AddTag("Warm");
  g.SetColor(Color(255, 255, 255));
  g.WriteString("AbQ", 70, 12);
  font->RemoveTag("warm");
  font->SetPointSize(20);
  g.SetColor(Color(200, 255, 200));
  g.Translate(3, 0);
  g.WriteString("Ab^60A0FF.cQ!", 1, 36);
  font->AddTag("warm");
  g.WriteString("de", 1, 64);
}

TEST_F(ImageFontDrawTest, TwoLayersAtTwoSizesWithATagAndAColourCode) {
  auto canvas = Canvas(120, 72, 0xFF406080);
  Graphics g(canvas.get());
  DrawTwoLayerText(g, font.get());
  EXPECT_TRUE(testsupport::MatchesGolden("image_font_two_layers_memory", canvas->GetBits(), 120, 72));
  // Drawing leaves the context as it was.
  g.SetColor(Color(1, 2, 3, 4));
  g.SetDrawMode(1);
  font->DrawString(&g, 0, 9, "Ab", Color(255, 255, 255), g.mClipRect);
  EXPECT_EQ(g.GetColor(), Color(1, 2, 3, 4));
  EXPECT_EQ(g.GetDrawMode(), 1);
  EXPECT_FALSE(g.GetColorizeImages());
}

// Several threads drawing with copies of one font at once each get exactly their own picture.
TEST_F(ImageFontDrawTest, ThreadsDrawingAtOnceDoNotMixTheirGlyphs) {
  auto reference = Canvas(80, 12, 0xFF000000);
  {
    Graphics g(reference.get());
    font->DrawString(&g, 0, 9, "AbcdeQ!", Color(255, 255, 255), g.mClipRect);
  }
  std::vector<std::unique_ptr<MemoryImage>> canvases;
  std::vector<std::unique_ptr<Kit::Font>> fonts;
  for (int i = 0; i < 4; ++i) {
    canvases.push_back(Canvas(80, 12, 0xFF000000));
    fonts.emplace_back(font->Duplicate());
  }
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i)
    threads.emplace_back([&, i] {
      for (int round = 0; round < 50; ++round) {
        Graphics g(canvases[static_cast<std::size_t>(i)].get());
        fonts[static_cast<std::size_t>(i)]->DrawString(&g, 0, 9, "AbcdeQ!", Color(255, 255, 255), g.mClipRect);
      }
    });
  for (auto& thread : threads) thread.join();
  for (const auto& canvas : canvases)
    for (int p = 0; p < 80 * 12; ++p) ASSERT_EQ(canvas->GetBits()[p], reference->GetBits()[p]) << p;
}

}  // namespace
