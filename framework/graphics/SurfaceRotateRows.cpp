#include "framework/graphics/SurfaceRotateRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Kit::SurfaceRotateRows {

#if defined(__SSE2__)
namespace {

__m128i Load(const void* at) { return _mm_loadu_si128(static_cast<const __m128i*>(at)); }
void Store(void* at, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(at), v); }
bool AllEqual(__m128i a, __m128i b) { return _mm_movemask_epi8(_mm_cmpeq_epi32(a, b)) == 0xFFFF; }
bool AllZero(__m128i v) { return AllEqual(v, _mm_setzero_si128()); }

__m128i AlphaBytes() { return _mm_set1_epi32(static_cast<int>(0xFF000000u)); }
__m128i ColourBytes() { return _mm_set1_epi32(0x00FFFFFF); }

// The constants of the 8-8-8 kernels.
struct Blend888 {
  Blend888(const std::uint32_t (&k)[4], const Tint& t) : colored(t.colored) {
    for (int i = 0; i < 4; ++i) {
      weight[i] = _mm_set1_epi16(static_cast<short>(k[i]));
      std::uint32_t opaque = (k[i] * 255) >> 16;
      if (colored) opaque = (opaque * t.c.a) >> 8;
      opaqueWeight[i] = _mm_set1_epi16(static_cast<short>(opaque));
    }
    colourAlpha = _mm_set1_epi16(static_cast<short>(t.c.a));
    // Red and green are (x w (c + 1)) >> 16; blue drops its low byte first: ((x w >> 8)(c + 1)) >> 8.
    const auto r = static_cast<short>(t.c.r + 1), g = static_cast<short>(t.c.g + 1);
    const auto b = static_cast<short>(t.c.b + 1);
    tint = _mm_set_epi16(0, r, g, 0, 0, r, g, 0);
    blueTint = _mm_set_epi16(0, 0, 0, b, 0, 0, 0, b);
  }
  bool colored;
  __m128i weight[4];        // k per tap
  __m128i opaqueWeight[4];  // w of an opaque neighbour per tap
  __m128i colourAlpha, tint, blueTint;
};

// Two pixels in 16-bit lanes from their taps' pixels s[t] and the destination d. With kOpaque every
// neighbour is opaque and weighs the tap's constant.
template <int kTaps, bool kOpaque>
inline __m128i Half(const Blend888& b, const __m128i* s, __m128i d) {
  const __m128i zero = _mm_setzero_si128();
  __m128i weighted = zero, covered = zero;
  for (int t = 0; t < kTaps; ++t) {
    __m128i w;
    if constexpr (kOpaque) {
      w = b.opaqueWeight[t];
    } else {
      const __m128i alpha =
          _mm_shufflehi_epi16(_mm_shufflelo_epi16(s[t], _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
      w = _mm_mulhi_epu16(alpha, b.weight[t]);
      if (b.colored) w = _mm_srli_epi16(_mm_mullo_epi16(w, b.colourAlpha), 8);
    }
    weighted = _mm_add_epi16(weighted, _mm_mullo_epi16(s[t], w));
    covered = _mm_add_epi16(covered, w);
  }
  __m128i source;
  if (b.colored) {
    const __m128i blue = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(weighted, 8), b.blueTint), 8);
    source = _mm_or_si128(_mm_mulhi_epu16(weighted, b.tint), blue);
  } else {
    source = _mm_srli_epi16(weighted, 8);
  }
  return _mm_add_epi16(source, _mm_srli_epi16(_mm_mullo_epi16(d, _mm_sub_epi16(_mm_set1_epi16(256), covered)), 8));
}

// Four pixels from their taps' four-pixel registers src[t]; the alpha bytes come out 0.
template <int kTaps, bool kOpaque>
inline __m128i Block(const Blend888& b, const __m128i* src, __m128i dst) {
  const __m128i zero = _mm_setzero_si128();
  __m128i low[kTaps], high[kTaps];
  for (int t = 0; t < kTaps; ++t) {
    low[t] = _mm_unpacklo_epi8(src[t], zero);
    high[t] = _mm_unpackhi_epi8(src[t], zero);
  }
  const __m128i out = _mm_packus_epi16(Half<kTaps, kOpaque>(b, low, _mm_unpacklo_epi8(dst, zero)),
                                       Half<kTaps, kOpaque>(b, high, _mm_unpackhi_epi8(dst, zero)));
  return _mm_and_si128(out, ColourBytes());
}

