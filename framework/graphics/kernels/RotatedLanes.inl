// The samples of a rotated row in the lanes of one register (see SimdWidth.h), shared by the surface
// and memory-image rotated rows: their positions, their 2 x 2 source neighbourhoods gathered into
// registers, and the fractions their weights come from. Included by a body after SimdCommon.inl.

// The 16.16 positions start + j x step of the register's samples j, in 32-bit lanes; lanes from
// `valid` on repeat the last valid sample (so that a row's last, partial register reads nothing
// outside the span).
KIT_ATTR inline KIT_V Positions(std::int64_t start, std::int64_t step, int valid = kLanes) {
  alignas(32) std::int32_t at[kLanes];
  for (int j = 0; j < kLanes; ++j) at[j] = static_cast<std::int32_t>(start + (j < valid ? j : valid - 1) * step);
  return Load(at);
}

// Neighbour t (top-left, top-right, bottom-left, bottom-right) of the samples at (us, vs) in src[t],
// from pixels in rows of stride starting at origin. Positions and stride must be positive and below
// 32768 pixels: the row offset is a 16 x 16 product.
KIT_ATTR inline void Neighbours(const std::uint32_t* origin, int stride, KIT_V us, KIT_V vs, KIT_V (&src)[4]) {
  const KIT_V index = KIT_OP(add_epi32)(KIT_OP(madd_epi16)(KIT_OP(srli_epi32)(vs, 16), KIT_OP(set1_epi32)(stride)),
                                        KIT_OP(srli_epi32)(us, 16));
#if KIT_SIMD_WIDTH == 256
  // Each sample's pair of neighbours is one 64-bit word; samples 0, 1, 4, 5 are gathered into one
  // register and 2, 3, 6, 7 into another, so that the split below leaves the samples in order.
  const __m256i order = _mm256_permute4x64_epi64(index, _MM_SHUFFLE(3, 1, 2, 0));
  const __m128i first = _mm256_castsi256_si128(order), second = _mm256_extracti128_si256(order, 1);
  const auto* top = reinterpret_cast<const long long*>(origin);
  const auto* bottom = reinterpret_cast<const long long*>(origin + stride);
  const __m256i pairs[2][2] = {{_mm256_i32gather_epi64(top, first, 4), _mm256_i32gather_epi64(top, second, 4)},
                               {_mm256_i32gather_epi64(bottom, first, 4), _mm256_i32gather_epi64(bottom, second, 4)}};
  for (int row = 0; row < 2; ++row) {
    const __m256 a = _mm256_castsi256_ps(pairs[row][0]), b = _mm256_castsi256_ps(pairs[row][1]);
    src[2 * row] = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    src[2 * row + 1] = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
  }
#else
  alignas(16) std::int32_t at[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(at), index);
  __m128i top[4], bottom[4];
  for (int j = 0; j < 4; ++j) {
    top[j] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(origin + at[j]));
    bottom[j] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(origin + at[j] + stride));
  }
  const auto split = [](const __m128i(&pairs)[4], __m128i& left, __m128i& right) {
    const __m128 a = _mm_castsi128_ps(_mm_unpacklo_epi64(pairs[0], pairs[1]));
    const __m128 b = _mm_castsi128_ps(_mm_unpacklo_epi64(pairs[2], pairs[3]));
    left = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    right = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
  };
  split(top, src[0], src[1]);
  split(bottom, src[2], src[3]);
#endif
}

// Whether all the neighbours are transparent.
KIT_ATTR inline bool AllTransparent(const KIT_V (&src)[4]) {
  const KIT_V alpha = KIT_SI(and)(KIT_SI(or)(KIT_SI(or)(src[0], src[1]), KIT_SI(or)(src[2], src[3])),
                                  KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u)));
  return KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(alpha, KIT_SI(setzero)())) == kAllLanes;
}

// A sample's fraction f = (p & 0xFFFE) + 1 (1..65535) and g = 65536 - f, in 32-bit lanes, so that
// products of two of them are 16 x 16 ones.
KIT_ATTR inline void Fractions(KIT_V positions, KIT_V& f, KIT_V& g) {
  f = KIT_OP(add_epi32)(KIT_SI(and)(positions, KIT_OP(set1_epi32)(0xFFFE)), KIT_OP(set1_epi32)(1));
  g = KIT_OP(sub_epi32)(KIT_OP(set1_epi32)(65536), f);
}

// Each sample's weight (the low half of its 32-bit lane) in the four 16-bit lanes of its pixel's
// fields, as unpacking the pixels' bytes lays them out: low for the pixels in the low 64 bits of each
// 128-bit half, high for the others.
KIT_ATTR inline void SpreadWeights(KIT_V w, KIT_V& low, KIT_V& high) {
#if KIT_SIMD_WIDTH == 256
  low = _mm256_shuffle_epi8(w, _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5, 0, 1, 0, 1, 0, 1, 0, 1,
                                                4, 5, 4, 5, 4, 5, 4, 5));
  high = _mm256_shuffle_epi8(w, _mm256_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13, 8, 9, 8, 9, 8,
                                                 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13));
#else
  const __m128i pair = _mm_or_si128(w, _mm_slli_epi32(w, 16));
  low = _mm_unpacklo_epi32(pair, pair);
  high = _mm_unpackhi_epi32(pair, pair);
#endif
}

// Four 16-bit lanes (blue, green, red, alpha) repeated for every pixel of a register.
KIT_ATTR inline KIT_V PerPixel16(std::uint32_t b, std::uint32_t g, std::uint32_t r, std::uint32_t a) {
  return KIT_OP(set1_epi64x)(
      static_cast<long long>((std::uint64_t{a} << 48) | (std::uint64_t{r} << 32) | (std::uint64_t{g} << 16) | b));
}

// The first n (0 < n <= kLanes) pixels at p, the other lanes from fill; and the first n lanes of v
// stored at p. (At AVX2 masked moves: a library copy here would hand the row back to SSE code with
// the vector registers' upper halves in use, which costs the next plain SSE instruction dearly.)
KIT_ATTR inline KIT_V LoadFirst(const std::uint32_t* p, int n, KIT_V fill) {
#if KIT_SIMD_WIDTH == 256
  const __m256i first = _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  return _mm256_blendv_epi8(fill, _mm256_maskload_epi32(reinterpret_cast<const int*>(p), first), first);
#else
  alignas(16) std::uint32_t part[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(part), fill);
  for (int j = 0; j < n; ++j) part[j] = p[j];
  return _mm_load_si128(reinterpret_cast<const __m128i*>(part));
#endif
}
KIT_ATTR inline void StoreFirst(std::uint32_t* p, KIT_V v, int n) {
#if KIT_SIMD_WIDTH == 256
  _mm256_maskstore_epi32(reinterpret_cast<int*>(p),
                         _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)), v);
#else
  alignas(16) std::uint32_t part[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(part), v);
  for (int j = 0; j < n; ++j) p[j] = part[j];
#endif
}
