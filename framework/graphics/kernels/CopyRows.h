// Row kernels of the native-word copies onto surfaces: the low 16 bits of native words, the
// colour-keyed copy span by span, and a row of words reversed for the mirrored draws, with SSE2 (and
// AVX2 where the processor has it) on several pixels at a time.
#pragma once

#include "framework/graphics/kernels/KeyedSpans.h"

#include <cstddef>
#include <cstdint>

namespace Kit::CopyRows {

// The low 16 bits of each native word stored into a 16-bit row.
void StoreLow16(std::uint16_t* d, const std::uint32_t* s, int count);
// A rectangle of a colour-keyed copy: source columns left up to right (not included) of `height` rows
// from row `top`. The spans of those rows are spans[rowFirst[0]] up to spans[rowFirst[height]]; the
// source's words of row top + j start at words + j x sStride (column 0 of the source) and the
// destination's row j at d + j x dStride, where column `left` lands.
template <typename Pixel>
struct KeyedRows {
  Pixel* d;
  std::ptrdiff_t dStride;
  const Pixel* words;
  std::ptrdiff_t sStride;
  const std::uint32_t* rowFirst;
  const KeyedSpans::Span* spans;
  int left;
  int right;
  int top;
  int height;
};
// Each keyed span cut to the columns copied from the words; every other pixel (alpha 0) is left as it
// is, its word never read.
void StoreKeyed(const KeyedRows<std::uint16_t>& rows);
void StoreKeyed(const KeyedRows<std::uint32_t>& rows);
// d[k] = s[count - 1 - k]; d and s do not overlap.
void Reverse(std::uint32_t* d, const std::uint32_t* s, int count);

}  // namespace Kit::CopyRows
