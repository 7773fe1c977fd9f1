// The vector body of CopyRows at one width (see SimdWidth.h). Each function works from pixel `from`
// while a whole register (two, for 16-bit rows) of pixels is left and returns where it stopped.

#include "framework/graphics/kernels/SimdCommon.inl"

KIT_ATTR inline int StoreLow16(std::uint16_t* d, const std::uint32_t* s, int from, int count) {
  int i = from;
  for (; i + 2 * kLanes <= count; i += 2 * kLanes) Store(d + i, Low16(s + i));
  return i;
}

KIT_ATTR inline int StoreKeyed32(std::uint32_t* d, const std::uint32_t* s, int from, int count) {
  const KIT_V zero = KIT_SI(setzero)();
  const KIT_V alphaMask = KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u));
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V sv = Load(s + i);
    const KIT_V clear = KIT_OP(cmpeq_epi32)(KIT_SI(and)(sv, alphaMask), zero);
    const int clearBits = KIT_OP(movemask_epi8)(clear);
    if (clearBits == kAllLanes) continue;
    Store(d + i, clearBits == 0 ? sv : Select(clear, Load(d + i), sv));
  }
  return i;
}

KIT_ATTR inline int StoreKeyed16(std::uint16_t* d, const std::uint32_t* s, int from, int count) {
  const KIT_V zero = KIT_SI(setzero)();
  int i = from;
  for (; i + 2 * kLanes <= count; i += 2 * kLanes) {
    const KIT_V clear = KIT_OP(cmpeq_epi16)(Alpha16(s + i), zero);
    const int clearBits = KIT_OP(movemask_epi8)(clear);
    if (clearBits == kAllLanes) continue;
    const KIT_V words = Low16(s + i);
    Store(d + i, clearBits == 0 ? words : Select(clear, Load(d + i), words));
  }
  return i;
}

// The source row read from its far end: d[k] = s[count - 1 - k].
KIT_ATTR inline int Reverse(std::uint32_t* d, const std::uint32_t* s, int from, int count) {
  int i = from;
  for (; i + kLanes <= count; i += kLanes) {
    const KIT_V v = Load(s + count - i - kLanes);
#if KIT_SIMD_WIDTH == 256
    Store(d + i, _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0)));
#else
    Store(d + i, _mm_shuffle_epi32(v, 0x1B));
#endif
  }
  return i;
}
