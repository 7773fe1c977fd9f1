// The vector body of SurfaceRows' additions onto 16-bit pixels at one width (see SimdWidth.h). Each
// function draws the row from pixel `from` on when a register of pixels is left, and returns where it
// stopped.
//
// Every field is lifted to the top of its 16-bit lane, where an unsigned saturating add stops exactly
// at the field's largest value, and shifted back down.

#include "framework/graphics/kernels/SimdCommon.inl"

// The destination's fields (5-6-5 with kGreen6, else 5-5-5) plus the source's, given at the top of
// their lanes, put back together; a 5-5-5 pixel's top bit comes out 0.
template <bool kGreen6>
KIT_ATTR inline KIT_V AddFields16(KIT_V d, KIT_V red, KIT_V green, KIT_V blue) {
  const KIT_V top5 = KIT_OP(set1_epi16)(static_cast<short>(0xF800));
  const KIT_V b = KIT_OP(srli_epi16)(KIT_OP(adds_epu16)(KIT_OP(slli_epi16)(d, 11), blue), 11);
  if constexpr (kGreen6) {
    const KIT_V r = KIT_SI(and)(KIT_OP(adds_epu16)(KIT_SI(and)(d, top5), red), top5);
    const KIT_V g =
        KIT_OP(srli_epi16)(KIT_OP(adds_epu16)(KIT_OP(slli_epi16)(KIT_SI(and)(d, KIT_OP(set1_epi16)(0x07E0)), 5), green),
                           10);
    return KIT_SI(or)(r, KIT_SI(or)(KIT_OP(slli_epi16)(g, 5), b));
  } else {
    const KIT_V r = KIT_OP(srli_epi16)(
        KIT_SI(and)(KIT_OP(adds_epu16)(KIT_OP(slli_epi16)(KIT_SI(and)(d, KIT_OP(set1_epi16)(0x7C00)), 1), red), top5),
        1);
    const KIT_V g = KIT_OP(srli_epi16)(
        KIT_OP(adds_epu16)(KIT_OP(slli_epi16)(KIT_SI(and)(d, KIT_OP(set1_epi16)(0x03E0)), 6), green), 11);
    return KIT_SI(or)(r, KIT_SI(or)(KIT_OP(slli_epi16)(g, 5), b));
  }
}

// Set in the 16-bit lane of each of 2 x kLanes words whose bits under skip are all 0.
KIT_ATTR inline KIT_V Skipped16(const std::uint32_t* s, KIT_V skip) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V a = KIT_OP(cmpeq_epi32)(KIT_SI(and)(Load(s), skip), zero);
  const KIT_V b = KIT_OP(cmpeq_epi32)(KIT_SI(and)(Load(s + kLanes), skip), zero);
#if KIT_SIMD_WIDTH == 256
  return _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), 0xD8);
#else
  return _mm_packs_epi32(a, b);
#endif
}

// A field times its factor (0..255) >> 8, moved up by kUp.
template <int kUp>
KIT_ATTR inline KIT_V Scaled(KIT_V field, KIT_V factor) {
  return KIT_OP(slli_epi16)(KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(field, factor), 8), kUp);
}

// The colour factors of the scaled additions, per 16-bit lane.
struct Factors {
  KIT_V red, green, blue;
};

