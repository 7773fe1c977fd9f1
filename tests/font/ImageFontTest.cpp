#include "framework/font/ImageFont.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "framework/font/FontData.h"
#include "framework/font/FontLayer.h"
#include "framework/font/RenderCommandPool.h"
#include "framework/font/ShownSpan.h"
#include "framework/graphics/MemoryImage.h"
#include "tests/support/BlankSheetFontHost.h"
#include "tests/support/TempDir.h"

namespace {

using Kit::Color;
using Kit::ImageFont;
using Kit::Rect;
using Kit::RenderCommand;

// Glyphs a, b and c of widths 4, 5 and 6 side by side at the top of the sheet, 10 rows high.
const char* const kGlyphs = R"(
  SetDefaultPointSize 10;
  Define Chars ('a' 'b' 'c');
  CreateHorzSpanRectList Rects (0 0 0 10) (4 5 6);
  CreateLayer Face;
  LayerSetImage Face glyphs.png;
  LayerSetImageMap Face Chars Rects;
  LayerSetCharWidths Face Chars (4 5 6);
  LayerSetAscent Face 8;
)";

class ImageFontTest : public ::testing::Test {
 protected:
  std::unique_ptr<ImageFont> Make(const std::string& descriptor) {
    auto font = std::make_unique<ImageFont>(&host, dir.Write("font.txt", descriptor));
    EXPECT_TRUE(host.popups.empty()) << host.popups.front();
    return font;
  }

  static std::vector<int> Buckets(ImageFont& font, const std::string& text) {
    std::vector<int> xs;
    for (const RenderCommand& command : font.LayoutString(0, 0, text, Color::White, nullptr, nullptr))
      xs.push_back(command.mDestX);
    return xs;
  }

  testsupport::TempDir dir;
  testsupport::BlankSheetFontHost host;
};

TEST_F(ImageFontTest, DefaultLayerColoursDrawTheGivenColour) {
  auto font = Make(kGlyphs);
  auto commands = font->LayoutString(0, 0, "ab", Color(10, 20, 30, 40), nullptr, nullptr);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].mColor, Color(10, 20, 30, 40));
  EXPECT_EQ(commands[0].mMode, -1);
  EXPECT_EQ(commands[1].mSrcRect, Rect(4, 0, 5, 10));
}

TEST_F(ImageFontTest, LayerColourArithmeticSaturatesBothWays) {
  auto font =
      Make(std::string(kGlyphs) + "LayerSetColorMult Face (1 0.5 1 1); LayerSetColorAdd Face (0.04 0 -1 -0.5);");
  auto commands = font->LayoutString(0, 0, "a", Color(250, 200, 100, 255), nullptr, nullptr);
  ASSERT_EQ(commands.size(), 1u);
  // red 255 x 250 / 255 + 10 reaches 255; green 127 x 200 / 255 = 99; blue 100 - 255 stays at 0;
  // alpha 255 - 127.
  EXPECT_EQ(commands[0].mColor, Color(255, 99, 0, 128));
}

TEST_F(ImageFontTest, GlyphsArePlacedFromThePenBaselineAndOffsets) {
  auto font = Make(std::string(kGlyphs) +
                   "LayerSetOffset Face (1 2); LayerSetCharOffsets Face ('b') ((3 -1));"
                   "LayerSetKerningPairs Face ('ab' 'bc') (-1 2); LayerSetSpacing Face 1; SetCharMap ('x') ('c');");
  std::vector<Rect> drawn;
  int width = 0;
  auto commands = font->LayoutString(100, 50, "abx", Color::White, &drawn, &width);
  ASSERT_EQ(commands.size(), 3u);
  // a at pen 100, advances 4 - 1 + 1; b at 104 + 3 + 1, advances 5 + 2 + 1; x is drawn as c at 112 + 1.
  EXPECT_EQ(drawn, (std::vector<Rect>{Rect(101, 44, 4, 10), Rect(108, 43, 5, 10), Rect(113, 44, 6, 10)}));
  EXPECT_EQ(width, 4 + 8 + 6);
  EXPECT_EQ(font->StringWidth("abx"), width);
  EXPECT_EQ(font->CharWidthKern('b', 'a'), 5 + (-1) + 1);
  EXPECT_EQ(font->CharWidth('x'), 6);
  EXPECT_EQ(font->CharWidth('z'), 0);
}