// Opaque source bytes at weight 254: (c x 254) >> 8 is c less one for c in 1..128 and less two above
// 128; the destination's (d x 2) >> 8 adds d >> 7. Alpha bytes come out as the source's less two.
__m128i OpaqueOneTapBytes(__m128i s) {
  const __m128i one = _mm_set1_epi8(1);
  const __m128i less = _mm_add_epi8(_mm_min_epu8(s, one), _mm_min_epu8(_mm_subs_epu8(s, _mm_set1_epi8(-128)), one));
  return _mm_sub_epi8(s, less);
}

// Eight 32-bit 0x00RRGGBB pixels (two registers) as 5-6-5, each field the top bits of its byte.
__m128i To565(__m128i a, __m128i b) {
  const auto fields = [](__m128i v) {
    const __m128i r = _mm_and_si128(_mm_srli_epi32(v, 8), _mm_set1_epi32(0xF800));
    const __m128i g = _mm_and_si128(_mm_srli_epi32(v, 5), _mm_set1_epi32(0x07E0));
    const __m128i bl = _mm_and_si128(_mm_srli_epi32(v, 3), _mm_set1_epi32(0x001F));
    // Sign-extended so that the signed pack keeps all 16 bits.
    return _mm_srai_epi32(_mm_slli_epi32(_mm_or_si128(_mm_or_si128(r, g), bl), 16), 16);
  };
  return _mm_packs_epi32(fields(a), fields(b));
}

}  // namespace

int OneTap888(std::uint32_t* d, const std::uint32_t* s, int count, const Tint& tint) {
  const std::uint32_t k[4] = {65534, 0, 0, 0};
  const Blend888 blend(k, tint);
  const __m128i one = _mm_set1_epi8(1);
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i src = Load(s + i), dst = Load(d + i);
    const __m128i alpha = _mm_and_si128(src, AlphaBytes());
    __m128i out;
    if (AllZero(alpha))
      out = _mm_and_si128(dst, ColourBytes());
    else if (!AllEqual(alpha, AlphaBytes()))
      out = Block<1, false>(blend, &src, dst);
    else if (tint.colored)
      out = Block<1, true>(blend, &src, dst);
    else
      out = _mm_and_si128(_mm_add_epi8(OpaqueOneTapBytes(src), _mm_and_si128(_mm_srli_epi16(dst, 7), one)),
                          ColourBytes());
    Store(d + i, out);
  }
  return i;
}

int FourTap888(std::uint32_t* d, const std::uint32_t* row, const std::uint32_t* next, int count,
               const std::uint32_t (&k)[4], const Tint& tint) {
  const Blend888 blend(k, tint);
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i src[4] = {Load(row + i), Load(row + i + 1), Load(next + i), Load(next + i + 1)};
    const __m128i dst = Load(d + i);
    const __m128i any =
        _mm_and_si128(_mm_or_si128(_mm_or_si128(src[0], src[1]), _mm_or_si128(src[2], src[3])), AlphaBytes());
    const __m128i all =
        _mm_and_si128(_mm_and_si128(_mm_and_si128(src[0], src[1]), _mm_and_si128(src[2], src[3])), AlphaBytes());
    __m128i out;
    if (AllZero(any))
      out = _mm_and_si128(dst, ColourBytes());
    else if (AllEqual(all, AlphaBytes()))
      out = Block<4, true>(blend, src, dst);
    else
      out = Block<4, false>(blend, src, dst);
    Store(d + i, out);
  }
  return i;
}

