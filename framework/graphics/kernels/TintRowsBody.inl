// The vector body of TintRows at one width (see SimdWidth.h). Each function works from pixel `from`
// while a whole register of pixels is left and returns where it stopped.

#include "framework/graphics/kernels/SimdCommon.inl"

// Each pixel's sa x tint.a / 255 in its 32-bit lane (exact: x x 0x8081 >> 23 for every x < 65536).
KIT_ATTR inline KIT_V WeightOf(KIT_V s, KIT_V ca) {
  const KIT_V product = KIT_OP(madd_epi16)(KIT_OP(srli_epi32)(s, 24), ca);
  return KIT_OP(srli_epi32)(KIT_OP(mulhi_epu16)(product, KIT_OP(set1_epi32)(0x8081)), 7);
}

// A 32-bit lane's value (below 65536) in the four 16-bit lanes of its pixel, for the low or the high
// two pixels of each 128-bit half.
KIT_ATTR inline KIT_V SpreadLow(KIT_V w32) {
  const KIT_V w = KIT_SI(or)(w32, KIT_OP(slli_epi32)(w32, 16));
  return KIT_OP(unpacklo_epi32)(w, w);
}
KIT_ATTR inline KIT_V SpreadHigh(KIT_V w32) {
  const KIT_V w = KIT_SI(or)(w32, KIT_OP(slli_epi32)(w32, 16));
  return KIT_OP(unpackhi_epi32)(w, w);
}

// Two pixels' fields in 16-bit lanes: ((d x ia + s x c) >> 8) AND 0xFF, the sums taken in 32 bits.
KIT_ATTR inline KIT_V SurfaceHalf(KIT_V d16, KIT_V s16, KIT_V ia16, KIT_V c16) {
  const KIT_V lo =
      KIT_OP(srli_epi32)(KIT_OP(madd_epi16)(KIT_OP(unpacklo_epi16)(d16, s16), KIT_OP(unpacklo_epi16)(ia16, c16)), 8);
  const KIT_V hi =
      KIT_OP(srli_epi32)(KIT_OP(madd_epi16)(KIT_OP(unpackhi_epi16)(d16, s16), KIT_OP(unpackhi_epi16)(ia16, c16)), 8);
  return KIT_SI(and)(KIT_OP(packs_epi32)(lo, hi), KIT_OP(set1_epi16)(0xFF));
}

KIT_ATTR inline int OntoSurface888(std::uint32_t* d, const std::uint32_t* s, int from, int count, const Tint& t,
                                   Mode mode) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V ca = KIT_OP(set1_epi32)(static_cast<int>(t.a));
  // Per 16-bit lane, in the byte order of a pixel: blue, green, red, and 0 for the top byte.
  const KIT_V c16 = KIT_OP(set1_epi64x)(static_cast<long long>(t.b | t.g << 16 | std::uint64_t{t.r} << 32));
  const KIT_V fields = KIT_OP(set1_epi32)(0x00FFFFFF);
  const KIT_V full = KIT_OP(set1_epi32)(256);
  const KIT_V alphaMask = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  const bool opaqueTint = t.a == 255;
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V dv = Load(d + i), sv = Load(s + i);
    const KIT_V alpha = KIT_SI(and)(sv, alphaMask);
    const KIT_V weight = WeightOf(sv, ca);
    KIT_V ia = KIT_OP(sub_epi32)(full, weight), clear;
    if (mode == Mode::kBlit) {
      clear = KIT_OP(cmpeq_epi32)(alpha, zero);
      if (opaqueTint) ia = KIT_SI(andnot)(KIT_OP(cmpeq_epi32)(alpha, alphaMask), ia);
    } else {
      clear = KIT_OP(cmpeq_epi32)(weight, zero);
    }
    const int clearBits = KIT_OP(movemask_epi8)(clear);
    if (clearBits == kAllLanes) continue;
    const KIT_V lo = SurfaceHalf(KIT_OP(unpacklo_epi8)(dv, zero), KIT_OP(unpacklo_epi8)(sv, zero), SpreadLow(ia), c16);
    const KIT_V hi = SurfaceHalf(KIT_OP(unpackhi_epi8)(dv, zero), KIT_OP(unpackhi_epi8)(sv, zero), SpreadHigh(ia), c16);
    const KIT_V out = KIT_SI(and)(KIT_OP(packus_epi16)(lo, hi), fields);
    Store(d + i, clearBits == 0 ? out : Select(clear, dv, out));
  }
  return i;
}

