// The vector body of the surfaces' rotated rows at one width (see SimdWidth.h): a register of samples
// at a time, the row's last few with the register before them (see RotatedAs). Each function draws the
// whole row.

#include "framework/graphics/kernels/SimdCommon.inl"
// (after SimdCommon.inl, whose names it uses)
#include "framework/graphics/kernels/RotatedLanes.inl"

// What a row's mode makes of the neighbours' weighted sums (see SurfaceRotateRows.h), for sums that
// pair blue (low half) with red (high) and keep green in the low half of a lane of its own (see
// PairedSums).
struct RowConstants {
  KIT_ATTR explicit RowConstants(const RowMode& mode) {
    if (mode.colored || mode.additive) {
      colourAlpha = KIT_OP(set1_epi16)(static_cast<short>(mode.c.a));
      // Red and green are (x w (c + 1)) >> 16; blue drops its low byte first: ((x w >> 8)(c + 1)) >> 8.
      pairTint = KIT_OP(set1_epi32)(static_cast<int>((mode.c.r + 1) << 16 | (mode.c.b + 1)));
      greenTint = KIT_OP(set1_epi32)(static_cast<int>(mode.c.g + 1));
      // Additive (the colour premultiplied): each field is (x w >> 8) c >> 8.
      pairAdd = KIT_OP(set1_epi32)(static_cast<int>(mode.c.r << 16 | mode.c.b));
      greenAdd = KIT_OP(set1_epi32)(static_cast<int>(mode.c.g));
    }
  }
  // Coloured or additive rows only.
  KIT_V colourAlpha = KIT_SI(setzero)(), pairTint = colourAlpha, greenTint = colourAlpha, pairAdd = colourAlpha,
        greenAdd = colourAlpha;
};

// A register holds one pixel in each 32-bit lane, its fields two to a lane: the neighbours' weighted
// sums of blue (low half) and red (high half) in one register, of green in the low half of another
// (whose high half sums the alphas' products, which nothing reads), and the weights' sum in both
// halves of a third. So each multiply serves two fields of a register of pixels.
struct PairedSums {
  KIT_V redBlue, green, covered;
};

// Each 32-bit lane's low 16 bits in both its halves.
KIT_ATTR inline KIT_V BothHalves(KIT_V x) {
#if KIT_SIMD_WIDTH == 256
  return _mm256_shuffle_epi8(x, _mm256_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13, 0, 1, 0, 1, 4, 5,
                                                 4, 5, 8, 9, 8, 9, 12, 13, 12, 13));
#else
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
#endif
}

// Each pixel's alpha in both halves of its 32-bit lane.
KIT_ATTR inline KIT_V AlphaBothHalves(KIT_V pixels) {
#if KIT_SIMD_WIDTH == 256
  const char z = -128;  // a zero byte
  return _mm256_shuffle_epi8(pixels, _mm256_setr_epi8(3, z, 3, z, 7, z, 7, z, 11, z, 11, z, 15, z, 15, z, 3, z, 3, z, 7,
                                                      z, 7, z, 11, z, 11, z, 15, z, 15, z));
#else
  const __m128i alpha = _mm_srli_epi32(pixels, 24);
  return _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
#endif
}

// The rows' constants: words in memory, which the loop reads where it uses them through a pointer
// the compiler cannot see through. (As values known to it, GCC built each again in the loop, three
// instructions a time, for want of registers.) kFields: the 16-bit layout, null for 8-8-8.
struct alignas(32) Lanes {
  std::uint32_t word[8];
};
constexpr Lanes Repeated(std::uint32_t word) { return {{word, word, word, word, word, word, word, word}}; }
struct Masks {
  Lanes alpha, one, flip, redBlueBytes, blueHigh, full, fieldMask, greenMask, keptBits, place, greenPlace;
};
template <const Fields16* kFields>
inline constexpr Masks kMasks{
    .alpha = Repeated(0xFF000000u),
    .one = Repeated(0x00010001u),
    .flip = Repeated(0xFFFEFFFEu),
    .redBlueBytes = Repeated(0x00FF00FFu),
    .blueHigh = Repeated(0xFFFFFF00u),
    .full = Repeated(0x01000100u),
    // Blue and red's, and green's, largest value.
    .fieldMask = Repeated(kFields != nullptr ? 0x001F001Fu : 0x00FF00FFu),
    .greenMask = Repeated(kFields != nullptr ? (1u << kFields->greenBits) - 1 : 0xFFu),
    // The bits of a pixel the formula keeps where it draws nothing.
    .keptBits = Repeated(kFields != nullptr ? (1u << (kFields->redShift + 5)) - 1 : 0x00FFFFFFu),
    // 16-bit only: what blue and red, and green, are multiplied by to make the pixel.
    .place = Repeated(kFields != nullptr ? (1u << kFields->redShift) << 16 | 1 : 0),
    .greenPlace = Repeated(32),
};
template <const Fields16* kFields>
KIT_ATTR inline const Masks& RowMasks() {
  const Masks* masks = &kMasks<kFields>;
  asm("" : "+r"(masks));
  return *masks;
}
KIT_ATTR inline KIT_V Get(const Lanes& lanes) { return KIT_SI(load)(reinterpret_cast<const KIT_V*>(lanes.word)); }

