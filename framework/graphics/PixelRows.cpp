#include "framework/graphics/PixelRows.h"

#include "framework/graphics/AdditiveTable.h"
#include "framework/graphics/PixelBlend.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
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

#if defined(__SSE2__)
// Each pixel's alpha in all four of its 16-bit lanes (two pixels per register).
inline __m128i BroadcastAlpha(__m128i pixels16) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels16, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}
#endif

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

void AddSaturated(std::uint32_t* row, const std::uint32_t* src, int count, bool colored, std::uint32_t pr,
                  std::uint32_t pg, std::uint32_t pb, bool scaleByAlpha) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  // The alpha lane's factor 0 keeps the destination's alpha.
  const __m128i factor = colored
                             ? _mm_set_epi16(0, static_cast<short>(pr), static_cast<short>(pg), static_cast<short>(pb),
                                             0, static_cast<short>(pr), static_cast<short>(pg), static_cast<short>(pb))
                             : _mm_set_epi16(0, 256, 256, 256, 0, 256, 256, 256);
  auto scale = [&](__m128i s16) {
    __m128i out = _mm_srli_epi16(_mm_mullo_epi16(s16, factor), 8);
    if (scaleByAlpha) out = _mm_srli_epi16(_mm_mullo_epi16(out, BroadcastAlpha(s16)), 8);
    return out;
  };
  for (; i + 4 <= count; i += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i added = _mm_packus_epi16(scale(_mm_unpacklo_epi8(s, zero)), scale(_mm_unpackhi_epi8(s, zero)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_adds_epu8(d, added));
  }
#endif
  for (; i < count; ++i) row[i] = AddOne(row[i], src[i], colored, pr, pg, pb, scaleByAlpha);
}

}  // namespace Kit::PixelRows