int Rotated888(std::uint32_t* d, const std::uint32_t* origin, int stride, std::int32_t u, std::int32_t v,
               std::int32_t du, std::int32_t dv, int count, const Tint& tint) {
  const std::uint32_t unused[4] = {0, 0, 0, 0};
  const Blend888 blend(unused, tint);
  const __m128i zero = _mm_setzero_si128();
  const __m128i low16 = _mm_set1_epi32(0xFFFE), one = _mm_set1_epi32(1), whole = _mm_set1_epi32(65536);
  const __m128i rowStride = _mm_set1_epi32(stride);
  __m128i us = _mm_setr_epi32(u, u + du, u + 2 * du, u + 3 * du);
  __m128i vs = _mm_setr_epi32(v, v + dv, v + 2 * dv, v + 3 * dv);
  const __m128i stepU = _mm_set1_epi32(4 * du), stepV = _mm_set1_epi32(4 * dv);
  alignas(16) std::int32_t index[4];
  int i = 0;
  for (; i + 4 <= count; i += 4, us = _mm_add_epi32(us, stepU), vs = _mm_add_epi32(vs, stepV)) {
    // The top-left neighbours' offsets: (v >> 16) x stride + (u >> 16), the row part as a 16 x 16 product.
    _mm_store_si128(reinterpret_cast<__m128i*>(index),
                    _mm_add_epi32(_mm_madd_epi16(_mm_srli_epi32(vs, 16), rowStride), _mm_srli_epi32(us, 16)));
    __m128i top[4], bottom[4];
    for (int j = 0; j < 4; ++j) {
      top[j] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(origin + index[j]));
      bottom[j] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(origin + index[j] + stride));
    }
    // Neighbour t of the four pixels in one register each.
    const auto split = [](const __m128i(&pairs)[4], __m128i& left, __m128i& right) {
      const __m128 a = _mm_castsi128_ps(_mm_unpacklo_epi64(pairs[0], pairs[1]));
      const __m128 b = _mm_castsi128_ps(_mm_unpacklo_epi64(pairs[2], pairs[3]));
      left = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
      right = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    };
    __m128i src[4];
    split(top, src[0], src[1]);
    split(bottom, src[2], src[3]);
    const __m128i dst = Load(d + i);
    if (AllZero(
            _mm_and_si128(_mm_or_si128(_mm_or_si128(src[0], src[1]), _mm_or_si128(src[2], src[3])), AlphaBytes()))) {
      Store(d + i, _mm_and_si128(dst, ColourBytes()));
      continue;
    }
    // k per pixel in the low half of each 32-bit lane: fractions 1..65535, so 16 x 16 products.
    const __m128i fx = _mm_add_epi32(_mm_and_si128(us, low16), one), gx = _mm_sub_epi32(whole, fx);
    const __m128i fy = _mm_add_epi32(_mm_and_si128(vs, low16), one), gy = _mm_sub_epi32(whole, fy);
    const __m128i k[4] = {_mm_mulhi_epu16(gx, gy), _mm_mulhi_epu16(fx, gy), _mm_mulhi_epu16(gx, fy),
                          _mm_mulhi_epu16(fx, fy)};
    __m128i weighted[2] = {zero, zero}, covered[2] = {zero, zero};
    for (int t = 0; t < 4; ++t) {
      __m128i w = _mm_mulhi_epu16(k[t], _mm_srli_epi32(src[t], 24));
      if (tint.colored) w = _mm_srli_epi16(_mm_mullo_epi16(w, blend.colourAlpha), 8);
      const __m128i pair = _mm_or_si128(w, _mm_slli_epi32(w, 16));
      const __m128i wLow = _mm_unpacklo_epi32(pair, pair), wHigh = _mm_unpackhi_epi32(pair, pair);
      weighted[0] = _mm_add_epi16(weighted[0], _mm_mullo_epi16(_mm_unpacklo_epi8(src[t], zero), wLow));
      weighted[1] = _mm_add_epi16(weighted[1], _mm_mullo_epi16(_mm_unpackhi_epi8(src[t], zero), wHigh));
      covered[0] = _mm_add_epi16(covered[0], wLow);
      covered[1] = _mm_add_epi16(covered[1], wHigh);
    }
    __m128i out[2];
    for (int h = 0; h < 2; ++h) {
      __m128i source;
      if (tint.colored) {
        const __m128i blue = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(weighted[h], 8), blend.blueTint), 8);
        source = _mm_or_si128(_mm_mulhi_epu16(weighted[h], blend.tint), blue);
      } else {
        source = _mm_srli_epi16(weighted[h], 8);
      }
      const __m128i d16 = h == 0 ? _mm_unpacklo_epi8(dst, zero) : _mm_unpackhi_epi8(dst, zero);
      out[h] = _mm_add_epi16(source,
                             _mm_srli_epi16(_mm_mullo_epi16(d16, _mm_sub_epi16(_mm_set1_epi16(256), covered[h])), 8));
    }
    Store(d + i, _mm_and_si128(_mm_packus_epi16(out[0], out[1]), ColourBytes()));
  }
  return i;
}