// Whether no pixel of x has a bit of alpha.
KIT_ATTR inline bool NoBitOf(KIT_V x, KIT_V alpha) {
#if KIT_SIMD_WIDTH == 256
  return _mm256_testz_si256(x, alpha);
#else
  return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(x, alpha), _mm_setzero_si128())) == 0xFFFF;
#endif
}

// The sums of a register of samples; false when every neighbour is transparent (the samples weigh
// nothing). kColored: each weight times the colour's alpha.
template <bool kColored>
KIT_ATTR __attribute__((always_inline)) inline bool GatherPaired(const std::uint32_t* origin, int stride, KIT_V us,
                                                                 KIT_V vs, const RowConstants& rc, const Masks& m,
                                                                 PairedSums& sums) {
  KIT_V src[4];
  Neighbours(origin, stride, us, vs, src);
  if (NoBitOf(KIT_SI(or)(KIT_SI(or)(src[0], src[1]), KIT_SI(or)(src[2], src[3])), Get(m.alpha))) return false;
  // The fractions f = (p & 0xFFFE) + 1 = p | 1 and g = 65536 - f = f ^ 0xFFFE (see Fractions) in both
  // halves of each lane, and so are their products k.
  const KIT_V one = Get(m.one), flip = Get(m.flip);
  const KIT_V fx = KIT_SI(or)(BothHalves(us), one), fy = KIT_SI(or)(BothHalves(vs), one);
  const KIT_V gx = KIT_SI(xor)(fx, flip), gy = KIT_SI(xor)(fy, flip);
  const KIT_V k[4] = {KIT_OP(mulhi_epu16)(gx, gy), KIT_OP(mulhi_epu16)(fx, gy), KIT_OP(mulhi_epu16)(gx, fy),
                      KIT_OP(mulhi_epu16)(fx, fy)};
#pragma GCC unroll 4
  for (int t = 0; t < 4; ++t) {
    KIT_V w = KIT_OP(mulhi_epu16)(k[t], AlphaBothHalves(src[t]));
    if constexpr (kColored) w = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(w, rc.colourAlpha), 8);
    const KIT_V redBlue = KIT_OP(mullo_epi16)(KIT_SI(and)(src[t], Get(m.redBlueBytes)), w);
    const KIT_V green = KIT_OP(mullo_epi16)(KIT_OP(srli_epi16)(src[t], 8), w);
    if (t == 0) {
      sums = {redBlue, green, w};
    } else {
      sums.redBlue = KIT_OP(add_epi16)(sums.redBlue, redBlue);
      sums.green = KIT_OP(add_epi16)(sums.green, green);
      sums.covered = KIT_OP(add_epi16)(sums.covered, w);
    }
  }
  return true;
}

