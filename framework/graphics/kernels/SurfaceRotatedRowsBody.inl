// The vector body of the surfaces' rotated rows at one width (see SimdWidth.h): a register of samples
// at a time, the row's last few in a register of their own. Each function draws the whole row.

#include "framework/graphics/kernels/SimdCommon.inl"
// (after SimdCommon.inl, whose names it uses)
#include "framework/graphics/kernels/RotatedLanes.inl"

// What a row's mode makes of the neighbours' weighted sums (see SurfaceRotateRows.h), and the field
// layout of a 16-bit surface per 16-bit lane of a pixel.
struct RowConstants {
  KIT_ATTR RowConstants(const RowMode& mode, const Fields16* f)
      : colourAlpha(KIT_OP(set1_epi16)(static_cast<short>(mode.c.a))),
        // Red and green are (x w (c + 1)) >> 16; blue drops its low byte first: ((x w >> 8)(c + 1)) >> 8.
        tint(PerPixel16(0, mode.c.g + 1, mode.c.r + 1, 0)),
        blueTint(PerPixel16(mode.c.b + 1, 0, 0, 0)),
        // Additive (the colour premultiplied): each field is (x w >> 8) c >> 8.
        addTint(PerPixel16(mode.c.b, mode.c.g, mode.c.r, 0)) {
    if (f) {
      apart = PerPixel16(f->apart[0], f->apart[1], f->apart[2], 0);
      down = PerPixel16(f->down[0], f->down[1], f->down[2], 0);
      tintDown = PerPixel16(f->tintDown[0], f->tintDown[1], f->tintDown[2], 0);
      place = PerPixel16(f->place[0], f->place[1], f->place[2], 0);
      mask = KIT_OP(set1_epi16)(static_cast<short>(f->mask));
      fieldMax = PerPixel16(f->max[0], f->max[1], f->max[2], 0);
    }
  }
  KIT_V colourAlpha, tint, blueTint, addTint;
  // 16-bit surfaces only (see Fields16).
  KIT_V apart = KIT_SI(setzero)(), down = apart, tintDown = apart, place = apart, mask = apart, fieldMax = apart;
};

// The neighbours' weighted sums and their weights' sum for a register of samples, per pixel in 16-bit
// lanes (blue, green, red, alpha): [0] the pixels in the low 64 bits of each 128-bit half, [1] the high.
struct Sums {
  KIT_V weighted[2], covered[2];
};

// False when every neighbour is transparent (the samples weigh nothing). kColored: each weight times
// the colour's alpha. Kept out of the row's loop: inlined there, GCC's code ran at half the speed.
template <bool kColored>
KIT_ATTR __attribute__((noinline)) bool Gather(const std::uint32_t* origin, int stride, KIT_V us, KIT_V vs,
                                               const RowConstants& rc, Sums& sums) {
  KIT_V src[4];
  Neighbours(origin, stride, us, vs, src);
  if (AllTransparent(src)) return false;
  // k per pixel in the low half of each 32-bit lane: fractions 1..65535, so 16 x 16 products.
  KIT_V fx, gx, fy, gy;
  Fractions(us, fx, gx);
  Fractions(vs, fy, gy);
  const KIT_V k[4] = {KIT_OP(mulhi_epu16)(gx, gy), KIT_OP(mulhi_epu16)(fx, gy), KIT_OP(mulhi_epu16)(gx, fy),
                      KIT_OP(mulhi_epu16)(fx, fy)};
  const KIT_V zero = KIT_SI(setzero)();
  sums = {{zero, zero}, {zero, zero}};
  for (int t = 0; t < 4; ++t) {
    KIT_V w = KIT_OP(mulhi_epu16)(k[t], KIT_OP(srli_epi32)(src[t], 24));
    if constexpr (kColored) w = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(w, rc.colourAlpha), 8);
    KIT_V wLow, wHigh;
    SpreadWeights(w, wLow, wHigh);
    sums.weighted[0] =
        KIT_OP(add_epi16)(sums.weighted[0], KIT_OP(mullo_epi16)(KIT_OP(unpacklo_epi8)(src[t], zero), wLow));
    sums.weighted[1] =
        KIT_OP(add_epi16)(sums.weighted[1], KIT_OP(mullo_epi16)(KIT_OP(unpackhi_epi8)(src[t], zero), wHigh));
    sums.covered[0] = KIT_OP(add_epi16)(sums.covered[0], wLow);
    sums.covered[1] = KIT_OP(add_epi16)(sums.covered[1], wHigh);
  }
  return true;
}