// A register of 16-bit pixels (5-6-5 with kGreen6, else 5-5-5) at d from two registers of words at s
// by the 16-bit formula. Each field works in its own units: (d_f x ia + s_f x c) stays below 32768.
template <bool kGreen6>
KIT_ATTR inline KIT_V Surface16Block(const std::uint16_t* d, const std::uint32_t* s, KIT_V ca, KIT_V cr, KIT_V cg,
                                     KIT_V cb, bool opaqueTint, Mode mode) {
  constexpr int kRedShift = kGreen6 ? 11 : 10;
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V five = KIT_OP(set1_epi16)(31), green = KIT_OP(set1_epi16)(kGreen6 ? 63 : 31);
  const KIT_V dv = Load(d), words = Low16(s), alpha = Alpha16(s);
  // a x ca / 255, exact through x x 0x8081 >> 23 for x below 65536.
  const KIT_V weight =
      KIT_OP(srli_epi16)(KIT_OP(mulhi_epu16)(KIT_OP(mullo_epi16)(alpha, ca), KIT_OP(set1_epi16)(static_cast<short>(0x8081))), 7);
  KIT_V ia = KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(256), weight), clear;
  if (mode == Mode::kBlit) {
    clear = KIT_OP(cmpeq_epi16)(alpha, zero);
    if (opaqueTint) ia = KIT_SI(andnot)(KIT_OP(cmpeq_epi16)(alpha, KIT_OP(set1_epi16)(255)), ia);
  } else {
    clear = KIT_OP(cmpeq_epi16)(weight, zero);
  }
  const auto field = [&](KIT_V dField, KIT_V sField, KIT_V c, KIT_V max) __attribute__((always_inline)) KIT_ATTR {
    return KIT_SI(and)(
        KIT_OP(srli_epi16)(KIT_OP(add_epi16)(KIT_OP(mullo_epi16)(dField, ia), KIT_OP(mullo_epi16)(sField, c)), 8), max);
  };
  const KIT_V r = field(KIT_SI(and)(KIT_OP(srli_epi16)(dv, kRedShift), five),
                        KIT_SI(and)(KIT_OP(srli_epi16)(words, kRedShift), five), cr, five);
  const KIT_V g = field(KIT_SI(and)(KIT_OP(srli_epi16)(dv, 5), green), KIT_SI(and)(KIT_OP(srli_epi16)(words, 5), green),
                        cg, green);
  const KIT_V b = field(KIT_SI(and)(dv, five), KIT_SI(and)(words, five), cb, five);
  const KIT_V out =
      KIT_SI(or)(KIT_SI(or)(KIT_OP(slli_epi16)(r, kRedShift), KIT_OP(slli_epi16)(g, 5)), b);
  return Select(clear, dv, out);
}

// The whole row from pixel `from` when a register of pixels is left (else nothing): the last register,
// which may overlap the one before it, is worked out from the pixels as they were and stored last.
template <bool kGreen6>
KIT_ATTR inline int OntoSurface16(std::uint16_t* d, const std::uint32_t* s, int from, int count, const Tint& t,
                                  Mode mode) {
  constexpr int kBlock = 2 * kLanes;
  if (count - from < kBlock) return from;
  const KIT_V ca = KIT_OP(set1_epi16)(static_cast<short>(t.a)), cr = KIT_OP(set1_epi16)(static_cast<short>(t.r)),
              cg = KIT_OP(set1_epi16)(static_cast<short>(t.g)), cb = KIT_OP(set1_epi16)(static_cast<short>(t.b));
  const bool opaqueTint = t.a == 255;
  const int last = count - kBlock;
  const KIT_V tail = Surface16Block<kGreen6>(d + last, s + last, ca, cr, cg, cb, opaqueTint, mode);
  for (int i = from; i < last; i += kBlock)
    Store(d + i, Surface16Block<kGreen6>(d + i, s + i, ca, cr, cg, cb, opaqueTint, mode));
  Store(d + last, tail);
  return count;
}

// Two pixels over opaque ones in 16-bit lanes: (s x c) x sa >> 16 (the high half of the product) plus
// d x (256 - sa) >> 8.
KIT_ATTR inline KIT_V OverHalf(KIT_V d16, KIT_V s16, KIT_V sa16, KIT_V c16) {
  const KIT_V source = KIT_OP(mulhi_epu16)(KIT_OP(mullo_epi16)(s16, c16), sa16);
  const KIT_V rest = KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(256), sa16);
  return KIT_OP(add_epi16)(source, KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(d16, rest), 8));
}

// Registers whose destination pixels are all opaque are blended here; any other register is left to
// the per-pixel formula, which handles translucent destinations.
KIT_ATTR inline int OverColored(std::uint32_t* row, const std::uint32_t* src, int from, int count, const Tint& t) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V ca = KIT_OP(set1_epi32)(static_cast<int>(t.a));
  const KIT_V c16 = KIT_OP(set1_epi64x)(static_cast<long long>(t.b | t.g << 16 | std::uint64_t{t.r} << 32));
  const KIT_V alphaMask = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V dv = Load(row + i), sv = Load(src + i);
    const KIT_V opaque = KIT_OP(cmpeq_epi32)(KIT_SI(and)(dv, alphaMask), alphaMask);
    if (KIT_OP(movemask_epi8)(opaque) != kAllLanes) {
      OverScalar(row, src, i, i + kLanes, t);
      continue;
    }
    const KIT_V sa = WeightOf(sv, ca);
    const KIT_V lo = OverHalf(KIT_OP(unpacklo_epi8)(dv, zero), KIT_OP(unpacklo_epi8)(sv, zero), SpreadLow(sa), c16);
    const KIT_V hi = OverHalf(KIT_OP(unpackhi_epi8)(dv, zero), KIT_OP(unpackhi_epi8)(sv, zero), SpreadHigh(sa), c16);
    const KIT_V out = KIT_SI(or)(KIT_OP(packus_epi16)(lo, hi), alphaMask);
    Store(row + i, Select(KIT_OP(cmpeq_epi32)(sa, zero), dv, out));
  }
  return i;
}
