// The vector body of WholePixelRows at one width (see SimdWidth.h). Each function draws whole rows of
// at least one block (a register of destination pixels): the row's last block, which may overlap the
// one before it, is worked out from the destination as it was before the row is drawn and stored
// last, so every pixel gets its value from its original destination.

#include "framework/graphics/SimdCommon.inl"

// A block of 8-8-8 pixels from its weighted words.
KIT_ATTR inline KIT_V Weighted888(KIT_V words, KIT_V dst) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V fields = KIT_OP(set1_epi32)(0x00FFFFFF);
  const KIT_V w = KIT_OP(srli_epi32)(words, 24);
  const KIT_V colour = KIT_SI(and)(words, fields);
  const KIT_V dv = KIT_SI(and)(dst, fields);
  // Weight 0 keeps the fields; 254 (opaque) keeps d x 2 >> 8 = d >> 7 of each.
  if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(w, zero)) == kAllLanes) return dv;
  if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(w, KIT_OP(set1_epi32)(254))) == kAllLanes)
    return KIT_OP(add_epi32)(colour, KIT_SI(and)(KIT_OP(srli_epi32)(dst, 7), KIT_OP(set1_epi32)(0x010101)));
  // 256 - w of each pixel, repeated in the four 16-bit lanes of its bytes.
  const KIT_V rest32 = KIT_OP(sub_epi32)(KIT_OP(set1_epi32)(256), w);
  const KIT_V rest16 = KIT_SI(or)(rest32, KIT_OP(slli_epi32)(rest32, 16));
  const KIT_V low = KIT_OP(srli_epi16)(
      KIT_OP(mullo_epi16)(KIT_OP(unpacklo_epi8)(dv, zero), KIT_OP(unpacklo_epi32)(rest16, rest16)), 8);
  const KIT_V high = KIT_OP(srli_epi16)(
      KIT_OP(mullo_epi16)(KIT_OP(unpackhi_epi8)(dv, zero), KIT_OP(unpackhi_epi32)(rest16, rest16)), 8);
  return KIT_OP(add_epi32)(KIT_OP(packus_epi16)(low, high), colour);
}

KIT_ATTR inline void Onto888(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words,
                             std::ptrdiff_t wordPitch, int count, int rows) {
  const int last = count - kLanes;
  for (int r = 0; r < rows; ++r, d += dPitch, words += wordPitch) {
    const KIT_V tail = Weighted888(Load(words + last), Load(d + last));
    for (int i = 0; i < last; i += kLanes) Store(d + i, Weighted888(Load(words + i), Load(d + i)));
    Store(d + last, tail);
  }
}

// Two registers of weighted words onto 5-6-5 pixels; false when they leave the pixels as they are.
KIT_ATTR inline bool Weighted565(const std::uint32_t* words, KIT_V dst, KIT_V& out) {
  const KIT_V w = Alpha16(words);
  if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi16)(w, KIT_SI(setzero)())) == kAllLanes) return false;
  if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi16)(w, KIT_OP(set1_epi16)(255))) == kAllLanes) {
    out = Low16(words);
    return true;
  }
  const KIT_V rest = KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(256), w);
  // Each field times rest, >> 8, fits 16 bits (63 x 256) and lands back in its place.
  const KIT_V red =
      KIT_OP(slli_epi16)(KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_OP(srli_epi16)(dst, 11), rest), 8), 11);
  const KIT_V green = KIT_OP(slli_epi16)(
      KIT_OP(srli_epi16)(
          KIT_OP(mullo_epi16)(KIT_SI(and)(KIT_OP(srli_epi16)(dst, 5), KIT_OP(set1_epi16)(63)), rest), 8),
      5);
  const KIT_V blue =
      KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_SI(and)(dst, KIT_OP(set1_epi16)(31)), rest), 8);
  out = KIT_OP(add_epi16)(KIT_SI(or)(red, KIT_SI(or)(green, blue)), Low16(words));
  return true;
}

KIT_ATTR inline void Onto565(std::uint16_t* d, std::ptrdiff_t dPitch, const std::uint32_t* words,
                             std::ptrdiff_t wordPitch, int count, int rows) {
  constexpr int kBlock = 2 * kLanes;
  const int last = count - kBlock;
  for (int r = 0; r < rows; ++r, d += dPitch, words += wordPitch) {
    KIT_V tail, out;
    const bool tailDrawn = Weighted565(words + last, Load(d + last), tail);
    for (int i = 0; i < last; i += kBlock)
      if (Weighted565(words + i, Load(d + i), out)) Store(d + i, out);
    if (tailDrawn) Store(d + last, tail);
  }
}

