// The vector body of SurfaceRotateRows' axis-aligned (unrotated) rows at one width (see SimdWidth.h).

#include "framework/graphics/kernels/SimdCommon.inl"
// (after SimdCommon.inl, whose names it uses)
#include "framework/graphics/kernels/RotatedLanes.inl"

KIT_ATTR inline KIT_V UnpackLo8(KIT_V v) { return KIT_OP(unpacklo_epi8)(v, KIT_SI(setzero)()); }
KIT_ATTR inline KIT_V UnpackHi8(KIT_V v) { return KIT_OP(unpackhi_epi8)(v, KIT_SI(setzero)()); }
// The bytes of the low or high pixels in the top halves of 16-bit lanes (byte x 256).
KIT_ATTR inline KIT_V TopLo8(KIT_V v) { return KIT_OP(unpacklo_epi8)(KIT_SI(setzero)(), v); }
KIT_ATTR inline KIT_V TopHi8(KIT_V v) { return KIT_OP(unpackhi_epi8)(KIT_SI(setzero)(), v); }
// The low or high pixels' alpha bytes in all four 16-bit lanes of their pixel.
KIT_ATTR inline KIT_V AlphaLo16(KIT_V v) {
#if KIT_SIMD_WIDTH == 256
  const char z = -128;
  return _mm256_shuffle_epi8(v, _mm256_setr_epi8(3, z, 3, z, 3, z, 3, z, 7, z, 7, z, 7, z, 7, z, 3, z, 3, z, 3, z, 3, z,
                                                 7, z, 7, z, 7, z, 7, z));
#else
  return SpreadAlpha16(UnpackLo8(v));
#endif
}
KIT_ATTR inline KIT_V AlphaHi16(KIT_V v) {
#if KIT_SIMD_WIDTH == 256
  const char z = -128;
  return _mm256_shuffle_epi8(v, _mm256_setr_epi8(11, z, 11, z, 11, z, 11, z, 15, z, 15, z, 15, z, 15, z, 11, z, 11, z,
                                                 11, z, 11, z, 15, z, 15, z, 15, z, 15, z));
#else
  return SpreadAlpha16(UnpackHi8(v));
#endif
}
KIT_ATTR inline bool AllEqual32(KIT_V a, KIT_V b) {
  return KIT_OP(movemask_epi8)(KIT_OP(cmpeq_epi32)(a, b)) == kAllLanes;
}
// Two registers of 32-bit lanes (-32768..32767) as one of 16-bit lanes, in order.
KIT_ATTR inline KIT_V Pack32(KIT_V a, KIT_V b) {
#if KIT_SIMD_WIDTH == 256
  // The pack works within halves: its 64-bit quarters come out a0 b0 a1 b1, put back as a0 a1 b0 b1.
  return _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), _MM_SHUFFLE(3, 1, 2, 0));
#else
  return _mm_packs_epi32(a, b);
#endif
}
// 32-bit lanes' low halves sign-extended.
KIT_ATTR inline KIT_V SignExtend16(KIT_V v) { return KIT_OP(srai_epi32)(KIT_OP(slli_epi32)(v, 16), 16); }

// The constants of the 8-8-8 kernels.
struct Blend888 {
  KIT_ATTR Blend888(const std::uint32_t (&k)[4], const RowMode& t)
      : additive(t.additive), colored(t.colored), byColourAlpha(t.colored && !t.additive) {
    for (int i = 0; i < 4; ++i) {
      weight[i] = KIT_OP(set1_epi16)(static_cast<short>(k[i]));
      std::uint32_t opaque = (k[i] * 255) >> 16;
      if (byColourAlpha) opaque = (opaque * t.c.a) >> 8;
      opaqueWeight[i] = KIT_OP(set1_epi16)(static_cast<short>(opaque));
    }
    colourAlpha = KIT_OP(set1_epi16)(static_cast<short>(t.c.a));
    // Normal: red and green are (x w (c + 1)) >> 16; blue drops its low byte first: ((x w >> 8)(c + 1)) >> 8.
    const auto r = static_cast<short>(t.c.r + 1), g = static_cast<short>(t.c.g + 1);
    const auto b = static_cast<short>(t.c.b + 1);
    tint = PerPixel16(0, g, r, 0);
    blueTint = PerPixel16(b, 0, 0, 0);
    // Additive: each field is ((x w >> 8) c) >> 8.
    addTint = PerPixel16(static_cast<short>(t.c.b), static_cast<short>(t.c.g), static_cast<short>(t.c.r), 0);
  }
  bool additive, colored, byColourAlpha;
  KIT_V weight[4];        // k per tap
  KIT_V opaqueWeight[4];  // w of an opaque neighbour per tap
  KIT_V colourAlpha, tint, blueTint, addTint;
};

