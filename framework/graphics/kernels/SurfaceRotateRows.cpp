#include "framework/graphics/kernels/SurfaceRotateRows.h"

#include "framework/graphics/kernels/SimdLevel.h"

#include <cstddef>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::SurfaceRotateRows {

namespace {

#define KIT_SIMD_BODY "framework/graphics/kernels/SurfaceAxisRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

}  // namespace

int OneTap888(std::uint32_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  int i = 0;
  KIT_RUN_AVX2(OneTap888From(d, s, i, count, mode));
  KIT_RUN_SSE2(OneTap888From(d, s, i, count, mode));
  return i;
}

int FourTap888(std::uint32_t* d, const std::uint32_t* row, const std::uint32_t* next, int count,
               const std::uint32_t (&k)[4], const RowMode& mode) {
  int i = 0;
  KIT_RUN_AVX2(FourTap888From(d, row, next, i, count, k, mode));
  KIT_RUN_SSE2(FourTap888From(d, row, next, i, count, k, mode));
  return i;
}

// 16 pixels a block at AVX2, then 8 a block, then the last few copied into a block of their own
// (transparent past the row's end).
template <bool kGreen6>
int OneTap16Row(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  int i = 0;
  KIT_RUN_AVX2(OneTap16From<kGreen6>(d, s, i, count, mode));
  KIT_RUN_SSE2(OneTap16From<kGreen6>(d, s, i, count, mode));
#if defined(__SSE2__)
  const int rest = count - i;
  if (rest > 0 && Simd::UseSse2()) {
    std::uint16_t out[8] = {};
    std::uint32_t in[8] = {};
    for (int j = 0; j < rest; ++j) {
      out[j] = d[i + j];
      in[j] = s[i + j];
    }
    Sse2::OneTap16<kGreen6>(out, in, 8, mode);
    for (int j = 0; j < rest; ++j) d[i + j] = out[j];
    i = count;
  }
#endif
  return i;
}

int OneTap565(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  return OneTap16Row<true>(d, s, count, mode);
}

int OneTap555(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  return OneTap16Row<false>(d, s, count, mode);
}

}  // namespace Kit::SurfaceRotateRows
