// Compiles the kernel body named by KIT_SIMD_BODY (a file written once for both widths, see
// SimdWidth.h) twice: as namespace Sse2 and, where the compiler can target it, as namespace Avx2. The
// including file brings in <immintrin.h> and SimdLevel.h first; no include guard, as each kernel file
// includes it once for its own body.
#if defined(__SSE2__)
#define KIT_SIMD_WIDTH 128
#include "framework/graphics/kernels/SimdWidth.h"
namespace Sse2 {
#include KIT_SIMD_BODY
}  // namespace Sse2
#undef KIT_SIMD_WIDTH
#endif
#if KIT_HAVE_AVX2_KERNELS
#define KIT_SIMD_WIDTH 256
#include "framework/graphics/kernels/SimdWidth.h"
namespace Avx2 {
#include KIT_SIMD_BODY
}  // namespace Avx2
#undef KIT_SIMD_WIDTH
#endif
#undef KIT_SIMD_BODY
