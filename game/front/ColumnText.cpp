#include "game/front/ColumnText.h"

#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"

void DrawInColumn(Kit::Graphics* g, const std::string& text, int columnX, int columnWidth, int baseline,
                  ColumnAlign align) {
  Kit::Font* font = g->GetFont();
  if (font == nullptr) return;
  const int spare = columnWidth - font->StringWidth(text);
  const int x = columnX + (align == ColumnAlign::kCentre && spare > 0 ? spare / 2 : 0);
  // The column bounds the text sideways only; a line's height either way of the baseline holds every
  // glyph's ink.
  const int lineHeight = font->GetHeight();
  Kit::Graphics column(*g);
  column.ClipRect(columnX, baseline - 2 * lineHeight, columnWidth, 4 * lineHeight);
  column.DrawString(text, x, baseline);
}
