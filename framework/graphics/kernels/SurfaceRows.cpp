#include "framework/graphics/kernels/SurfaceRows.h"

#include <algorithm>

#include "framework/graphics/kernels/SimdLevel.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::SurfaceRows {
namespace {

std::uint32_t AddOne(std::uint32_t d, std::uint32_t s) {
  const std::uint32_t r = std::min<std::uint32_t>(((d >> 16) & 0xFF) + ((s >> 16) & 0xFF), 255);
  const std::uint32_t g = std::min<std::uint32_t>(((d >> 8) & 0xFF) + ((s >> 8) & 0xFF), 255);
  const std::uint32_t b = std::min<std::uint32_t>((d & 0xFF) + (s & 0xFF), 255);
  return r << 16 | g << 8 | b;
}

std::uint32_t Scale(std::uint32_t s, std::uint32_t cr, std::uint32_t cg, std::uint32_t cb) {
  return ((((s >> 16) & 0xFF) * cr) >> 8) << 16 | ((((s >> 8) & 0xFF) * cg) >> 8) << 8 | (((s & 0xFF) * cb) >> 8);
}

// A 16-bit pixel (5-6-5 with kGreen6, else 5-5-5) with r, g, b added to its fields, each saturating.
template <bool kGreen6>
[[gnu::always_inline]] inline std::uint16_t Add16(std::uint32_t d, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  constexpr int kRedShift = kGreen6 ? 11 : 10;
  constexpr std::uint32_t kGreenMax = kGreen6 ? 63 : 31;
  const std::uint32_t red = std::min<std::uint32_t>(((d >> kRedShift) & 31) + r, 31);
  const std::uint32_t green = std::min<std::uint32_t>(((d >> 5) & kGreenMax) + g, kGreenMax);
  const std::uint32_t blue = std::min<std::uint32_t>((d & 31) + b, 31);
  return static_cast<std::uint16_t>(red << kRedShift | green << 5 | blue);
}

// The formulas one pixel at a time from pixel `from` (the vector bodies' tails and the scalar level).
template <bool kGreen6>
void AddSaturated16Scalar(std::uint16_t* d, const std::uint32_t* s, int from, int count, std::uint32_t skip) {
  constexpr int kRedShift = kGreen6 ? 11 : 10;
  constexpr std::uint32_t kGreenMax = kGreen6 ? 63 : 31;
  for (int i = from; i < count; ++i)
    if (skip == 0 || (s[i] & skip) != 0)
      d[i] = Add16<kGreen6>(d[i], (s[i] >> kRedShift) & 31, (s[i] >> 5) & kGreenMax, s[i] & 31);
}

template <bool kGreen6>
void AddScaled16Scalar(std::uint16_t* d, const std::uint32_t* s, int from, int count, std::uint32_t cr,
                       std::uint32_t cg, std::uint32_t cb, std::uint32_t skip) {
  constexpr int kRedShift = kGreen6 ? 11 : 10;
  constexpr std::uint32_t kGreenMax = kGreen6 ? 63 : 31;
  for (int i = from; i < count; ++i)
    if (skip == 0 || (s[i] & skip) != 0)
      d[i] = Add16<kGreen6>(d[i], (((s[i] >> kRedShift) & 31) * cr) >> 8, (((s[i] >> 5) & kGreenMax) * cg) >> 8,
                            ((s[i] & 31) * cb) >> 8);
}

#if defined(__SSE2__)
// Four pixels at a time: each becomes sum(original, words), except where the word's bits under skip
// are all 0 (skip 0: none is left). Returns where it stopped.
template <bool kSkip, typename Sum>
int EachFourOf(std::uint32_t* d, const std::uint32_t* s, int count, std::uint32_t skip, Sum sum) {
  const __m128i skipBits = _mm_set1_epi32(static_cast<int>(skip));
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i original = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i out = sum(original, words);
    if (kSkip) {
      const __m128i keep = _mm_cmpeq_epi32(_mm_and_si128(words, skipBits), _mm_setzero_si128());
      out = _mm_or_si128(_mm_and_si128(keep, original), _mm_andnot_si128(keep, out));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
  }
  return i;
}
template <typename Sum>
int EachFour(std::uint32_t* d, const std::uint32_t* s, int count, std::uint32_t skip, Sum sum) {
  return skip != 0 ? EachFourOf<true>(d, s, count, skip, sum) : EachFourOf<false>(d, s, count, skip, sum);
}
#endif

#define KIT_SIMD_BODY "framework/graphics/kernels/SurfaceRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

// The 16-bit rows run their widest width first, then the narrower one on what is left, then the
// formula on the last few pixels; inlined into the one-row and the block entries.
template <bool kGreen6>
inline void Saturated16Row(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t skip) {
  int i = 0;
  KIT_RUN_AVX2(AddSaturated16<kGreen6>(d, s, i, count, skip));
  KIT_RUN_SSE2(AddSaturated16<kGreen6>(d, s, i, count, skip));
  AddSaturated16Scalar<kGreen6>(d, s, i, count, skip);
}

template <bool kGreen6>
inline void Scaled16Row(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                        std::uint32_t cb, std::uint32_t skip) {
  int i = 0;
  KIT_RUN_AVX2(AddScaled16<kGreen6>(d, s, i, count, cr, cg, cb, skip));
  KIT_RUN_SSE2(AddScaled16<kGreen6>(d, s, i, count, cr, cg, cb, skip));
  AddScaled16Scalar<kGreen6>(d, s, i, count, cr, cg, cb, skip);
}

}  // namespace

