// The vector body of OverRows at one width (see SimdWidth.h). Each function works from pixel `from`
// while a whole register of pixels is left and returns where it stopped.

#include "framework/graphics/SimdCommon.inl"

KIT_ATTR inline int OntoSurface888(std::uint32_t* d, const std::uint32_t* s, int from, int count, bool skipClear) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V fields = KIT_OP(set1_epi32)(0x00FFFFFF);
  const KIT_V full = KIT_OP(set1_epi32)(256);
  const KIT_V opaque = KIT_OP(set1_epi32)(255);
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V sv = Load(s + i);
    const KIT_V alpha = KIT_OP(srli_epi32)(sv, 24);
    const KIT_V clear = KIT_OP(cmpeq_epi32)(alpha, zero);
    const int clearBits = skipClear ? KIT_OP(movemask_epi8)(clear) : 0;
    if (clearBits == kAllLanes) continue;
    // Alpha 255 leaves nothing of the destination (its fields x 1 >> 8 are 0): the words are stored.
    if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(alpha, opaque)) == kAllLanes) {
      Store(d + i, sv);
      continue;
    }
    const KIT_V original = Load(d + i);
    const KIT_V dv = KIT_SI(and)(original, fields);
    // 256 - alpha of each pixel, repeated in the four 16-bit lanes of its bytes.
    const KIT_V rest32 = KIT_OP(sub_epi32)(full, alpha);
    const KIT_V rest16 = KIT_SI(or)(rest32, KIT_OP(slli_epi32)(rest32, 16));
    const KIT_V low = KIT_OP(srli_epi16)(
        KIT_OP(mullo_epi16)(KIT_OP(unpacklo_epi8)(dv, zero), KIT_OP(unpacklo_epi32)(rest16, rest16)), 8);
    const KIT_V high = KIT_OP(srli_epi16)(
        KIT_OP(mullo_epi16)(KIT_OP(unpackhi_epi8)(dv, zero), KIT_OP(unpackhi_epi32)(rest16, rest16)), 8);
    const KIT_V out = KIT_OP(add_epi32)(KIT_OP(packus_epi16)(low, high), sv);
    Store(d + i, clearBits == 0 ? out : Select(clear, original, out));
  }
  return i;
}

KIT_ATTR inline int OntoSurface565(std::uint16_t* d, const std::uint32_t* s, int from, int count, bool skipClear) {
  const KIT_V full = KIT_OP(set1_epi16)(256);
  const KIT_V six = KIT_OP(set1_epi16)(63), five = KIT_OP(set1_epi16)(31);
  const KIT_V opaque = KIT_OP(set1_epi16)(255);
  int i = from;
  for (; i + 2 * kLanes <= count; i += 2 * kLanes) {
    const KIT_V alpha = Alpha16(s + i);
    const KIT_V clear = KIT_OP(cmpeq_epi16)(alpha, KIT_SI(setzero)());
    const int clearBits = skipClear ? KIT_OP(movemask_epi8)(clear) : 0;
    if (clearBits == kAllLanes) continue;
    if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi16)(alpha, opaque)) == kAllLanes) {
      Store(d + i, Low16(s + i));
      continue;
    }
    const KIT_V dv = Load(d + i);
    const KIT_V rest = KIT_OP(sub_epi16)(full, alpha);
    // Each field times rest, >> 8, fits 16 bits (63 x 256) and lands back in its place.
    const KIT_V red = KIT_OP(slli_epi16)(
        KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_OP(srli_epi16)(dv, 11), rest), 8), 11);
    const KIT_V green = KIT_OP(slli_epi16)(
        KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_SI(and)(KIT_OP(srli_epi16)(dv, 5), six), rest), 8), 5);
    const KIT_V blue = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_SI(and)(dv, five), rest), 8);
    const KIT_V out = KIT_OP(add_epi16)(KIT_SI(or)(red, KIT_SI(or)(green, blue)), Low16(s + i));
    Store(d + i, clearBits == 0 ? out : Select(clear, dv, out));
  }
  return i;
}

// Four (eight) source pixels blended over opaque destination pixels; the alpha bytes are left for the
// caller to set. x * w >> 8 is the high half of x * (w << 8), and (256 - a) << 8 wraps to 0 - (a << 8)
// in 16 bits, which is right for every partial alpha: callers handle alpha 0 and 255 themselves.
KIT_ATTR inline KIT_V BlendOverOpaque(KIT_V d, KIT_V s) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V sLow = KIT_OP(unpacklo_epi8)(s, zero), sHigh = KIT_OP(unpackhi_epi8)(s, zero);
  const KIT_V aLow = KIT_OP(slli_epi16)(SpreadAlpha16(sLow), 8), aHigh = KIT_OP(slli_epi16)(SpreadAlpha16(sHigh), 8);
  const KIT_V low = KIT_OP(add_epi16)(
      KIT_OP(mulhi_epu16)(KIT_OP(unpacklo_epi8)(d, zero), KIT_OP(sub_epi16)(zero, aLow)), KIT_OP(mulhi_epu16)(sLow, aLow));
  const KIT_V high = KIT_OP(add_epi16)(KIT_OP(mulhi_epu16)(KIT_OP(unpackhi_epi8)(d, zero), KIT_OP(sub_epi16)(zero, aHigh)),
                                       KIT_OP(mulhi_epu16)(sHigh, aHigh));
  return KIT_OP(packus_epi16)(low, high);
}

// Over opaque pixels the over-blend's weight is the source alpha itself; a register with any other
// destination pixel takes the scalar formula.
KIT_ATTR inline int OverPixels(std::uint32_t* row, const std::uint32_t* src, int from, int count) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V alphaMask = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V d = Load(row + i);
    const KIT_V s = Load(src + i);
    if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(KIT_SI(and)(d, alphaMask), alphaMask)) != kAllLanes) {
      OverPixelsScalar(row, src, i, i + kLanes);
      continue;
    }
    const KIT_V clear = KIT_OP(cmpeq_epi32)(KIT_SI(and)(s, alphaMask), zero);
    Store(row + i, Select(clear, d, KIT_SI(or)(BlendOverOpaque(d, s), alphaMask)));
  }
  return i;
}

KIT_ATTR inline int OntoOpaque(std::uint32_t* row, const std::uint32_t* src, int from, int count) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V alphaMask = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V s = Load(src + i);
    const KIT_V alpha = KIT_SI(and)(s, alphaMask);
    const KIT_V opaque = KIT_OP(cmpeq_epi32)(alpha, alphaMask);
    const KIT_V clear = KIT_OP(cmpeq_epi32)(alpha, zero);
    if (KIT_OP(movemask_epi8)(clear) == kAllLanes) continue;
    if (KIT_OP(movemask_epi8)(opaque) == kAllLanes) {
      Store(row + i, s);
      continue;
    }
    const KIT_V d = Load(row + i);
    const KIT_V out = Select(opaque, s, KIT_SI(or)(BlendOverOpaque(d, s), alphaMask));
    Store(row + i, Select(clear, d, out));
  }
  return i;
}
