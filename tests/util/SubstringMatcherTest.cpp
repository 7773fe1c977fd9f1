#include "framework/util/SubstringMatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every string of up to four of the letters a, b and c, the empty one first.
std::vector<std::string> ShortStrings() {
  std::vector<std::string> strings{""};
  for (std::size_t from = 0; strings[from].size() < 4; ++from)
    for (const char letter : {'a', 'b', 'c'}) strings.push_back(strings[from] + letter);
  return strings;
}

TEST(SubstringMatcher, FindsExactlyWhatOccursInTheText) {
  for (const std::string& text : {std::string(), std::string("a"), std::string("aaaa"), std::string("abab"),
                                  std::string("abcbcabba"), std::string("ab\0cb", 5)}) {
    const Kit::SubstringMatcher matcher(text);
    for (std::size_t from = 0; from < text.size(); ++from)
      for (std::size_t length = 1; from + length <= text.size(); ++length)
        EXPECT_TRUE(matcher.Contains(text.substr(from, length))) << text << " / " << text.substr(from, length);
    for (const std::string& part : ShortStrings())
      EXPECT_EQ(matcher.Contains(part), text.find(part) != std::string::npos) << text << " / " << part;
    EXPECT_FALSE(matcher.Contains(text + "a")) << "longer than the text";
  }
}

TEST(SubstringMatcher, IgnoresCaseOnlyWhenAsked) {
  const Kit::SubstringMatcher ignoring("Software DirectDraw", Kit::SubstringMatcher::Case::kIgnored);
  EXPECT_TRUE(ignoring.Contains("DIRECTdraw"));
  EXPECT_FALSE(ignoring.Contains("DirectDraw2"));
  const Kit::SubstringMatcher matching("Software DirectDraw");
  EXPECT_TRUE(matching.Contains("DirectDraw"));
  EXPECT_FALSE(matching.Contains("DIRECTdraw"));
}

}  // namespace
