// The last steps of the area-weighted stretch: accumulated channels (four floats per pixel, blue,
// green, red, alpha, each a whole number below 2^24) mixed and brought back to ARGB pixels, and those
// made native words for a surface, with SSE2 (and AVX where the processor has AVX2) on four pixels at a
// time.
#pragma once

#include "framework/graphics/NativeDisplay.h"

#include <cstdint>

namespace Kit::AreaStretchRows {

// Each channel of out[i] is (0 + top x topWeight + bottom x bottomWeight) >> 16, capped at 255, the
// sums taken in single precision in that order; without bottom (null) its term is left out.
void Mix(std::uint32_t* out, const float* top, const float* bottom, float topWeight, float bottomWeight, int count);

// The resampled pixels as the native words of the picture they are drawn into when it starts
// transparent: a pixel of alpha a > 0 is PixelBlend::Over a transparent pixel, then ToNativePixel for
// the display (which must be usable: EffectiveDisplay); alpha 0 gives 0.
void NativeWords(std::uint32_t* out, const std::uint32_t* pixels, int count, const NativeDisplay& display);

}  // namespace Kit::AreaStretchRows
