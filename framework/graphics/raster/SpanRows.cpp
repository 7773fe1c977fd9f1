#include "framework/graphics/raster/SpanRows.h"

#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/raster/SpanPixels.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::SpanRows {
namespace {

void ModulateScalar(std::uint32_t* pixels, int from, int count, const Color& c) {
  for (int i = from; i < count; ++i) pixels[i] = SpanPixels::Modulate(pixels[i], c.a, c.r, c.g, c.b);
}

void OntoOpaqueScalar(std::uint32_t* row, const std::uint32_t* src, int from, int count) {
  for (int i = from; i < count; ++i)
    if (const std::uint32_t sa = src[i] >> 24; sa != 0) row[i] = SpanPixels::OntoOpaque(row[i], src[i], sa);
}

void OverKeepingAlphaScalar(std::uint32_t* row, const std::uint32_t* src, int from, int count) {
  for (int i = from; i < count; ++i) row[i] = SpanPixels::OverKeepingAlpha(row[i], src[i]);
}

}  // namespace

#define KIT_SIMD_BODY "framework/graphics/raster/SpanRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

void Modulate(std::uint32_t* pixels, int count, const Color& color) {
  int i = 0;
  KIT_RUN_AVX2(Modulate(pixels, i, count, color));
  KIT_RUN_SSE2(Modulate(pixels, i, count, color));
  ModulateScalar(pixels, i, count, color);
}

void OntoOpaque(std::uint32_t* row, const std::uint32_t* src, int count) {
  int i = 0;
  KIT_RUN_AVX2(OntoOpaque(row, src, i, count));
  KIT_RUN_SSE2(OntoOpaque(row, src, i, count));
  OntoOpaqueScalar(row, src, i, count);
}

void OverKeepingAlpha(std::uint32_t* row, const std::uint32_t* src, int count) {
  int i = 0;
  KIT_RUN_AVX2(OverKeepingAlpha(row, src, i, count));
  KIT_RUN_SSE2(OverKeepingAlpha(row, src, i, count));
  OverKeepingAlphaScalar(row, src, i, count);
}

}  // namespace Kit::SpanRows
