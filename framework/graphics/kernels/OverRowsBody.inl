// The vector body of OverRows at one width (see SimdWidth.h). Each function works from pixel `from`
// while a whole register of pixels is left and returns where it stopped.
//
// The blends need no shuffles: a field of d times w, >> 8, is the high half of a 16-bit product
// with w << 8 when the field sits in the low byte of its 16-bit lane (red, blue), and the low half's
// top byte, or the high half of the field placed in the top byte, for green.

#include "framework/graphics/kernels/SimdCommon.inl"

// Each pixel's alpha a as a << 8 in both 16-bit lanes of its word.
KIT_ATTR inline KIT_V AlphaHigh(KIT_V s) {
#if KIT_SIMD_WIDTH == 256
  const KIT_V top = _mm256_setr_epi8(-1, 3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, 3, -1, 3, -1, 7,
                                     -1, 7, -1, 11, -1, 11, -1, 15, -1, 15);
  return _mm256_shuffle_epi8(s, top);
#else
  const KIT_V top = _mm_and_si128(s, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
  return _mm_or_si128(top, _mm_srli_epi32(top, 16));
#endif
}

// The first n lanes of a register of 32-bit (16-bit) lanes set.
KIT_ATTR inline KIT_V FirstLanes32(int n) {
#if KIT_SIMD_WIDTH == 256
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
#else
  return _mm_cmpgt_epi32(_mm_set1_epi32(n), _mm_setr_epi32(0, 1, 2, 3));
#endif
}
KIT_ATTR inline KIT_V FirstLanes16(int n) {
#if KIT_SIMD_WIDTH == 256
  return _mm256_cmpgt_epi16(_mm256_set1_epi16(static_cast<short>(n)),
                            _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
#else
  return _mm_cmpgt_epi16(_mm_set1_epi16(static_cast<short>(n)), _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7));
#endif
}

// Whether every word's alpha is 0, or 255 (AVX2 tests the alpha bits at once).
KIT_ATTR inline bool AllClear(KIT_V s) {
  const KIT_V alphaBits = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
#if KIT_SIMD_WIDTH == 256
  return _mm256_testz_si256(s, alphaBits);
#else
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alphaBits), _mm_setzero_si128())) == 0xFFFF;
#endif
}
KIT_ATTR inline bool AllOpaque(KIT_V s) {
  const KIT_V alphaBits = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
#if KIT_SIMD_WIDTH == 256
  return _mm256_testc_si256(s, alphaBits);
#else
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alphaBits), alphaBits)) == 0xFFFF;
#endif
}

// Each kernel below draws one register of pixels at d from the words at s (At); with kKeep the
// lanes set in keep are left as they are.

struct Surface888 {
  template <bool kKeep>
  KIT_ATTR static void At(std::uint32_t* d, const std::uint32_t* s, KIT_V keep) {
    const KIT_V zero = KIT_SI(setzero)();
    const KIT_V redBlue = KIT_OP(set1_epi32)(0x00FF00FF), green = KIT_OP(set1_epi32)(0x0000FF00);
    // A kept lane reads as a word of alpha 0, which leaves its pixel.
    const KIT_V sv = kKeep ? KIT_SI(andnot)(keep, Load(s)) : Load(s);
    if (AllClear(sv)) return;
    // Alpha 255 leaves nothing of the destination (its fields x 1 >> 8 are 0): the words are stored.
    if (AllOpaque(sv)) {
      Store(d, sv);
      return;
    }
    const KIT_V alpha = AlphaHigh(sv);
    const KIT_V clear = KIT_OP(cmpeq_epi32)(alpha, zero);
    const KIT_V original = Load(d);
    // (256 - a) << 8 in 16 bits; it wraps to 0 for alpha 0, whose pixels are kept below.
    const KIT_V rest = KIT_OP(sub_epi16)(zero, alpha);
    const KIT_V rb = KIT_OP(mulhi_epu16)(KIT_SI(and)(original, redBlue), rest);
    const KIT_V g = KIT_SI(and)(KIT_OP(mulhi_epu16)(KIT_SI(and)(original, green), rest), green);
    const KIT_V out = KIT_OP(add_epi32)(KIT_SI(or)(rb, g), sv);
    Store(d, KIT_OP(movemask_epi8)(clear) == 0 ? out : Select(clear, original, out));
  }
};

