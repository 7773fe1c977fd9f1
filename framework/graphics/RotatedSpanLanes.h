// Four samples of a rotated row in SSE2 lanes, shared by the surface and memory-image rows: their
// 2 x 2 source neighbourhoods gathered into registers, and the fractions their weights come from.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

namespace Kit::RotatedLanes {

// The 16.16 positions start, start + step, ... of four samples, in 32-bit lanes.
inline __m128i Positions(std::int64_t start, std::int64_t step) {
  return _mm_setr_epi32(static_cast<int>(start), static_cast<int>(start + step), static_cast<int>(start + 2 * step),
                        static_cast<int>(start + 3 * step));
}

// Neighbour t (top-left, top-right, bottom-left, bottom-right) of the four samples at (us, vs) in
// src[t], from pixels in rows of stride starting at origin. Positions and stride must be positive and
// below 32768 pixels: the row offset is a 16 x 16 product.
inline void Neighbours(const std::uint32_t* origin, int stride, __m128i us, __m128i vs, __m128i (&src)[4]) {
  alignas(16) std::int32_t index[4];
  _mm_store_si128(
      reinterpret_cast<__m128i*>(index),
      _mm_add_epi32(_mm_madd_epi16(_mm_srli_epi32(vs, 16), _mm_set1_epi32(stride)), _mm_srli_epi32(us, 16)));
  __m128i top[4], bottom[4];
  for (int j = 0; j < 4; ++j) {
    top[j] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(origin + index[j]));
    bottom[j] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(origin + index[j] + stride));
  }
  const auto split = [](const __m128i(&pairs)[4], __m128i& left, __m128i& right) {
    const __m128 a = _mm_castsi128_ps(_mm_unpacklo_epi64(pairs[0], pairs[1]));
    const __m128 b = _mm_castsi128_ps(_mm_unpacklo_epi64(pairs[2], pairs[3]));
    left = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    right = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
  };
  split(top, src[0], src[1]);
  split(bottom, src[2], src[3]);
}

// Whether all sixteen neighbours are transparent.
inline bool AllTransparent(const __m128i (&src)[4]) {
  const __m128i alpha = _mm_and_si128(_mm_or_si128(_mm_or_si128(src[0], src[1]), _mm_or_si128(src[2], src[3])),
                                      _mm_set1_epi32(static_cast<int>(0xFF000000u)));
  return _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF;
}

// A sample's fraction f = (p & 0xFFFE) + 1 (1..65535) and g = 65536 - f, in 32-bit lanes, so that
// products of two of them are 16 x 16 ones.
inline void Fractions(__m128i positions, __m128i& f, __m128i& g) {
  f = _mm_add_epi32(_mm_and_si128(positions, _mm_set1_epi32(0xFFFE)), _mm_set1_epi32(1));
  g = _mm_sub_epi32(_mm_set1_epi32(65536), f);
}

}  // namespace Kit::RotatedLanes

#endif
