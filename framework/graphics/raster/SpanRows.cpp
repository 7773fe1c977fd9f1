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

#if KIT_HAVE_AVX2_KERNELS
// Inside the texture every coordinate, and eight steps of one, fit 32 bits.
KIT_TARGET_AVX2 int GatherAvx2(std::uint32_t* out, int count, std::int64_t u, std::int64_t du, std::int64_t v,
                               std::int64_t dv, const std::uint32_t* texels, int width) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  __m256i us = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(u)),
                                _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(du))));
  __m256i vs = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(v)),
                                _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(dv))));
  const __m256i uStep = _mm256_set1_epi32(static_cast<int>(du * 8)),
                vStep = _mm256_set1_epi32(static_cast<int>(dv * 8));
  const __m256i rowWidth = _mm256_set1_epi32(width);
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i index =
        _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(vs, 16), rowWidth), _mm256_srli_epi32(us, 16));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(texels), index, 4));
    us = _mm256_add_epi32(us, uStep);
    vs = _mm256_add_epi32(vs, vStep);
  }
  return i;
}
#endif

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

int GatherTexels(std::uint32_t* out, int count, std::int64_t u, std::int64_t du, std::int64_t v, std::int64_t dv,
                 const std::uint32_t* texels, int width) {
#if KIT_HAVE_AVX2_KERNELS
  if (::Kit::Simd::UseAvx2()) return GatherAvx2(out, count, u, du, v, dv, texels, width);
#endif
  return 0;
}

}  // namespace Kit::SpanRows