KIT_ATTR inline KIT_V AlphaBytes() { return KIT_OP(set1_epi32)(static_cast<int>(0xFF000000u)); }
KIT_ATTR inline KIT_V ColourBytes() { return KIT_OP(set1_epi32)(0x00FFFFFF); }
KIT_ATTR inline bool AllZero(KIT_V v) { return AllEqual32(v, KIT_SI(setzero)()); }

// Pixels in 16-bit lanes from their taps' pixels s[t] and the destination d. With kOpaque every
// neighbour is opaque and weighs the tap's constant.
template <int kTaps, bool kOpaque>
KIT_ATTR inline KIT_V Half(const Blend888& b, const KIT_V* s, KIT_V d) {
  KIT_V weighted = KIT_SI(setzero)(), covered = KIT_SI(setzero)();
  for (int t = 0; t < kTaps; ++t) {
    KIT_V w;
    if constexpr (kOpaque) {
      w = b.opaqueWeight[t];
    } else {
      w = KIT_OP(mulhi_epu16)(SpreadAlpha16(s[t]), b.weight[t]);
      if (b.byColourAlpha) w = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(w, b.colourAlpha), 8);
    }
    weighted = KIT_OP(add_epi16)(weighted, KIT_OP(mullo_epi16)(s[t], w));
    covered = KIT_OP(add_epi16)(covered, w);
  }
  if (b.additive) {
    // The pack that follows saturates each field at 255.
    KIT_V added = KIT_OP(srli_epi16)(weighted, 8);
    if (b.colored) added = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(added, b.addTint), 8);
    return KIT_OP(add_epi16)(added, d);
  }
  KIT_V source;
  if (b.colored) {
    const KIT_V blue = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_OP(srli_epi16)(weighted, 8), b.blueTint), 8);
    source = KIT_SI(or)(KIT_OP(mulhi_epu16)(weighted, b.tint), blue);
  } else {
    source = KIT_OP(srli_epi16)(weighted, 8);
  }
  return KIT_OP(add_epi16)(
      source, KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(d, KIT_OP(sub_epi16)(KIT_OP(set1_epi16)(256), covered)), 8));
}

// A register of pixels from their taps' registers src[t]; the alpha bytes come out 0.
template <int kTaps, bool kOpaque>
KIT_ATTR inline KIT_V Block(const Blend888& b, const KIT_V* src, KIT_V dst) {
  KIT_V low[kTaps], high[kTaps];
  for (int t = 0; t < kTaps; ++t) {
    low[t] = UnpackLo8(src[t]);
    high[t] = UnpackHi8(src[t]);
  }
  const KIT_V out =
      KIT_OP(packus_epi16)(Half<kTaps, kOpaque>(b, low, UnpackLo8(dst)), Half<kTaps, kOpaque>(b, high, UnpackHi8(dst)));
  return KIT_SI(and)(out, ColourBytes());
}

// Opaque source bytes at weight 254: (c x 254) >> 8 is c less one for c in 1..128 and less two above
// 128; the destination's (d x 2) >> 8 adds d >> 7. Alpha bytes come out as the source's less two.
KIT_ATTR inline KIT_V OpaqueOneTapBytes(KIT_V s) {
  const KIT_V one = KIT_OP(set1_epi8)(1);
  const KIT_V less =
      KIT_OP(add_epi8)(KIT_OP(min_epu8)(s, one), KIT_OP(min_epu8)(KIT_OP(subs_epu8)(s, KIT_OP(set1_epi8)(-128)), one));
  return KIT_OP(sub_epi8)(s, less);
}

