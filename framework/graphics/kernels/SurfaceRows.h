// Row kernels of the additive surface blits onto 32-bit surfaces whose fields are the bytes of
// 0x00RRGGBB and onto 5-6-5 and 5-5-5 surfaces. Each gives exactly the formula of the routine it serves
// (the add table's sum of two fields saturates at the field's maximum); on x86-64 they work on four
// (eight) 32-bit pixels or eight (sixteen at AVX2) 16-bit ones at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Kit::SurfaceRows {

// Each field of d becomes min(d + s, 255) (the top byte 0), except where the word's bits under skip
// are all 0: that pixel is left as it is (gathered blit rows skip black words, stretches zero
// words; skip 0 leaves none).
void AddSaturated888(std::uint32_t* d, const std::uint32_t* s, int count, std::uint32_t skip);
// Each field of d becomes min(d + (s x c >> 8), 255), c per field 0..255, with the same skip.
void AddScaled888(std::uint32_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                  std::uint32_t cb, std::uint32_t skip);
// The 5-6-5 additions over a block of rows: row j of d starts dStride pixels after row j - 1, and its
// words sStride words after the last row's. One call for a small sprite.
void AddSaturated565Block(std::uint16_t* d, std::ptrdiff_t dStride, const std::uint32_t* s, std::ptrdiff_t sStride,
                          int width, int height);
void AddScaled565Block(std::uint16_t* d, std::ptrdiff_t dStride, const std::uint32_t* s, std::ptrdiff_t sStride,
                       int width, int height, std::uint32_t cr, std::uint32_t cg, std::uint32_t cb);

// The same additions onto 5-6-5 pixels from native words whose low 16 bits are 5-6-5: each field
// becomes min(d + s, max), or min(d + (s x c >> 8), max) with c per field 0..255. (A black word
// leaves its pixel as it is without being skipped.)
void AddSaturated565(std::uint16_t* d, const std::uint32_t* s, int count);
void AddScaled565(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                  std::uint32_t cb);
// The same onto 5-5-5 pixels from words whose low 16 bits are 5-5-5, with the 32-bit rows' skip: a
// drawn pixel's top bit comes out 0 (the fields are put back together without it), a skipped one keeps
// it.
void AddSaturated555(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t skip);
void AddScaled555(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                  std::uint32_t cb, std::uint32_t skip);

}  // namespace Kit::SurfaceRows
