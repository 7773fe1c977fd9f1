// The vector body of the memory image's rotated rows at one width (see SimdWidth.h).

#include "framework/graphics/kernels/SimdCommon.inl"
// (after SimdCommon.inl, whose names it uses)
#include "framework/graphics/kernels/RotatedLanes.inl"

// x / 255 for any 32-bit lanes: (x x 0x80808081) >> 39.
KIT_ATTR inline KIT_V DivideBy255(KIT_V x) {
  const KIT_V m = KIT_OP(set1_epi32)(static_cast<int>(0x80808081u));
  const KIT_V even = KIT_OP(srli_epi64)(KIT_OP(mul_epu32)(x, m), 39);
  const KIT_V odd = KIT_OP(srli_epi64)(KIT_OP(mul_epu32)(KIT_OP(srli_epi64)(x, 32), m), 39);
  return KIT_SI(or)(even, KIT_OP(slli_epi64)(odd, 32));
}

// 32-bit lanes of 0..65535 as 16-bit lanes, a's lanes then b's in each 128-bit half.
KIT_ATTR inline KIT_V PackUnsigned16(KIT_V a, KIT_V b) {
  const KIT_V bias = KIT_OP(set1_epi32)(32768);
  return KIT_SI(xor)(KIT_OP(packs_epi32)(KIT_OP(sub_epi32)(a, bias), KIT_OP(sub_epi32)(b, bias)),
                     KIT_OP(set1_epi16)(static_cast<short>(0x8000)));
}

// ((a x b >> 23) + 1) >> 1 of fractions a, b (1..65535) in the low halves of 32-bit lanes.
KIT_ATTR inline KIT_V RoundedWeight(KIT_V a, KIT_V b) {
  return KIT_OP(srli_epi32)(KIT_OP(add_epi32)(KIT_OP(srli_epi32)(KIT_OP(mulhi_epu16)(a, b), 7), KIT_OP(set1_epi32)(1)),
                            1);
}

// Whether every pixel is opaque.
KIT_ATTR inline bool AllOpaque(KIT_V pixels) {
  const KIT_V opaque = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  return KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(KIT_SI(and)(pixels, opaque), opaque)) == kAllLanes;
}

// Samples whose neighbours are all opaque: the coverage is the weights' sum, 255 to 257, and each
// sum of colour x weight x 255 divides by 255 exactly, so each field is the sum of colour x weight
// (at most 257 x 255), >> 8, whatever the destination holds.
KIT_ATTR inline KIT_V OpaqueSamples(const KIT_V (&src)[4], const KIT_V (&weights)[4]) {
  const KIT_V zero = KIT_SI(setzero)();
  KIT_V low = zero, high = zero;
  for (int t = 0; t < 4; ++t) {
    KIT_V wLow, wHigh;
    SpreadWeights(weights[t], wLow, wHigh);
    low = KIT_OP(add_epi16)(low, KIT_OP(mullo_epi16)(KIT_OP(unpacklo_epi8)(src[t], zero), wLow));
    high = KIT_OP(add_epi16)(high, KIT_OP(mullo_epi16)(KIT_OP(unpackhi_epi8)(src[t], zero), wHigh));
  }
  return KIT_SI(or)(KIT_OP(packus_epi16)(KIT_OP(srli_epi16)(low, 8), KIT_OP(srli_epi16)(high, 8)),
                    KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u)));
}

// Integer quotients of 16-bit lanes (numerators below 65536, divisors 1..256) through single-precision
// division: a quotient that is not whole lies at least 1 / 256 from the next whole one, and the rounding
// error is below 2^-9, so truncation gives the integer quotient.
KIT_ATTR inline KIT_V Quotients32(KIT_V num, KIT_V den) {
  return KIT_OP(cvttps_epi32)(KIT_OP(div_ps)(KIT_OP(cvtepi32_ps)(num), KIT_OP(cvtepi32_ps)(den)));
}
KIT_ATTR inline KIT_V Quotients16(KIT_V num, KIT_V den) {
  const KIT_V zero = KIT_SI(setzero)();
  return KIT_OP(packs_epi32)(Quotients32(KIT_OP(unpacklo_epi16)(num, zero), KIT_OP(unpacklo_epi16)(den, zero)),
                             Quotients32(KIT_OP(unpackhi_epi16)(num, zero), KIT_OP(unpackhi_epi16)(den, zero)));
}

