// The vector body of CopyRows at one width (see SimdWidth.h). Each function works from pixel `from`
// while a whole register (two, for 16-bit rows) of pixels is left and returns where it stopped.

#include "framework/graphics/kernels/SimdCommon.inl"

KIT_ATTR inline int StoreLow16(std::uint16_t* d, const std::uint32_t* s, int from, int count) {
  int i = from;
  for (; i + 2 * kLanes <= count; i += 2 * kLanes) Store(d + i, Low16(s + i));
  return i;
}

// count bytes (at least kBytes, at most 2 x kBytes) copied from `from` to `to` by a move of kBytes from
// the start and one ending at the end: a short run needs no loop, whose end would be mispredicted at
// nearly every run. The moves may cover bytes twice, with the same values; to and from do not overlap.
template <int kBytes>
KIT_ATTR inline void MoveEnds(char* to, const char* from, int count) {
  if constexpr (kBytes == static_cast<int>(sizeof(KIT_V))) {
    Store(to, Load(from));
    Store(to + count - kBytes, Load(from + count - kBytes));
  } else {
    std::memcpy(to, from, kBytes);
    std::memcpy(to + count - kBytes, from + count - kBytes, kBytes);
  }
}

// A span longer than two registers is stored from its start up: one register at its start, then
// registers on register boundaries, then one ending at its end. Only the first and the last store can
// be split across two cache lines, and no store goes back below one before it, so what a span costs
// rests on the bytes and lines it covers rather than on how a core takes split or out-of-order
// stores. Always inlined: called, it would have the span loop keep its values on the stack.
template <typename Pixel>
[[gnu::always_inline]] KIT_ATTR inline void CopyRun(Pixel* d, const Pixel* s, int count) {
  auto* to = reinterpret_cast<char*>(d);
  const auto* from = reinterpret_cast<const char*>(s);
  const int bytes = count * static_cast<int>(sizeof(Pixel));
  constexpr int kRegister = sizeof(KIT_V);
  if (bytes > 2 * kRegister) {
    Store(to, Load(from));
    const int skew = kRegister - static_cast<int>(reinterpret_cast<std::uintptr_t>(to) % kRegister);
    for (int at = skew; at < bytes - kRegister; at += kRegister) Store(to + at, Load(from + at));
    Store(to + bytes - kRegister, Load(from + bytes - kRegister));
  } else if (bytes > kRegister) {
    MoveEnds<kRegister>(to, from, bytes);
  } else if (bytes > 16) {
    MoveEnds<16>(to, from, bytes);
  } else if (bytes >= 8) {
    MoveEnds<8>(to, from, bytes);
  } else if (bytes >= 4) {
    MoveEnds<4>(to, from, bytes);
  } else if (bytes > 0) {
    d[0] = s[0];
  }
}

// Span by span, each cut to the columns copied only where the rectangle leaves some of the picture's
// columns out (kCut): spans never reach past the picture's sides.
template <bool kCut, typename Pixel>
KIT_ATTR inline void StoreKeyedSpans(const KeyedRows<Pixel>& rows) {
  // Held locally: the stores below cannot be taken to change them.
  const int left = rows.left, right = rows.right, top = rows.top;
  const std::ptrdiff_t dStride = rows.dStride, sStride = rows.sStride;
  Pixel* const d = rows.d;
  const Pixel* const words = rows.words;
  const KeyedSpans::Span* const last = rows.spans + rows.rowFirst[rows.height];
  for (const KeyedSpans::Span* span = rows.spans + rows.rowFirst[0]; span != last; ++span) {
    const std::ptrdiff_t row = span->row - top;
    if constexpr (kCut) {
      const int start = span->start > left ? span->start : left;
      const int end = span->end < right ? span->end : right;
      if (start < end) CopyRun(d + (row * dStride + (start - left)), words + row * sStride + start, end - start);
    } else {
      CopyRun(d + row * dStride + span->start, words + row * sStride + span->start, span->end - span->start);
    }
  }
}

template <typename Pixel>
KIT_ATTR inline void StoreKeyed(const KeyedRows<Pixel>& rows) {
  if (rows.left == 0 && rows.right == rows.sStride)
    StoreKeyedSpans<false>(rows);
  else
    StoreKeyedSpans<true>(rows);
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
