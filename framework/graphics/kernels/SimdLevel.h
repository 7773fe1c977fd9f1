// The drawing kernels' view of the processor's vector level (chosen once, in the platform layer, for
// every row kernel of the program), and the macros that run a kernel body at the widest level allowed.
#pragma once

#include "platform/cpu/SimdLevel.h"

namespace Kit {
namespace Simd = ::plat::simd;
}  // namespace Kit

// Inside a kernel wrapper with `int i` (the first pixel not yet done): runs the named function of
// the Avx2 or Sse2 body, which returns where it stopped, when the level allows it.
#if KIT_HAVE_AVX2_KERNELS
#define KIT_RUN_AVX2(call) \
  if (::Kit::Simd::UseAvx2()) i = Avx2::call
#else
#define KIT_RUN_AVX2(call)
#endif
#if defined(__SSE2__)
#define KIT_RUN_SSE2(call) \
  if (::Kit::Simd::UseSse2()) i = Sse2::call
#else
#define KIT_RUN_SSE2(call)
#endif
