// The vector body of UnrotatedRows at one width (see SimdWidth.h). Each function draws whole rows of
// at least one block (a register of destination pixels): the row's last block, which may overlap the
// one before it, is worked out from the destination as it was before the row is drawn and stored
// last, so every pixel gets its value from its original destination.

#include "framework/graphics/kernels/SimdCommon.inl"

// Whether every bit of mask is clear (set) in v: one test at AVX2.
KIT_ATTR inline bool NoneOf(KIT_V v, KIT_V mask) {
#if KIT_SIMD_WIDTH == 256
  return _mm256_testz_si256(v, mask);
#else
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(v, mask), _mm_setzero_si128())) == 0xFFFF;
#endif
}
KIT_ATTR inline bool AllOf(KIT_V v, KIT_V mask) {
#if KIT_SIMD_WIDTH == 256
  return _mm256_testc_si256(v, mask);
#else
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(v, mask), mask)) == 0xFFFF;
#endif
}

// The constants of the 8-8-8 blocks, made once a draw (the compiler would remake some in the loop).
struct Masks888 {
  KIT_V top, fields, redBlue, green, full, weight;
};
KIT_ATTR inline Masks888 MakeMasks888() {
#if KIT_SIMD_WIDTH == 256
  // Each word's top byte into the low byte of both its 16-bit lanes.
  const KIT_V weight = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, 3, -1, 3, -1, 7, -1,
                                        7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
#else
  const KIT_V weight = _mm_setzero_si128();  // unused: SSE2 shifts instead
#endif
  return {KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u)),
          KIT_OP(set1_epi32)(0x00FFFFFF),
          KIT_OP(set1_epi32)(static_cast<int>(0xFF00FF00u)),
          KIT_OP(set1_epi32)(0x0000FF00),
          KIT_OP(set1_epi16)(256),
          weight};
}

// Each word's top byte in both 16-bit lanes of its word.
KIT_ATTR inline KIT_V TopBytes16(KIT_V v, const Masks888& m) {
#if KIT_SIMD_WIDTH == 256
  return _mm256_shuffle_epi8(v, m.weight);
#else
  (void)m;
  return _mm_or_si128(_mm_srli_epi32(v, 24), _mm_slli_epi32(_mm_srli_epi32(v, 24), 16));
#endif
}

// What the destination's fields keep at rest = 256 - w (in both 16-bit lanes of each pixel): d x rest
// >> 8 per field, the alpha byte 0. A field times rest, >> 8, is the high half of its product with rest
// (up to 256, which keeps the field) when the field sits in the top byte of its 16-bit lane: red and
// blue are moved there, green is there already and comes back a byte down.
KIT_ATTR inline KIT_V Kept888(KIT_V dst, KIT_V rest, const Masks888& m) {
  const KIT_V rb = KIT_OP(mulhi_epu16)(KIT_SI(and)(KIT_OP(slli_epi32)(dst, 8), m.redBlue), rest);
  const KIT_V g = KIT_OP(mulhi_epu16)(KIT_SI(and)(dst, m.green), rest);
  return KIT_SI(or)(rb, KIT_OP(slli_epi32)(g, 8));
}

// A block of 8-8-8 pixels from its weighted words, with no branch: weight 0 keeps the fields, 254
// (opaque) keeps d x 2 >> 8 = d >> 7 of each.
KIT_ATTR inline KIT_V Weighted888(KIT_V words, KIT_V dst, const Masks888& m) {
  return KIT_OP(add_epi32)(Kept888(dst, KIT_OP(sub_epi16)(m.full, TopBytes16(words, m)), m), KIT_SI(and)(words, m.fields));
}

