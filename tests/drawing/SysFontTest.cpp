#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/font/SysFont.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/ScreenFixture.h"

namespace {

using Kit::SysFont;

LOGFONTA LogFontOf(const SysFont& font) {
  LOGFONTA logFont{};
  EXPECT_EQ(GetObjectA(font.mHFont, sizeof(logFont), &logFont), static_cast<int>(sizeof(logFont)));
  return logFont;
}

TEST(SysFont, WidthsMeasureEveryCharacterAsWritten) {
  SysFont font(nullptr, "Arial", 12);
  EXPECT_EQ(font.StringWidth(""), 0);
  EXPECT_GT(font.StringWidth("A"), 0);
  EXPECT_EQ(font.CharWidth('A'), font.StringWidth("A"));
  EXPECT_EQ(font.CharWidthKern('V', 'A'), font.CharWidth('V'));
  EXPECT_EQ(font.StringWidth("&x"), font.StringWidth("&") + font.StringWidth("x"));  // no prefixes
  EXPECT_GT(font.StringWidth("WWW"), font.StringWidth("iii"));
  const std::string withZero("a\0b", 3);
  EXPECT_EQ(font.StringWidth(withZero), font.StringWidth("ab")) << "measured past a zero byte";
}

// Every control character in a text, as "a<c>b", and the text as it shows on one line: none of them
// has a glyph in the face, and none shows as a missing-glyph box; a tab is white space as wide as a
// space, any other is nothing at all.
std::vector<std::pair<std::string, std::string>> ControlCharacterCases() {
  std::vector<std::pair<std::string, std::string>> cases;
  for (int code = 0; code < 0x80; ++code) {
    if (code >= 0x20 && code != 0x7F) continue;
    cases.emplace_back(std::string("a") + static_cast<char>(code) + "b", code == '\t' ? "a b" : "ab");
  }
  return cases;
}

TEST(SysFont, ControlCharactersMeasureAsTheyDraw) {
  SysFont font(nullptr, "SansSerif", 12);
  for (const auto& [text, shown] : ControlCharacterCases()) {
    SCOPED_TRACE(static_cast<int>(text[1]));
    // A line break measures two lines; drawn, it shows nothing.
    const int measured = text[1] == '\n' || text[1] == '\r' ? std::max(font.StringWidth("a"), font.StringWidth("b"))
                                                            : font.StringWidth(shown);
    EXPECT_EQ(font.StringWidth(text), measured);
    int summed = 0;  // as word wrap measures: character by character
    for (char c : text) summed += font.CharWidth(c);
    EXPECT_EQ(summed, font.StringWidth(shown));
  }
}

TEST(SysFont, TextWithLineBreaksMeasuresItsWidestLine) {
  SysFont font(nullptr, "SansSerif", 12);
  const int wide = font.StringWidth("abcdef");
  const std::pair<const char*, int> cases[] = {
      {"abcdef\nab", wide}, {"ab\nabcdef", wide}, {"ab\r\nabcdef\r", wide}, {"\n\n", 0}};
  for (const auto& [text, width] : cases) EXPECT_EQ(font.StringWidth(text), width) << text;
}

TEST(SysFont, TabsCountInWordWrap) {
  SysFont font(nullptr, "SansSerif", 12);
  Kit::Graphics g;
  g.SetFont(&font);
  const int lineWidth = font.StringWidth("Your\t\t\tvideo");
  ASSERT_EQ(lineWidth, font.StringWidth("Your   video"));
  int widest = 0;
  const int height = g.GetWordWrappedHeight(lineWidth, "Your\t\t\tvideo card", -1, &widest);
  EXPECT_EQ(widest, lineWidth);
  EXPECT_EQ(height, font.GetLineSpacing() + font.GetHeight()) << "two lines: the tabs' line and \"card\"";
}

TEST(SysFont, DuplicatesHaveTheirOwnHandle) {
  auto original = std::make_unique<SysFont>(nullptr, "Courier New", 14, DEFAULT_CHARSET, true);
  const int width = original->StringWidth("Quarvel");
  std::unique_ptr<Kit::Font> copy(original->Duplicate());
  auto* sysCopy = dynamic_cast<SysFont*>(copy.get());
  ASSERT_NE(sysCopy, nullptr);
  EXPECT_NE(sysCopy->mHFont, original->mHFont);
  original.reset();
  EXPECT_EQ(copy->StringWidth("Quarvel"), width);
  EXPECT_EQ(LogFontOf(*sysCopy).lfWeight, FW_BOLD);
  EXPECT_GT(copy->GetHeight(), 0);
}

TEST(SysFont, DrawingIntoASoftwareImageDoesNothing) {
  Kit::MemoryImage image;
  image.Create(40, 20);
  std::fill(image.GetBits(), image.GetBits() + 800, 0xFF000000u);
  image.BitsChanged();
  SysFont font(nullptr, "Arial", 12);
  Kit::Graphics g(&image);
  g.SetFont(&font);
  g.SetColor(Kit::Color(255, 255, 255));
  g.DrawString("Text", 2, 15);
  for (int i = 0; i < 800; ++i) ASSERT_EQ(image.GetBits()[i], 0xFF000000u);
}

using SysFontOnScreen = testsupport::RunningScreenTest;

TEST_P(SysFontOnScreen, TextSitsOnItsBaselineInTheContextsTranslation) {
  Clear(0x000000);
  SysFont font(nullptr, "Arial", 12, DEFAULT_CHARSET, true);
  Kit::Graphics g(Screen());
  g.Translate(10.75f, 5.5f);
  g.SetFont(&font);
  g.SetColor(Kit::Color(255, 255, 255));
  g.DrawString("HH", 4, 30);
  const auto screen = ReadScreen();
  // The cell's top lies at baseline - ascent + 1; an H fills the rows from its cap height to the
  // baseline, so its lowest inked row is the one just above the baseline.
  int top = kHeight, bottom = -1, left = kWidth, right = -1;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (screen[static_cast<std::size_t>(y * kWidth + x)] != 0xFF000000u) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
        left = std::min(left, x);
        right = std::max(right, x);
      }
  const int cellTop = static_cast<int>(30 - font.GetAscent() + 1 + 5.5);
  const int baseline = cellTop + font.GetAscent();
  EXPECT_GT(top, cellTop);
  EXPECT_EQ(bottom, baseline - 1);
  EXPECT_GE(left, 14);
  EXPECT_LE(left, 16);
  EXPECT_LE(right, 14 + font.StringWidth("HH"));
}

