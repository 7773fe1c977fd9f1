// Row kernels of the native-word copies onto surfaces: opaque copies onto 5-6-5 and colour-keyed
// copies (a word of alpha 0 is left out) onto both depths, and a row of words reversed for the
// mirrored draws, with SSE2 (and AVX2 where the processor has it) on several pixels at a time.
#pragma once

#include <cstdint>

namespace Kit::CopyRows {

// The low 16 bits of each native word stored into a 16-bit row.
void StoreLow16(std::uint16_t* d, const std::uint32_t* s, int count);
// Each word whose alpha byte is not 0 stored as it is (32-bit) or by its low 16 bits (16-bit).
void StoreKeyed32(std::uint32_t* d, const std::uint32_t* s, int count);
void StoreKeyed16(std::uint16_t* d, const std::uint32_t* s, int count);
// d[k] = s[count - 1 - k]; d and s do not overlap.
void Reverse(std::uint32_t* d, const std::uint32_t* s, int count);

}  // namespace Kit::CopyRows
