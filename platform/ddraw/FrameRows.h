// Rows of a presented frame written in the window's 32-bit X-R-G-B format: 5-6-5 and 5-5-5 pixels
// widened as the window has always shown them (a channel of n bits becomes floor(v x 255 / (2^n - 1)),
// but for six bits the exact multiples of 85 one lower), eight at a time with SSE2; 32-bit pixels copied.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/ddraw/PixelLayout.h"

namespace plat::ddraw {

enum class FrameFormat { kRgb565, kRgb555, kXrgb8888 };

// The frame format a surface layout is read as; nothing for layouts the window is given as they are.
std::optional<FrameFormat> FrameFormatOf(const PixelLayout& layout);

// Writes count pixels of `from` (in `format`) to `to` as 0xFFRRGGBB.
void WidenRow(FrameFormat format, const BYTE* from, std::uint32_t* to, int count);

}  // namespace plat::ddraw