// Normal samples (16-bit lanes, see Samples) over pixels of any alpha: coverage 251 and up gives the
// sample, opaque; 0 leaves the pixel; between, with hidden = ((256 - da)(256 - A)) >> 8, the alpha is
// 255 - hidden and each channel ((d x da >> 8)(256 - A) + sum) / (256 - hidden), at most 255 (a
// coloured sum can take the numerator past 65535, where the quotient is 255 anyway: it saturates).
KIT_ATTR inline KIT_V OntoAnyAlpha(KIT_V dst, const KIT_V (&sample)[2], const KIT_V (&coverage)[2]) {
  const KIT_V zero = KIT_SI(setzero)(), full = KIT_OP(set1_epi16)(256);
  const KIT_V alphaLanes = KIT_OP(set1_epi64x)(static_cast<long long>(0xFFFF000000000000ull));
  KIT_V result[2];
  for (int h = 0; h < 2; ++h) {
    const KIT_V d16 = h == 0 ? KIT_OP(unpacklo_epi8)(dst, zero) : KIT_OP(unpackhi_epi8)(dst, zero);
    const KIT_V da = SpreadAlpha16(d16);
    const KIT_V uncovered = KIT_OP(sub_epi16)(full, coverage[h]);
    const KIT_V hidden = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_OP(sub_epi16)(full, da), uncovered), 8);
    const KIT_V kept = KIT_OP(mullo_epi16)(KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(d16, da), 8), uncovered);
    const KIT_V channels = KIT_OP(min_epi16)(
        Quotients16(KIT_OP(adds_epu16)(kept, sample[h]), KIT_OP(sub_epi16)(full, hidden)), KIT_OP(set1_epi16)(255));
    const KIT_V mixed = Select(alphaLanes, KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(255), hidden), channels);
    const KIT_V drawn = KIT_SI(or)(KIT_OP(srli_epi16)(sample[h], 8), KIT_SI(and)(alphaLanes, KIT_OP(set1_epi16)(255)));
    const KIT_V blended = Select(KIT_OP(cmpgt_epi16)(coverage[h], KIT_OP(set1_epi16)(250)), drawn, mixed);
    result[h] = Select(KIT_OP(cmpeq_epi16)(coverage[h], zero), d16, blended);
  }
  return KIT_OP(packus_epi16)(result[0], result[1]);
}

// The colour of a coloured draw: per pixel in 16-bit lanes blue, green, red and 255 (the coverage's
// first step keeps it), and its alpha.
struct Tint {
  KIT_ATTR Tint(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a)
      : colour(PerPixel16(b, g, r, 255)), alpha(KIT_OP(set1_epi32)(static_cast<int>(a))), opaque(a == 255) {}
  KIT_V colour, alpha;
  bool opaque;  // x x 255 / 255 is x
};

// x x m for 32-bit lanes whose products fit 32 bits.
KIT_ATTR inline KIT_V MultiplyLanes(KIT_V x, KIT_V m) {
  return KIT_SI(or)(KIT_OP(mul_epu32)(x, m), KIT_OP(slli_epi64)(KIT_OP(mul_epu32)(KIT_OP(srli_epi64)(x, 32), m), 32));
}

// A coloured sample (16-bit lanes: the sums / 255 and the coverage, at most 256): each lane becomes
// ((x x c) / 255 x ca) / 255.
KIT_ATTR inline KIT_V Coloured(KIT_V sample, const Tint& tint) {
  const KIT_V low = KIT_OP(mullo_epi16)(sample, tint.colour), high = KIT_OP(mulhi_epu16)(sample, tint.colour);
  KIT_V first = DivideBy255(KIT_OP(unpacklo_epi16)(low, high));
  KIT_V second = DivideBy255(KIT_OP(unpackhi_epi16)(low, high));
  if (!tint.opaque) {
    first = DivideBy255(MultiplyLanes(first, tint.alpha));
    second = DivideBy255(MultiplyLanes(second, tint.alpha));
  }
  return PackUnsigned16(first, second);
}

