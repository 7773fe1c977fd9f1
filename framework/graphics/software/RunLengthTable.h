#pragma once

#include <cstdint>

namespace Kit {

// One byte per pixel, rows independent: for every maximal run of pixels of equal class within a
// row, the bytes are L, L - 1, ..., 1 (each capped at 255), so a pixel's byte tells how many pixels
// from it to the end of its run. classOf(i) gives the class of pixel i (row-major).
template <typename ClassOf>
void BuildRunLengths(int width, int height, std::uint8_t* out, ClassOf classOf) {
  for (int y = 0; y < height; ++y) {
    const long long rowStart = static_cast<long long>(y) * width;
    int x = width;
    int runLength = 0;
    int runClass = -1;
    // Walk each row backwards: a pixel's byte is the length of its run from itself to the run's end.
    while (x-- > 0) {
      const int c = classOf(rowStart + x);
      runLength = c == runClass ? runLength + 1 : 1;
      runClass = c;
      out[rowStart + x] = static_cast<std::uint8_t>(runLength > 255 ? 255 : runLength);
    }
  }
}

}  // namespace Kit