// Only a transparent block branches (it changes at most the top bytes, and those are mostly clear
// already); every other block costs the same, which beats telling opaque ones apart.
KIT_ATTR inline void Onto888(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words,
                             std::ptrdiff_t wordPitch, int count, int rows) {
  const Masks888 m = MakeMasks888();
  const int last = count - kLanes;
  for (int r = 0; r < rows; ++r, d += dPitch, words += wordPitch) {
    const KIT_V tail = Weighted888(Load(words + last), Load(d + last), m);
    for (int i = 0; i < last; i += kLanes) {
      const KIT_V w = Load(words + i), dst = Load(d + i);
      if (!NoneOf(w, m.top))
        Store(d + i, Weighted888(w, dst, m));
      else if (!NoneOf(dst, m.top))
        Store(d + i, KIT_SI(and)(dst, m.fields));
    }
    Store(d + last, tail);
  }
}

// A block of 8-8-8 pixels from the 2 x 2 neighbourhoods src (row, row + 1, next, next + 1) at the taps'
// k. Each neighbour weighs w = k x alpha >> 16, in both 16-bit lanes of its pixel, so blue and red
// (masked in place) and green (a byte down, under the alpha byte) take one product each; each sum of
// products stays within 255 x 255, and so do the fields.
KIT_ATTR inline KIT_V FourTap888Block(const KIT_V (&src)[4], KIT_V dst, const KIT_V (&k)[4], const Masks888& m) {
  const KIT_V lowBytes = KIT_OP(set1_epi16)(0xFF);
  KIT_V rb = KIT_SI(setzero)(), g = rb, covered = rb;
  for (int t = 0; t < 4; ++t) {
    const KIT_V w = KIT_OP(mulhi_epu16)(TopBytes16(src[t], m), k[t]);
    rb = KIT_OP(add_epi16)(rb, KIT_OP(mullo_epi16)(KIT_SI(and)(src[t], lowBytes), w));
    g = KIT_OP(add_epi16)(g, KIT_OP(mullo_epi16)(KIT_OP(srli_epi16)(src[t], 8), w));
    covered = KIT_OP(add_epi16)(covered, w);
  }
  const KIT_V kept = Kept888(dst, KIT_OP(sub_epi16)(m.full, covered), m);
  return KIT_OP(add_epi32)(KIT_OP(add_epi16)(KIT_OP(srli_epi16)(rb, 8), kept), KIT_SI(and)(g, m.green));
}

// Only a block whose neighbours are all transparent branches: it clears the top bytes, if any are set.
KIT_ATTR inline void FourTap888(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s,
                                std::ptrdiff_t sPitch, int count, int rows, const std::uint32_t (&k)[4]) {
  const Masks888 m = MakeMasks888();
  KIT_V taps[4];
  for (int t = 0; t < 4; ++t) taps[t] = KIT_OP(set1_epi16)(static_cast<short>(k[t]));
  const auto neighbours = [&](const std::uint32_t* at, KIT_V(&src)[4]) __attribute__((always_inline)) KIT_ATTR {
    src[0] = Load(at);
    src[1] = Load(at + 1);
    src[2] = Load(at + sPitch);
    src[3] = Load(at + sPitch + 1);
  };
  const int last = count - kLanes;
  for (int r = 0; r < rows; ++r, d += dPitch, s += sPitch) {
    KIT_V src[4];
    neighbours(s + last, src);
    const KIT_V tail = FourTap888Block(src, Load(d + last), taps, m);
    for (int i = 0; i < last; i += kLanes) {
      neighbours(s + i, src);
      const KIT_V dst = Load(d + i);
      if (!NoneOf(KIT_SI(or)(KIT_SI(or)(src[0], src[1]), KIT_SI(or)(src[2], src[3])), m.top))
        Store(d + i, FourTap888Block(src, dst, taps, m));
      else if (!NoneOf(dst, m.top))
        Store(d + i, KIT_SI(and)(dst, m.fields));
    }
    Store(d + last, tail);
  }
}

