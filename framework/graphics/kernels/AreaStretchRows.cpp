#include "framework/graphics/kernels/AreaStretchRows.h"

#include "framework/graphics/NativePixel.h"
#include "framework/graphics/kernels/PixelBlend.h"
#include "framework/graphics/kernels/SimdLevel.h"

#include <algorithm>
#include <array>

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

void NativeWordsScalar(std::uint32_t* out, const std::uint32_t* pixels, int from, int count,
                       const NativeDisplay& display) {
  for (int i = from; i < count; ++i) {
    const std::uint32_t a = pixels[i] >> 24;
    out[i] = a == 0 ? 0 : ToNativePixel(PixelBlend::Over(0, pixels[i], a), display);
  }
}

// A field of whole bits, as its mask says, that the vector body can cut and place: it ends by bit 15,
// and its 2^bits and 2^shift are 16-bit factors, the second a positive one (5-6-5 and 5-5-5 among them).
bool FieldInLow16(int mask, int bits, int shift) {
  return bits <= 15 && shift <= 14 && shift + bits <= 16 &&
         static_cast<std::uint32_t>(mask) == ((1u << bits) - 1) << shift;
}

}  // namespace

#define KIT_SIMD_BODY "framework/graphics/kernels/AreaStretchRowsBody.inl"
#include "framework/graphics/kernels/SimdBodies.h"

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

// The vector bodies draw the fields of 0x00RRGGBB, and any whose fields lie in the low 16 bits (5-6-5,
// 5-5-5); other layouts take the scalar formula.
void NativeWords(std::uint32_t* out, const std::uint32_t* pixels, int count, const NativeDisplay& display) {
  int i = 0;
  const NativeDisplay& d = display;
  if (d.mRedMask == 0xFF0000 && d.mGreenMask == 0xFF00 && d.mBlueMask == 0xFF) {
    KIT_RUN_AVX2(NativeWords888(out, pixels, i, count));
    KIT_RUN_SSE2(NativeWords888(out, pixels, i, count));
  } else if (FieldInLow16(d.mRedMask, d.mRedBits, d.mRedShift) &&
             FieldInLow16(d.mGreenMask, d.mGreenBits, d.mGreenShift) &&
             FieldInLow16(d.mBlueMask, d.mBlueBits, d.mBlueShift)) {
    auto perPixel = [](short b, short g, short r) { return std::array<short, 4>{b, g, r, 0}; };
    const auto widths = perPixel(static_cast<short>(1 << d.mBlueBits), static_cast<short>(1 << d.mGreenBits),
                                 static_cast<short>(1 << d.mRedBits));
    const auto places = perPixel(static_cast<short>(1 << d.mBlueShift), static_cast<short>(1 << d.mGreenShift),
                                 static_cast<short>(1 << d.mRedShift));
#if KIT_HAVE_AVX2_KERNELS
    if (Simd::UseAvx2()) i = Avx2::NativeWordsLow16(out, pixels, i, count, widths, places);
#endif
#if defined(__SSE2__)
    if (Simd::UseSse2()) i = Sse2::NativeWordsLow16(out, pixels, i, count, widths, places);
#endif
  }
  NativeWordsScalar(out, pixels, i, count, display);
}

}  // namespace Kit::AreaStretchRows
