// A font of known metrics for tests: every character is a 5 by 8 block on a 6-pixel advance, ascent 8,
// height 10, so label placement and colours can be checked pixel by pixel.
#pragma once

#include <string>

#include "framework/app/KitAppBase.h"
#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"

namespace KitTest {

class BlockFont : public Kit::Font {
 public:
  BlockFont() {
    mAscent = 8;
    mHeight = 10;
  }
  int StringWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
  void DrawString(Kit::Graphics* g, int x, int y, const std::string& text, const Kit::Color& color,
                  const Kit::Rect&) override {
    const Kit::Color saved = g->GetColor();
    g->SetColor(color);
    for (std::size_t i = 0; i < text.size(); ++i)
      if (text[i] != ' ') g->FillRect(x + 6 * static_cast<int>(i), y - mAscent, 5, mAscent);
    g->SetColor(saved);
  }
  Kit::Font* Duplicate() override {
    ++sDuplicates;
    return new BlockFont(*this);
  }

  static inline int sDuplicates = 0;
};

inline Kit::Font* MakeBlockFont(Kit::KitAppBase*, int, int) { return new BlockFont(); }

}  // namespace KitTest
