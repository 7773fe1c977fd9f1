#include "game/front/ColumnText.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"

namespace {

// The longest beginning of text that is no wider than width in font (whole letters only), and its width.
// A letter never makes a line narrower, so the beginnings that fit are all those up to some length. That
// length is found by doubling the length tried until one does not fit, then halving the gap: the letters
// measured grow with the column, never with the text, which a player or score file may make 65,535
// letters long (and every frame draws it).
std::string WholeLettersThatFit(Kit::Font* font, const std::string& text, int width, int* shownWidth) {
  std::size_t fits = 0;                   // the longest length known to fit
  std::size_t tooLong = text.size() + 1;  // the shortest length known not to
  *shownWidth = font->StringWidth(std::string());
  const auto fitsIn = [&](std::size_t length) {
    const int measured = font->StringWidth(text.substr(0, length));
    if (measured > width) {
      tooLong = length;
      return false;
    }
    fits = length;
    *shownWidth = measured;
    return true;
  };
  std::size_t length = 1;
  while (fits < text.size() && fitsIn(length)) length = std::min(2 * length, text.size());
  while (tooLong - fits > 1) fitsIn(fits + (tooLong - fits) / 2);
  return text.substr(0, fits);
}

}  // namespace

void DrawInColumn(Kit::Graphics* g, const std::string& text, int columnX, int columnWidth, int baseline,
                  ColumnAlign align) {
  Kit::Font* font = g->GetFont();
  if (font == nullptr) return;
  int shownWidth = 0;
  const std::string shown = WholeLettersThatFit(font, text, columnWidth, &shownWidth);
  const int spare = columnWidth - shownWidth;
  const int x = columnX + (align == ColumnAlign::kCentre && spare > 0 ? spare / 2 : 0);
  // A glyph's ink may reach a little beyond its advance: the column still bounds it sideways. A line's
  // height either way of the baseline holds every glyph's ink.
  const int lineHeight = font->GetHeight();
  Kit::Graphics column(*g);
  column.ClipRect(columnX, baseline - 2 * lineHeight, columnWidth, 4 * lineHeight);
  column.DrawString(shown, x, baseline);
}
