#include "framework/graphics/kernels/TintRows.h"

#include "framework/graphics/kernels/PixelBlend.h"
#include "framework/graphics/kernels/SimdLevel.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::TintRows {
namespace {

// ((d x ia + s x c) >> 8) AND 0xFF of the field at shift.
std::uint32_t Field(std::uint32_t d, std::uint32_t s, int shift, std::uint32_t c, std::uint32_t ia) {
  return (((((d >> shift) & 0xFF) * ia + ((s >> shift) & 0xFF) * c) >> 8) & 0xFF) << shift;
}

void SurfaceScalar(std::uint32_t* d, const std::uint32_t* s, int from, int count, const Tint& t, Mode mode) {
  for (int i = from; i < count; ++i) {
    const std::uint32_t a = s[i] >> 24, weight = a * t.a / 255;
    if (mode == Mode::kBlit ? a == 0 : weight == 0) continue;
    const std::uint32_t ia = mode == Mode::kBlit && a == 255 && t.a == 255 ? 0 : 256 - weight;
    d[i] = Field(d[i], s[i], 16, t.r, ia) | Field(d[i], s[i], 8, t.g, ia) | Field(d[i], s[i], 0, t.b, ia);
  }
}

// The field at shift (of largest value max) of the 16-bit formula.
std::uint32_t Field16(std::uint32_t d, std::uint32_t s, int shift, std::uint32_t max, std::uint32_t c,
                      std::uint32_t ia) {
  return ((((d >> shift) & max) * ia + ((s >> shift) & max) * c) >> 8 & max) << shift;
}

template <bool kGreen6>
void Surface16Scalar(std::uint16_t* d, const std::uint32_t* s, int from, int count, const Tint& t, Mode mode) {
  constexpr int kRedShift = kGreen6 ? 11 : 10;
  constexpr std::uint32_t kGreenMax = kGreen6 ? 63 : 31;
  for (int i = from; i < count; ++i) {
    const std::uint32_t a = s[i] >> 24, weight = a * t.a / 255;
    if (mode == Mode::kBlit ? a == 0 : weight == 0) continue;
    const std::uint32_t ia = mode == Mode::kBlit && a == 255 && t.a == 255 ? 0 : 256 - weight;
    d[i] = static_cast<std::uint16_t>(Field16(d[i], s[i], kRedShift, 31, t.r, ia) |
                                      Field16(d[i], s[i], 5, kGreenMax, t.g, ia) | Field16(d[i], s[i], 0, 31, t.b, ia));
  }
}

void OverScalar(std::uint32_t* row, const std::uint32_t* src, int from, int count, const Tint& t) {
  for (int i = from; i < count; ++i)
    if (const std::uint32_t sa = PixelBlend::Div255((src[i] >> 24) * t.a); sa > 0)
      row[i] = PixelBlend::OverColored(row[i], src[i], sa, t.r, t.g, t.b);
}

}  // namespace

#define KIT_SIMD_BODY "framework/graphics/kernels/TintRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

void OntoSurface888(std::uint32_t* d, const std::uint32_t* s, int count, const Tint& tint, Mode mode) {
  int i = 0;
  KIT_RUN_AVX2(OntoSurface888(d, s, i, count, tint, mode));
  KIT_RUN_SSE2(OntoSurface888(d, s, i, count, tint, mode));
  SurfaceScalar(d, s, i, count, tint, mode);
}

void OntoSurface565(std::uint16_t* d, const std::uint32_t* s, int count, const Tint& tint, Mode mode) {
  int i = 0;
  KIT_RUN_AVX2(OntoSurface16<true>(d, s, i, count, tint, mode));
  KIT_RUN_SSE2(OntoSurface16<true>(d, s, i, count, tint, mode));
  Surface16Scalar<true>(d, s, i, count, tint, mode);
}

void OntoSurface555(std::uint16_t* d, const std::uint32_t* s, int count, const Tint& tint, Mode mode) {
  int i = 0;
  KIT_RUN_AVX2(OntoSurface16<false>(d, s, i, count, tint, mode));
  KIT_RUN_SSE2(OntoSurface16<false>(d, s, i, count, tint, mode));
  Surface16Scalar<false>(d, s, i, count, tint, mode);
}

void OverColored(std::uint32_t* row, const std::uint32_t* src, int count, const Tint& tint) {
  int i = 0;
  KIT_RUN_AVX2(OverColored(row, src, i, count, tint));
  KIT_RUN_SSE2(OverColored(row, src, i, count, tint));
  OverScalar(row, src, i, count, tint);
}

}  // namespace Kit::TintRows
