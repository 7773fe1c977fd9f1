// Row kernels of the memory image's fills, copies and additive blits. Each gives exactly the per-pixel
// formula of PixelBlend.h or of the additive table; on x86-64 they work on four pixels at a time with
// SSE2 (part of every x86-64 processor), the translucent fill and the additive rows on eight with AVX2
// where it is there.
#pragma once

#include <cstdint>

namespace Kit::PixelRows {

// out[k] = table[indices[k]]: a palettized image's row looked up (a gather of eight at a time at AVX2).
void LookUp(std::uint32_t* out, const std::uint32_t* table, const std::uint8_t* indices, int count);
// Short copies (a sprite row's runs) without the start-up cost of a string move.
void Copy(std::uint32_t* row, const std::uint32_t* src, int count);
void Fill(std::uint32_t* row, int count, std::uint32_t value);
// PixelBlend::Over of one colour (alpha sa, 1..254) over every pixel of the row.
void OverConstant(std::uint32_t* row, int count, std::uint32_t color, std::uint32_t sa);
// Each channel becomes the saturated sum of dst and the source channel, the source channel first
// scaled by (pr, pg, pb) / 256 when colored and by its alpha / 256 when scaleByAlpha; dst keeps its
// alpha. (The saturated sum is the additive table's entry.)
void AddSaturated(std::uint32_t* row, const std::uint32_t* src, int count, bool colored, std::uint32_t pr,
                  std::uint32_t pg, std::uint32_t pb, bool scaleByAlpha);

}  // namespace Kit::PixelRows