// A register of 8-8-8 pixels at d. Fields saturate at 255.
template <bool kColored, bool kAdditive, const Fields16*>
KIT_ATTR __attribute__((always_inline)) inline void Step(std::uint32_t* d, const std::uint32_t* origin, int stride,
                                                         KIT_V us, KIT_V vs, const RowConstants& rc) {
  const Masks& m = RowMasks<nullptr>();
  PairedSums sums;
  if (!GatherPaired < kColored && !kAdditive > (origin, stride, us, vs, rc, m, sums)) {
    Store(d, KIT_SI(and)(Load(d), Get(m.keptBits)));
    return;
  }
  // The destination's fields, paired as the sums are: blue and red, and green.
  const KIT_V pixels = Load(d);
  const KIT_V redBlue = KIT_SI(and)(pixels, Get(m.fieldMask));
  const KIT_V green = KIT_SI(and)(KIT_OP(srli_epi32)(pixels, 8), Get(m.greenMask));
  KIT_V drawnRedBlue, drawnGreen;
  if constexpr (kAdditive) {
    KIT_V addRedBlue = KIT_OP(srli_epi16)(sums.redBlue, 8), addGreen = KIT_OP(srli_epi16)(sums.green, 8);
    if constexpr (kColored) {
      addRedBlue = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(addRedBlue, rc.pairAdd), 8);
      addGreen = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(addGreen, rc.greenAdd), 8);
    }
    drawnRedBlue = KIT_OP(add_epi16)(redBlue, addRedBlue);
    drawnGreen = KIT_OP(add_epi16)(green, addGreen);
  } else {
    KIT_V sourceRedBlue, sourceGreen;
    if constexpr (kColored) {
      // Blue's sum drops its low byte first (see RowConstants).
      sourceRedBlue = KIT_OP(mulhi_epu16)(KIT_SI(and)(sums.redBlue, Get(m.blueHigh)), rc.pairTint);
      sourceGreen = KIT_OP(mulhi_epu16)(sums.green, rc.greenTint);
    } else {
      sourceRedBlue = KIT_OP(srli_epi16)(sums.redBlue, 8);
      sourceGreen = KIT_OP(srli_epi16)(sums.green, 8);
    }
    const KIT_V rest = KIT_OP(sub_epi16)(Get(m.full), sums.covered);
    drawnRedBlue = KIT_OP(add_epi16)(sourceRedBlue, KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(redBlue, rest), 8));
    drawnGreen = KIT_OP(add_epi16)(sourceGreen, KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(green, rest), 8));
  }
  // At most 255 each; the green register's high half is cut off with the alpha byte.
  drawnRedBlue = KIT_OP(min_epi16)(drawnRedBlue, Get(m.fieldMask));
  drawnGreen = KIT_OP(min_epi16)(drawnGreen, Get(m.greenMask));
  Store(d, KIT_SI(and)(KIT_SI(or)(drawnRedBlue, KIT_OP(slli_epi32)(drawnGreen, 8)), Get(m.keptBits)));
}

// A register's worth of 16-bit pixels at d, one to each 32-bit lane, and stored back from there.
KIT_ATTR inline KIT_V LoadWidened(const std::uint16_t* d) {
#if KIT_SIMD_WIDTH == 256
  return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d)));
#else
  return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d)), _mm_setzero_si128());
#endif
}
KIT_ATTR inline void StoreNarrowed(std::uint16_t* d, KIT_V v) {
#if KIT_SIMD_WIDTH == 256
  const __m256i packed = _mm256_packus_epi32(v, v);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                   _mm256_castsi256_si128(_mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0))));
#else
  _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(v, 16), 16), v));
#endif
}

// A register's worth of 16-bit pixels at d. Additive fields saturate at the field's largest value.
template <bool kColored, bool kAdditive, const Fields16* kFields>
KIT_ATTR __attribute__((always_inline)) inline void Step(std::uint16_t* d, const std::uint32_t* origin, int stride,
                                                         KIT_V us, KIT_V vs, const RowConstants& rc) {
  constexpr int kRedShift = kFields->redShift, kGreenBits = kFields->greenBits;
  const Masks& m = RowMasks<kFields>();
  PairedSums sums;
  if (!GatherPaired < kColored && !kAdditive > (origin, stride, us, vs, rc, m, sums)) {
    // Nothing drawn: the pixels keep their fields (5-5-5 loses its top bit).
    if constexpr (kRedShift + 5 < 16) StoreNarrowed(d, KIT_SI(and)(LoadWidened(d), Get(m.keptBits)));
    return;
  }
  // The destination's fields, paired as the sums are: blue and red, and green.
  const KIT_V pixels = LoadWidened(d);
  const KIT_V redBlue = KIT_SI(and)(KIT_SI(or)(pixels, KIT_OP(slli_epi32)(pixels, 16 - kRedShift)), Get(m.fieldMask));
  const KIT_V green = KIT_SI(and)(KIT_OP(srli_epi32)(pixels, 5), Get(m.greenMask));
  KIT_V drawnRedBlue, drawnGreen;
  if constexpr (kAdditive) {
    KIT_V addRedBlue = KIT_OP(srli_epi16)(sums.redBlue, 11), addGreen = KIT_OP(srli_epi16)(sums.green, 16 - kGreenBits);
    if constexpr (kColored) {
      addRedBlue = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(addRedBlue, rc.pairAdd), 8);
      addGreen = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(addGreen, rc.greenAdd), 8);
    }
    // (What the green register's high half comes to does not matter: nothing reads it.)
    drawnRedBlue = KIT_OP(min_epi16)(KIT_OP(add_epi16)(redBlue, addRedBlue), Get(m.fieldMask));
    drawnGreen = KIT_OP(min_epi16)(KIT_OP(add_epi16)(green, addGreen), Get(m.greenMask));
  } else {
    KIT_V sourceRedBlue, sourceGreen;
    if constexpr (kColored) {
      // Blue's sum drops its low byte first (see RowConstants).
      sourceRedBlue =
          KIT_OP(srli_epi16)(KIT_OP(mulhi_epu16)(KIT_SI(and)(sums.redBlue, Get(m.blueHigh)), rc.pairTint), 3);
      sourceGreen = KIT_OP(srli_epi16)(KIT_OP(mulhi_epu16)(sums.green, rc.greenTint), 8 - kGreenBits);
    } else {
      sourceRedBlue = KIT_OP(srli_epi16)(sums.redBlue, 11);
      sourceGreen = KIT_OP(srli_epi16)(sums.green, 16 - kGreenBits);
    }
    const KIT_V rest = KIT_OP(sub_epi16)(Get(m.full), sums.covered);
    drawnRedBlue = KIT_OP(add_epi16)(sourceRedBlue, KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(redBlue, rest), 8));
    drawnGreen = KIT_OP(add_epi16)(sourceGreen, KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(green, rest), 8));
  }
  // Blue + red << kRedShift, + green << 5 (the green register's high half weighs nothing).
  const KIT_V placed = KIT_OP(add_epi32)(KIT_OP(madd_epi16)(drawnRedBlue, Get(m.place)),
                                         KIT_OP(madd_epi16)(drawnGreen, Get(m.greenPlace)));
  StoreNarrowed(d, placed);
}