// A register of rotated samples drawn at out (see RotatedPixels); false, having drawn nothing, when
// they mix with a destination that is not all opaque.
template <bool kColored, bool kAdditive>
KIT_ATTR __attribute__((always_inline)) inline bool Samples(std::uint32_t* out, const KIT_V (&src)[4], KIT_V us,
                                                            KIT_V vs, const Tint& tint) {
  if (AllTransparent(src)) return true;  // nothing covered
  // The neighbours' weights rounded to 8 bits.
  KIT_V fx, gx, fy, gy;
  Fractions(us, fx, gx);
  Fractions(vs, fy, gy);
  const KIT_V weights[4] = {RoundedWeight(gx, gy), RoundedWeight(fx, gy), RoundedWeight(gx, fy), RoundedWeight(fx, fy)};
  const bool opaqueTaps = AllOpaque(KIT_SI(and)(KIT_SI(and)(src[0], src[1]), KIT_SI(and)(src[2], src[3])));
  if (!kColored && !kAdditive && opaqueTaps) {
    Store(out, OpaqueSamples(src, weights));
    return true;
  }
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V opaque = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  // Per pixel in 16-bit lanes: the sums of blue, green and red times weight x alpha, / 255, and the
  // coverage (the sum of weight x alpha, / 255) in the alpha lane. Opaque neighbours give the sums of
  // colour x weight and the weights' sum exactly (see OpaqueSamples).
  KIT_V sample[2];
  if (opaqueTaps) {
    sample[0] = sample[1] = zero;
    for (int t = 0; t < 4; ++t) {
      const KIT_V pixels = KIT_SI(or)(KIT_SI(andnot)(opaque, src[t]), KIT_OP(set1_epi32)(0x01000000));
      KIT_V wLow, wHigh;
      SpreadWeights(weights[t], wLow, wHigh);
      sample[0] = KIT_OP(add_epi16)(sample[0], KIT_OP(mullo_epi16)(KIT_OP(unpacklo_epi8)(pixels, zero), wLow));
      sample[1] = KIT_OP(add_epi16)(sample[1], KIT_OP(mullo_epi16)(KIT_OP(unpackhi_epi8)(pixels, zero), wHigh));
    }
  } else {
    // Per pixel in 32-bit lanes, then divided.
    KIT_V sums[4] = {zero, zero, zero, zero};
    for (int t = 0; t < 4; ++t) {
      const KIT_V wa = KIT_OP(mullo_epi16)(weights[t], KIT_OP(srli_epi32)(src[t], 24));
      const KIT_V pixels = KIT_SI(or)(KIT_SI(andnot)(opaque, src[t]), KIT_OP(set1_epi32)(0x01000000));
      const KIT_V halves[2] = {KIT_OP(unpacklo_epi8)(pixels, zero), KIT_OP(unpackhi_epi8)(pixels, zero)};
      KIT_V w[2];
      SpreadWeights(wa, w[0], w[1]);
      for (int h = 0; h < 2; ++h) {
        const KIT_V low = KIT_OP(mullo_epi16)(halves[h], w[h]), high = KIT_OP(mulhi_epu16)(halves[h], w[h]);
        sums[2 * h] = KIT_OP(add_epi32)(sums[2 * h], KIT_OP(unpacklo_epi16)(low, high));
        sums[2 * h + 1] = KIT_OP(add_epi32)(sums[2 * h + 1], KIT_OP(unpackhi_epi16)(low, high));
      }
    }
    for (int h = 0; h < 2; ++h) sample[h] = PackUnsigned16(DivideBy255(sums[2 * h]), DivideBy255(sums[2 * h + 1]));
  }
  KIT_V coverage[2];
  for (int h = 0; h < 2; ++h) {
    if constexpr (kColored) {
      // The coverage at most 256 (a lane of 257 only comes from four opaque neighbours).
      const KIT_V alphaLanes = KIT_OP(set1_epi64x)(static_cast<long long>(0xFFFF000000000000ull));
      const KIT_V clamped = KIT_OP(min_epi16)(sample[h], KIT_OP(set1_epi16)(256));
      sample[h] = Coloured(Select(alphaLanes, clamped, sample[h]), tint);
    }
    coverage[h] = SpreadAlpha16(sample[h]);
  }
  const KIT_V dst = Load(out);
  if (!kAdditive && !AllOpaque(dst)) {
    Store(out, OntoAnyAlpha(dst, sample, coverage));
    return true;
  }
  KIT_V result[2];
  for (int h = 0; h < 2; ++h) {
    const KIT_V d16 = h == 0 ? KIT_OP(unpacklo_epi8)(dst, zero) : KIT_OP(unpackhi_epi8)(dst, zero);
    const KIT_V drawn = KIT_OP(srli_epi16)(sample[h], 8);
    KIT_V blended;
    if constexpr (kAdditive) {
      // Each channel adds the sample (saturating in the pack); the alpha stays.
      blended = KIT_OP(add_epi16)(d16, Select(KIT_OP(set1_epi64x)(0xFFFFFFFFFFFFll), drawn, zero));
    } else {
      // Nearly opaque coverage gives the sample, opaque; less mixes it with (d x 255 >> 8) x (256 - coverage).
      // (The sum saturates: a coloured sample can take it past 65535, where the channel is 255 anyway.)
      const KIT_V mixed = KIT_OP(srli_epi16)(
          KIT_OP(adds_epu16)(KIT_OP(mullo_epi16)(KIT_OP(subs_epu16)(d16, KIT_OP(set1_epi16)(1)),
                                                 KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(256), coverage[h])),
                             sample[h]),
          8);
      blended = KIT_SI(or)(Select(KIT_OP(cmpgt_epi16)(coverage[h], KIT_OP(set1_epi16)(250)), drawn, mixed),
                           KIT_OP(set1_epi64x)(static_cast<long long>(0x00FF000000000000ull)));
    }
    result[h] = Select(KIT_OP(cmpeq_epi16)(coverage[h], zero), d16, blended);
  }
  Store(out, KIT_OP(packus_epi16)(result[0], result[1]));
  return true;
}