void AddSaturated565(std::uint16_t* d, const std::uint32_t* s, int count) { Saturated16Row<true>(d, s, count, 0); }

void AddScaled565(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                  std::uint32_t cb) {
  Scaled16Row<true>(d, s, count, cr, cg, cb, 0);
}

void AddSaturated555(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t skip) {
  Saturated16Row<false>(d, s, count, skip);
}

void AddScaled555(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                  std::uint32_t cb, std::uint32_t skip) {
  Scaled16Row<false>(d, s, count, cr, cg, cb, skip);
}

void AddSaturated565Block(std::uint16_t* d, std::ptrdiff_t dStride, const std::uint32_t* s, std::ptrdiff_t sStride,
                          int width, int height) {
  for (int j = 0; j < height; ++j, d += dStride, s += sStride) Saturated16Row<true>(d, s, width, 0);
}

void AddScaled565Block(std::uint16_t* d, std::ptrdiff_t dStride, const std::uint32_t* s, std::ptrdiff_t sStride,
                       int width, int height, std::uint32_t cr, std::uint32_t cg, std::uint32_t cb) {
  for (int j = 0; j < height; ++j, d += dStride, s += sStride) Scaled16Row<true>(d, s, width, cr, cg, cb, 0);
}

void AddSaturated888(std::uint32_t* d, const std::uint32_t* s, int count, std::uint32_t skip) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  i = EachFour(d, s, count, skip, [&](__m128i original, __m128i words) {
    return _mm_adds_epu8(_mm_and_si128(original, colour), _mm_and_si128(words, colour));
  });
#endif
  for (; i < count; ++i)
    if (skip == 0 || (s[i] & skip) != 0) d[i] = AddOne(d[i], s[i]);
}

void AddScaled888(std::uint32_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                  std::uint32_t cb, std::uint32_t skip) {
  int i = 0;
#if defined(__SSE2__)
  // Per 16-bit lane, in the byte order of two pixels: blue, green, red, (unused).
  const __m128i factors = _mm_setr_epi16(static_cast<short>(cb), static_cast<short>(cg), static_cast<short>(cr), 0,
                                         static_cast<short>(cb), static_cast<short>(cg), static_cast<short>(cr), 0);
  const __m128i zero = _mm_setzero_si128();
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  i = EachFour(d, s, count, skip, [&](__m128i original, __m128i words) {
    const __m128i low = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(words, zero), factors), 8);
    const __m128i high = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(words, zero), factors), 8);
    return _mm_adds_epu8(_mm_and_si128(original, colour), _mm_packus_epi16(low, high));
  });
#endif
  for (; i < count; ++i)
    if (skip == 0 || (s[i] & skip) != 0) d[i] = AddOne(d[i], Scale(s[i], cr, cg, cb));
}

}  // namespace Kit::SurfaceRows
