#include "framework/graphics/kernels/SurfaceRotateRows.h"

#include "framework/graphics/kernels/SimdLevel.h"

#include <cstddef>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::SurfaceRotateRows {

#if defined(__SSE2__)
namespace {

#define KIT_SIMD_BODY "framework/graphics/kernels/SurfaceAxisRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

}  // namespace

int OneTap888(std::uint32_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2()) return Avx2::OneTap888(d, s, count, mode);
#endif
  return Simd::UseSse2() ? Sse2::OneTap888(d, s, count, mode) : 0;
}

int FourTap888(std::uint32_t* d, const std::uint32_t* row, const std::uint32_t* next, int count,
               const std::uint32_t (&k)[4], const RowMode& mode) {
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2()) return Avx2::FourTap888(d, row, next, count, k, mode);
#endif
  return Simd::UseSse2() ? Sse2::FourTap888(d, row, next, count, k, mode) : 0;
}

// 16 pixels a block at AVX2, then 8 a block, then the last few copied into a block of their own
// (transparent past the row's end).
template <bool kGreen6>
int OneTap16Row(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  int i = 0;
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2()) i = Avx2::OneTap16<kGreen6>(d, s, count, mode);
#endif
  if (!Simd::UseSse2()) return i;
  i += Sse2::OneTap16<kGreen6>(d + i, s + i, count - i, mode);
  const int rest = count - i;
  if (rest > 0) {
    std::uint16_t out[8] = {};
    std::uint32_t in[8] = {};
    for (int j = 0; j < rest; ++j) {
      out[j] = d[i + j];
      in[j] = s[i + j];
    }
    Sse2::OneTap16<kGreen6>(out, in, 8, mode);
    for (int j = 0; j < rest; ++j) d[i + j] = out[j];
  }
  return count;
}

int OneTap565(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  return OneTap16Row<true>(d, s, count, mode);
}

int OneTap555(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  return OneTap16Row<false>(d, s, count, mode);
}

#else

int OneTap888(std::uint32_t*, const std::uint32_t*, int, const RowMode&) { return 0; }
int OneTap565(std::uint16_t*, const std::uint32_t*, int, const RowMode&) { return 0; }
int OneTap555(std::uint16_t*, const std::uint32_t*, int, const RowMode&) { return 0; }
int FourTap888(std::uint32_t*, const std::uint32_t*, const std::uint32_t*, int, const std::uint32_t (&)[4],
               const RowMode&) {
  return 0;
}
#endif

}  // namespace Kit::SurfaceRotateRows
