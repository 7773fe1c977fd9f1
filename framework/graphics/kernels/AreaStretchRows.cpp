#include "framework/graphics/kernels/AreaStretchRows.h"

#include "framework/graphics/kernels/SimdLevel.h"

#include <algorithm>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace Kit::AreaStretchRows {
namespace {

void MixScalar(std::uint32_t* out, const float* top, const float* bottom, float topWeight, float bottomWeight, int from,
               int count) {
  for (int i = from; i < count; ++i) {
    std::uint32_t pixel = 0;
    for (int c = 0; c < 4; ++c) {
      float v = 0.0f + top[4 * i + c] * topWeight;
      if (bottom) v += bottom[4 * i + c] * bottomWeight;
      pixel |= static_cast<std::uint32_t>(std::min(static_cast<int>(v) >> 16, 255)) << (8 * c);
    }
    out[i] = pixel;
  }
}

}  // namespace

#if defined(__SSE2__)
namespace Sse2 {

inline __m128i Channels(const float* top, const float* bottom, __m128 topWeight, __m128 bottomWeight) {
  __m128 v = _mm_add_ps(_mm_setzero_ps(), _mm_mul_ps(_mm_loadu_ps(top), topWeight));
  if (bottom) v = _mm_add_ps(v, _mm_mul_ps(_mm_loadu_ps(bottom), bottomWeight));
  return _mm_srli_epi32(_mm_cvttps_epi32(v), 16);
}

int Mix(std::uint32_t* out, const float* top, const float* bottom, float topWeight, float bottomWeight, int from,
        int count) {
  const __m128 tw = _mm_set1_ps(topWeight), bw = _mm_set1_ps(bottomWeight);
  int i = from;
  for (; i + 4 <= count; i += 4) {
    const float* t = top + 4 * i;
    const float* b = bottom ? bottom + 4 * i : nullptr;
    const __m128i p0 = Channels(t, b, tw, bw), p1 = Channels(t + 4, b ? b + 4 : b, tw, bw);
    const __m128i p2 = Channels(t + 8, b ? b + 8 : b, tw, bw), p3 = Channels(t + 12, b ? b + 12 : b, tw, bw);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3)));
  }
  return i;
}

}  // namespace Sse2
#endif

#if KIT_HAVE_AVX2_KERNELS
namespace Avx2 {

// Two pixels' channels per register.
KIT_TARGET_AVX2 inline __m256i Channels(const float* top, const float* bottom, __m256 topWeight, __m256 bottomWeight) {
  __m256 v = _mm256_add_ps(_mm256_setzero_ps(), _mm256_mul_ps(_mm256_loadu_ps(top), topWeight));
  if (bottom) v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_loadu_ps(bottom), bottomWeight));
  return _mm256_srli_epi32(_mm256_cvttps_epi32(v), 16);
}

KIT_TARGET_AVX2 int Mix(std::uint32_t* out, const float* top, const float* bottom, float topWeight, float bottomWeight,
                        int from, int count) {
  const __m256 tw = _mm256_set1_ps(topWeight), bw = _mm256_set1_ps(bottomWeight);
  // The packs work within each half: pixels 0, 2, 4, 6 land in the low half and 1, 3, 5, 7 in the
  // high one, and the last step puts them in order.
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  int i = from;
  for (; i + 8 <= count; i += 8) {
    const float* t = top + 4 * i;
    const float* b = bottom ? bottom + 4 * i : nullptr;
    const __m256i p01 = Channels(t, b, tw, bw), p23 = Channels(t + 8, b ? b + 8 : b, tw, bw);
    const __m256i p45 = Channels(t + 16, b ? b + 16 : b, tw, bw), p67 = Channels(t + 24, b ? b + 24 : b, tw, bw);
    const __m256i packed = _mm256_packus_epi16(_mm256_packs_epi32(p01, p23), _mm256_packs_epi32(p45, p67));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_permutevar8x32_epi32(packed, order));
  }
  return i;
}

}  // namespace Avx2
#endif

void Mix(std::uint32_t* out, const float* top, const float* bottom, float topWeight, float bottomWeight, int count) {
  int i = 0;
  KIT_RUN_AVX2(Mix(out, top, bottom, topWeight, bottomWeight, i, count));
  KIT_RUN_SSE2(Mix(out, top, bottom, topWeight, bottomWeight, i, count));
  MixScalar(out, top, bottom, topWeight, bottomWeight, i, count);
}

}  // namespace Kit::AreaStretchRows
