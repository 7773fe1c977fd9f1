// Lines of control text: broken at "\r\n" (or a lone '\n' or '\r') and, when wrapping, before the
// word that would pass the width (a word wider than the width is broken between characters).
// Internal to the layer.
#pragma once

#include <string_view>
#include <vector>

namespace plat {

namespace gdi {
class GdiFont;
}

struct TextLine {
  int start = 0;   // index of the first character
  int length = 0;  // characters shown, without the line break
  int next = 0;    // index where the next line starts
};

// Always at least one line; width <= 0 does not wrap.
[[nodiscard]] std::vector<TextLine> WrapText(gdi::GdiFont& font, std::string_view text, int width);

}  // namespace plat
