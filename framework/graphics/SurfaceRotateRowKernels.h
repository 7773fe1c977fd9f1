// The unrotated 8-8-8 row kernels of SurfaceRotateRows, written once over a vector type V of
// V::kPixels 32-bit pixels whose operations work within 128-bit halves. SurfaceRotateRows.cpp
// includes this file once for each instruction set it compiles the kernels for, each time inside a
// namespace of its own that names that set's type V; hence no include guard.

// The constants of the 8-8-8 kernels.
struct Blend888 {
  Blend888(const std::uint32_t (&k)[4], const RowMode& t)
      : additive(t.additive), colored(t.colored), byColourAlpha(t.colored && !t.additive) {
    for (int i = 0; i < 4; ++i) {
      weight[i] = V::Set16(static_cast<short>(k[i]));
      std::uint32_t opaque = (k[i] * 255) >> 16;
      if (byColourAlpha) opaque = (opaque * t.c.a) >> 8;
      opaqueWeight[i] = V::Set16(static_cast<short>(opaque));
    }
    colourAlpha = V::Set16(static_cast<short>(t.c.a));
    // Normal: red and green are (x w (c + 1)) >> 16; blue drops its low byte first: ((x w >> 8)(c + 1)) >> 8.
    const auto r = static_cast<short>(t.c.r + 1), g = static_cast<short>(t.c.g + 1);
    const auto b = static_cast<short>(t.c.b + 1);
    tint = V::PerPixel16(0, g, r, 0);
    blueTint = V::PerPixel16(b, 0, 0, 0);
    // Additive: each field is ((x w >> 8) c) >> 8.
    addTint = V::PerPixel16(static_cast<short>(t.c.b), static_cast<short>(t.c.g), static_cast<short>(t.c.r), 0);
  }
  bool additive, colored, byColourAlpha;
  typename V::R weight[4];        // k per tap
  typename V::R opaqueWeight[4];  // w of an opaque neighbour per tap
  typename V::R colourAlpha, tint, blueTint, addTint;
};

using R = typename V::R;

inline R AlphaBytes() { return V::Set32(static_cast<int>(0xFF000000u)); }
inline R ColourBytes() { return V::Set32(0x00FFFFFF); }
inline bool AllZero(R v) { return V::AllEqual32(v, V::Zero()); }

// Pixels in 16-bit lanes from their taps' pixels s[t] and the destination d. With kOpaque every
// neighbour is opaque and weighs the tap's constant.
template <int kTaps, bool kOpaque>
inline R Half(const Blend888& b, const R* s, R d) {
  R weighted = V::Zero(), covered = V::Zero();
  for (int t = 0; t < kTaps; ++t) {
    R w;
    if constexpr (kOpaque) {
      w = b.opaqueWeight[t];
    } else {
      w = V::MulHiU16(V::Alpha16(s[t]), b.weight[t]);
      if (b.byColourAlpha) w = V::template Srli16<8>(V::MulLo16(w, b.colourAlpha));
    }
    weighted = V::Add16(weighted, V::MulLo16(s[t], w));
    covered = V::Add16(covered, w);
  }
  if (b.additive) {
    // The pack that follows saturates each field at 255.
    R added = V::template Srli16<8>(weighted);
    if (b.colored) added = V::template Srli16<8>(V::MulLo16(added, b.addTint));
    return V::Add16(added, d);
  }
  R source;
  if (b.colored) {
    const R blue = V::template Srli16<8>(V::MulLo16(V::template Srli16<8>(weighted), b.blueTint));
    source = V::Or(V::MulHiU16(weighted, b.tint), blue);
  } else {
    source = V::template Srli16<8>(weighted);
  }
  return V::Add16(source, V::template Srli16<8>(V::MulLo16(d, V::Sub16(V::Set16(256), covered))));
}

// A register of pixels from their taps' registers src[t]; the alpha bytes come out 0.
template <int kTaps, bool kOpaque>
inline R Block(const Blend888& b, const R* src, R dst) {
  R low[kTaps], high[kTaps];
  for (int t = 0; t < kTaps; ++t) {
    low[t] = V::UnpackLo8(src[t]);
    high[t] = V::UnpackHi8(src[t]);
  }
  const R out =
      V::PackUs16(Half<kTaps, kOpaque>(b, low, V::UnpackLo8(dst)), Half<kTaps, kOpaque>(b, high, V::UnpackHi8(dst)));
  return V::And(out, ColourBytes());
}

// Opaque source bytes at weight 254: (c x 254) >> 8 is c less one for c in 1..128 and less two above
// 128; the destination's (d x 2) >> 8 adds d >> 7. Alpha bytes come out as the source's less two.
inline R OpaqueOneTapBytes(R s) {
  const R one = V::Set8(1);
  const R less = V::Add8(V::MinU8(s, one), V::MinU8(V::SubsU8(s, V::Set8(-128)), one));
  return V::Sub8(s, less);
}

