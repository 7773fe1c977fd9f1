#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "tests/drawing/DrawingDoubles.h"

namespace {

using drawingtest::FixedFont;
using drawingtest::RecordingImage;
using Kit::Color;
using Kit::Graphics;
using Kit::Rect;

class TextLayoutTest : public ::testing::Test {
 protected:
  TextLayoutTest() : g(&dest) {
    g.SetFont(&font);
    g.SetColor(Color(1, 2, 3, 200));
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& drawn : font.drawn) texts.push_back(drawn.text);
    return texts;
  }

  RecordingImage dest{200, 200};
  FixedFont font;  // 5 pixels a character
  Graphics g;
};

TEST_F(TextLayoutTest, ColourCodeSwitchesColourAndConsumesOneMoreCharacter) {
  g.Translate(10, 20);  // the font gets the untranslated position
  EXPECT_EQ(g.WriteString("ab^FF0000xcd", 10, 30), 20);
  ASSERT_EQ(font.drawn.size(), 2u);
  EXPECT_EQ(font.drawn[0].text, "ab");
  EXPECT_EQ(font.drawn[0].color, Color(1, 2, 3, 200));
  EXPECT_EQ(font.drawn[1].text, "cd");
  EXPECT_EQ(font.drawn[1].x, 20);
  EXPECT_EQ(font.drawn[1].y, 30);
  EXPECT_EQ(font.drawn[1].color, Color(255, 0, 0, 200));
  // The colour stays changed after the call.
  EXPECT_EQ(g.GetColor(), Color(255, 0, 0, 200));
  g.SetFont(nullptr);
  g.DrawString("hi", 3, 4);
  EXPECT_EQ(font.drawn.size(), 2u);
}

// Colour codes, doubled carets, codes cut short by the end of the text, and ranges of it.
TEST_F(TextLayoutTest, WrittenTextsWidthsAndColours) {
  struct Case {
    const char* text;
    int offset, length, width;
    std::vector<std::string> drawn;
    Color after;
  };
  const Color start(1, 2, 3, 200);
  const Case cases[] = {
      {"^aBzz0f.x", 0, -1, 5, {"x"}, Color(0xAB, 0, 0x0F, 200)},    // hex in either case, others count as 0
      {"ab^^cdefghij", 0, -1, 10 * 5 + 6, {"ab^cdefghij"}, start},  // a doubled caret is one caret
      {"ab^^c", 0, -1, 10, {"ab"}, start},                          // a caret in the last seven ends the text
      {"ab^12", 0, -1, 10, {"ab"}, start},
      {"ab^123456", 0, -1, 10, {"ab"}, start},
      {"ab^1234567", 0, -1, 10, {"ab"}, Color(0x12, 0x34, 0x56, 200)},  // a full code at the very end applies
      {"abcdef", 2, 3, 15, {"cde"}, start},                             // ranges stop at the end of the text
      {"abcdef", 4, 100, 10, {"ef"}, start},
      {"abcdef", 9, 2, 0, {}, start},
  };
  for (const Case& c : cases) {
    font.drawn.clear();
    g.SetColor(start);
    EXPECT_EQ(g.WriteString(c.text, 0, 0, -1, -1, true, c.offset, c.length), c.width) << c.text;
    EXPECT_EQ(Texts(), c.drawn) << c.text;
    EXPECT_EQ(g.GetColor(), c.after) << c.text;
  }
  font.drawn.clear();
  EXPECT_EQ(g.WriteString("ab^00FF00xcd", 0, 0, -1, -1, false), 20);  // measured only: nothing drawn
  EXPECT_TRUE(font.drawn.empty());
  EXPECT_EQ(g.GetColor(), start);
  g.mWriteColoredString = false;  // codes are text
  font.drawn.clear();
  EXPECT_EQ(g.WriteString("a^FF0000b", 0, 0), 8 * 5 + 6);
  EXPECT_EQ(Texts(), std::vector<std::string>{"a^FF0000b"});
}