// Two registers of words onto one register of 16-bit pixels whose fields are kRed, kGreen and kBlue
// (5-6-5 or 5-5-5): a field x 1 >> 8 is 0 in either, so alpha 255 stores the word there too.
template <std::uint16_t kRed, std::uint16_t kGreen, std::uint16_t kBlue>
struct Surface16 {
  template <bool kKeep>
  KIT_ATTR static void At(std::uint16_t* d, const std::uint32_t* s, KIT_V keep) {
    const KIT_V zero = KIT_SI(setzero)();
    const KIT_V red = KIT_OP(set1_epi16)(static_cast<short>(kRed)), green = KIT_OP(set1_epi16)(kGreen),
                blue = KIT_OP(set1_epi16)(kBlue);
    const KIT_V alphaBits = KIT_OP(set1_epi16)(static_cast<short>(0xFF00));
#if KIT_SIMD_WIDTH == 256
    // Per 128-bit half, each word's low 16 bits in the low 8 bytes and its alpha << 8 in the high 8:
    // joined, the halves hold pixels 0-3, 8-11, 4-7, 12-15, put in order by one permute each.
    const KIT_V split = _mm256_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, -1, 3, -1, 7, -1, 11, -1, 15, 0, 1, 4, 5, 8, 9, 12,
                                         13, -1, 3, -1, 7, -1, 11, -1, 15);
    const KIT_V first = _mm256_shuffle_epi8(Load(s), split), second = _mm256_shuffle_epi8(Load(s + kLanes), split);
    const KIT_V words = _mm256_permute4x64_epi64(_mm256_unpacklo_epi64(first, second), 0xD8);
    const KIT_V alpha = _mm256_permute4x64_epi64(_mm256_unpackhi_epi64(first, second), 0xD8);
#else
    // Bits 16 to 31 of each word (exact through the signed pack), alpha << 8 once masked.
    const KIT_V alpha = KIT_SI(and)(
        KIT_OP(packs_epi32)(KIT_OP(srai_epi32)(Load(s), 16), KIT_OP(srai_epi32)(Load(s + kLanes), 16)), alphaBits);
    const KIT_V words = Low16(s);
#endif
    const KIT_V clear = kKeep ? KIT_SI(or)(KIT_OP(cmpeq_epi16)(alpha, zero), keep) : KIT_OP(cmpeq_epi16)(alpha, zero);
    const int clearBits = KIT_OP(movemask_epi8)(clear);
    if (clearBits == kAllLanes) return;
    if (clearBits == 0 && KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi16)(alpha, alphaBits)) == kAllLanes) {
      Store(d, words);
      return;
    }
    const KIT_V dv = Load(d);
    // (256 - a) << 8 in 16 bits, 0 for alpha 0 (kept below); each field x rest >> 8 is a high half.
    const KIT_V rest = KIT_OP(sub_epi16)(zero, alpha);
    const KIT_V r = KIT_SI(and)(KIT_OP(mulhi_epu16)(KIT_SI(and)(dv, red), rest), red);
    const KIT_V g = KIT_SI(and)(KIT_OP(mulhi_epu16)(KIT_SI(and)(dv, green), rest), green);
    const KIT_V b = KIT_OP(mulhi_epu16)(KIT_SI(and)(dv, blue), rest);
    const KIT_V out = KIT_OP(add_epi16)(KIT_SI(or)(r, KIT_SI(or)(g, b)), words);
    Store(d, clearBits == 0 ? out : Select(clear, dv, out));
  }
};
using Surface565 = Surface16<0xF800, 0x07E0, 0x001F>;
using Surface555 = Surface16<0x7C00, 0x03E0, 0x001F>;

// Each pixel's alpha in both 16-bit lanes of its word.
KIT_ATTR inline KIT_V Alpha2x16(KIT_V s) {
#if KIT_SIMD_WIDTH == 256
  const KIT_V top = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, 3, -1, 3, -1, 7, -1, 7,
                                     -1, 11, -1, 11, -1, 15, -1, 15, -1);
  return _mm256_shuffle_epi8(s, top);
#else
  const KIT_V a = _mm_srli_epi32(s, 24);
  return _mm_or_si128(a, _mm_slli_epi32(a, 16));
#endif
}

// Source pixels blended over opaque destination pixels with the source weight w (0..256, in both
// 16-bit lanes of each pixel): per field (s x w >> 8) + (d x (256 - w) >> 8), alpha 255.
KIT_ATTR inline KIT_V BlendOverOpaque(KIT_V d, KIT_V s, KIT_V w) {
  const KIT_V redBlue = KIT_OP(set1_epi32)(0x00FF00FF), green = KIT_OP(set1_epi32)(0x0000FF00);
  const KIT_V rest = KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(256), w);
  const KIT_V rb = KIT_OP(add_epi16)(KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_SI(and)(s, redBlue), w), 8),
                                     KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_SI(and)(d, redBlue), rest), 8));
  const KIT_V g = KIT_OP(add_epi16)(KIT_OP(mulhi_epu16)(KIT_SI(and)(s, green), w),
                                    KIT_OP(mulhi_epu16)(KIT_SI(and)(d, green), rest));
  return KIT_SI(or)(KIT_SI(or)(rb, KIT_OP(slli_epi16)(g, 8)), KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u)));
}