TEST_F(ImageFontTest, ThePartOfALineShownBetweenTwoEdgesDrawsWhatTheWholeLineDrawsThere) {
  auto font = Make(std::string(kGlyphs) +
                   "LayerSetCharOffsets Face ('b') ((3 -1));"
                   "LayerSetKerningPairs Face ('ab' 'bc' 'ca') (-1 2 -3); LayerSetSpacing Face 1;");
  std::string line;
  for (int i = 0; i < 1500; ++i) line += "abcacbbca"[i % 9];  // fits the glyph records
  auto glyphsBetween = [&](const std::string& text, int x, int left, int right) {
    std::vector<int> xs;
    for (const RenderCommand& glyph : font->LayoutString(x, 0, text, Color::White, nullptr, nullptr))
      if (glyph.mDestX < right && glyph.mDestX + glyph.mSrcRect.mWidth > left) xs.push_back(glyph.mDestX);
    return xs;
  };
  // Narrow windows at every pixel of a stretch, where edges cut through glyphs that reach past their
  // advance, and the line's two ends.
  std::vector<std::pair<int, int>> windows = {{-3000, 0}, {5000, 20000}};
  for (int left = 3000; left < 3040; ++left) windows.emplace_back(left, left + 3);
  for (const auto& [left, right] : windows) {
    const Kit::ShownSpan span = Kit::SpanShownBetween(*font, line, -2000, left, right);
    EXPECT_EQ(glyphsBetween(line.substr(span.mFirst, span.mCount), span.mX, left, right),
              glyphsBetween(line, -2000, left, right))
        << "between " << left << " and " << right;
    if (right - left < 10) {
      EXPECT_LT(span.mCount, 10u) << "only the window's part of the line";
    }
  }
}

TEST_F(ImageFontTest, MetricsComeFromTheAcceptedLayers) {
  auto font = Make(std::string(kGlyphs) +
                   "LayerSetAscentPadding Face 3; LayerSetLineSpacingOffset Face 2;"
                   "CreateLayer Outline; LayerSetAscent Outline 9; LayerSetAscentPadding Outline 1;"
                   "LayerSetLineSpacingOffset Outline -4;");
  EXPECT_EQ(font->GetAscent(), 9);
  EXPECT_EQ(font->GetHeight(), 10);
  EXPECT_EQ(font->GetAscentPadding(), 1);
  EXPECT_EQ(font->GetLineSpacingOffset(), 2);
  EXPECT_EQ(font->GetLineSpacing(), 12);
  EXPECT_EQ(font->GetDescent(), 1);
}

TEST_F(ImageFontTest, OrdersPickBucketsAndKeepStringAndLayerOrder) {
  auto font = Make(std::string(kGlyphs) +
                   "CreateLayerFrom Shadow Face; LayerSetBaseOrder Shadow -1; LayerSetOffset Shadow (1000 0);"
                   "LayerSetCharOrders Face ('c') (200); LayerSetCharOrders Shadow ('b' 'c') (-200 -200);");
  // Face glyphs lie at pen, shadow glyphs at pen + 1000; pens 0, 4 and 9.
  EXPECT_EQ(Buckets(*font, "abc"), (std::vector<int>{1004, 1009, 1000, 0, 4, 9}));
  EXPECT_EQ(Buckets(*font, "cba"), (std::vector<int>{1000, 1006, 1011, 6, 11, 0}));
}

TEST_F(ImageFontTest, ThePoolLimitsTheGlyphsAndStopsThePen) {
  auto font = Make(std::string(kGlyphs) + "CreateLayerFrom Outline Face;");
  std::string text(3000, 'a');
  int width = 0;
  auto commands = font->LayoutString(0, 0, text, Color::White, nullptr, &width);
  EXPECT_EQ(commands.size(), static_cast<size_t>(Kit::RenderCommandPool::kPoolSize));
  EXPECT_EQ(width, 4 * Kit::RenderCommandPool::kPoolSize / 2);
  EXPECT_EQ(font->StringWidth(text), 4 * 3000);
}

TEST_F(ImageFontTest, AFailedDescriptorMeasuresNothingAndDrawsNothing) {
  ImageFont font(&host, dir.Write("bad.txt", std::string(kGlyphs) + "Nonsense;"));
  EXPECT_EQ(host.popups.size(), 1u);
  EXPECT_EQ(font.StringWidth("abc"), 0);
  EXPECT_EQ(font.CharWidth('a'), 0);
  EXPECT_EQ(font.GetHeight(), 0);
  int width = -1;
  EXPECT_TRUE(font.LayoutString(0, 0, "abc", Color::White, nullptr, &width).empty());
  EXPECT_EQ(width, 0);
  ImageFont missing(&host, (dir.Path() / "absent.txt").string());
  EXPECT_EQ(missing.StringWidth("abc"), 0);
}