// Runs step(d, sources...) over whole registers of pixels, then over the last few pixels copied into
// a register of their own (sources with kExtra pixels more, their neighbours), and copies those back.
template <int kExtra, typename Step, typename... Sources>
int Blocks(std::uint32_t* d, int count, const Step& step, const Sources*... sources) {
  constexpr int kBlock = V::kPixels;
  int i = 0;
  for (; i + kBlock <= count; i += kBlock) step(d + i, (sources + i)...);
  const int rest = count - i;
  if (rest > 0) {
    constexpr std::size_t kSources = sizeof...(Sources);
    alignas(32) std::uint32_t out[kBlock], in[kSources][kBlock + kExtra] = {};
    const std::uint32_t* from[kSources] = {sources...};
    for (std::size_t n = 0; n < kSources; ++n) V::Store(in[n], V::LoadPart(from[n] + i, rest + kExtra));
    V::Store(out, V::LoadPart(d + i, rest));
    if constexpr (kSources == 1)
      step(out, in[0]);
    else
      step(out, in[0], in[1]);
    V::StorePart(d + i, V::Load(out), rest);
  }
  return count;
}

// The plain whole-pixel row (normal, white), the game's most common draw: each field becomes
// (c x w >> 8) + (d x (256 - w) >> 8) with w = alpha - 1, each product's high half from the byte
// placed in the top of its 16-bit lane.
inline int PlainOneTap888(std::uint32_t* d, const std::uint32_t* s, int count) {
  const R one = V::Set8(1), one16 = V::Set16(1), full = V::Set16(256);
  const auto step = [&](std::uint32_t * at, const std::uint32_t* from) __attribute__((always_inline)) {
    const R src = V::Load(from), dst = V::Load(at);
    const R alpha = V::And(src, AlphaBytes());
    R out;
    if (AllZero(alpha)) {
      out = V::And(dst, ColourBytes());
    } else if (V::AllEqual32(alpha, AlphaBytes())) {
      out = V::And(V::Add8(OpaqueOneTapBytes(src), V::And(V::template Srli16<7>(dst), one)), ColourBytes());
    } else {
      const R wLow = V::SubsU16(V::AlphaLo16(src), one16), wHigh = V::SubsU16(V::AlphaHi16(src), one16);
      const R low = V::Add16(V::MulHiU16(V::TopLo8(src), wLow), V::MulHiU16(V::TopLo8(dst), V::Sub16(full, wLow)));
      const R high = V::Add16(V::MulHiU16(V::TopHi8(src), wHigh), V::MulHiU16(V::TopHi8(dst), V::Sub16(full, wHigh)));
      out = V::And(V::PackUs16(low, high), ColourBytes());
    }
    V::Store(at, out);
  };
  return Blocks<0>(d, count, step, s);
}

int OneTap888(std::uint32_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  if (!mode.colored && !mode.additive) return PlainOneTap888(d, s, count);
  const std::uint32_t k[4] = {65534, 0, 0, 0};
  const Blend888 blend(k, mode);
  const auto step = [&](std::uint32_t * at, const std::uint32_t* from) __attribute__((always_inline)) {
    const R src = V::Load(from), dst = V::Load(at);
    const R alpha = V::And(src, AlphaBytes());
    R out;
    if (AllZero(alpha))
      out = V::And(dst, ColourBytes());
    else if (!V::AllEqual32(alpha, AlphaBytes()))
      out = Block<1, false>(blend, &src, dst);
    else
      out = Block<1, true>(blend, &src, dst);
    V::Store(at, out);
  };
  return Blocks<0>(d, count, step, s);
}

int FourTap888(std::uint32_t* d, const std::uint32_t* row, const std::uint32_t* next, int count,
               const std::uint32_t (&k)[4], const RowMode& mode) {
  const Blend888 blend(k, mode);
  const auto step = [&](std::uint32_t * at, const std::uint32_t* top, const std::uint32_t* bottom)
      __attribute__((always_inline)) {
    const R src[4] = {V::Load(top), V::Load(top + 1), V::Load(bottom), V::Load(bottom + 1)};
    const R dst = V::Load(at);
    const R any = V::And(V::Or(V::Or(src[0], src[1]), V::Or(src[2], src[3])), AlphaBytes());
    const R all = V::And(V::And(V::And(src[0], src[1]), V::And(src[2], src[3])), AlphaBytes());
    R out;
    if (AllZero(any))
      out = V::And(dst, ColourBytes());
    else if (V::AllEqual32(all, AlphaBytes()))
      out = Block<4, true>(blend, src, dst);
    else
      out = Block<4, false>(blend, src, dst);
    V::Store(at, out);
  };
  return Blocks<1>(d, count, step, row, next);
}

