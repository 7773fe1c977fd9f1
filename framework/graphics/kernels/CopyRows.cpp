#include "framework/graphics/kernels/CopyRows.h"

#include "framework/graphics/kernels/SimdLevel.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::CopyRows {

#define KIT_SIMD_BODY "framework/graphics/kernels/CopyRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

// Each kernel runs its widest width first, then the narrower one on what is left, then the plain
// loop on the last few pixels.

void StoreLow16(std::uint16_t* d, const std::uint32_t* s, int count) {
  int i = 0;
  KIT_RUN_AVX2(StoreLow16(d, s, i, count));
  KIT_RUN_SSE2(StoreLow16(d, s, i, count));
  for (; i < count; ++i) d[i] = static_cast<std::uint16_t>(s[i]);
}

void StoreKeyed32(std::uint32_t* d, const std::uint32_t* s, int count) {
  int i = 0;
  KIT_RUN_AVX2(StoreKeyed32(d, s, i, count));
  KIT_RUN_SSE2(StoreKeyed32(d, s, i, count));
  for (; i < count; ++i)
    if ((s[i] >> 24) != 0) d[i] = s[i];
}

void StoreKeyed16(std::uint16_t* d, const std::uint32_t* s, int count) {
  int i = 0;
  KIT_RUN_AVX2(StoreKeyed16(d, s, i, count));
  KIT_RUN_SSE2(StoreKeyed16(d, s, i, count));
  for (; i < count; ++i)
    if ((s[i] >> 24) != 0) d[i] = static_cast<std::uint16_t>(s[i]);
}

void Reverse(std::uint32_t* d, const std::uint32_t* s, int count) {
  int i = 0;
  KIT_RUN_AVX2(Reverse(d, s, i, count));
  KIT_RUN_SSE2(Reverse(d, s, i, count));
  for (; i < count; ++i) d[i] = s[count - 1 - i];
}

}  // namespace Kit::CopyRows
