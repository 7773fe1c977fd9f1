#include "framework/util/StringUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

namespace {

using namespace Kit;

TEST(StringUtil, CaseAndTrim) {
  EXPECT_EQ(StringToUpper("Quarvel 1.0 \xE9"), "QUARVEL 1.0 \xE9");
  EXPECT_EQ(StringToLower("LeVeL_01.VEL"), "level_01.vel");
  EXPECT_EQ(Trim(" \t\r\n name value \n"), "name value");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("x"), "x");
}

// Values wrap like 32-bit arithmetic; malformed text gives false and zero.
TEST(StringUtil, StringToIntAcceptsDecimalAndHex) {
  const std::pair<const char*, int> good[] = {{"0x1F", 31}, {"0XfF", 255}, {"-42", -42},      {"007", 7},
                                              {"-", 0},     {"0x", 0},     {"4294967297", 1}, {"0xFFFFFFFF", -1}};
  for (auto [text, expected] : good) {
    int value = 99;
    EXPECT_TRUE(StringToInt(text, value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
  for (const char* text : {"", "12a", "-0x10", "x1", "-x10", "1x0", "0x1x", "0xG", " 1", "1 ", "+1", "--1"}) {
    int value = 5;
    EXPECT_FALSE(StringToInt(text, value)) << text;
    EXPECT_EQ(value, 0) << text;
  }
}

TEST(StringUtil, StringToDouble) {
  for (auto [text, expected] : {std::pair{"-2.25", -2.25}, {"1.", 1.0}, {".5", 0.5}, {"12", 12.0}}) {
    double value = 7;
    EXPECT_TRUE(StringToDouble(text, value)) << text;
    EXPECT_DOUBLE_EQ(value, expected) << text;
  }
  for (const char* text : {"", "3,5", "1e5", "1.2.3", "1.5x", "abc", " 1"}) {
    double value = 7;
    EXPECT_FALSE(StringToDouble(text, value)) << text;
    EXPECT_EQ(value, 0.0) << text;
  }
}

TEST(StringUtil, CommaSeparateGroupsByThree) {
  EXPECT_EQ(CommaSeparate(0), "0");
  EXPECT_EQ(CommaSeparate(999), "999");
  EXPECT_EQ(CommaSeparate(1000), "1,000");
  EXPECT_EQ(CommaSeparate(1000000), "1,000,000");
  EXPECT_EQ(CommaSeparate(12345), "12,345");
  EXPECT_EQ(CommaSeparate(INT_MAX), "2,147,483,647");
  EXPECT_EQ(CommaSeparate(-1234), "-1,234");
  EXPECT_EQ(CommaSeparate(INT_MIN), "-2,147,483,648");
}

TEST(StringUtil, StrFormatFormatsAndGrowsBeyondTheFirstBufferUpToItsLimit) {
  EXPECT_EQ(StrFormat("%s: %s", "Blt", "DDERR_SURFACELOST"), "Blt: DDERR_SURFACELOST");
  EXPECT_EQ(StrFormat("%d/%04.1f/%x", -3, 2.25, 255), "-3/02.2/ff");
  EXPECT_EQ(StrFormat("%s", ""), "");
  for (std::size_t length : {159u, 160u, 161u, 320u, 321u, 100000u}) {
    std::string text(length, 'a');
    EXPECT_EQ(StrFormat("%s", text.c_str()), text) << length;
  }
  // Output is cut at its limit.
  std::string huge(kMaxFormattedLength + 10, 'b');
  std::string result = StrFormat("<%s>", huge.c_str());
  EXPECT_EQ(result.size(), kMaxFormattedLength);
  EXPECT_EQ(result.front(), '<');
  EXPECT_EQ(result.back(), 'b');
}

TEST(StringUtil, StrFindNoCase) {
  EXPECT_EQ(StrFindNoCase("Hello World", "WORLD"), 6);
  EXPECT_EQ(StrFindNoCase("Hello World", "o"), 4);
  EXPECT_EQ(StrFindNoCase("aaab", "AAB"), 1);
  EXPECT_EQ(StrFindNoCase("abc", "abcd"), -1);
  EXPECT_EQ(StrFindNoCase("abc", "x"), -1);
  EXPECT_EQ(StrFindNoCase("abc", ""), 0);
  EXPECT_EQ(StrFindNoCase("", ""), -1);
  EXPECT_EQ(StrFindNoCase("", "a"), -1);
  EXPECT_EQ(StrFindNoCase(nullptr, "a"), -1);
  EXPECT_EQ(StrFindNoCase("a", nullptr), -1);
}

}  // namespace