// Runs step(d, sources...) over whole registers of pixels, then over the last few pixels copied into
// a register of their own (sources with kExtra pixels more, their neighbours), and copies those back.
template <int kExtra, typename Step, typename... Sources>
KIT_ATTR inline int Blocks(std::uint32_t* d, int count, const Step& step, const Sources*... sources) {
  constexpr int kBlock = kLanes;
  int i = 0;
  for (; i + kBlock <= count; i += kBlock) step(d + i, (sources + i)...);
  const int rest = count - i;
  if (rest > 0) {
    constexpr std::size_t kSources = sizeof...(Sources);
    alignas(32) std::uint32_t out[kBlock], in[kSources][kBlock + kExtra] = {};
    const std::uint32_t* from[kSources] = {sources...};
    for (std::size_t n = 0; n < kSources; ++n) Store(in[n], LoadFirst(from[n] + i, rest + kExtra, KIT_SI(setzero)()));
    Store(out, LoadFirst(d + i, rest, KIT_SI(setzero)()));
    if constexpr (kSources == 1)
      step(out, in[0]);
    else
      step(out, in[0], in[1]);
    StoreFirst(d + i, Load(out), rest);
  }
  return count;
}

// The plain whole-pixel row (normal, white), the game's most common draw: each field becomes
// (c x w >> 8) + (d x (256 - w) >> 8) with w = alpha - 1, each product's high half from the byte
// placed in the top of its 16-bit lane.
KIT_ATTR inline int PlainOneTap888(std::uint32_t* d, const std::uint32_t* s, int count) {
  const KIT_V one = KIT_OP(set1_epi8)(1), one16 = KIT_OP(set1_epi16)(1), full = KIT_OP(set1_epi16)(256);
  const auto step = [&](std::uint32_t * at, const std::uint32_t* from) __attribute__((always_inline)) KIT_ATTR {
    const KIT_V src = Load(from), dst = Load(at);
    const KIT_V alpha = KIT_SI(and)(src, AlphaBytes());
    KIT_V out;
    if (AllZero(alpha)) {
      out = KIT_SI(and)(dst, ColourBytes());
    } else if (AllEqual32(alpha, AlphaBytes())) {
      out = KIT_SI(and)(KIT_OP(add_epi8)(OpaqueOneTapBytes(src), KIT_SI(and)(KIT_OP(srli_epi16)(dst, 7), one)),
                        ColourBytes());
    } else {
      const KIT_V wLow = KIT_OP(subs_epu16)(AlphaLo16(src), one16), wHigh = KIT_OP(subs_epu16)(AlphaHi16(src), one16);
      const KIT_V low = KIT_OP(add_epi16)(KIT_OP(mulhi_epu16)(TopLo8(src), wLow),
                                          KIT_OP(mulhi_epu16)(TopLo8(dst), KIT_OP(sub_epi16)(full, wLow)));
      const KIT_V high = KIT_OP(add_epi16)(KIT_OP(mulhi_epu16)(TopHi8(src), wHigh),
                                           KIT_OP(mulhi_epu16)(TopHi8(dst), KIT_OP(sub_epi16)(full, wHigh)));
      out = KIT_SI(and)(KIT_OP(packus_epi16)(low, high), ColourBytes());
    }
    Store(at, out);
  };
  return Blocks<0>(d, count, step, s);
}

KIT_ATTR inline int OneTap888(std::uint32_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  if (!mode.colored && !mode.additive) return PlainOneTap888(d, s, count);
  const std::uint32_t k[4] = {65534, 0, 0, 0};
  const Blend888 blend(k, mode);
  const auto step = [&](std::uint32_t * at, const std::uint32_t* from) __attribute__((always_inline)) KIT_ATTR {
    const KIT_V src = Load(from), dst = Load(at);
    const KIT_V alpha = KIT_SI(and)(src, AlphaBytes());
    KIT_V out;
    if (AllZero(alpha))
      out = KIT_SI(and)(dst, ColourBytes());
    else if (!AllEqual32(alpha, AlphaBytes()))
      out = Block<1, false>(blend, &src, dst);
    else
      out = Block<1, true>(blend, &src, dst);
    Store(at, out);
  };
  return Blocks<0>(d, count, step, s);
}

