// How every font treats the control characters of a text (the codes below 32 and 127): a tab is white
// space as wide as a space; any other control character draws nothing and has no width of its own (a
// bitmap font's kerning and spacing between its neighbours stay). Measuring and drawing follow the same
// rule, so a tab counts in string widths and word wrap as it draws.
#pragma once

#include <string>
#include <string_view>

namespace Kit {

inline bool IsControlCharacter(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code < 0x20 || code == 0x7F;
}

// The character whose glyph and width a character takes: a space for a tab, else itself.
inline char CharacterAsLaidOut(char c) { return c == '\t' ? ' ' : c; }

// The text as a font that draws whole strings shows it: each tab a space, the other control
// characters left out.
std::string TextAsDrawn(std::string_view text);

}  // namespace Kit