TEST_P(SysFontOnScreen, ClipColourAndTheImagesLockAreKept) {
  Clear(0x000000);
  SysFont font(nullptr, "Courier New", 14);
  Kit::Graphics g(Screen());
  g.SetFont(&font);
  g.SetClipRect(20, 0, 30, kHeight);
  g.SetColor(Kit::Color(300, -20, 255, 0));  // channels out of range are held to 0..255; alpha is ignored
  ASSERT_TRUE(Screen()->LockSurface());
  g.DrawString("WWWWWWWWWWWW", 0, 20);
  EXPECT_EQ(Screen()->mLockCount, 1);
  EXPECT_NE(Screen()->mLockedSurfaceDesc.lpSurface, nullptr);
  Screen()->UnlockSurface();
  g.DrawString("WW", 2000000000, 40);  // far outside, either way: nothing drawn, nothing overflows
  g.DrawString("WW", -2000000000, 40);
  g.Translate(-1e9f, 1e9f);
  g.DrawString("WW", 0, 0);
  auto screen = ReadScreen();
  int inked = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const std::uint32_t pixel = screen[static_cast<std::size_t>(y * kWidth + x)];
      if (x < 20 || x >= 50) {
        ASSERT_EQ(pixel, 0xFF000000u) << x << "," << y;
      } else if (pixel != 0xFF000000u) {
        ++inked;
        EXPECT_EQ(pixel & 0x00FF00u, 0u);  // no green in magenta text
      }
    }
  EXPECT_GT(inked, 20);
  // The next string's device context starts without the old clip.
  g.Translate(1e9f, -1e9f);
  g.ClearClipRect();
  g.DrawString("WW", 0, 60);
  screen = ReadScreen();
  int left = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < 20; ++x) left += screen[static_cast<std::size_t>(y * kWidth + x)] != 0xFF000000u;
  EXPECT_GT(left, 0);
}

TEST_P(SysFontOnScreen, GoldenText) {
  Clear(0x183050);
  SysFont arial(nullptr, "Arial", 12);
  SysFont tahoma(nullptr, "Tahoma", 10, DEFAULT_CHARSET, true);
  SysFont courier(nullptr, "Courier New", 12, DEFAULT_CHARSET, false, true, true);
  SysFont sans(nullptr, "SansSerif", 8);
  Kit::Graphics g(Screen());
  g.SetColor(Kit::Color(255, 255, 255));
  g.SetFont(&arial);
  g.DrawString("Quarvel: Arial 12", 3, 16);
  g.SetColor(Kit::Color(255, 210, 60));
  g.SetFont(&tahoma);
  g.WriteString("Tahoma ^60FF60.bold^^", 3, 36);
  g.SetFont(&courier);
  g.SetColor(Kit::Color(120, 180, 255));
  g.Translate(2, 0);
  g.DrawString("Courier {i}", 3, 58);
  g.SetFont(&sans);
  g.SetColor(Kit::Color(255, 120, 120));
  g.SetClipRect(0, 0, 120, 96);
  g.WriteWordWrapped(Kit::Rect(3, 66, 140, 30), "Sans 8 points, wrapped at the clip's edge and beyond", -1, -1);
  const auto screen = ReadScreen(160, 96);
  EXPECT_TRUE(testsupport::MatchesGolden(std::string("sysfont_screen_") + GetParam().name, screen.data(), 160, 96));
}

TEST_P(SysFontOnScreen, ControlCharactersDrawNoBox) {
  SysFont font(nullptr, "SansSerif", 12);
  Kit::Graphics g(Screen());
  g.SetFont(&font);
  g.SetColor(Kit::Color(255, 255, 255));
  for (const auto& [text, shown] : ControlCharacterCases()) {
    Clear(0x000000);
    g.DrawString(shown, 4, 20);
    const auto expected = ReadScreen(60, 30);
    Clear(0x000000);
    g.DrawString(text, 4, 20);
    EXPECT_EQ(ReadScreen(60, 30), expected) << static_cast<int>(text[1]);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, SysFontOnScreen, testing::ValuesIn(testsupport::kScreenFormats),
                         testsupport::ScreenFormatName);

}  // namespace
