// The vector body of AlphaScan at one width (see SimdWidth.h). Whole blocks of registers from pixel
// `from`; returns where it stopped: count once both classes are found.

#include "framework/graphics/kernels/SimdCommon.inl"

// Per block two bytewise accumulators: the least of every byte, and the greatest of every byte with 1
// added to each alpha byte (wrapping), which takes alpha 255 to 0, alpha 0 to 1 and a partial alpha to
// 2 or more. Only their alpha bytes are looked at, once a block: a least alpha of 0 is a transparent
// pixel, a greatest shifted alpha of 2 or more a partial one.
KIT_ATTR inline std::size_t Scan(const std::uint32_t* s, std::size_t from, std::size_t count, Classes& found) {
  constexpr std::size_t kBlock = 8 * static_cast<std::size_t>(kLanes);
  const KIT_V alphaOne = KIT_OP(set1_epi32)(0x01000000);
  const KIT_V alphaBits = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  const KIT_V aboveOneBits = KIT_OP(set1_epi32)(static_cast<int>(0xFE000000u));
  const KIT_V zero = KIT_SI(setzero)();
  std::size_t i = from;
  for (; i + kBlock <= count; i += kBlock) {
    KIT_V least = KIT_OP(set1_epi32)(-1);
    KIT_V greatest = zero;
    for (std::size_t k = 0; k < kBlock; k += kLanes) {
      const KIT_V pixels = Load(s + i + k);
      least = KIT_OP(min_epu8)(least, pixels);
      greatest = KIT_OP(max_epu8)(greatest, KIT_OP(add_epi8)(pixels, alphaOne));
    }
    const KIT_V leastAlphaZero = KIT_OP(cmpeq_epi32)(KIT_SI(and)(least, alphaBits), zero);
    const KIT_V greatestAtMostOne = KIT_OP(cmpeq_epi32)(KIT_SI(and)(greatest, aboveOneBits), zero);
    found.transparent = found.transparent || KIT_OP(movemask_epi8)(leastAlphaZero) != 0;
    found.partial = found.partial || KIT_OP(movemask_epi8)(greatestAtMostOne) != kAllLanes;
    if (found.transparent && found.partial) return count;
  }
  return i;
}