// Two registers of weighted words onto 16-bit pixels (5-6-5 with kGreen6, else 5-5-5); false when
// they leave the pixels as they are. Onto 5-5-5 every drawn pixel's top bit comes out 0, a transparent
// one's too.
template <bool kGreen6>
KIT_ATTR inline bool Weighted16(const std::uint32_t* words, KIT_V dst, KIT_V& out) {
  const KIT_V w = Alpha16(words);
  if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi16)(w, KIT_SI(setzero)())) == kAllLanes) {
    if constexpr (kGreen6) return false;
    out = KIT_SI(and)(dst, KIT_OP(set1_epi16)(0x7FFF));
    return true;
  }
  if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi16)(w, KIT_OP(set1_epi16)(255))) == kAllLanes) {
    out = Low16(words);
    return true;
  }
  constexpr int kRedShift = kGreen6 ? 11 : 10;
  const KIT_V rest = KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(256), w);
  // Each field times rest, >> 8, fits 16 bits (63 x 256) and lands back in its place.
  const KIT_V redField = kGreen6 ? KIT_OP(srli_epi16)(dst, 11)
                                 : KIT_SI(and)(KIT_OP(srli_epi16)(dst, 10), KIT_OP(set1_epi16)(31));
  const KIT_V red =
      KIT_OP(slli_epi16)(KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(redField, rest), 8), kRedShift);
  const KIT_V green = KIT_OP(slli_epi16)(
      KIT_OP(srli_epi16)(
          KIT_OP(mullo_epi16)(KIT_SI(and)(KIT_OP(srli_epi16)(dst, 5), KIT_OP(set1_epi16)(kGreen6 ? 63 : 31)), rest),
          8),
      5);
  const KIT_V blue =
      KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_SI(and)(dst, KIT_OP(set1_epi16)(31)), rest), 8);
  out = KIT_OP(add_epi16)(KIT_SI(or)(red, KIT_SI(or)(green, blue)), Low16(words));
  return true;
}

template <bool kGreen6>
KIT_ATTR inline void Onto16(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words,
                            std::ptrdiff_t wordPitch, int count, int rows) {
  constexpr int kBlock = 2 * kLanes;
  const int last = count - kBlock;
  for (int r = 0; r < rows; ++r, d += dPitch, words += wordPitch) {
    KIT_V tail, out;
    const bool tailDrawn = Weighted16<kGreen6>(words + last, Load(d + last), tail);
    for (int i = 0; i < last; i += kBlock)
      if (Weighted16<kGreen6>(words + i, Load(d + i), out)) Store(d + i, out);
    if (tailDrawn) Store(d + last, tail);
  }
}

// How a block of whole source pixels went onto a memory image's pixels.
enum class Drawn { kNothing, kBlock, kByPixel };

// A block of ARGB source pixels src with their kImage words at blueRedAt and greenRestAt onto dstAt. The fields
// need no unpacking: blue and red sit in the low bytes of their 16-bit lanes, green is moved there.
KIT_ATTR inline Drawn OntoImageBlock(KIT_V src, const std::uint32_t* blueRedAt, const std::uint32_t* greenRestAt,
                                     const std::uint32_t* dstAt, KIT_V& out) {
  const KIT_V opaque = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  if (NoneOf(src, opaque)) return Drawn::kNothing;
  if (AllOf(src, opaque)) {
    out = src;
    return Drawn::kBlock;
  }
  const KIT_V dst = Load(dstAt);
  if (!AllOf(dst, opaque)) return Drawn::kByPixel;
  const KIT_V blueRed = Load(blueRedAt), greenRest = Load(greenRestAt);
  // rest in both 16-bit lanes of each pixel; d x 255 >> 8 is d less 1 (0 stays 0), at rest 256 d itself.
  const KIT_V rest = KIT_SI(or)(KIT_OP(srli_epi32)(greenRest, 16),
                                KIT_SI(and)(greenRest, KIT_OP(set1_epi32)(static_cast<int>(0xFFFF0000u))));
  const KIT_V less = KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(1), KIT_OP(srli_epi16)(rest, 8));
  const KIT_V rb = KIT_OP(subs_epu16)(KIT_SI(and)(dst, KIT_OP(set1_epi32)(0x00FF00FF)), less);
  const KIT_V g = KIT_OP(subs_epu16)(KIT_OP(srli_epi32)(KIT_SI(and)(dst, KIT_OP(set1_epi32)(0xFF00)), 8), less);
  const KIT_V rbOut = KIT_OP(srli_epi16)(KIT_OP(add_epi16)(KIT_OP(mullo_epi16)(rb, rest), blueRed), 8);
  // Green's sum holds the field in its top byte, where the pixel has it: masked, not shifted twice.
  const KIT_V gOut = KIT_SI(and)(KIT_OP(add_epi16)(KIT_OP(mullo_epi16)(g, rest), greenRest), KIT_OP(set1_epi32)(0xFF00));
  out = KIT_SI(or)(KIT_SI(or)(rbOut, gOut), opaque);
  return Drawn::kBlock;
}

