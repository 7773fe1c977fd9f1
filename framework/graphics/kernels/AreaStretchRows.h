// The last step of the area-weighted stretch: accumulated channels (four floats per pixel, blue,
// green, red, alpha, each a whole number below 2^24) mixed and brought back to ARGB pixels, with SSE2
// (and AVX where the processor has AVX2) on four pixels at a time.
#pragma once

#include <cstdint>

namespace Kit::AreaStretchRows {

// Each channel of out[i] is (0 + top x topWeight + bottom x bottomWeight) >> 16, capped at 255, the
// sums taken in single precision in that order; without bottom (null) its term is left out.
void Mix(std::uint32_t* out, const float* top, const float* bottom, float topWeight, float bottomWeight, int count);

}  // namespace Kit::AreaStretchRows
