#include "framework/graphics/kernels/OverRows.h"

#include "framework/graphics/kernels/PixelBlend.h"
#include "framework/graphics/kernels/SimdLevel.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::OverRows {
namespace {

void Surface888Scalar(std::uint32_t* d, const std::uint32_t* s, int from, int count) {
  for (int i = from; i < count; ++i) {
    const std::uint32_t a = s[i] >> 24;
    if (a == 0) continue;
    const std::uint32_t rest = 256 - a;
    const std::uint32_t dv = d[i];
    d[i] = ((((dv & 0xFF0000) * rest) >> 8) & 0xFF0000) + ((((dv & 0xFF00) * rest) >> 8) & 0xFF00) +
           ((((dv & 0xFF) * rest) >> 8) & 0xFF) + s[i];
  }
}

template <std::uint32_t kRed, std::uint32_t kGreen, std::uint32_t kBlue>
void Surface16Scalar(std::uint16_t* d, const std::uint32_t* s, int from, int count) {
  for (int i = from; i < count; ++i) {
    const std::uint32_t a = s[i] >> 24;
    if (a == 0) continue;
    const std::uint32_t rest = 256 - a;
    const std::uint32_t dv = d[i];
    d[i] = static_cast<std::uint16_t>(((((dv & kRed) * rest) >> 8) & kRed) + ((((dv & kGreen) * rest) >> 8) & kGreen) +
                                      ((((dv & kBlue) * rest) >> 8) & kBlue) + s[i]);
  }
}
constexpr auto Surface565Scalar = Surface16Scalar<0xF800, 0x07E0, 0x001F>;
constexpr auto Surface555Scalar = Surface16Scalar<0x7C00, 0x03E0, 0x001F>;

void OverPixelsScalar(std::uint32_t* row, const std::uint32_t* src, int from, int count) {
  for (int i = from; i < count; ++i)
    if (const std::uint32_t a = src[i] >> 24; a > 0) row[i] = PixelBlend::Over(row[i], src[i], a);
}

void OntoOpaqueScalar(std::uint32_t* row, const std::uint32_t* src, int from, int count) {
  for (int i = from; i < count; ++i) {
    const std::uint32_t a = src[i] >> 24;
    if (a == 255)
      row[i] = src[i];
    else if (a != 0)
      row[i] = PixelBlend::OntoOpaque(row[i], src[i], a);
  }
}

}  // namespace

#define KIT_SIMD_BODY "framework/graphics/kernels/OverRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

// Each kernel runs its widest width first, then the narrower one on what is left, then the scalar
// formula on the last few pixels.

void OntoSurface888(std::uint32_t* d, const std::uint32_t* s, int count) {
  int i = 0;
  KIT_RUN_AVX2(OntoSurface888(d, s, i, count));
  KIT_RUN_SSE2(OntoSurface888(d, s, i, count));
  Surface888Scalar(d, s, i, count);
}

void OntoSurface565(std::uint16_t* d, const std::uint32_t* s, int count) {
  int i = 0;
  KIT_RUN_AVX2(OntoSurface565(d, s, i, count));
  KIT_RUN_SSE2(OntoSurface565(d, s, i, count));
  Surface565Scalar(d, s, i, count);
}

void OntoSurface555(std::uint16_t* d, const std::uint32_t* s, int count) {
  int i = 0;
  KIT_RUN_AVX2(OntoSurface555(d, s, i, count));
  KIT_RUN_SSE2(OntoSurface555(d, s, i, count));
  Surface555Scalar(d, s, i, count);
}

// A rectangle at the widest level there is, row by row (see EachRow), or by the scalar formula.
template <typename Pixel>
void ScalarRows(const Rows<Pixel>& rows, void (*row)(Pixel*, const std::uint32_t*, int, int)) {
  for (int j = 0; j < rows.height; ++j) row(rows.Dest(j), rows.Source(j), rows.FirstDrawn(j), rows.width);
}
#if KIT_HAVE_AVX2_KERNELS
#define KIT_RUN_ROWS_AVX2(Pixel, kernel, scalar) \
  if (Simd::UseAvx2()) return Avx2::EachRow<Pixel, Avx2::kernel, scalar>(rows)
#else
#define KIT_RUN_ROWS_AVX2(Pixel, kernel, scalar)
#endif
#if defined(__SSE2__)
#define KIT_RUN_ROWS_SSE2(Pixel, kernel, scalar) \
  if (Simd::UseSse2()) return Sse2::EachRow<Pixel, Sse2::kernel, scalar>(rows)
#else
#define KIT_RUN_ROWS_SSE2(Pixel, kernel, scalar)
#endif

void OntoSurface888(const Rows<std::uint32_t>& rows) {
  KIT_RUN_ROWS_AVX2(std::uint32_t, Surface888, Surface888Scalar);
  KIT_RUN_ROWS_SSE2(std::uint32_t, Surface888, Surface888Scalar);
  ScalarRows(rows, Surface888Scalar);
}

void OntoSurface565(const Rows<std::uint16_t>& rows) {
  KIT_RUN_ROWS_AVX2(std::uint16_t, Surface565, Surface565Scalar);
  KIT_RUN_ROWS_SSE2(std::uint16_t, Surface565, Surface565Scalar);
  ScalarRows(rows, Surface565Scalar);
}

void OntoSurface555(const Rows<std::uint16_t>& rows) {
  KIT_RUN_ROWS_AVX2(std::uint16_t, Surface555, Surface555Scalar);
  KIT_RUN_ROWS_SSE2(std::uint16_t, Surface555, Surface555Scalar);
  ScalarRows(rows, Surface555Scalar);
}

void OntoOpaque(const Rows<std::uint32_t>& rows) {
  KIT_RUN_ROWS_AVX2(std::uint32_t, OntoOpaqueRow, OntoOpaqueScalar);
  KIT_RUN_ROWS_SSE2(std::uint32_t, OntoOpaqueRow, OntoOpaqueScalar);
  ScalarRows(rows, OntoOpaqueScalar);
}

void OverPixels(std::uint32_t* row, const std::uint32_t* src, int count) {
  int i = 0;
  KIT_RUN_AVX2(OverPixels(row, src, i, count));
  KIT_RUN_SSE2(OverPixels(row, src, i, count));
  OverPixelsScalar(row, src, i, count);
}

void OntoOpaque(std::uint32_t* row, const std::uint32_t* src, int count) {
  int i = 0;
  KIT_RUN_AVX2(OntoOpaque(row, src, i, count));
  KIT_RUN_SSE2(OntoOpaque(row, src, i, count));
  OntoOpaqueScalar(row, src, i, count);
}

}  // namespace Kit::OverRows