// Alpha 255 is given the weight 256, which stores the source pixel.
struct OntoOpaqueRow {
  template <bool kKeep>
  KIT_ATTR static void At(std::uint32_t* row, const std::uint32_t* src, KIT_V keep) {
    const KIT_V s = kKeep ? KIT_SI(andnot)(keep, Load(src)) : Load(src);
    if (AllClear(s)) return;
    if (AllOpaque(s)) {
      Store(row, s);
      return;
    }
    const KIT_V alpha = Alpha2x16(s);
    const KIT_V clear = KIT_OP(cmpeq_epi32)(alpha, KIT_SI(setzero)());
    const KIT_V opaque = KIT_OP(cmpeq_epi16)(alpha, KIT_OP(set1_epi16)(255));
    const KIT_V d = Load(row);
    const KIT_V out = BlendOverOpaque(d, s, KIT_OP(sub_epi16)(alpha, opaque));
    Store(row, KIT_OP(movemask_epi8)(clear) == 0 ? out : Select(clear, d, out));
  }
};

// A row kernel from a register kernel: works from pixel `from` while a whole register is left and
// returns where it stopped.
template <typename Pixel, typename Kernel>
KIT_ATTR inline int EachRegister(Pixel* d, const std::uint32_t* s, int from, int count) {
  constexpr int kBlock = sizeof(Pixel) == 2 ? 2 * kLanes : kLanes;
  const KIT_V none = KIT_SI(setzero)();
  int i = from;
  for (; i + kBlock <= count; i += kBlock) Kernel::template At<false>(d + i, s + i, none);
  return i;
}

KIT_ATTR inline int OntoSurface888(std::uint32_t* d, const std::uint32_t* s, int from, int count) {
  return EachRegister<std::uint32_t, Surface888>(d, s, from, count);
}
KIT_ATTR inline int OntoSurface565(std::uint16_t* d, const std::uint32_t* s, int from, int count) {
  return EachRegister<std::uint16_t, Surface565>(d, s, from, count);
}
KIT_ATTR inline int OntoSurface555(std::uint16_t* d, const std::uint32_t* s, int from, int count) {
  return EachRegister<std::uint16_t, Surface555>(d, s, from, count);
}
KIT_ATTR inline int OntoOpaque(std::uint32_t* row, const std::uint32_t* src, int from, int count) {
  return EachRegister<std::uint32_t, OntoOpaqueRow>(row, src, from, count);
}

// Over opaque pixels the over-blend's weight is the source alpha itself; a register with any other
// destination pixel takes the scalar formula.
KIT_ATTR inline int OverPixels(std::uint32_t* row, const std::uint32_t* src, int from, int count) {
  const KIT_V alphaMask = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V d = Load(row + i);
    const KIT_V s = Load(src + i);
    if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(KIT_SI(and)(d, alphaMask), alphaMask)) != kAllLanes) {
      OverPixelsScalar(row, src, i, i + kLanes);
      continue;
    }
    // Alpha 0 weighs nothing, which leaves the opaque pixel as it is.
    Store(row + i, BlendOverOpaque(d, s, Alpha2x16(s)));
  }
  return i;
}

// Every row of a rectangle from its first drawn pixel. The pixels left over (fewer than a register)
// are the last register of the row again, with the lanes already drawn kept; rows narrower than a
// register take the scalar formula.
template <typename Pixel, typename Kernel, void (*kScalar)(Pixel*, const std::uint32_t*, int, int)>
KIT_ATTR inline void EachRow(const Rows<Pixel>& rows) {
  constexpr int kBlock = sizeof(Pixel) == 2 ? 2 * kLanes : kLanes;
  for (int j = 0; j < rows.height; ++j) {
    Pixel* d = rows.Dest(j);
    const std::uint32_t* s = rows.Source(j);
    const int from = rows.FirstDrawn(j);
    if (rows.width < kBlock) {
      kScalar(d, s, from, rows.width);
      continue;
    }
    const int i = EachRegister<Pixel, Kernel>(d, s, from, rows.width);
    if (i == rows.width) continue;
    const int last = rows.width - kBlock;
    Kernel::template At<true>(d + last, s + last, sizeof(Pixel) == 2 ? FirstLanes16(i - last) : FirstLanes32(i - last));
  }
}
