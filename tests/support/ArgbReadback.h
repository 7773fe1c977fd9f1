// Reads DirectDraw pixels of any RGB format back as 0xFFRRGGBB, each channel widened to 8 bits by
// repeating its bits, so one golden picture serves 16-bit and 32-bit surfaces alike.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/ddraw/DDraw.h"

namespace testsupport {

// The width x height pixels of locked surface memory, row after row.
std::vector<std::uint32_t> ReadArgb(const void* bits, LONG pitch, int width, int height, const DDPIXELFORMAT& format);

}  // namespace testsupport
