// The columns a colour-keyed copy stores in each row of a picture: the spans of pixels whose alpha is
// not 0, each the join of neighbouring runs of the picture's alpha run table, so the copy
// reads one short header per span instead of walking the runs pixel class by pixel class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Kit {

struct KeyedSpans {
  // Columns start up to end (not included) of row `row`, none of them of alpha 0.
  struct Span {
    std::int32_t row;
    std::int32_t start;
    std::int32_t end;
  };
  // height + 1 entries: the spans of row y, left to right, are spans[rowFirst[y]] up to spans[rowFirst[y + 1]],
  // so those of the rows from y on follow one another.
  std::vector<std::uint32_t> rowFirst;
  std::vector<Span> spans;
};

// The spans of width x height pixels from their run table and alphaAt(i), the alpha of pixel i
// (row-major), read at the first pixel of each run: the runs of a table hold pixels of one class.
template <typename AlphaAt>
KeyedSpans BuildKeyedSpans(int width, int height, const std::uint8_t* runs, AlphaAt alphaAt) {
  KeyedSpans out;
  out.rowFirst.reserve(static_cast<std::size_t>(height > 0 ? height : 0) + 1);
  out.rowFirst.push_back(0);
  for (int y = 0; y < height; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    bool open = false;  // the last span of the row ends where the walk is
    for (int x = 0; x < width; x += runs[row + static_cast<std::size_t>(x)]) {
      const int end = x + runs[row + static_cast<std::size_t>(x)];
      if (alphaAt(row + static_cast<std::size_t>(x)) == 0) {
        open = false;
      } else if (open) {
        out.spans.back().end = end;
      } else {
        out.spans.push_back({y, x, end});
        open = true;
      }
    }
    out.rowFirst.push_back(static_cast<std::uint32_t>(out.spans.size()));
  }
  return out;
}

}  // namespace Kit