// 32-bit 0x00RRGGBB pixels as 5-6-5 (kGreen6) or 5-5-5 ones in the low halves of their lanes,
// sign-extended, each field the top bits of its byte.
template <bool kGreen6>
inline R Fields16(R v) {
  const R r =
      kGreen6 ? V::And(V::template Srli32<8>(v), V::Set32(0xF800)) : V::And(V::template Srli32<9>(v), V::Set32(0x7C00));
  const R g =
      kGreen6 ? V::And(V::template Srli32<5>(v), V::Set32(0x07E0)) : V::And(V::template Srli32<6>(v), V::Set32(0x03E0));
  const R bl = V::And(V::template Srli32<3>(v), V::Set32(0x001F));
  return V::SignExtend16(V::Or(V::Or(r, g), bl));
}

// The byte at kShift of two registers of 32-bit pixels, as one register of 16-bit lanes.
template <int kShift>
inline R Channel(R a, R b) {
  const R byte = V::Set32(0xFF);
  return V::Pack32(V::And(V::template Srli32<kShift>(a), byte), V::And(V::template Srli32<kShift>(b), byte));
}

// The normal whole-pixel row onto 5-6-5 (kGreen6) or 5-5-5 pixels, two registers of source pixels a
// block: each source pixel weighs w = alpha - 1 (times the colour's alpha >> 8 when coloured), each
// destination field keeps field x (256 - w) >> 8. Returns how many pixels it drew.
template <bool kGreen6>
int OneTap16(std::uint16_t* d, const std::uint32_t* s, int count, const RowMode& mode) {
  constexpr int kRedShift = kGreen6 ? 11 : 10;
  constexpr int kBlock = 2 * V::kPixels;
  const R colourAlpha = V::Set16(static_cast<short>(mode.c.a));
  const R full = V::Set16(256);
  const R redTint = V::Set16(static_cast<short>(mode.c.r + 1));
  const R greenTint = V::Set16(static_cast<short>(mode.c.g + 1));
  const R blueTint = V::Set16(static_cast<short>(mode.c.b + 1));
  const R five = V::Set16(0x1F), green = V::Set16(kGreen6 ? 0x3F : 0x1F);
  const R colourBits = V::Set16(kGreen6 ? -1 : 0x7FFF);
  int i = 0;
  for (; i + kBlock <= count; i += kBlock) {
    const R a = V::Load(s + i), b = V::Load(s + i + V::kPixels);
    // Transparent pixels leave the colour fields as they are (and drop a 5-5-5 pixel's top bit); opaque
    // ones at weight 254 keep nothing of the destination ((field x 2) >> 8 is below its lowest bit).
    if (AllZero(V::And(V::Or(a, b), AlphaBytes()))) {
      if constexpr (!kGreen6) V::Store(d + i, V::And(V::Load(d + i), colourBits));
      continue;
    }
    if (!mode.colored && V::AllEqual32(V::And(V::And(a, b), AlphaBytes()), AlphaBytes())) {
      V::Store(d + i, V::Pack32(Fields16<kGreen6>(OpaqueOneTapBytes(a)), Fields16<kGreen6>(OpaqueOneTapBytes(b))));
      continue;
    }
    const R dst = V::Load(d + i);
    R w = V::SubsU16(Channel<24>(a, b), V::Set16(1));
    if (mode.colored) w = V::template Srli16<8>(V::MulLo16(w, colourAlpha));
    const R rest = V::Sub16(full, w);
    const R r = V::MulLo16(Channel<16>(a, b), w);
    const R g = V::MulLo16(Channel<8>(a, b), w);
    const R bl = V::MulLo16(Channel<0>(a, b), w);
    R vr, vg, vb;
    if (mode.colored) {
      vr = V::template Srli16<3>(V::MulHiU16(r, redTint));
      vg = V::template Srli16 < kGreen6 ? 2 : 3 > (V::MulHiU16(g, greenTint));
      vb = V::template Srli16<11>(V::MulLo16(V::template Srli16<8>(bl), blueTint));
    } else {
      vr = V::template Srli16<11>(r);
      vg = V::template Srli16 < kGreen6 ? 10 : 11 > (g);
      vb = V::template Srli16<11>(bl);
    }
    const R dr = V::template Srli16<8>(V::MulLo16(V::And(V::template Srli16<kRedShift>(dst), five), rest));
    const R dg = V::template Srli16<8>(V::MulLo16(V::And(V::template Srli16<5>(dst), green), rest));
    const R db = V::template Srli16<8>(V::MulLo16(V::And(dst, five), rest));
    const R out = V::Or(V::Or(V::template Slli16<kRedShift>(V::Add16(vr, dr)), V::template Slli16<5>(V::Add16(vg, dg))),
                        V::Add16(vb, db));
    V::Store(d + i, out);
  }
  return i;
}
