#include "framework/util/SubstringMatcher.h"

#include <cctype>

namespace Kit {

// The usual construction, one byte at a time: every suffix of what was read so far ends in a state.
SubstringMatcher::SubstringMatcher(std::string_view text, Case letterCase) {
  for (int byte = 0; byte < 256; ++byte)
    mFold[byte] = static_cast<unsigned char>(letterCase == Case::kIgnored ? std::tolower(byte) : byte);
  mStates.reserve(2 * text.size() + 1);
  const auto newState = [this](std::int32_t length) {
    State state;
    state.length = length;
    state.next.fill(kNone);
    mStates.push_back(state);
    return static_cast<std::int32_t>(mStates.size() - 1);
  };
  std::int32_t last = newState(0);
  for (const char c : text) {
    const unsigned char byte = mFold[static_cast<unsigned char>(c)];
    const std::int32_t current = newState(mStates[last].length + 1);
    std::int32_t state = last;
    for (; state != kNone && mStates[state].next[byte] == kNone; state = mStates[state].link)
      mStates[state].next[byte] = current;
    if (state == kNone) {
      mStates[current].link = 0;
    } else if (const std::int32_t following = mStates[state].next[byte];
               mStates[state].length + 1 == mStates[following].length) {
      mStates[current].link = following;
    } else {
      const std::int32_t copy = newState(mStates[state].length + 1);
      mStates[copy].next = mStates[following].next;
      mStates[copy].link = mStates[following].link;
      for (; state != kNone && mStates[state].next[byte] == following; state = mStates[state].link)
        mStates[state].next[byte] = copy;
      mStates[following].link = copy;
      mStates[current].link = copy;
    }
    last = current;
  }
}

bool SubstringMatcher::Contains(std::string_view part) const {
  std::int32_t state = 0;
  for (const char c : part) {
    state = mStates[state].next[mFold[static_cast<unsigned char>(c)]];
    if (state == kNone) return false;
  }
  return true;
}

}  // namespace Kit