KIT_ATTR inline void OntoImage(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* blueRed,
                               const std::uint32_t* greenRest, const std::uint32_t* s, const std::uint8_t* runs,
                               std::ptrdiff_t sPitch, int count, int rows, PixelRule pixel) {
  for (int r = 0; r < rows; ++r, d += dPitch, s += sPitch, blueRed += sPitch, greenRest += sPitch, runs += sPitch) {
    // A leading transparent run leaves its pixels.
    int i = (s[0] >> 24) == 0 ? std::min<int>(runs[0], count) : 0;
    const int last = count - kLanes;
    if (i > last) {
      for (; i < count; ++i) d[i] = pixel(d[i], s[i]);
      continue;
    }
    KIT_V tail = KIT_SI(setzero)(), out;
    const Drawn tailDrawn =
        OntoImageBlock(Load(s + last), blueRed + last, greenRest + last, d + last, tail);
    // From a block that needs the pixel rule on, the row goes pixel by pixel (no block after it was drawn).
    for (; i < last; i += kLanes) {
      const Drawn drawn = OntoImageBlock(Load(s + i), blueRed + i, greenRest + i, d + i, out);
      if (drawn == Drawn::kByPixel) break;
      if (drawn == Drawn::kBlock) Store(d + i, out);
    }
    if (i < last || tailDrawn == Drawn::kByPixel)
      for (; i < count; ++i) d[i] = pixel(d[i], s[i]);
    else if (tailDrawn == Drawn::kBlock)
      Store(d + last, tail);
  }
}

// The byte at kShift of two registers of 32-bit pixels as one register of 16-bit lanes, in the order
// the signed pack leaves them (at AVX2 the quarters of the pixels come out 0, 2, 1, 3).
template <int kShift>
KIT_ATTR inline KIT_V Byte16(KIT_V a, KIT_V b) {
  const KIT_V byte = KIT_OP(set1_epi32)(0xFF);
  return KIT_OP(packs_epi32)(KIT_SI(and)(KIT_OP(srli_epi32)(a, kShift), byte),
                             KIT_SI(and)(KIT_OP(srli_epi32)(b, kShift), byte));
}
// 16-bit pixels into that order, and back (the exchange undoes itself).
KIT_ATTR inline KIT_V PackOrder(KIT_V v) {
#if KIT_SIMD_WIDTH == 256
  return _mm256_permute4x64_epi64(v, 0xD8);
#else
  return v;
#endif
}

// What a destination field keeps: field x rest >> 8.
KIT_ATTR inline KIT_V Kept(KIT_V field, KIT_V rest) {
  return KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(field, rest), 8);
}

