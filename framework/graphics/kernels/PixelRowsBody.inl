// The vector bodies of PixelRows::OverConstant and AddSaturated at one width (see SimdWidth.h): each
// works from pixel `from` while a whole register of pixels is left and returns where it stopped.

#include "framework/graphics/kernels/SimdCommon.inl"

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

// Over an opaque pixel the weight is sa itself: (dst x (256 - sa) >> 8) + (src x sa >> 8) per channel,
// alpha 255; a register with any other pixel takes the per-pixel formula. A field times 256 - sa,
// >> 8, is the high half of the field placed in the top byte of its 16-bit lane times 256 - sa (red
// and blue move up a byte; green is there already and its word's top lane weighs 0, dropping alpha).
KIT_ATTR inline int OverConstant(std::uint32_t* row, int from, int count, std::uint32_t color, std::uint32_t sa) {
  const KIT_V source = KIT_OP(set1_epi32)(static_cast<int>(PixelBlend::OntoOpaque(0, color, sa)));
  const KIT_V keep = KIT_OP(set1_epi16)(static_cast<short>(256 - sa));
  const KIT_V keepGreen = KIT_OP(set1_epi32)(static_cast<int>(256 - sa));
  const KIT_V alphaMask = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  const KIT_V redBlueHigh = KIT_OP(set1_epi32)(static_cast<int>(0xFF00FF00u));
  const KIT_V greenMask = KIT_OP(set1_epi32)(0x0000FF00);
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V d = Load(row + i);
#if KIT_SIMD_WIDTH == 256
    const bool opaque = _mm256_testc_si256(d, alphaMask);
#else
    const bool opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(d, alphaMask), alphaMask)) == kAllLanes;
#endif
    if (!opaque) {
      for (int k = i; k < i + kLanes; ++k) row[k] = PixelBlend::Over(row[k], color, sa);
      continue;
    }
    const KIT_V redBlue = KIT_OP(mulhi_epu16)(KIT_SI(and)(KIT_OP(slli_epi32)(d, 8), redBlueHigh), keep);
    const KIT_V green = KIT_OP(mulhi_epu16)(KIT_SI(and)(d, greenMask), keepGreen);
    Store(row + i, KIT_OP(add_epi32)(KIT_SI(or)(redBlue, KIT_OP(slli_epi32)(green, 8)), source));
  }
  return i;
}