KIT_ATTR inline int FourTap888(std::uint32_t* d, const std::uint32_t* row, const std::uint32_t* next, int count,
                               const std::uint32_t (&k)[4], const RowMode& mode) {
  const Blend888 blend(k, mode);
  const auto step = [&](std::uint32_t * at, const std::uint32_t* top, const std::uint32_t* bottom)
      __attribute__((always_inline)) KIT_ATTR {
    const KIT_V src[4] = {Load(top), Load(top + 1), Load(bottom), Load(bottom + 1)};
    const KIT_V dst = Load(at);
    const KIT_V any = KIT_SI(and)(KIT_SI(or)(KIT_SI(or)(src[0], src[1]), KIT_SI(or)(src[2], src[3])), AlphaBytes());
    const KIT_V all = KIT_SI(and)(KIT_SI(and)(KIT_SI(and)(src[0], src[1]), KIT_SI(and)(src[2], src[3])), AlphaBytes());
    KIT_V out;
    if (AllZero(any))
      out = KIT_SI(and)(dst, ColourBytes());
    else if (AllEqual32(all, AlphaBytes()))
      out = Block<4, true>(blend, src, dst);
    else
      out = Block<4, false>(blend, src, dst);
    Store(at, out);
  };
  return Blocks<1>(d, count, step, row, next);
}

// 32-bit 0x00RRGGBB pixels as 5-6-5 (kGreen6) or 5-5-5 ones in the low halves of their lanes,
// sign-extended, each field the top bits of its byte.
template <bool kGreen6>
KIT_ATTR inline KIT_V Fields16(KIT_V v) {
  const KIT_V r = kGreen6 ? KIT_SI(and)(KIT_OP(srli_epi32)(v, 8), KIT_OP(set1_epi32)(0xF800))
                          : KIT_SI(and)(KIT_OP(srli_epi32)(v, 9), KIT_OP(set1_epi32)(0x7C00));
  const KIT_V g = kGreen6 ? KIT_SI(and)(KIT_OP(srli_epi32)(v, 5), KIT_OP(set1_epi32)(0x07E0))
                          : KIT_SI(and)(KIT_OP(srli_epi32)(v, 6), KIT_OP(set1_epi32)(0x03E0));
  const KIT_V bl = KIT_SI(and)(KIT_OP(srli_epi32)(v, 3), KIT_OP(set1_epi32)(0x001F));
  return SignExtend16(KIT_SI(or)(KIT_SI(or)(r, g), bl));
}

// The byte at kShift of two registers of 32-bit pixels, as one register of 16-bit lanes.
template <int kShift>
KIT_ATTR inline KIT_V Channel(KIT_V a, KIT_V b) {
  const KIT_V byte = KIT_OP(set1_epi32)(0xFF);
  return Pack32(KIT_SI(and)(KIT_OP(srli_epi32)(a, kShift), byte), KIT_SI(and)(KIT_OP(srli_epi32)(b, kShift), byte));
}