// A register of 16-bit pixels (5-6-5 with kGreen6, else 5-5-5) at dAt from the 2 x 2 neighbourhoods
// of the source rows row and next at the taps' k (and an opaque tap's weight k x 255 >> 16); false
// when every neighbour is transparent, which leaves 5-6-5 pixels as they are (and drops the top bit of
// 5-5-5 ones).
template <bool kGreen6>
KIT_ATTR inline bool FourTap16Block(const std::uint32_t* row, const std::uint32_t* next, const std::uint16_t* dAt,
                                    const KIT_V (&k)[4], const KIT_V (&opaqueWeight)[4], KIT_V& out) {
  constexpr int kRedShift = kGreen6 ? 11 : 10;
  const std::uint32_t* at[4] = {row, row + 1, next, next + 1};
  KIT_V low[4], high[4];
  for (int t = 0; t < 4; ++t) {
    low[t] = Load(at[t]);
    high[t] = Load(at[t] + kLanes);
  }
  const KIT_V alpha = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  KIT_V any = KIT_SI(or)(low[0], high[0]), all = KIT_SI(and)(low[0], high[0]);
  for (int t = 1; t < 4; ++t) {
    any = KIT_SI(or)(any, KIT_SI(or)(low[t], high[t]));
    all = KIT_SI(and)(all, KIT_SI(and)(low[t], high[t]));
  }
  if (NoneOf(any, alpha)) {
    if constexpr (kGreen6) return false;
    out = KIT_SI(and)(Load(dAt), KIT_OP(set1_epi16)(0x7FFF));
    return true;
  }
  const bool opaque = AllOf(all, alpha);
  const KIT_V zero = KIT_SI(setzero)();
  KIT_V red = zero, green = zero, blue = zero, covered = zero;
  for (int t = 0; t < 4; ++t) {
    const KIT_V w = opaque ? opaqueWeight[t] : KIT_OP(mulhi_epu16)(Byte16<24>(low[t], high[t]), k[t]);
    red = KIT_OP(add_epi16)(red, KIT_OP(mullo_epi16)(Byte16<16>(low[t], high[t]), w));
    green = KIT_OP(add_epi16)(green, KIT_OP(mullo_epi16)(Byte16<8>(low[t], high[t]), w));
    blue = KIT_OP(add_epi16)(blue, KIT_OP(mullo_epi16)(Byte16<0>(low[t], high[t]), w));
    covered = KIT_OP(add_epi16)(covered, w);
  }
  const KIT_V d = PackOrder(Load(dAt));
  const KIT_V rest = KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(256), covered);
  const KIT_V five = KIT_OP(set1_epi16)(31);
  const KIT_V redField = kGreen6 ? KIT_OP(srli_epi16)(d, 11) : KIT_SI(and)(KIT_OP(srli_epi16)(d, 10), five);
  const KIT_V r = KIT_OP(add_epi16)(KIT_OP(srli_epi16)(red, 11), Kept(redField, rest));
  const KIT_V g = KIT_OP(add_epi16)(KIT_OP(srli_epi16)(green, kGreen6 ? 10 : 11),
                                    Kept(KIT_SI(and)(KIT_OP(srli_epi16)(d, 5), KIT_OP(set1_epi16)(kGreen6 ? 63 : 31)),
                                         rest));
  const KIT_V b = KIT_OP(add_epi16)(KIT_OP(srli_epi16)(blue, 11), Kept(KIT_SI(and)(d, five), rest));
  out = PackOrder(KIT_SI(or)(KIT_SI(or)(KIT_OP(slli_epi16)(r, kRedShift), KIT_OP(slli_epi16)(g, 5)), b));
  return true;
}

template <bool kGreen6>
KIT_ATTR inline void FourTap16(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s,
                               std::ptrdiff_t sPitch, int count, int rows, const std::uint32_t (&k)[4]) {
  constexpr int kBlock = 2 * kLanes;
  KIT_V taps[4], opaqueWeight[4];
  for (int t = 0; t < 4; ++t) {
    taps[t] = KIT_OP(set1_epi16)(static_cast<short>(k[t]));
    opaqueWeight[t] = KIT_OP(set1_epi16)(static_cast<short>((k[t] * 255) >> 16));
  }
  const int last = count - kBlock;
  for (int r = 0; r < rows; ++r, d += dPitch, s += sPitch) {
    KIT_V tail = KIT_SI(setzero)(), out;
    const bool tailDrawn = FourTap16Block<kGreen6>(s + last, s + sPitch + last, d + last, taps, opaqueWeight, tail);
    for (int i = 0; i < last; i += kBlock)
      if (FourTap16Block<kGreen6>(s + i, s + sPitch + i, d + i, taps, opaqueWeight, out)) Store(d + i, out);
    if (tailDrawn) Store(d + last, tail);
  }
}
