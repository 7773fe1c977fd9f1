#include "framework/graphics/PixelRows.h"

#include "framework/graphics/AdditiveTable.h"
#include "framework/graphics/PixelBlend.h"
#include "framework/graphics/SimdLevel.h"

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

}  // namespace

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

void OverConstant(std::uint32_t* row, int count, std::uint32_t color, std::uint32_t sa) {
  int i = 0;
#if defined(__SSE2__)
  // Over an opaque pixel the weight is sa itself: (src x sa >> 8) + (dst x (256 - sa) >> 8).
  const __m128i zero = _mm_setzero_si128();
  const __m128i srcPart =
      _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(color & 0xFFFFFF)), zero),
                                     _mm_set1_epi16(static_cast<short>(sa))),
                     8);
  const __m128i keep = _mm_set1_epi16(static_cast<short>(256 - sa));
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; i + 4 <= count; i += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphaMask), alphaMask)) != 0xFFFF) {
      for (int k = 0; k < 4; ++k) row[i + k] = PixelBlend::Over(row[i + k], color, sa);
      continue;
    }
    const __m128i lo = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), keep), 8), srcPart);
    const __m128i hi = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), keep), 8), srcPart);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_or_si128(_mm_packus_epi16(lo, hi), alphaMask));
  }
#endif
  for (; i < count; ++i) row[i] = PixelBlend::Over(row[i], color, sa);
}

#define KIT_SIMD_BODY "framework/graphics/PixelRowsBody.inl"
#include "framework/graphics/SimdBodies.h"

void AddSaturated(std::uint32_t* row, const std::uint32_t* src, int count, bool colored, std::uint32_t pr,
                  std::uint32_t pg, std::uint32_t pb, bool scaleByAlpha) {
  int i = 0;
  KIT_RUN_AVX2(AddSaturated(row, src, i, count, colored, pr, pg, pb, scaleByAlpha));
  KIT_RUN_SSE2(AddSaturated(row, src, i, count, colored, pr, pg, pb, scaleByAlpha));
  for (; i < count; ++i) row[i] = AddOne(row[i], src[i], colored, pr, pg, pb, scaleByAlpha);
}

}  // namespace Kit::PixelRows