TEST_F(ImageFontTest, LayersAreRescaledToThePointSize) {
  auto font = Make(std::string(kGlyphs) +
                   "LayerSetPointSize Face 20; CreateLayerFrom Plain Face;"
                   "LayerSetPointSize Plain 0;");
  ASSERT_EQ(font->mActiveLayerList.size(), 2u);
  const auto& halved = font->mActiveLayerList.front();
  ASSERT_TRUE(halved.OwnsImage());
  EXPECT_EQ(halved.mScaledCharImageRects['a'], Rect(0, 0, 2, 5));
  EXPECT_EQ(halved.mScaledCharImageRects['b'], Rect(2, 0, 2, 5));
  EXPECT_EQ(halved.mScaledCharImageRects['c'], Rect(4, 0, 3, 5));
  EXPECT_EQ(halved.mScaledImage->GetWidth(), 7);
  EXPECT_EQ(halved.mScaledImage->GetHeight(), 5);
  const auto& plain = font->mActiveLayerList.back();
  EXPECT_FALSE(plain.OwnsImage());  // point size 0 and scale 1: the layer's own sheet
  EXPECT_EQ(plain.mScaledImage, plain.mBaseFontLayer->mImage.GetImage());
  EXPECT_NE(plain.mScaledImage, nullptr);
  EXPECT_EQ(font->GetAscent(), 8);
  EXPECT_EQ(font->CharWidth('c'), 6);

  font->SetScale(2.0);
  EXPECT_EQ(font->CharWidth('c'), 12);  // the plain layer only follows the scale
  EXPECT_EQ(font->GetAscent(), 16);
  EXPECT_EQ(font->mActiveLayerList.back().mScaledCharImageRects['c'], Rect(18, 0, 12, 20));
}

// The pixels of rect within image, row by row.
std::vector<std::uint32_t> Pixels(Kit::Image* image, const Rect& rect) {
  auto* memoryImage = dynamic_cast<Kit::MemoryImage*>(image);
  const std::uint32_t* bits = memoryImage->GetBits();
  std::vector<std::uint32_t> pixels;
  for (int y = rect.mY; y < rect.mY + rect.mHeight; ++y)
    for (int x = rect.mX; x < rect.mX + rect.mWidth; ++x) pixels.push_back(bits[y * image->GetWidth() + x]);
  return pixels;
}

TEST_F(ImageFontTest, RescaledSheetsHoldTheGlyphsAndCanBeMadeWhite) {
  auto font = Make(std::string(kGlyphs) + "LayerSetPointSize Face 20;");
  Kit::MemoryImage* source = font->mFontData->mFontLayerList.front().mImage.GetImage();
  std::uint32_t* bits = source->GetBits();
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 4; ++x) bits[y * 64 + x] = 0xFFFF00FF;  // glyph a: opaque
  source->BitsChanged();

  font->SetPointSize(10);  // rebuilds the halved sheet from the new pixels
  font->Prepare();
  const auto& halved = font->mActiveLayerList.front();
  const Rect a = halved.mScaledCharImageRects['a'];
  const Rect b = halved.mScaledCharImageRects['b'];
  // The resampler may round a channel by a step; the glyph must come through opaque and in its colour.
  for (std::uint32_t pixel : Pixels(halved.mScaledImage, a)) {
    EXPECT_EQ(pixel >> 24, 0xFFu);
    EXPECT_GE((pixel >> 16) & 0xFF, 0xFDu);
    EXPECT_LE((pixel >> 8) & 0xFF, 0x02u);
    EXPECT_GE(pixel & 0xFF, 0xFDu);
  }
  EXPECT_EQ(Pixels(halved.mScaledImage, b), std::vector<std::uint32_t>(2 * 5, 0));

  font->mForceScaledImagesWhite = true;
  font->SetScale(1.0);
  font->Prepare();
  const auto& white = font->mActiveLayerList.front();
  EXPECT_EQ(Pixels(white.mScaledImage, a), std::vector<std::uint32_t>(2 * 5, 0xFFFFFFFF));
  EXPECT_EQ(Pixels(white.mScaledImage, b), std::vector<std::uint32_t>(2 * 5, 0x00FFFFFF));
}

TEST_F(ImageFontTest, HostileScalesNeitherOverflowNorExhaustMemory) {
  auto font = Make(kGlyphs);
  for (double scale : {-3.0, 0.0, 1e12, std::numeric_limits<double>::infinity(), std::nan("")}) {
    font->SetScale(scale);
    int width = 0;
    auto commands = font->LayoutString(0, 0, "abc", Color::White, nullptr, &width);
    EXPECT_EQ(font->StringWidth("abc"), width) << scale;
    for (const auto& command : commands) {
      EXPECT_GE(command.mSrcRect.mWidth, 0);
      EXPECT_GE(command.mSrcRect.mHeight, 0);
    }
  }
}

