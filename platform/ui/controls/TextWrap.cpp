#include "platform/ui/controls/TextWrap.h"

#include "platform/gdi/GdiFont.h"

namespace plat {
namespace {

// Where the line that starts at `start` and runs to `end` (its break) must be cut to fit, or end.
int FitEnd(gdi::GdiFont& font, std::string_view text, int start, int end, int width, int* resume) {
  *resume = end;
  int used = 0;
  int lastSpace = -1;
  for (int i = start; i < end; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    used += font.GlyphOf(c).advance;
    if (c == ' ') lastSpace = i;
    if (used > width && i > start) {
      if (c == ' ') {
        *resume = i + 1;  // a space at the edge goes with the line it ends
        return i;
      }
      if (lastSpace >= start) {
        *resume = lastSpace + 1;
        return lastSpace;
      }
      *resume = i;
      return i;
    }
  }
  return end;
}

}  // namespace

std::vector<TextLine> WrapText(gdi::GdiFont& font, std::string_view text, int width) {
  std::vector<TextLine> lines;
  const int size = static_cast<int>(text.size());
  int start = 0;
  for (;;) {
    int end = start;
    while (end < size && text[end] != '\r' && text[end] != '\n') ++end;
    int breakLength = 0;
    if (end < size) breakLength = text[end] == '\r' && end + 1 < size && text[end + 1] == '\n' ? 2 : 1;
    int resume = end + breakLength;
    int cut = end;
    if (width > 0) {
      int fitResume;
      cut = FitEnd(font, text, start, end, width, &fitResume);
      if (cut < end) resume = fitResume;
    }
    lines.push_back(TextLine{start, cut - start, resume});
    if (cut == end && breakLength == 0) break;
    start = resume;
    if (start >= size && cut == end) {
      lines.push_back(TextLine{size, 0, size});  // the empty line after a final break
      break;
    }
  }
  return lines;
}

}  // namespace plat
