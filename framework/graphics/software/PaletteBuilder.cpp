#include "framework/graphics/software/PaletteBuilder.h"

#include <algorithm>
#include <cstddef>

namespace Kit {

bool BuildPalette(const std::uint32_t* bits, int width, int height, std::uint8_t* indices, std::uint32_t* table) {
  const std::size_t count = width > 0 && height > 0 ? static_cast<std::size_t>(width) * height : 0;
  if (count == 0) return true;

  // The colours met so far, sorted as unsigned values for a binary search, each with its index.
  struct Entry {
    std::uint32_t color;
    std::uint8_t index;
  };
  Entry sorted[256];
  int used = 1;
  sorted[0] = {bits[0], 0};
  table[0] = bits[0];
  indices[0] = 0;

  for (std::size_t i = 1; i < count; ++i) {
    const std::uint32_t color = bits[i];
    Entry* end = sorted + used;
    Entry* found = std::lower_bound(sorted, end, color, [](const Entry& e, std::uint32_t c) { return e.color < c; });
    if (found != end && found->color == color) {
      indices[i] = found->index;
      continue;
    }
    if (used == 256) return false;
    std::move_backward(found, end, end + 1);
    *found = {color, static_cast<std::uint8_t>(used)};
    table[used] = color;
    indices[i] = static_cast<std::uint8_t>(used);
    ++used;
  }
  return true;
}

}  // namespace Kit
