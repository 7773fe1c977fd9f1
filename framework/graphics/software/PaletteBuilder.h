#pragma once

#include <cstdint>

namespace Kit {

// Builds a colour table of at most 256 entries in the order the colours first appear, and one index
// per pixel. False when the image has more than 256 distinct colours.
bool BuildPalette(const std::uint32_t* bits, int width, int height, std::uint8_t* indices, std::uint32_t* table);

}  // namespace Kit
