// The vector body of PixelRows::AddSaturated at one width (see SimdWidth.h): works from pixel `from`
// while a whole register of pixels is left and returns where it stopped.

#include "framework/graphics/SimdCommon.inl"

KIT_ATTR inline int AddSaturated(std::uint32_t* row, const std::uint32_t* src, int from, int count, bool colored,
                                 std::uint32_t pr, std::uint32_t pg, std::uint32_t pb, bool scaleByAlpha) {
  const KIT_V zero = KIT_SI(setzero)();
  // Per 16-bit lane, in the byte order of a pixel: blue, green, red, and 0 for the alpha lane, which
  // keeps the destination's alpha.
  const std::uint64_t factors = colored ? pb | pg << 16 | std::uint64_t{pr} << 32 : 0x0000010001000100ull;
  const KIT_V factor = KIT_OP(set1_epi64x)(static_cast<long long>(factors));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V d = Load(row + i);
    const KIT_V s = Load(src + i);
    KIT_V low = KIT_OP(unpacklo_epi8)(s, zero), high = KIT_OP(unpackhi_epi8)(s, zero);
    const KIT_V lowAlpha = SpreadAlpha16(low), highAlpha = SpreadAlpha16(high);
    low = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(low, factor), 8);
    high = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(high, factor), 8);
    if (scaleByAlpha) {
      low = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(low, lowAlpha), 8);
      high = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(high, highAlpha), 8);
    }
    Store(row + i, KIT_OP(adds_epu8)(d, KIT_OP(packus_epi16)(low, high)));
  }
  return i;
}