// The source pixels' fields at the top of their lanes: as they are, or (kScaled) each times its
// factor >> 8.
template <bool kGreen6, bool kScaled>
KIT_ATTR inline void SourceFields(KIT_V sv, const Factors& f, KIT_V& red, KIT_V& green, KIT_V& blue) {
  const KIT_V five = KIT_OP(set1_epi16)(31);
  if constexpr (kScaled) {
    if constexpr (kGreen6) {
      red = Scaled<11>(KIT_OP(srli_epi16)(sv, 11), f.red);
      green = Scaled<10>(KIT_SI(and)(KIT_OP(srli_epi16)(sv, 5), KIT_OP(set1_epi16)(63)), f.green);
    } else {
      red = Scaled<11>(KIT_SI(and)(KIT_OP(srli_epi16)(sv, 10), five), f.red);
      green = Scaled<11>(KIT_SI(and)(KIT_OP(srli_epi16)(sv, 5), five), f.green);
    }
    blue = Scaled<11>(KIT_SI(and)(sv, five), f.blue);
  } else {
    if constexpr (kGreen6) {
      red = KIT_SI(and)(sv, KIT_OP(set1_epi16)(static_cast<short>(0xF800)));
      green = KIT_OP(slli_epi16)(KIT_SI(and)(sv, KIT_OP(set1_epi16)(0x07E0)), 5);
    } else {
      red = KIT_OP(slli_epi16)(KIT_SI(and)(sv, KIT_OP(set1_epi16)(0x7C00)), 1);
      green = KIT_OP(slli_epi16)(KIT_SI(and)(sv, KIT_OP(set1_epi16)(0x03E0)), 6);
    }
    blue = KIT_OP(slli_epi16)(sv, 11);
  }
}

// A register of pixels at d with the source's fields added; with kSkip the pixels whose words have no
// bit under skip are left.
template <bool kGreen6, bool kScaled, bool kSkip>
KIT_ATTR inline KIT_V Added16(const std::uint16_t* d, const std::uint32_t* s, const Factors& f, KIT_V skipBits) {
  const KIT_V dv = Load(d);
  KIT_V red, green, blue;
  SourceFields<kGreen6, kScaled>(Low16(s), f, red, green, blue);
  const KIT_V out = AddFields16<kGreen6>(dv, red, green, blue);
  if constexpr (kSkip) return Select(Skipped16(s, skipBits), dv, out);
  return out;
}

// The whole row from pixel `from` when at least a register is left (else nothing): the last register,
// which may overlap the one before it, is worked out from the pixels as they were and stored last, so
// that every pixel is added to once.
template <bool kGreen6, bool kScaled, bool kSkip>
KIT_ATTR inline int Add16(std::uint16_t* d, const std::uint32_t* s, int from, int count, const Factors& f,
                          std::uint32_t skip) {
  constexpr int kBlock = 2 * kLanes;
  if (count - from < kBlock) return from;
  const KIT_V skipBits = KIT_OP(set1_epi32)(static_cast<int>(skip));
  const int last = count - kBlock;
  const KIT_V tail = Added16<kGreen6, kScaled, kSkip>(d + last, s + last, f, skipBits);
  for (int i = from; i < last; i += kBlock) Store(d + i, Added16<kGreen6, kScaled, kSkip>(d + i, s + i, f, skipBits));
  Store(d + last, tail);
  return count;
}

template <bool kGreen6, bool kScaled>
KIT_ATTR inline int Add16Skipping(std::uint16_t* d, const std::uint32_t* s, int from, int count, const Factors& f,
                                  std::uint32_t skip) {
  return skip != 0 ? Add16<kGreen6, kScaled, true>(d, s, from, count, f, skip)
                   : Add16<kGreen6, kScaled, false>(d, s, from, count, f, skip);
}

template <bool kGreen6>
KIT_ATTR inline int AddSaturated16(std::uint16_t* d, const std::uint32_t* s, int from, int count,
                                   std::uint32_t skip) {
  const KIT_V none = KIT_SI(setzero)();
  return Add16Skipping<kGreen6, false>(d, s, from, count, Factors{none, none, none}, skip);
}

template <bool kGreen6>
KIT_ATTR inline int AddScaled16(std::uint16_t* d, const std::uint32_t* s, int from, int count, std::uint32_t cr,
                                std::uint32_t cg, std::uint32_t cb, std::uint32_t skip) {
  const Factors f{KIT_OP(set1_epi16)(static_cast<short>(cr)), KIT_OP(set1_epi16)(static_cast<short>(cg)),
                  KIT_OP(set1_epi16)(static_cast<short>(cb))};
  return Add16Skipping<kGreen6, true>(d, s, from, count, f, skip);
}
