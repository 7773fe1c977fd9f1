#include "framework/graphics/kernels/PixelRows.h"

#include "framework/graphics/kernels/AdditiveTable.h"
#include "framework/graphics/kernels/PixelBlend.h"
#include "framework/graphics/kernels/SimdLevel.h"

#include <algorithm>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::PixelRows {
namespace {

std::uint32_t AddOne(std::uint32_t d, std::uint32_t s, bool colored, std::uint32_t pr, std::uint32_t pg,
                     std::uint32_t pb, bool scaleByAlpha) {
  const AdditiveTable& add = GetAdditiveTable();
  std::uint32_t r = (s >> 16) & 0xFF, g = (s >> 8) & 0xFF, b = s & 0xFF;
  if (colored) {
    r = (r * pr) >> 8;
    g = (g * pg) >> 8;
    b = (b * pb) >> 8;
  }
  if (scaleByAlpha) {
    const std::uint32_t a = s >> 24;
    r = (r * a) >> 8;
    g = (g * a) >> 8;
    b = (b * a) >> 8;
  }
  return (d & 0xFF000000u) | (std::uint32_t{add[((d >> 16) & 0xFF) + r]} << 16) |
         (std::uint32_t{add[((d >> 8) & 0xFF) + g]} << 8) | add[(d & 0xFF) + b];
}

#if KIT_HAVE_AVX2_KERNELS
KIT_TARGET_AVX2 int LookUpAvx2(std::uint32_t* out, const std::uint32_t* table, const std::uint8_t* indices, int count) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i at = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(indices + i)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), at, 4));
  }
  return i;
}
#endif

}  // namespace

void LookUp(std::uint32_t* out, const std::uint32_t* table, const std::uint8_t* indices, int count) {
  int i = 0;
#if KIT_HAVE_AVX2_KERNELS
  if (Simd::UseAvx2()) i = LookUpAvx2(out, table, indices, count);
#endif
  for (; i < count; ++i) out[i] = table[indices[i]];
}

void Copy(std::uint32_t* row, const std::uint32_t* src, int count) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= count; i += 4)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
#endif
  for (; i < count; ++i) row[i] = src[i];
}

void Fill(std::uint32_t* row, int count, std::uint32_t value) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i v = _mm_set1_epi32(static_cast<int>(value));
  for (; i + 16 <= count; i += 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i + 4), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i + 8), v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i + 12), v);
  }
  for (; i + 4 <= count; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), v);
#endif
  for (; i < count; ++i) row[i] = value;
}

#define KIT_SIMD_BODY "framework/graphics/kernels/PixelRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

void OverConstant(std::uint32_t* row, int count, std::uint32_t color, std::uint32_t sa) {
  int i = 0;
  KIT_RUN_AVX2(OverConstant(row, i, count, color, sa));
  KIT_RUN_SSE2(OverConstant(row, i, count, color, sa));
  for (; i < count; ++i) row[i] = PixelBlend::Over(row[i], color, sa);
}

void AddSaturated(std::uint32_t* row, const std::uint32_t* src, int count, bool colored, std::uint32_t pr,
                  std::uint32_t pg, std::uint32_t pb, bool scaleByAlpha) {
  int i = 0;
  KIT_RUN_AVX2(AddSaturated(row, src, i, count, colored, pr, pg, pb, scaleByAlpha));
  KIT_RUN_SSE2(AddSaturated(row, src, i, count, colored, pr, pg, pb, scaleByAlpha));
  for (; i < count; ++i) row[i] = AddOne(row[i], src[i], colored, pr, pg, pb, scaleByAlpha);
}

}  // namespace Kit::PixelRows
