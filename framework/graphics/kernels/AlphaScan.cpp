#include "framework/graphics/kernels/AlphaScan.h"

#include "framework/graphics/kernels/SimdLevel.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::AlphaScan {

#define KIT_SIMD_BODY "framework/graphics/kernels/AlphaScanBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

Classes Scan(const std::uint32_t* pixels, std::size_t count) {
  Classes found;
  std::size_t i = 0;
  KIT_RUN_AVX2(Scan(pixels, i, count, found));
  KIT_RUN_SSE2(Scan(pixels, i, count, found));
  for (; i < count && !(found.transparent && found.partial); ++i) {
    const std::uint32_t alpha = pixels[i] >> 24;
    if (alpha == 0)
      found.transparent = true;
    else if (alpha != 255)
      found.partial = true;
  }
  return found;
}

}  // namespace Kit::AlphaScan