// The source's share of each field: 8-bit fields onto 8-8-8, the surface's fields onto 16 bits.
template <bool kColored, bool kSixteen>
KIT_ATTR inline KIT_V Source(KIT_V weighted, const RowConstants& rc) {
  if constexpr (!kColored) return kSixteen ? KIT_OP(mulhi_epu16)(weighted, rc.down) : KIT_OP(srli_epi16)(weighted, 8);
  const KIT_V blue = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_OP(srli_epi16)(weighted, 8), rc.blueTint), 8);
  const KIT_V redGreen = KIT_OP(mulhi_epu16)(weighted, rc.tint);
  if constexpr (!kSixteen) return KIT_SI(or)(redGreen, blue);
  return KIT_SI(or)(KIT_OP(mulhi_epu16)(redGreen, rc.tintDown), KIT_OP(srli_epi16)(blue, 3));
}

// Additive: what each field gains, 8-bit fields onto 8-8-8, the surface's fields onto 16 bits.
template <bool kColored, bool kSixteen>
KIT_ATTR inline KIT_V Added(KIT_V weighted, const RowConstants& rc) {
  const KIT_V added = kSixteen ? KIT_OP(mulhi_epu16)(weighted, rc.down) : KIT_OP(srli_epi16)(weighted, 8);
  if constexpr (!kColored) return added;
  return KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(added, rc.addTint), 8);
}

// A register of 8-8-8 pixels at d. Additive fields saturate at 255 in the pack.
template <bool kColored, bool kAdditive>
KIT_ATTR inline void Step(std::uint32_t* d, const std::uint32_t* origin, int stride, KIT_V us, KIT_V vs,
                          const RowConstants& rc) {
  const KIT_V colourBytes = KIT_OP(set1_epi32)(0x00FFFFFF);
  Sums sums;
  if (!Gather < kColored && !kAdditive > (origin, stride, us, vs, rc, sums)) {
    Store(d, KIT_SI(and)(Load(d), colourBytes));
    return;
  }
  const KIT_V zero = KIT_SI(setzero)(), full = KIT_OP(set1_epi16)(256);
  const KIT_V dst = Load(d);
  KIT_V out[2];
  for (int h = 0; h < 2; ++h) {
    const KIT_V d16 = h == 0 ? KIT_OP(unpacklo_epi8)(dst, zero) : KIT_OP(unpackhi_epi8)(dst, zero);
    if constexpr (kAdditive) {
      out[h] = KIT_OP(add_epi16)(Added<kColored, false>(sums.weighted[h], rc), d16);
    } else {
      const KIT_V kept = KIT_OP(mullo_epi16)(d16, KIT_OP(sub_epi16)(full, sums.covered[h]));
      out[h] = KIT_OP(add_epi16)(Source<kColored, false>(sums.weighted[h], rc), KIT_OP(srli_epi16)(kept, 8));
    }
  }
  Store(d, KIT_SI(and)(KIT_OP(packus_epi16)(out[0], out[1]), colourBytes));
}

// A register's worth of 16-bit pixels at d: loaded so that each 128-bit half holds its own pixels in
// its low 64 bits, and stored back from there.
KIT_ATTR inline KIT_V Load16(const std::uint16_t* d) {
#if KIT_SIMD_WIDTH == 256
  return _mm256_permute4x64_epi64(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d))),
                                  _MM_SHUFFLE(1, 1, 0, 0));
#else
  return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d));
#endif
}
KIT_ATTR inline void Store16(std::uint16_t* d, KIT_V v) {
#if KIT_SIMD_WIDTH == 256
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                   _mm256_castsi256_si128(_mm256_permute4x64_epi64(v, _MM_SHUFFLE(3, 1, 2, 0))));
#else
  _mm_storel_epi64(reinterpret_cast<__m128i*>(d), v);
#endif
}