// Half a block of the memory image's rule below, in 16-bit lanes: source s16 over opaque d16.
KIT_ATTR inline KIT_V OverOpaqueHalf(KIT_V s16, KIT_V d16) {
  const KIT_V one = KIT_OP(set1_epi16)(1);
  const KIT_V a = SpreadAlpha16(s16);
  const KIT_V ac = KIT_OP(mullo_epi16)(s16, a);
  // ac / 255 is (ac + 1 + (ac >> 8)) >> 8 for every ac up to 255 x 255.
  const KIT_V sum = KIT_OP(add_epi16)(
      ac, KIT_OP(srli_epi16)(KIT_OP(add_epi16)(KIT_OP(add_epi16)(ac, one), KIT_OP(srli_epi16)(ac, 8)), 8));
  const KIT_V kept = KIT_OP(mullo_epi16)(KIT_OP(subs_epu16)(d16, one), KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(256), a));
  const KIT_V mixed = KIT_OP(srli_epi16)(KIT_OP(add_epi16)(kept, sum), 8);
  const KIT_V high = KIT_OP(cmpgt_epi16)(a, KIT_OP(set1_epi16)(250));
  const KIT_V clear = KIT_OP(cmpeq_epi16)(a, KIT_SI(setzero)());
  return Select(clear, d16, Select(high, KIT_OP(srli_epi16)(sum, 8), mixed));
}

// How a block of whole source pixels went onto a memory image's pixels.
enum class Drawn { kNothing, kBlock, kByPixel };

// A block of ARGB source pixels over opaque destination pixels: alpha 0 leaves a pixel, alpha 251 and
// up gives the source colour (C x 256a / 255 >> 8, the source itself at 255), any other alpha mixes
// ((D x 255 >> 8)(256 - a) + C x 256a / 255) >> 8; all opaque. kByPixel when a blended pixel's
// destination is not opaque.
KIT_ATTR inline Drawn OverOpaque(KIT_V src, KIT_V dst, KIT_V& out) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V opaque = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  const KIT_V alpha = KIT_SI(and)(src, opaque);
  if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(alpha, zero)) == kAllLanes) return Drawn::kNothing;
  if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(alpha, opaque)) == kAllLanes) {
    out = src;
    return Drawn::kBlock;
  }
  if (KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(KIT_SI(and)(dst, opaque), opaque)) != kAllLanes)
    return Drawn::kByPixel;
  const KIT_V low = OverOpaqueHalf(KIT_OP(unpacklo_epi8)(src, zero), KIT_OP(unpacklo_epi8)(dst, zero));
  const KIT_V high = OverOpaqueHalf(KIT_OP(unpackhi_epi8)(src, zero), KIT_OP(unpackhi_epi8)(dst, zero));
  out = KIT_SI(or)(KIT_OP(packus_epi16)(low, high), opaque);
  return Drawn::kBlock;
}

KIT_ATTR inline void OntoImage(std::uint32_t* d, std::ptrdiff_t dPitch, const std::uint32_t* s,
                               std::ptrdiff_t sPitch, int count, int rows, PixelRule pixel) {
  const int last = count - kLanes;
  for (int r = 0; r < rows; ++r, d += dPitch, s += sPitch) {
    KIT_V tail = KIT_SI(setzero)(), out;
    const Drawn tailDrawn = OverOpaque(Load(s + last), Load(d + last), tail);
    // The last block can go last only when it needs no pixel rule.
    const int end = tailDrawn == Drawn::kByPixel ? count - kLanes + 1 : last;
    int i = 0;
    for (; i < end; i += kLanes) {
      const Drawn drawn = OverOpaque(Load(s + i), Load(d + i), out);
      if (drawn == Drawn::kBlock) Store(d + i, out);
      if (drawn == Drawn::kByPixel)
        for (int j = i; j < i + kLanes; ++j) d[j] = pixel(d[j], s[j]);
    }
    if (tailDrawn == Drawn::kByPixel)
      for (; i < count; ++i) d[i] = pixel(d[i], s[i]);
    else if (tailDrawn == Drawn::kBlock)
      Store(d + last, tail);
  }
}
