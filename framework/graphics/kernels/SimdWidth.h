// The names one vector width gives a kernel body that is written once for both widths and included
// after this header, inside a namespace of its own: set KIT_SIMD_WIDTH to 128 (SSE2) or 256 (AVX2).
//   KIT_V        the vector of integers
//   KIT_OP(x)    the intrinsic _mm_x / _mm256_x
//   KIT_SI(x)    the whole-register intrinsic _mm_x_si128 / _mm256_x_si256
//   KIT_ATTR     what every function of the body is marked with
// AVX2's operations work within each 128-bit half, as SSE2's do on the whole register, so a body that
// unpacks and packs in pairs keeps its pixels in order at either width. (No include guard: the header
// is included once before each body, and may stand inside a namespace: the including file brings in
// <immintrin.h> and SimdLevel.h first.)

#undef KIT_V
#undef KIT_OP
#undef KIT_SI
#undef KIT_ATTR
#if KIT_SIMD_WIDTH == 128
#define KIT_V __m128i
#define KIT_OP(x) _mm_##x
#define KIT_SI(x) _mm_##x##_si128
#define KIT_ATTR
#elif KIT_SIMD_WIDTH == 256
#define KIT_V __m256i
#define KIT_OP(x) _mm256_##x
#define KIT_SI(x) _mm256_##x##_si256
#define KIT_ATTR KIT_TARGET_AVX2
#else
#error "KIT_SIMD_WIDTH must be 128 or 256"
#endif
