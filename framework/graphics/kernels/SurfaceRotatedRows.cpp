// The rotated rows of SurfaceRotateRows: samples gathered a register at a time (SurfaceRotatedRowsBody.inl).
#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/kernels/SurfaceRotateRows.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::SurfaceRotateRows {
namespace {

// The field layout of a 16-bit surface, per 16-bit lane of a pixel (blue, green, red).
struct Fields16 {
  std::uint16_t apart[3];     // a pixel copied into each lane times this keeps its field at the lane's top
  std::uint16_t down[3];      // then its high half times this is the field; so is a weighted sum's
  std::uint16_t tintDown[3];  // red and green (x w (c + 1)) >> 16 times this is the field
  std::uint16_t place[3];     // the fields times this, pairwise summed, make the pixel
  std::uint16_t mask;         // the bits of the pixel the formula keeps
  std::uint16_t max[3];       // each field's largest value
};

constexpr Fields16 kFields565{{2048, 32, 1}, {32, 64, 32}, {0, 16384, 8192}, {1, 32, 2048}, 0xFFFF, {31, 63, 31}};
constexpr Fields16 kFields555{{2048, 64, 2}, {32, 32, 32}, {0, 8192, 8192}, {1, 32, 1024}, 0x7FFF, {31, 31, 31}};

#define KIT_SIMD_BODY "framework/graphics/kernels/SurfaceRotatedRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

template <typename Pixel>
int Row(Pixel* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v, std::int32_t du,
        std::int32_t dv, int count, const RowMode& mode, const Fields16* f) {
  int i = 0;
  KIT_RUN_AVX2(Rotated(d, origin, stride, u, v, du, dv, i, count, mode, f));
  KIT_RUN_SSE2(Rotated(d, origin, stride, u, v, du, dv, i, count, mode, f));
  return i;
}

}  // namespace

int Rotated888(std::uint32_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const RowMode& mode) {
  return Row(d, origin, stride, u, v, du, dv, count, mode, nullptr);
}

int Rotated565(std::uint16_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const RowMode& mode) {
  return Row(d, origin, stride, u, v, du, dv, count, mode, &kFields565);
}

int Rotated555(std::uint16_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const RowMode& mode) {
  return Row(d, origin, stride, u, v, du, dv, count, mode, &kFields555);
}

}  // namespace Kit::SurfaceRotateRows
