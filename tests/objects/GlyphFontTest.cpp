#include "game/play/GlyphFont.h"

#include <gtest/gtest.h>

#include <ostream>

#include "framework/graphics/Graphics.h"
#include "tests/objects/ObjectsFixture.h"
#include "tests/support/Canvas.h"

namespace {

struct LineCase {
  const char* name;
  const char* line;
  bool kept;
  GlyphRecord record;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class GlyphTableLines : public ObjectsTest, public testing::WithParamInterface<LineCase> {};

TEST_P(GlyphTableLines, ParseByTheLastParenthesesOfTheLine) {
  gGlyphFont.LoadFile(WriteFile("unicode.txt", GetParam().line));
  ASSERT_EQ(gGlyphFont.mGlyphs.size(), GetParam().kept ? 1u : 0u);
  if (!GetParam().kept) return;
  const GlyphRecord& got = gGlyphFont.mGlyphs[0];
  const GlyphRecord& want = GetParam().record;
  EXPECT_EQ(std::tie(got.mCharacter, got.mX, got.mY, got.mWidth, got.mHeight),
            std::tie(want.mCharacter, want.mX, want.mY, want.mWidth, want.mHeight));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, GlyphTableLines,
    testing::Values(LineCase{"Plain", "A(10,20,8,16)\n", true, {u'A', 10, 20, 8, 16}},
                    // the last "(" opens the fields
                    LineCase{"ParenthesisAsCharacter", "((0,0,5,9)\r\n", true, {u'(', 0, 0, 5, 9}},
                    LineCase{"BlanksAndSigns", "B = glyph ( 1, +2 ,-3,4)", true, {u'B', 1, 2, -3, 4}},
                    LineCase{"CodePage1252", "\xe9(1,2,3,4x)", true, {u'\u00e9', 1, 2, 3, 4}},
                    LineCase{"MissingFieldsReadZero", "C(1,2)", true, {u'C', 1, 2, 0, 0}},
                    LineCase{"NotANumberAndTooLarge", "D(a,99999999999,3,4)", true, {u'D', 0, INT_MAX, 3, 4}},
                    LineCase{"NoClosingParenthesis", "E(1,2,3,4", false, {}},
                    LineCase{"NoOpeningParenthesis", "F1,2,3,4)", false, {}}, LineCase{"EmptyLine", "\n", false, {}}),
    testing::PrintToStringParamName());

TEST_F(ObjectsTest, GlyphLinesLongerThan1023CharactersAreSkippedAndTheRestOfTheFileRead) {
  const std::string longLine = "X" + std::string(1030, ' ') + "(1,1,1,1)\n";
  const std::string limitLine = "Y" + std::string(1013, ' ') + "(2,2,2,2)\r\n";  // 1023 characters
  gGlyphFont.LoadFile(WriteFile("unicode.txt", longLine + limitLine + "Z(3,3,3,3)"));
  ASSERT_EQ(gGlyphFont.mGlyphs.size(), 2u);
  EXPECT_EQ(gGlyphFont.mGlyphs[0].mCharacter, u'Y');
  EXPECT_EQ(gGlyphFont.mGlyphs[1].mCharacter, u'Z');
}

class GlyphFontDraw : public ObjectsTest {
 protected:
  GlyphFontDraw() : mCanvas(testsupport::Canvas(40, 10, 0xFF000000)) {
    // The sheet: a red 8x4 glyph at (0, 0) and a blue 2x4 one at (8, 0).
    mSheet = testsupport::Canvas(10, 4, 0xFFFF0000);
    for (int y = 0; y < 4; ++y) mSheet->GetBits()[y * 10 + 8] = mSheet->GetBits()[y * 10 + 9] = 0xFF0000FF;
    mSheet->BitsChanged();
  }
  std::uint32_t At(int x, int y) const { return mCanvas->GetBits()[y * 40 + x]; }

  std::unique_ptr<Kit::MemoryImage> mCanvas, mSheet;
  Kit::Graphics mGraphics{mCanvas.get()};
};

TEST_F(GlyphFontDraw, GlyphsFollowEachOtherFromTheTruncatedPenAndUnknownCharactersTakeNoRoom) {
  gGlyphFont.LoadFile(WriteFile("unicode.txt", "A(0,0,8,4)\nB(8,0,2,4)\nA(8,0,2,4)\n"));
  gGlyphFont.SetImage(mSheet.get());
  gGlyphFont.SetImage(nullptr);
  gGlyphFont.DrawString(&mGraphics, u"A?B", 10.9f, 2.0f);
  EXPECT_EQ(At(9, 2), 0xFF000000u);
  EXPECT_EQ(At(10, 2), 0xFFFF0000u) << "the first 'A' record wins";
  EXPECT_EQ(At(17, 5), 0xFFFF0000u);
  EXPECT_EQ(At(18, 2), 0xFF0000FFu) << "'?' has no record and moves nothing";
  EXPECT_EQ(At(20, 2), 0xFF000000u);
  EXPECT_TRUE(Beeps().empty());
}

TEST_F(GlyphFontDraw, WithoutAnImageOrWithoutGlyphsADrawOnlyBeeps) {
  gGlyphFont.DrawString(&mGraphics, u"A", 0, 0);
  gGlyphFont.SetImage(mSheet.get());
  gGlyphFont.LoadFile(mDir / "missing.txt");
  gGlyphFont.DrawString(&mGraphics, u"A", 0, 0);
  gGlyphFont.DrawString(nullptr, u"A", 0, 0);
  EXPECT_EQ(Beeps(), (std::vector<std::pair<DWORD, DWORD>>{{111, 111}, {222, 222}}));
  EXPECT_EQ(At(0, 0), 0xFF000000u);
}

TEST(GlyphText, AnsiAndWideConvertWholeStringsOnlyWhenTheBufferHoldsThem) {
  WCHAR wide[4];
  EXPECT_EQ(AnsiToWide("a\xe9z", wide, 4), 4);
  EXPECT_EQ(std::u16string(wide), u"a\u00e9z");
  EXPECT_EQ(AnsiToWide("abcd", wide, 4), 0);
  char narrow[4];
  EXPECT_EQ(WideToAnsi(u"a\u00e9z", narrow, 4), 4);
  EXPECT_STREQ(narrow, "a\xe9z");
  EXPECT_EQ(WideToInt(u"  -42abc"), -42);
  EXPECT_EQ(WideToInt(u"-99999999999"), INT_MIN);
}

}  // namespace
