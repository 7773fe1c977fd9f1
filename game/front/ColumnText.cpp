#include "game/front/ColumnText.h"

#include <string>

#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"

namespace {

// The longest beginning of text that is no wider than width in font (whole letters only), and its width.
std::string WholeLettersThatFit(Kit::Font* font, const std::string& text, int width, int* shownWidth) {
  std::string shown = text;
  *shownWidth = font->StringWidth(shown);
  while (!shown.empty() && *shownWidth > width) {
    shown.pop_back();
    *shownWidth = font->StringWidth(shown);
  }
  return shown;
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
