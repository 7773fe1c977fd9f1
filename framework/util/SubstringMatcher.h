// Whether a text occurs anywhere in one fixed text, answered in time linear in the text asked about
// however long the fixed one is: a suffix automaton of the fixed text (at most twice its length in
// states), made once. Bytes are compared as they are, or ignoring case as std::tolower folds them.
// Immutable once made: any thread may ask.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace Kit {

class SubstringMatcher {
 public:
  enum class Case { kMatched, kIgnored };

  explicit SubstringMatcher(std::string_view text, Case letterCase = Case::kMatched);

  // True when part occurs in the text; the empty part occurs in every text.
  bool Contains(std::string_view part) const;

 private:
  static constexpr std::int32_t kNone = -1;
  struct State {
    std::int32_t length = 0;  // of the longest text that ends in this state
    std::int32_t link = kNone;
    std::array<std::int32_t, 256> next;  // by byte; kNone where no occurrence goes on with it
  };
  std::array<unsigned char, 256> mFold;  // what each byte is compared as
  std::vector<State> mStates;
};

}  // namespace Kit