// Rotated samples of 32-bit source pixels (bits, rows of stride), normal or additive, white or
// coloured (tint): pixel k of out samples at (u + k du, v + k dv), from k = from to count - 1. A
// register of samples that mixes with a destination not all opaque goes to scalar(k) pixel by pixel.
// Gives what SampleBilinear and the compose functions give: the neighbours' weights rounded to 8 bits,
// sums divided by 255. Returns count.
template <bool kColored, bool kAdditive, typename Scalar>
KIT_ATTR inline int RotatedPixels(std::uint32_t* out, const std::uint32_t* bits, int stride, std::int64_t u,
                                  std::int64_t v, std::int64_t du, std::int64_t dv, int from, int count,
                                  const Tint& tint, const Scalar& scalar) {
  if (from >= count) return count;
  KIT_V us = Positions(u + from * du, du), vs = Positions(v + from * dv, dv);
  const KIT_V stepU = KIT_OP(set1_epi32)(static_cast<int>(kLanes * du));
  const KIT_V stepV = KIT_OP(set1_epi32)(static_cast<int>(kLanes * dv));
  int k = from;
  // Each register's neighbours are gathered while the one before it is worked out.
  KIT_V src[4];
  if (k + kLanes <= count) Neighbours(bits, stride, us, vs, src);
  for (; k + kLanes <= count; k += kLanes) {
    const KIT_V nextU = KIT_OP(add_epi32)(us, stepU), nextV = KIT_OP(add_epi32)(vs, stepV);
    KIT_V next[4] = {src[0], src[1], src[2], src[3]};
    if (k + 2 * kLanes <= count) Neighbours(bits, stride, nextU, nextV, next);
    if (!Samples<kColored, kAdditive>(out + k, src, us, vs, tint))
      for (int j = k; j < k + kLanes; ++j) scalar(j);
    for (int t = 0; t < 4; ++t) src[t] = next[t];
    us = nextU;
    vs = nextV;
  }
  if (const int rest = count - k; rest > 0) {
    // The last few in a register of their own, opaque past the row's end.
    alignas(32) std::uint32_t part[kLanes];
    Store(part, LoadFirst(out + k, rest, KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u))));
    const KIT_V lastU = Positions(u + k * du, du, rest), lastV = Positions(v + k * dv, dv, rest);
    Neighbours(bits, stride, lastU, lastV, src);
    if (Samples<kColored, kAdditive>(part, src, lastU, lastV, tint))
      StoreFirst(out + k, Load(part), rest);
    else
      for (; k < count; ++k) scalar(k);
  }
  return count;
}

// The row's mode chosen once.
template <typename Scalar>
KIT_ATTR inline int RotatedPixels(std::uint32_t* out, const std::uint32_t* bits, int stride, std::int64_t u,
                                  std::int64_t v, std::int64_t du, std::int64_t dv, int from, int count,
                                  const std::uint32_t (&colour)[4], bool colored, bool additive, const Scalar& scalar) {
  const Tint tint(colour[0], colour[1], colour[2], colour[3]);
  if (additive) {
    if (colored) return RotatedPixels<true, true>(out, bits, stride, u, v, du, dv, from, count, tint, scalar);
    return RotatedPixels<false, true>(out, bits, stride, u, v, du, dv, from, count, tint, scalar);
  }
  if (colored) return RotatedPixels<true, false>(out, bits, stride, u, v, du, dv, from, count, tint, scalar);
  return RotatedPixels<false, false>(out, bits, stride, u, v, du, dv, from, count, tint, scalar);
}
