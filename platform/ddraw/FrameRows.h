// Rows of a presented frame written in the window's 32-bit X-R-G-B format: 5-6-5 and 5-5-5 pixels
// widened as the window has always shown them (a channel of n bits becomes floor(v x 255 / (2^n - 1)),
// but for six bits the exact multiples of 85 one lower), sixteen at a time with AVX2 where the
// processor has it, else eight with SSE2; 32-bit pixels copied. A scaled frame's rows are spread from
// the widened ones.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/ddraw/PixelLayout.h"

namespace plat::ddraw {

enum class FrameFormat { kRgb565, kRgb555, kXrgb8888 };

// The frame format a surface layout is read as; nothing for layouts the window is given as they are.
[[nodiscard]] std::optional<FrameFormat> FrameFormatOf(const PixelLayout& layout);

// How many pixels a step takes: 16 (AVX2), 8 (SSE2) or one at a time; the widest is the level the
// platform chose for every row kernel (platform/cpu/SimdLevel.h).
enum class FrameWidth { k1, k8, k16 };
[[nodiscard]] FrameWidth WidestFrameWidth();

// Writes count pixels of `from` (in `format`) to `to` as 0xFFRRGGBB, in steps no wider than `width`
// (the processor must have it).
void WidenRow(FrameFormat format, const BYTE* from, std::uint32_t* to, int count,
              FrameWidth width = WidestFrameWidth());

// Copies count 32-bit pixels of `from` to `copy` and writes them to `opaque` as 0xFFRRGGBB from the same
// loads, so that a row going on into the window is read once; in steps no wider than `width`.
void CopyOpaqueRow(const BYTE* from, BYTE* copy, std::uint32_t* opaque, int count,
                   FrameWidth width = WidestFrameWidth());

// Spreads a widened row over a row of another width: to[x] = row[columns[x]] for count pixels (each
// column an index into row), eight at a time with AVX2 where `width` is k16, else one at a time.
void SpreadRow(const std::uint32_t* row, const int* columns, std::uint32_t* to, int count,
               FrameWidth width = WidestFrameWidth());

}  // namespace plat::ddraw