// The row from pixel `from` on: whole registers of samples, then the last few. Returns count. The
// last few of a row of a register or more are drawn as the row's last whole register, in a copy made
// before the loop draws the pixels it shares with the one before (each pixel's result hangs on its own
// value alone, so the shared pixels come out the same in both), stored after it. A shorter row has its
// pixels copied into a register of their own.
template <bool kColored, bool kAdditive, const Fields16* kFields, typename Pixel>
KIT_ATTR inline int RotatedAs(Pixel* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
                              std::int32_t du, std::int32_t dv, int from, int count, const RowConstants& rc) {
  const auto at = [=](int i, std::int32_t start, std::int32_t step) { return start + std::int64_t{i} * step; };
  const int rest = (count - from) % kLanes;
  alignas(32) Pixel part[kLanes] = {};
  const int last = count - kLanes;  // where the copy goes back
  if (rest > 0 && last >= from) {
    // (A copy of a constant size is a single move, not a library call; see LoadFirst.)
    std::memcpy(part, d + last, sizeof part);
    Step<kColored, kAdditive, kFields>(part, origin, stride, Positions(at(last, u, du), du),
                                       Positions(at(last, v, dv), dv), rc);
  }
  KIT_V us = Positions(at(from, u, du), du), vs = Positions(at(from, v, dv), dv);
  const KIT_V stepU = KIT_OP(set1_epi32)(kLanes * du), stepV = KIT_OP(set1_epi32)(kLanes * dv);
  int i = from;
  for (; i + kLanes <= count; i += kLanes, us = KIT_OP(add_epi32)(us, stepU), vs = KIT_OP(add_epi32)(vs, stepV))
    Step<kColored, kAdditive, kFields>(d + i, origin, stride, us, vs, rc);
  if (rest == 0) return count;
  if (last >= from) {
    std::memcpy(d + last, part, sizeof part);
    return count;
  }
  // Copied pixel by pixel in fixed-length loops: a library copy would leave the vector registers'
  // upper halves in use on its way back (see LoadFirst).
  for (int j = 0; j < kLanes; ++j)
    if (j < rest) part[j] = d[i + j];
  Step<kColored, kAdditive, kFields>(part, origin, stride, Positions(at(i, u, du), du, rest),
                                     Positions(at(i, v, dv), dv, rest), rc);
  for (int j = 0; j < kLanes; ++j)
    if (j < rest) d[i + j] = part[j];
  return count;
}

// kFields: the 16-bit surface's layout (null onto 8-8-8), a constant so that its shifts and masks are.
template <typename Pixel, const Fields16* kFields>
KIT_ATTR inline int Rotated(Pixel* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
                            std::int32_t du, std::int32_t dv, int from, int count, const RowMode& mode) {
  if (from >= count) return count;
  const RowConstants rc(mode);
  if (mode.additive) {
    if (mode.colored) return RotatedAs<true, true, kFields>(d, origin, stride, u, v, du, dv, from, count, rc);
    return RotatedAs<false, true, kFields>(d, origin, stride, u, v, du, dv, from, count, rc);
  }
  if (mode.colored) return RotatedAs<true, false, kFields>(d, origin, stride, u, v, du, dv, from, count, rc);
  return RotatedAs<false, false, kFields>(d, origin, stride, u, v, du, dv, from, count, rc);
}