TEST_F(ImageFontTest, PointRangesAndTagsChooseLayers) {
  auto font = Make(std::string(kGlyphs) +
                   "CreateLayerFrom Bold Face; LayerRequireTags Bold ('Bold'); LayerSetCharWidths Bold ('a') (7);"
                   "CreateLayerFrom Big Face; LayerPointRange Big 12 -1; LayerSetCharWidths Big ('a') (9);"
                   "LayerExcludeTags Face ('bold');");
  EXPECT_EQ(font->CharWidth('a'), 4);
  EXPECT_TRUE(font->AddTag("bold"));
  EXPECT_TRUE(font->HasTag("BOLD"));
  EXPECT_FALSE(font->HasTag("bold"));
  EXPECT_EQ(font->CharWidth('a'), 7);
  font->SetPointSize(500);
  EXPECT_EQ(font->CharWidth('a'), 9);
  font->SetPointSize(11);
  EXPECT_TRUE(font->RemoveTag("bold"));
  EXPECT_FALSE(font->RemoveTag("bold"));
  EXPECT_EQ(font->CharWidth('a'), 4);
  EXPECT_EQ(font->GetPointSize(), 11);
  EXPECT_EQ(font->GetDefaultPointSize(), 10);
}

TEST_F(ImageFontTest, CopiesShareTheDataAndOwnTheirSheets) {
  auto font = Make(std::string(kGlyphs) + "LayerSetPointSize Face 20; Define Title 'Big Text';");
  font->AddTag("x");
  font->Prepare();
  std::unique_ptr<Kit::Font> copy(font->Duplicate());
  auto& imageCopy = static_cast<ImageFont&>(*copy);
  EXPECT_EQ(imageCopy.mFontData, font->mFontData);
  EXPECT_EQ(font->mFontData->mRefCount, 2);
  ASSERT_EQ(imageCopy.mActiveLayerList.size(), 1u);
  EXPECT_NE(imageCopy.mActiveLayerList.front().mScaledImage, font->mActiveLayerList.front().mScaledImage);
  EXPECT_TRUE(imageCopy.HasTag("X"));
  font.reset();
  EXPECT_EQ(copy->StringWidth("abc"), 7);
  EXPECT_EQ(imageCopy.GetDefine("title"), "'Big Text'");
  EXPECT_EQ(imageCopy.GetDefine("missing"), "");
}

// The glyphs a string lays out, without the empty ones of codes the font has no glyph for.
std::vector<Rect> VisibleGlyphs(ImageFont& font, const std::string& text, int* width) {
  std::vector<Rect> drawn;
  font.LayoutString(10, 8, text, Color::White, &drawn, width);
  std::erase_if(drawn, [](const Rect& r) { return r.mWidth == 0 || r.mHeight == 0; });
  return drawn;
}

// Control codes are characters like any other: the descriptor's glyphs and character map decide how
// they show. Each text lays out as the printable one beside it, measured whole and character by
// character (as word wrap measures).
TEST_F(ImageFontTest, ControlCodesShowAsTheDescriptorSays) {
  auto font = Make(std::string(kGlyphs) +
                   "LayerSetImageMap Face ('\t' ' ') ((9 0 6 10) (30 0 3 10));"
                   "LayerSetCharWidths Face ('\t' ' ') (6 3); SetCharMap ('\v') (' ');");
  const std::pair<std::string, std::string> cases[] = {
      {"a\tb", "acb"},   // the tab's own glyph, as wide as c's
      {"a\vb", "a b"},   // mapped to the space
      {"a\001b", "ab"},  // no glyph: nothing drawn, no width
      {"a\177b", "ab"},  // likewise
  };
  for (const auto& [text, shown] : cases) {
    SCOPED_TRACE(static_cast<int>(text[1]));
    int width = 0, shownWidth = 0;
    EXPECT_EQ(VisibleGlyphs(*font, text, &width), VisibleGlyphs(*font, shown, &shownWidth));
    EXPECT_EQ(width, shownWidth);
    EXPECT_EQ(font->StringWidth(text), width);
    int summed = 0;
    char previous = 0;
    for (char c : text) summed += font->CharWidthKern(c, std::exchange(previous, c));
    EXPECT_EQ(summed, width);
  }
}

TEST_F(ImageFontTest, LegacyFontsLayOutFromTheirWidthFile) {
  Kit::MemoryImage sheet;
  sheet.Create(20, 9);
  ImageFont font(&sheet, dir.Write("w.txt", "3 7 a 4 B 5"));
  EXPECT_EQ(font.GetAscent(), 7);
  EXPECT_EQ(font.GetHeight(), 9);
  EXPECT_EQ(font.StringWidth("A b"), 4 + 3 + 5);
  std::vector<Rect> drawn;
  const auto glyphs = font.LayoutString(0, 7, "Ab", Color::White, &drawn, nullptr);
  EXPECT_EQ(drawn, (std::vector<Rect>{Rect(0, 0, 4, 9), Rect(4, 0, 5, 9)}));
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[1].mSrcRect, Rect(4, 0, 5, 9)) << "glyphs lie side by side on the sheet";
}

}  // namespace
