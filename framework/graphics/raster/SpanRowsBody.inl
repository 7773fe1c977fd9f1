// The vector body of SpanRows at one width (see framework/graphics/kernels/SimdWidth.h). Each function
// works from pixel `from` while a whole register of pixels is left and returns where it stopped.

#include "framework/graphics/kernels/SimdCommon.inl"

// x / 255 in each 16-bit lane, exact for every x < 65536 (x x 0x8081 >> 23).
KIT_ATTR inline KIT_V Div255x16(KIT_V x) {
  return KIT_OP(srli_epi16)(KIT_OP(mulhi_epu16)(x, KIT_OP(set1_epi16)(static_cast<short>(0x8081))), 7);
}

KIT_ATTR inline int Modulate(std::uint32_t* pixels, int from, int count, const Color& c) {
  const KIT_V zero = KIT_SI(setzero)();
  // Per 16-bit lane, in the byte order of a pixel: blue, green, red, alpha.
  const KIT_V c16 = KIT_OP(set1_epi64x)(
      static_cast<long long>(c.b | c.g << 16 | std::uint64_t{c.r} << 32 | std::uint64_t{c.a} << 48));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V p = Load(pixels + i);
    const KIT_V lo = Div255x16(KIT_OP(mullo_epi16)(KIT_OP(unpacklo_epi8)(p, zero), c16));
    const KIT_V hi = Div255x16(KIT_OP(mullo_epi16)(KIT_OP(unpackhi_epi8)(p, zero), c16));
    Store(pixels + i, KIT_OP(packus_epi16)(lo, hi));
  }
  return i;
}

// Two pixels in 16-bit lanes: (s x sa + d x (255 - sa)) / 255; the sum stays below 65536.
KIT_ATTR inline KIT_V OntoOpaqueHalf(KIT_V d16, KIT_V s16) {
  const KIT_V sa = SpreadAlpha16(s16);
  const KIT_V rest = KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(255), sa);
  return Div255x16(KIT_OP(add_epi16)(KIT_OP(mullo_epi16)(s16, sa), KIT_OP(mullo_epi16)(d16, rest)));
}

KIT_ATTR inline int OntoOpaque(std::uint32_t* row, const std::uint32_t* src, int from, int count) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V alphaMask = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V s = Load(src + i);
    const KIT_V alpha = KIT_SI(and)(s, alphaMask);
    const KIT_V clear = KIT_OP(cmpeq_epi32)(alpha, zero);
    const int clearBits = KIT_OP(movemask_epi8)(clear);
    if (clearBits == kAllLanes) continue;
    if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(alpha, alphaMask)) == kAllLanes) {
      Store(row + i, s);
      continue;
    }
    const KIT_V d = Load(row + i);
    const KIT_V lo = OntoOpaqueHalf(KIT_OP(unpacklo_epi8)(d, zero), KIT_OP(unpacklo_epi8)(s, zero));
    const KIT_V hi = OntoOpaqueHalf(KIT_OP(unpackhi_epi8)(d, zero), KIT_OP(unpackhi_epi8)(s, zero));
    const KIT_V out = KIT_SI(or)(KIT_OP(packus_epi16)(lo, hi), alphaMask);
    Store(row + i, clearBits == 0 ? out : Select(clear, d, out));
  }
  return i;
}

// Two pixels over opaque ones in 16-bit lanes: (s x sa >> 8) + (d x (256 - sa) >> 8).
KIT_ATTR inline KIT_V OverOpaqueHalf(KIT_V d16, KIT_V s16) {
  const KIT_V sa = SpreadAlpha16(s16);
  const KIT_V rest = KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(256), sa);
  return KIT_OP(add_epi16)(KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(s16, sa), 8),
                           KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(d16, rest), 8));
}

// Over an opaque pixel the blend keeps alpha 255 and weighs the source by its own alpha; a register
// with any other destination pixel takes the per-pixel formula.
KIT_ATTR inline int OverKeepingAlpha(std::uint32_t* row, const std::uint32_t* src, int from, int count) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V alphaMask = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V s = Load(src + i);
    const KIT_V alpha = KIT_SI(and)(s, alphaMask);
    const KIT_V clear = KIT_OP(cmpeq_epi32)(alpha, zero);
    const int clearBits = KIT_OP(movemask_epi8)(clear);
    if (clearBits == kAllLanes) continue;
    const KIT_V opaque = KIT_OP(cmpeq_epi32)(alpha, alphaMask);
    const int opaqueBits = KIT_OP(movemask_epi8)(opaque);
    if (opaqueBits == kAllLanes) {
      Store(row + i, s);
      continue;
    }
    const KIT_V d = Load(row + i);
    if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(KIT_SI(and)(d, alphaMask), alphaMask)) != kAllLanes) {
      OverKeepingAlphaScalar(row, src, i, i + kLanes);
      continue;
    }
    const KIT_V lo = OverOpaqueHalf(KIT_OP(unpacklo_epi8)(d, zero), KIT_OP(unpacklo_epi8)(s, zero));
    const KIT_V hi = OverOpaqueHalf(KIT_OP(unpackhi_epi8)(d, zero), KIT_OP(unpackhi_epi8)(s, zero));
    KIT_V out = KIT_SI(or)(KIT_OP(packus_epi16)(lo, hi), alphaMask);
    if (opaqueBits != 0) out = Select(opaque, s, out);
    Store(row + i, clearBits == 0 ? out : Select(clear, d, out));
  }
  return i;
}
