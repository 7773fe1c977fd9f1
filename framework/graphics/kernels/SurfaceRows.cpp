#include "framework/graphics/kernels/SurfaceRows.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
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

std::uint16_t Add565(std::uint32_t d, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  const std::uint32_t red = std::min<std::uint32_t>(((d >> 11) & 31) + r, 31);
  const std::uint32_t green = std::min<std::uint32_t>(((d >> 5) & 63) + g, 63);
  const std::uint32_t blue = std::min<std::uint32_t>((d & 31) + b, 31);
  return static_cast<std::uint16_t>(red << 11 | green << 5 | blue);
}

#if defined(__SSE2__)
// Eight native words' low 16 bits as eight 16-bit lanes.
__m128i Low16(const std::uint32_t* s) {
  const __m128i a = _mm_srai_epi32(_mm_slli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), 16), 16);
  const __m128i b = _mm_srai_epi32(_mm_slli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4)), 16), 16);
  return _mm_packs_epi32(a, b);
}

// Fields given at the top of their lanes (red as is, green << 5, blue << 11) are added with unsigned
// saturation, which saturates exactly at each field's maximum, and put back together.
__m128i AddFields565(__m128i d, __m128i red, __m128i green, __m128i blue) {
  const __m128i r = _mm_and_si128(_mm_adds_epu16(_mm_and_si128(d, _mm_set1_epi16(static_cast<short>(0xF800))), red),
                                  _mm_set1_epi16(static_cast<short>(0xF800)));
  const __m128i g =
      _mm_srli_epi16(_mm_adds_epu16(_mm_slli_epi16(_mm_and_si128(d, _mm_set1_epi16(0x07E0)), 5), green), 10);
  const __m128i b = _mm_srli_epi16(_mm_adds_epu16(_mm_slli_epi16(d, 11), blue), 11);
  return _mm_or_si128(r, _mm_or_si128(_mm_slli_epi16(g, 5), b));
}

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

// The row bodies, inlined into the one-row and the block entries.
inline void Saturated565Row(std::uint16_t* d, const std::uint32_t* s, int count) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= count; i += 8) {
    const __m128i sv = Low16(s + i);
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i red = _mm_and_si128(sv, _mm_set1_epi16(static_cast<short>(0xF800)));
    const __m128i green = _mm_slli_epi16(_mm_and_si128(sv, _mm_set1_epi16(0x07E0)), 5);
    const __m128i blue = _mm_slli_epi16(sv, 11);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), AddFields565(dv, red, green, blue));
  }
#endif
  for (; i < count; ++i) d[i] = Add565(d[i], (s[i] >> 11) & 31, (s[i] >> 5) & 63, s[i] & 31);
}

inline void Scaled565Row(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                         std::uint32_t cb) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i fr = _mm_set1_epi16(static_cast<short>(cr)), fg = _mm_set1_epi16(static_cast<short>(cg)),
                fb = _mm_set1_epi16(static_cast<short>(cb));
  for (; i + 8 <= count; i += 8) {
    const __m128i sv = Low16(s + i);
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i red = _mm_slli_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(sv, 11), fr), 8), 11);
    const __m128i green = _mm_slli_epi16(
        _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(sv, 5), _mm_set1_epi16(63)), fg), 8), 10);
    const __m128i blue =
        _mm_slli_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(sv, _mm_set1_epi16(31)), fb), 8), 11);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), AddFields565(dv, red, green, blue));
  }
#endif
  for (; i < count; ++i)
    d[i] = Add565(d[i], (((s[i] >> 11) & 31) * cr) >> 8, (((s[i] >> 5) & 63) * cg) >> 8, ((s[i] & 31) * cb) >> 8);
}

}  // namespace

void AddSaturated565(std::uint16_t* d, const std::uint32_t* s, int count) { Saturated565Row(d, s, count); }

void AddScaled565(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                  std::uint32_t cb) {
  Scaled565Row(d, s, count, cr, cg, cb);
}

void AddSaturated565Block(std::uint16_t* d, std::ptrdiff_t dStride, const std::uint32_t* s, std::ptrdiff_t sStride,
                          int width, int height) {
  for (int j = 0; j < height; ++j, d += dStride, s += sStride) Saturated565Row(d, s, width);
}

void AddScaled565Block(std::uint16_t* d, std::ptrdiff_t dStride, const std::uint32_t* s, std::ptrdiff_t sStride,
                       int width, int height, std::uint32_t cr, std::uint32_t cg, std::uint32_t cb) {
  for (int j = 0; j < height; ++j, d += dStride, s += sStride) Scaled565Row(d, s, width, cr, cg, cb);
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
