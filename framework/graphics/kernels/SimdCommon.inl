// The pieces every kernel body uses, at the width SimdWidth.h chose; included at the top of a body.

constexpr int kLanes = static_cast<int>(sizeof(KIT_V) / 4);  // 32-bit pixels per register
constexpr int kAllLanes = static_cast<int>((1ull << (4 * kLanes)) - 1);  // movemask of a register of all-ones

template <typename T>
KIT_ATTR inline KIT_V Load(const T* p) {
  return KIT_SI(loadu)(reinterpret_cast<const KIT_V*>(p));
}
template <typename T>
KIT_ATTR inline void Store(T* p, KIT_V v) {
  KIT_SI(storeu)(reinterpret_cast<KIT_V*>(p), v);
}
KIT_ATTR inline KIT_V Select(KIT_V mask, KIT_V yes, KIT_V no) {
  return KIT_SI(or)(KIT_SI(and)(mask, yes), KIT_SI(andnot)(mask, no));
}
// Each pixel's alpha (the top 16-bit lane of its four) in all four of its lanes.
KIT_ATTR inline KIT_V SpreadAlpha16(KIT_V pixels16) {
  return KIT_OP(shufflehi_epi16)(KIT_OP(shufflelo_epi16)(pixels16, 0xFF), 0xFF);
}
// The low 16 bits of 2 x kLanes 32-bit words in order, as 16-bit lanes.
KIT_ATTR inline KIT_V Low16(const std::uint32_t* s) {
  const KIT_V a = KIT_OP(srai_epi32)(KIT_OP(slli_epi32)(Load(s), 16), 16);
  const KIT_V b = KIT_OP(srai_epi32)(KIT_OP(slli_epi32)(Load(s + kLanes), 16), 16);
#if KIT_SIMD_WIDTH == 256
  return _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), 0xD8);  // the pack works per half
#else
  return _mm_packs_epi32(a, b);
#endif
}
// The top bytes (alpha) of 2 x kLanes 32-bit words in order, as 16-bit lanes.
KIT_ATTR inline KIT_V Alpha16(const std::uint32_t* s) {
  const KIT_V a = KIT_OP(srli_epi32)(Load(s), 24);
  const KIT_V b = KIT_OP(srli_epi32)(Load(s + kLanes), 24);
#if KIT_SIMD_WIDTH == 256
  return _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), 0xD8);
#else
  return _mm_packs_epi32(a, b);
#endif
}
