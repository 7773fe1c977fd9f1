// The vector body of AreaStretchRows' native words at one width (see SimdWidth.h). Each function works
// from pixel `from` while a whole register of pixels is left and returns where it stopped.
//
// A pixel's channels sit in the 16-bit lanes b, g, r, a. Over a transparent pixel each colour channel c
// becomes c x 255 >> 8, and the native word's field is that times a + 1 (below 2^16), shifted down to
// the field's width.

#include "framework/graphics/kernels/SimdCommon.inl"

// Four 16-bit values repeated for every pixel of a register.
KIT_ATTR inline KIT_V Broadcast4(const std::array<short, 4>& v) {
  return KIT_OP(set1_epi64x)(static_cast<long long>(static_cast<std::uint16_t>(v[0])) |
                             static_cast<long long>(static_cast<std::uint16_t>(v[1])) << 16 |
                             static_cast<long long>(static_cast<std::uint16_t>(v[2])) << 32 |
                             static_cast<long long>(static_cast<std::uint16_t>(v[3])) << 48);
}

// The premultiplied 16-bit colour lanes of the pixels in `lanes` (its alpha lanes left undefined).
KIT_ATTR inline KIT_V PremultipliedLanes(KIT_V lanes) {
  const KIT_V f = KIT_OP(add_epi16)(SpreadAlpha16(lanes), KIT_OP(set1_epi16)(1));
  const KIT_V over = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(lanes, KIT_OP(set1_epi16)(255)), 8);
  return KIT_OP(mullo_epi16)(over, f);
}

// Words of alpha 0 made 0, the others kept.
KIT_ATTR inline KIT_V ClearTransparent(KIT_V words, KIT_V pixels) {
  const KIT_V alphaBits = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  const KIT_V clear = KIT_OP(cmpeq_epi32)(KIT_SI(and)(pixels, alphaBits), KIT_SI(setzero)());
  return KIT_SI(andnot)(clear, words);
}

// Onto fields that are the bytes of 0x00RRGGBB: each byte the premultiplied channel >> 8, alpha on top.
KIT_ATTR inline int NativeWords888(std::uint32_t* out, const std::uint32_t* pixels, int from, int count) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V alphaLane = KIT_OP(set1_epi64x)(static_cast<long long>(0xFFFF000000000000ull));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V p = Load(pixels + i);
    const KIT_V lo = KIT_OP(unpacklo_epi8)(p, zero), hi = KIT_OP(unpackhi_epi8)(p, zero);
    const KIT_V wordsLo = Select(alphaLane, lo, KIT_OP(srli_epi16)(PremultipliedLanes(lo), 8));
    const KIT_V wordsHi = Select(alphaLane, hi, KIT_OP(srli_epi16)(PremultipliedLanes(hi), 8));
    Store(out + i, ClearTransparent(KIT_OP(packus_epi16)(wordsLo, wordsHi), p));
  }
  return i;
}

// Onto fields in the low 16 bits: each premultiplied channel cut to its width (the high half of its product
// with 2^bits, fieldWidths per lane b, g, r, a) and moved to its place (times 2^shift, fieldPlaces, in
// paired sums), the pixel's alpha on top.
KIT_ATTR inline int NativeWordsLow16(std::uint32_t* out, const std::uint32_t* pixels, int from, int count,
                                       const std::array<short, 4>& fieldWidths,
                                       const std::array<short, 4>& fieldPlaces) {
  const KIT_V widths = Broadcast4(fieldWidths), places = Broadcast4(fieldPlaces);
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V alphaBits = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V p = Load(pixels + i);
    // Blue + green and red + 0 as 32-bit sums, for two pixels from each half.
    const KIT_V lo = KIT_OP(madd_epi16)(
        KIT_OP(mulhi_epu16)(PremultipliedLanes(KIT_OP(unpacklo_epi8)(p, zero)), widths), places);
    const KIT_V hi = KIT_OP(madd_epi16)(
        KIT_OP(mulhi_epu16)(PremultipliedLanes(KIT_OP(unpackhi_epi8)(p, zero)), widths), places);
#if KIT_SIMD_WIDTH == 256
    const __m256 loF = _mm256_castsi256_ps(lo), hiF = _mm256_castsi256_ps(hi);
    const KIT_V first = _mm256_castps_si256(_mm256_shuffle_ps(loF, hiF, 0x88));
    const KIT_V second = _mm256_castps_si256(_mm256_shuffle_ps(loF, hiF, 0xDD));
#else
    const __m128 loF = _mm_castsi128_ps(lo), hiF = _mm_castsi128_ps(hi);
    const KIT_V first = _mm_castps_si128(_mm_shuffle_ps(loF, hiF, 0x88));
    const KIT_V second = _mm_castps_si128(_mm_shuffle_ps(loF, hiF, 0xDD));
#endif
    const KIT_V words = KIT_SI(or)(KIT_OP(add_epi32)(first, second), KIT_SI(and)(p, alphaBits));
    Store(out + i, ClearTransparent(words, p));
  }
  return i;
}