// A register's worth of 16-bit pixels at d. Additive fields saturate at the field's largest value.
template <bool kColored, bool kAdditive>
KIT_ATTR inline void Step(std::uint16_t* d, const std::uint32_t* origin, int stride, KIT_V us, KIT_V vs,
                          const RowConstants& rc) {
  Sums sums;
  if (!Gather < kColored && !kAdditive > (origin, stride, us, vs, rc, sums)) {
    Store16(d, KIT_SI(and)(Load16(d), rc.mask));
    return;
  }
  const KIT_V full = KIT_OP(set1_epi16)(256);
  const KIT_V dst = Load16(d);
  const KIT_V twice = KIT_OP(unpacklo_epi16)(dst, dst);
  KIT_V pixels[2];
  for (int h = 0; h < 2; ++h) {
    // Each of the two pixels in all four of its lanes, then its fields.
    const KIT_V spread = h == 0 ? KIT_OP(unpacklo_epi32)(twice, twice) : KIT_OP(unpackhi_epi32)(twice, twice);
    const KIT_V fields = KIT_OP(mulhi_epu16)(KIT_OP(mullo_epi16)(spread, rc.apart), rc.down);
    KIT_V drawn;
    if constexpr (kAdditive) {
      drawn = KIT_OP(min_epi16)(KIT_OP(add_epi16)(fields, Added<kColored, true>(sums.weighted[h], rc)), rc.fieldMax);
    } else {
      const KIT_V kept = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(fields, KIT_OP(sub_epi16)(full, sums.covered[h])), 8);
      drawn = KIT_OP(add_epi16)(Source<kColored, true>(sums.weighted[h], rc), kept);
    }
    pixels[h] = KIT_OP(madd_epi16)(drawn, rc.place);
  }
  // Each pixel is the sum of its two 32-bit lanes.
#if KIT_SIMD_WIDTH == 256
  Store16(d, _mm256_packus_epi32(_mm256_hadd_epi32(pixels[0], pixels[1]), _mm256_setzero_si256()));
#else
  for (__m128i& p : pixels) p = _mm_add_epi32(p, _mm_srli_epi64(p, 32));  // lanes 0 and 2
  const __m128i four = _mm_unpacklo_epi64(_mm_shuffle_epi32(pixels[0], _MM_SHUFFLE(2, 0, 2, 0)),
                                          _mm_shuffle_epi32(pixels[1], _MM_SHUFFLE(2, 0, 2, 0)));
  Store16(d, _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(four, 16), 16), _mm_setzero_si128()));
#endif
}

// The row from pixel `from` on: whole registers of samples, then the last few with their pixels copied
// into a register of their own. Returns count.
template <bool kColored, bool kAdditive, typename Pixel>
KIT_ATTR inline int RotatedAs(Pixel* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
                              std::int32_t du, std::int32_t dv, int from, int count, const RowConstants& rc) {
  const auto at = [=](int i, std::int32_t start, std::int32_t step) { return start + std::int64_t{i} * step; };
  KIT_V us = Positions(at(from, u, du), du), vs = Positions(at(from, v, dv), dv);
  const KIT_V stepU = KIT_OP(set1_epi32)(kLanes * du), stepV = KIT_OP(set1_epi32)(kLanes * dv);
  int i = from;
  for (; i + kLanes <= count; i += kLanes, us = KIT_OP(add_epi32)(us, stepU), vs = KIT_OP(add_epi32)(vs, stepV))
    Step<kColored, kAdditive>(d + i, origin, stride, us, vs, rc);
  if (const int rest = count - i; rest > 0) {
    // Copied pixel by pixel in fixed-length loops: a library copy would leave the vector registers'
    // upper halves in use on its way back (see LoadFirst).
    alignas(32) Pixel part[kLanes] = {};
    for (int j = 0; j < kLanes; ++j)
      if (j < rest) part[j] = d[i + j];
    Step<kColored, kAdditive>(part, origin, stride, Positions(at(i, u, du), du, rest),
                              Positions(at(i, v, dv), dv, rest), rc);
    for (int j = 0; j < kLanes; ++j)
      if (j < rest) d[i + j] = part[j];
  }
  return count;
}

template <typename Pixel>
KIT_ATTR inline int Rotated(Pixel* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
                            std::int32_t du, std::int32_t dv, int from, int count, const RowMode& mode,
                            const Fields16* f) {
  if (from >= count) return count;
  const RowConstants rc(mode, f);
  if (mode.additive) {
    if (mode.colored) return RotatedAs<true, true>(d, origin, stride, u, v, du, dv, from, count, rc);
    return RotatedAs<false, true>(d, origin, stride, u, v, du, dv, from, count, rc);
  }
  if (mode.colored) return RotatedAs<true, false>(d, origin, stride, u, v, du, dv, from, count, rc);
  return RotatedAs<false, false>(d, origin, stride, u, v, du, dv, from, count, rc);
}