int OneTap565(std::uint16_t* d, const std::uint32_t* s, int count, const Tint& tint) {
  const __m128i byte = _mm_set1_epi32(0xFF);
  const __m128i colourAlpha = _mm_set1_epi16(static_cast<short>(tint.c.a));
  const __m128i full = _mm_set1_epi16(256);
  const __m128i redTint = _mm_set1_epi16(static_cast<short>(tint.c.r + 1));
  const __m128i greenTint = _mm_set1_epi16(static_cast<short>(tint.c.g + 1));
  const __m128i blueTint = _mm_set1_epi16(static_cast<short>(tint.c.b + 1));
  const __m128i five = _mm_set1_epi16(0x1F), six = _mm_set1_epi16(0x3F);
  // Byte n of eight 32-bit pixels, as 16-bit lanes.
  const auto channel = [&](__m128i a, __m128i b, int shift) {
    return _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(a, shift), byte),
                           _mm_and_si128(_mm_srli_epi32(b, shift), byte));
  };
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i a = Load(s + i), b = Load(s + i + 4);
    // Transparent pixels leave 5-6-5 ones as they are; opaque ones at weight 254 keep nothing of
    // the destination ((field x 2) >> 8 is below the field's lowest bit).
    if (AllZero(_mm_and_si128(_mm_or_si128(a, b), AlphaBytes()))) continue;
    if (!tint.colored && AllEqual(_mm_and_si128(_mm_and_si128(a, b), AlphaBytes()), AlphaBytes())) {
      Store(d + i, To565(OpaqueOneTapBytes(a), OpaqueOneTapBytes(b)));
      continue;
    }
    const __m128i dst = Load(d + i);
    __m128i w = _mm_subs_epu16(channel(a, b, 24), _mm_set1_epi16(1));
    if (tint.colored) w = _mm_srli_epi16(_mm_mullo_epi16(w, colourAlpha), 8);
    const __m128i rest = _mm_sub_epi16(full, w);
    const __m128i r = _mm_mullo_epi16(channel(a, b, 16), w);
    const __m128i g = _mm_mullo_epi16(channel(a, b, 8), w);
    const __m128i bl = _mm_mullo_epi16(channel(a, b, 0), w);
    __m128i vr, vg, vb;
    if (tint.colored) {
      vr = _mm_srli_epi16(_mm_mulhi_epu16(r, redTint), 3);
      vg = _mm_srli_epi16(_mm_mulhi_epu16(g, greenTint), 2);
      vb = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(bl, 8), blueTint), 11);
    } else {
      vr = _mm_srli_epi16(r, 11);
      vg = _mm_srli_epi16(g, 10);
      vb = _mm_srli_epi16(bl, 11);
    }
    const __m128i dr = _mm_srli_epi16(_mm_mullo_epi16(_mm_srli_epi16(dst, 11), rest), 8);
    const __m128i dg = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(_mm_srli_epi16(dst, 5), six), rest), 8);
    const __m128i db = _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(dst, five), rest), 8);
    const __m128i out =
        _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_add_epi16(vr, dr), 11), _mm_slli_epi16(_mm_add_epi16(vg, dg), 5)),
                     _mm_add_epi16(vb, db));
    Store(d + i, out);
  }
  return i;
}

#else

int OneTap888(std::uint32_t*, const std::uint32_t*, int, const Tint&) { return 0; }
int OneTap565(std::uint16_t*, const std::uint32_t*, int, const Tint&) { return 0; }
int FourTap888(std::uint32_t*, const std::uint32_t*, const std::uint32_t*, int, const std::uint32_t (&)[4],
               const Tint&) {
  return 0;
}
int Rotated888(std::uint32_t*, const std::uint32_t*, int, std::int32_t, std::int32_t, std::int32_t, std::int32_t, int,
               const Tint&) {
  return 0;
}

#endif

}  // namespace Kit::SurfaceRotateRows
