// The part of a line of text that can show between two x positions when the whole line is drawn from a
// given pen position. A caller that shows only a window of a very long line (a centred name in a
// narrow list) hands the font just this part, drawn where the whole line would put it: the pixels are
// the same, and the font lays out, and an image font spends its shared glyph records on, only what can
// be seen. Used by whichever thread draws with the font.
#pragma once

#include <cstddef>
#include <string>

namespace Kit {

class Font;

struct ShownSpan {
  std::size_t mFirst = 0;  // the first character that can show
  std::size_t mCount = 0;
  int mX = 0;  // the pen at that character in the whole line
};

// The characters of text, drawn from pen x, that may reach into [left, right). A glyph may reach past
// its own advance (offsets, overhangs), so characters within a line's height of either edge are kept.
// Pens never move back along a line, so the span is one run of characters.
ShownSpan SpanShownBetween(Font& font, const std::string& text, int x, int left, int right);

}  // namespace Kit