TEST_F(TextLayoutTest, JustificationMovesTheText) {
  g.WriteString("abcd", 10, 0, 41, 0);
  g.WriteString("abcd", 10, 0, 41, 1);
  g.WriteString("abcd", 10, 0, 41, -1);
  ASSERT_EQ(font.drawn.size(), 3u);
  EXPECT_EQ(font.drawn[0].x, 10 + 10);  // (41 - 20) / 2
  EXPECT_EQ(font.drawn[1].x, 10 + 21);
  EXPECT_EQ(font.drawn[2].x, 10);
}

TEST_F(TextLayoutTest, WordWrapBreaksAtTheLastSpaceThatFits) {
  // "aaa bbb ccc": each word 15 wide, a space 5.
  int widest = 0;
  const int height = g.WriteWordWrapped(Rect(4, 10, 35, 0), "aaa bbb ccc", -1, -1, &widest);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"aaa bbb", "ccc"}));
  EXPECT_EQ(font.drawn[0].y, 10 + 8);
  EXPECT_EQ(font.drawn[1].y, 10 + 8 + 11);
  EXPECT_EQ(font.drawn[0].x, 4);
  EXPECT_EQ(widest, 35);
  EXPECT_EQ(height, 8 + 11 + 3);  // ascent, one line spacing, descent
  // Measured alike.
  widest = 0;
  EXPECT_EQ(g.GetWordWrappedHeight(35, "aaa bbb ccc", -1, &widest), height);
  EXPECT_EQ(widest, 35);
  EXPECT_EQ(g.GetWordWrappedHeight(35, "", 5), 8 + 3);
  g.SetFont(nullptr);
  EXPECT_EQ(g.GetWordWrappedHeight(35, "abc"), 0);
}

// Lines break at the last space that fits (the spaces after it skipped), inside words too long for a
// line, and at newlines.
TEST_F(TextLayoutTest, WrappedLines) {
  struct Case {
    int width;
    const char* text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {34, "aaa bbb", {"aaa", "bbb"}},  // "aaa bbb" is 35 wide
      {35, "aaa bbb", {"aaa bbb"}},    {20, "aaa    bbb", {"aaa ", "bbb"}}, {12, "abcdefg", {"ab", "cd", "ef", "g"}},
      {2, "abc", {"a", "b", "c"}},  // narrower than one character: still one a line
  };
  for (const Case& c : cases) {
    font.drawn.clear();
    g.WriteWordWrapped(Rect(0, 0, c.width, 0), c.text);
    EXPECT_EQ(Texts(), c.lines) << c.width << " " << c.text;
  }
}

TEST_F(TextLayoutTest, NewlinesBreakLinesAndKeepLeadingSpaces) {
  const int height = g.WriteWordWrapped(Rect(0, 0, 100, 0), "a\n b\n\nc", 20);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"a", " b", "c"}));  // the empty line draws nothing
  EXPECT_EQ(font.drawn[2].y, 8 + 3 * 20);
  EXPECT_EQ(height, 8 + 3 * 20 + 3);
}

TEST_F(TextLayoutTest, ColourCodesTakeNoWidthAndCarryAcrossLines) {
  g.WriteWordWrapped(Rect(0, 0, 35, 0), "aaa ^00FF00.bbb ccc");
  EXPECT_EQ(Texts(), (std::vector<std::string>{"aaa ", "bbb", "ccc"}));
  EXPECT_EQ(font.drawn[0].color, Color(1, 2, 3, 200));
  EXPECT_EQ(font.drawn[1].color, Color(0, 255, 0, 200));
  EXPECT_EQ(font.drawn[2].color, Color(0, 255, 0, 200));
  // The colour is given back at the end.
  EXPECT_EQ(g.GetColor(), Color(1, 2, 3, 200));
}

TEST_F(TextLayoutTest, ShortCodesAtTheEndNeitherOverrunNorMeasure) {
  for (const std::string text : {"ab^", "ab^1", "ab^12345", "ab^123456"}) {
    font.drawn.clear();
    int widest = -1;
    // Kept in a buffer of exactly its size, so a read past the end shows under the address sanitizer.
    std::vector<char> exact(text.begin(), text.end());
    const std::string copy(exact.data(), exact.size());
    g.WriteWordWrapped(Rect(0, 0, 100, 0), copy, -1, -1, &widest);
    EXPECT_EQ(widest, 10) << text;
    EXPECT_EQ(Texts(), std::vector<std::string>{"ab"}) << text;
  }
}

}  // namespace
