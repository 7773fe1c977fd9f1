#include "framework/font/ShownSpan.h"

#include <algorithm>

#include "framework/font/Font.h"
#include "platform/util/ClampToInt.h"

namespace Kit {

namespace {

// Characters measured at once while looking for the edges: a long line is crossed in few measurements.
constexpr std::size_t kStrideChars = 64;

// The pen at text[to] less the pen at text[from] when the whole of text is drawn. How far a character
// moves the pen depends only on it and the character after it (its kerning), so the piece from `from`
// through `to` measures that distance plus the width of text[to] on its own.
long long PenDistance(Font& font, const std::string& text, std::size_t from, std::size_t to) {
  if (to >= text.size()) return font.StringWidth(text.substr(from));
  return static_cast<long long>(font.StringWidth(text.substr(from, to - from + 1))) -
         font.StringWidth(text.substr(to, 1));
}

}  // namespace

ShownSpan SpanShownBetween(Font& font, const std::string& text, int x, int left, int right) {
  const long long reach = std::max(font.GetHeight(), 0);
  const std::size_t length = text.size();

  // The first character whose advance ends within reach of the left edge: whole strides first.
  std::size_t first = 0;
  long long pen = x;
  while (first < length && pen + reach <= left) {
    const std::size_t next = std::min(first + kStrideChars, length);
    const long long nextPen = pen + PenDistance(font, text, first, next);
    if (nextPen + reach > left) break;
    first = next;
    pen = nextPen;
  }
  while (first < length && pen + reach <= left) {
    const long long nextPen = pen + PenDistance(font, text, first, first + 1);
    if (nextPen + reach > left) break;
    ++first;
    pen = nextPen;
  }

  // Then every character that starts within reach of the right edge.
  std::size_t end = first;
  long long endPen = pen;
  while (end < length) {
    const std::size_t next = std::min(end + kStrideChars, length);
    const long long nextPen = endPen + PenDistance(font, text, end, next);
    if (nextPen - reach >= right) break;
    end = next;
    endPen = nextPen;
  }
  while (end < length && endPen - reach < right) {
    endPen += PenDistance(font, text, end, end + 1);
    ++end;
  }
  return ShownSpan{first, end - first, plat::ClampToInt(pen)};
}

}  // namespace Kit