// The normal whole-pixel row onto 5-6-5 (kGreen6) or 5-5-5 pixels, two registers of source pixels a
// block: each source pixel weighs w = alpha - 1 (times the colour's alpha >> 8 when coloured), each
// destination field keeps field x (256 - w) >> 8. Returns how many pixels it drew.
template <bool kGreen6>
KIT_ATTR inline int OneTap16(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  constexpr int kRedShift = kGreen6 ? 11 : 10;
  constexpr int kBlock = 2 * kLanes;
  const KIT_V colourAlpha = KIT_OP(set1_epi16)(static_cast<short>(mode.c.a));
  const KIT_V full = KIT_OP(set1_epi16)(256);
  const KIT_V redTint = KIT_OP(set1_epi16)(static_cast<short>(mode.c.r + 1));
  const KIT_V greenTint = KIT_OP(set1_epi16)(static_cast<short>(mode.c.g + 1));
  const KIT_V blueTint = KIT_OP(set1_epi16)(static_cast<short>(mode.c.b + 1));
  const KIT_V five = KIT_OP(set1_epi16)(0x1F), green = KIT_OP(set1_epi16)(kGreen6 ? 0x3F : 0x1F);
  const KIT_V colourBits = KIT_OP(set1_epi16)(kGreen6 ? -1 : 0x7FFF);
  int i = 0;
  for (; i + kBlock <= count; i += kBlock) {
    const KIT_V a = Load(s + i), b = Load(s + i + kLanes);
    // Transparent pixels leave the colour fields as they are (and drop a 5-5-5 pixel's top bit); opaque
    // ones at weight 254 keep nothing of the destination ((field x 2) >> 8 is below its lowest bit).
    if (AllZero(KIT_SI(and)(KIT_SI(or)(a, b), AlphaBytes()))) {
      if constexpr (!kGreen6) Store(d + i, KIT_SI(and)(Load(d + i), colourBits));
      continue;
    }
    if (!mode.colored && AllEqual32(KIT_SI(and)(KIT_SI(and)(a, b), AlphaBytes()), AlphaBytes())) {
      Store(d + i, Pack32(Fields16<kGreen6>(OpaqueOneTapBytes(a)), Fields16<kGreen6>(OpaqueOneTapBytes(b))));
      continue;
    }
    const KIT_V dst = Load(d + i);
    KIT_V w = KIT_OP(subs_epu16)(Channel<24>(a, b), KIT_OP(set1_epi16)(1));
    if (mode.colored) w = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(w, colourAlpha), 8);
    const KIT_V rest = KIT_OP(sub_epi16)(full, w);
    const KIT_V r = KIT_OP(mullo_epi16)(Channel<16>(a, b), w);
    const KIT_V g = KIT_OP(mullo_epi16)(Channel<8>(a, b), w);
    const KIT_V bl = KIT_OP(mullo_epi16)(Channel<0>(a, b), w);
    KIT_V vr, vg, vb;
    if (mode.colored) {
      vr = KIT_OP(srli_epi16)(KIT_OP(mulhi_epu16)(r, redTint), 3);
      vg = KIT_OP(srli_epi16)(KIT_OP(mulhi_epu16)(g, greenTint), kGreen6 ? 2 : 3);
      vb = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_OP(srli_epi16)(bl, 8), blueTint), 11);
    } else {
      vr = KIT_OP(srli_epi16)(r, 11);
      vg = KIT_OP(srli_epi16)(g, kGreen6 ? 10 : 11);
      vb = KIT_OP(srli_epi16)(bl, 11);
    }
    const KIT_V dr =
        KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_SI(and)(KIT_OP(srli_epi16)(dst, kRedShift), five), rest), 8);
    const KIT_V dg = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_SI(and)(KIT_OP(srli_epi16)(dst, 5), green), rest), 8);
    const KIT_V db = KIT_OP(srli_epi16)(KIT_OP(mullo_epi16)(KIT_SI(and)(dst, five), rest), 8);
    const KIT_V out = KIT_SI(or)(KIT_SI(or)(KIT_OP(slli_epi16)(KIT_OP(add_epi16)(vr, dr), kRedShift),
                                            KIT_OP(slli_epi16)(KIT_OP(add_epi16)(vg, dg), 5)),
                                 KIT_OP(add_epi16)(vb, db));
    Store(d + i, out);
  }
  return i;
}

// The rows above from pixel `from` on, returning where they stopped, as the shared width dispatch
// (KIT_RUN_AVX2, KIT_RUN_SSE2) runs them: the wider body first, the narrower one on what it left. The
// names in parentheses keep argument-dependent lookup from finding the dispatching functions as well.
KIT_ATTR inline int OneTap888From(std::uint32_t* d, const std::uint32_t* s, int from, int count,
                                  const RowMode& mode) {
  return from + (OneTap888)(d + from, s + from, count - from, mode);
}

KIT_ATTR inline int FourTap888From(std::uint32_t* d, const std::uint32_t* row, const std::uint32_t* next, int from,
                                   int count, const std::uint32_t (&k)[4], const RowMode& mode) {
  return from + (FourTap888)(d + from, row + from, next + from, count - from, k, mode);
}

template <bool kGreen6>
KIT_ATTR inline int OneTap16From(std::uint16_t* d, const std::uint32_t* s, int from, int count, const RowMode& mode) {
  return from + (OneTap16<kGreen6>)(d + from, s + from, count - from, mode);
}
