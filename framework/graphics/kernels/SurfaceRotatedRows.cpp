// The rotated rows of SurfaceRotateRows: samples gathered a register at a time (SurfaceRotatedRowsBody.inl).
#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/kernels/SurfaceRotateRows.h"

#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::SurfaceRotateRows {
namespace {

// The field layout of a 16-bit surface: blue in bits 0-4, green above it, red at the top.
struct Fields16 {
  int redShift;   // where red starts
  int greenBits;  // green's width
};

constexpr Fields16 kFields565{11, 6};
constexpr Fields16 kFields555{10, 5};

#define KIT_SIMD_BODY "framework/graphics/kernels/SurfaceRotatedRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

template <typename Pixel, const Fields16* kFields>
int Row(Pixel* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v, std::int32_t du,
        std::int32_t dv, int count, const RowMode& mode) {
  // (Written out: the macros that run a body take no template arguments' commas.)
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2()) return Avx2::Rotated<Pixel, kFields>(d, origin, stride, u, v, du, dv, 0, count, mode);
#endif
#if defined(__SSE2__)
  if (Simd::UseSse2()) return Sse2::Rotated<Pixel, kFields>(d, origin, stride, u, v, du, dv, 0, count, mode);
#endif
  return 0;
}

}  // namespace

int Rotated888(std::uint32_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const RowMode& mode) {
  return Row<std::uint32_t, nullptr>(d, origin, stride, u, v, du, dv, count, mode);
}

int Rotated565(std::uint16_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const RowMode& mode) {
  return Row<std::uint16_t, &kFields565>(d, origin, stride, u, v, du, dv, count, mode);
}

int Rotated555(std::uint16_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const RowMode& mode) {
  return Row<std::uint16_t, &kFields555>(d, origin, stride, u, v, du, dv, count, mode);
}

}  // namespace Kit::SurfaceRotateRows
