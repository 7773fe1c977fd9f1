// Row kernels of the native-word copies onto surfaces: the low 16 bits of native words, the
// colour-keyed copy run by run, and a row of words reversed for the mirrored draws, with SSE2 (and
// AVX2 where the processor has it) on several pixels at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Kit::CopyRows {

// The low 16 bits of each native word stored into a 16-bit row.
void StoreLow16(std::uint16_t* d, const std::uint32_t* s, int count);
// A rectangle of a colour-keyed copy: row j of the pixels stored starts at words + j x sStride, of
// their native words (whose alpha decides) at native + j x sStride and of the source's alpha run table
// at runs + j x sStride; row j of the destination starts at d + j x dStride.
template <typename Pixel>
struct KeyedRows {
  Pixel* d;
  std::ptrdiff_t dStride;
  const Pixel* words;
  const std::uint32_t* native;
  const std::uint8_t* runs;
  std::ptrdiff_t sStride;
  int width;
  int height;
};
// Each run of a row that holds no word of alpha 0 copied from the words; a transparent run (alpha 0)
// is stepped over whole by its length in the run table, its words never read.
void StoreKeyed(const KeyedRows<std::uint16_t>& rows);
void StoreKeyed(const KeyedRows<std::uint32_t>& rows);
// d[k] = s[count - 1 - k]; d and s do not overlap.
void Reverse(std::uint32_t* d, const std::uint32_t* s, int count);

}  // namespace Kit::CopyRows
