// The per-pixel work of the software device: texture sampling, the stage-0 combiner, the alpha test
// and frame-buffer blending, each as a small inline piece. The general pieces follow every state the
// device supports; the specialised ones cover the common cases (8-bit-per-channel textures sampled
// with clamping, source-over and additive blending, 5-6-5, 5-5-5 and 32-bit targets) with the same
// arithmetic, so both give the same pixels.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/d3d/RasterState.h"

namespace plat::d3d {

// round(x / 255); x / 255 never ends in exactly one half, so no tie needs breaking.
inline DWORD Div255(DWORD x) { return (x + 127) / 255; }

inline DWORD Channel(DWORD argb, int shift) { return (argb >> shift) & 0xFF; }
inline DWORD Argb(DWORD a, DWORD r, DWORD g, DWORD b) { return (a << 24) | (r << 16) | (g << 8) | b; }

// A 16-bit pixel (5 bits of red at kRedShift, kGreenBits of green at 5, 5 of blue at 0) as opaque ARGB,
// each channel widened by repeating its bits.
template <int kRedShift, int kGreenBits>
inline DWORD Widen16Pixel(DWORD t) {
  const DWORD r = (t >> kRedShift) & 0x1F, g = (t >> 5) & ((1u << kGreenBits) - 1), b = t & 0x1F;
  return Argb(0xFF, (r << 3) | (r >> 2), (g << (8 - kGreenBits)) | (g >> (2 * kGreenBits - 8)), (b << 3) | (b >> 2));
}

// ---- Interpolated values along a span ----

// Colours are 16.16 with half a unit added (so that the integer part is the rounded value); texture
// coordinates are texel units in 16.16.
struct SpanValues {
  std::int32_t a, r, g, b;
  std::int32_t sr, sg, sb;
  std::int64_t u, v;
};

inline void Step(SpanValues& at, const SpanValues& step) {
  at.a += step.a;
  at.r += step.r;
  at.g += step.g;
  at.b += step.b;
  at.sr += step.sr;
  at.sg += step.sg;
  at.sb += step.sb;
  at.u += step.u;
  at.v += step.v;
}

inline DWORD ClampByte(std::int32_t fixed) { return static_cast<DWORD>(std::clamp(fixed >> 16, 0, 255)); }
inline DWORD DiffuseAt(const SpanValues& at) {
  return Argb(ClampByte(at.a), ClampByte(at.r), ClampByte(at.g), ClampByte(at.b));
}
inline DWORD SpecularAt(const SpanValues& at) { return Argb(0, ClampByte(at.sr), ClampByte(at.sg), ClampByte(at.sb)); }

// ---- Texture sampling ----

// The texture as the samplers read it.
struct TextureSampler {
  enum class Kind { Argb32, Rgb565, Palette8, Other };
  Kind kind = Kind::Other;
  const BYTE* pixels = nullptr;
  LONG pitch = 0;
  int width = 0, height = 0;
  DWORD opaqueBits = 0;                    // ORed into 32-bit texels: 0xFF000000 for X8R8G8B8
  PixelCodec codec{ddraw::PixelLayout{}};  // texels of other layouts
  const DWORD* palette = nullptr;
  DWORD addressU = D3DTADDRESS_CLAMP, addressV = D3DTADDRESS_CLAMP;
  DWORD border = 0;

  DWORD Texel(int x, int y) const {
    const BYTE* row = pixels + static_cast<std::ptrdiff_t>(y) * pitch;
    switch (kind) {
      case Kind::Argb32: {
        DWORD t;
        std::memcpy(&t, row + static_cast<std::ptrdiff_t>(x) * 4, 4);
        return t | opaqueBits;
      }
      case Kind::Rgb565: {
        WORD t;
        std::memcpy(&t, row + static_cast<std::ptrdiff_t>(x) * 2, 2);
        return Widen16Pixel<11, 6>(t);
      }
      case Kind::Palette8:
        return palette[row[x]];
      default:
        return codec.ToArgb(codec.Read(row + static_cast<std::ptrdiff_t>(x) * codec.Bytes()));
    }
  }
};

// A texel index under an addressing mode; -1 for the border.
inline int Address(std::int64_t i, int size, DWORD mode) {
  switch (mode) {
    case D3DTADDRESS_WRAP: {
      const std::int64_t m = i % size;
      return static_cast<int>(m < 0 ? m + size : m);
    }
    case D3DTADDRESS_MIRROR: {
      const std::int64_t period = 2 * static_cast<std::int64_t>(size);
      std::int64_t m = i % period;
      if (m < 0) m += period;
      return static_cast<int>(m < size ? m : period - 1 - m);
    }
    case D3DTADDRESS_BORDER:
      return i < 0 || i >= size ? -1 : static_cast<int>(i);
    default:
      return static_cast<int>(std::clamp<std::int64_t>(i, 0, size - 1));
  }
}

inline DWORD AddressedTexel(const TextureSampler& s, std::int64_t x, std::int64_t y) {
  const int ax = Address(x, s.width, s.addressU), ay = Address(y, s.height, s.addressV);
  return ax < 0 || ay < 0 ? s.border : s.Texel(ax, ay);
}

// Point sampling: the texel whose area holds the sample point.
[[gnu::always_inline]] inline DWORD SamplePoint(const TextureSampler& s, std::int64_t u, std::int64_t v) {
  const std::int64_t x = u >> 16, y = v >> 16;
  if (static_cast<std::uint64_t>(x) < static_cast<std::uint64_t>(s.width) &&
      static_cast<std::uint64_t>(y) < static_cast<std::uint64_t>(s.height))
    return s.Texel(static_cast<int>(x), static_cast<int>(y));
  return AddressedTexel(s, x, y);
}

// Weighs four texels by 8-bit fractions: per channel, (top x (256 - fy) + bottom x fy + 32768) >> 16 with
// top = t00 x (256 - fx) + t10 x fx and bottom likewise. Two channels at a time: the across sums fit 16
// bits, the down sums 32.
[[gnu::always_inline]] inline DWORD Bilerp(DWORD t00, DWORD t10, DWORD t01, DWORD t11, DWORD fx, DWORD fy) {
  const DWORD wx = 256 - fx;
  const std::uint64_t wy = 256 - fy;
  auto across = [&](DWORD a, DWORD b, int shift) {
    return ((a >> shift) & 0x00FF00FF) * wx + ((b >> shift) & 0x00FF00FF) * fx;
  };
  auto spread = [](DWORD lanes) { return (lanes & 0xFFFF) | (static_cast<std::uint64_t>(lanes >> 16) << 32); };
  auto down = [&](DWORD top, DWORD bottom) {
    const std::uint64_t v = spread(top) * wy + spread(bottom) * fy + 0x0000800000008000ull;
    return static_cast<DWORD>((v >> 16) & 0xFF) | static_cast<DWORD>((v >> 48) & 0xFF) << 16;
  };
  return down(across(t00, t10, 0), across(t01, t11, 0)) | down(across(t00, t10, 8), across(t01, t11, 8)) << 8;
}

// Bilinear filtering: the four texels around the sample point, texel centres at half units.
[[gnu::always_inline]] inline DWORD SampleLinear(const TextureSampler& s, std::int64_t u, std::int64_t v) {
  u -= 0x8000;
  v -= 0x8000;
  const std::int64_t x = u >> 16, y = v >> 16;
  const DWORD fx = static_cast<DWORD>(u >> 8) & 0xFF, fy = static_cast<DWORD>(v >> 8) & 0xFF;
  if (static_cast<std::uint64_t>(x) < static_cast<std::uint64_t>(s.width - 1) &&
      static_cast<std::uint64_t>(y) < static_cast<std::uint64_t>(s.height - 1)) {
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    if (s.kind == TextureSampler::Kind::Argb32) {
      // Two texels from each of two rows, read directly.
      DWORD top[2], bottom[2];
      const BYTE* at = s.pixels + static_cast<std::ptrdiff_t>(iy) * s.pitch + static_cast<std::ptrdiff_t>(ix) * 4;
      std::memcpy(top, at, 8);
      std::memcpy(bottom, at + s.pitch, 8);
      return Bilerp(top[0] | s.opaqueBits, top[1] | s.opaqueBits, bottom[0] | s.opaqueBits, bottom[1] | s.opaqueBits,
                    fx, fy);
    }
    return Bilerp(s.Texel(ix, iy), s.Texel(ix + 1, iy), s.Texel(ix, iy + 1), s.Texel(ix + 1, iy + 1), fx, fy);
  }
  return Bilerp(AddressedTexel(s, x, y), AddressedTexel(s, x + 1, y), AddressedTexel(s, x, y + 1),
                AddressedTexel(s, x + 1, y + 1), fx, fy);
}

// ---- Stage 0 ----

inline DWORD Modulate(DWORD a, DWORD b) {
  return Argb(Div255(Channel(a, 24) * Channel(b, 24)), Div255(Channel(a, 16) * Channel(b, 16)),
              Div255(Channel(a, 8) * Channel(b, 8)), Div255(Channel(a, 0) * Channel(b, 0)));
}

struct StageInputs {
  DWORD diffuse, specular, texel, factor;
};

inline DWORD Argument(DWORD arg, const StageInputs& in) {
  DWORD value;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_TEXTURE:
      value = in.texel;
      break;
    case D3DTA_TFACTOR:
      value = in.factor;
      break;
    case D3DTA_SPECULAR:
      value = in.specular;
      break;
    default:  // diffuse; the current colour at stage 0 is the diffuse colour
      value = in.diffuse;
      break;
  }
  if (arg & D3DTA_COMPLEMENT) value = ~value;
  if (arg & D3DTA_ALPHAREPLICATE) value = (value >> 24) * 0x01010101u;
  return value;
}

// One operation on two arguments, per channel; the caller takes the channels it needs.
inline DWORD Operate(DWORD op, DWORD a, DWORD b, DWORD diffuse) {
  switch (op) {
    case D3DTOP_SELECTARG1:
      return a;
    case D3DTOP_SELECTARG2:
      return b;
    case D3DTOP_MODULATE:
      return Modulate(a, b);
    case D3DTOP_MODULATE2X:
    case D3DTOP_MODULATE4X: {
      const DWORD scale = op == D3DTOP_MODULATE2X ? 2 : 4;
      DWORD out = 0;
      for (int shift = 0; shift < 32; shift += 8)
        out |= std::min<DWORD>(255, Div255(Channel(a, shift) * Channel(b, shift) * scale)) << shift;
      return out;
    }
    case D3DTOP_ADD: {
      DWORD out = 0;
      for (int shift = 0; shift < 32; shift += 8)
        out |= std::min<DWORD>(255, Channel(a, shift) + Channel(b, shift)) << shift;
      return out;
    }
    default:  // disabled: the diffuse colour passes
      return diffuse;
  }
}

inline DWORD CombineStage(const StageState& stage, const StageInputs& in) {
  const DWORD color = Operate(stage.colorOp, Argument(stage.colorArg1, in), Argument(stage.colorArg2, in), in.diffuse);
  // A disabled colour operation turns the whole stage off, alpha included.
  const DWORD alphaOp = stage.colorOp == D3DTOP_DISABLE ? D3DTOP_DISABLE : stage.alphaOp;
  const DWORD alpha = Operate(alphaOp, Argument(stage.alphaArg1, in), Argument(stage.alphaArg2, in), in.diffuse);
  return (alpha & 0xFF000000) | (color & 0x00FFFFFF);
}

inline DWORD AddSpecular(DWORD color, DWORD specular) {
  DWORD out = color & 0xFF000000;
  for (int shift = 0; shift < 24; shift += 8)
    out |= std::min<DWORD>(255, Channel(color, shift) + Channel(specular, shift)) << shift;
  return out;
}

inline bool PassesAlphaTest(DWORD func, DWORD alpha, DWORD ref) {
  switch (func) {
    case D3DCMP_NEVER:
      return false;
    case D3DCMP_LESS:
      return alpha < ref;
    case D3DCMP_EQUAL:
      return alpha == ref;
    case D3DCMP_LESSEQUAL:
      return alpha <= ref;
    case D3DCMP_GREATER:
      return alpha > ref;
    case D3DCMP_NOTEQUAL:
      return alpha != ref;
    case D3DCMP_GREATEREQUAL:
      return alpha >= ref;
    default:
      return true;
  }
}

// ---- Blending ----

// One blend factor for the channel at shift (24 is alpha).
inline DWORD BlendFactor(DWORD blend, DWORD src, DWORD dst, int shift) {
  const DWORD as = src >> 24, ad = dst >> 24;
  switch (blend) {
    case D3DBLEND_ZERO:
      return 0;
    case D3DBLEND_SRCCOLOR:
      return Channel(src, shift);
    case D3DBLEND_INVSRCCOLOR:
      return 255 - Channel(src, shift);
    case D3DBLEND_SRCALPHA:
      return as;
    case D3DBLEND_INVSRCALPHA:
      return 255 - as;
    case D3DBLEND_DESTALPHA:
      return ad;
    case D3DBLEND_INVDESTALPHA:
      return 255 - ad;
    case D3DBLEND_DESTCOLOR:
      return Channel(dst, shift);
    case D3DBLEND_INVDESTCOLOR:
      return 255 - Channel(dst, shift);
    case D3DBLEND_SRCALPHASAT:
      return shift == 24 ? 255 : std::min(as, 255 - ad);
    default:  // one
      return 255;
  }
}

// result = src x srcFactor + dst x destFactor per channel, saturated; dst carries 0xFF alpha when the
// target has none.
inline DWORD BlendFactors(DWORD src, DWORD dst, DWORD srcBlend, DWORD destBlend) {
  DWORD out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const DWORD sum = Channel(src, shift) * BlendFactor(srcBlend, src, dst, shift) +
                      Channel(dst, shift) * BlendFactor(destBlend, src, dst, shift);
    out |= std::min<DWORD>(255, Div255(sum)) << shift;
  }
  return out;
}

// Source over destination with the source's alpha, two channels at a time.
inline DWORD BlendOver(DWORD src, DWORD dst) {
  const DWORD a = src >> 24, ia = 255 - a;
  DWORD rb = (src & 0x00FF00FF) * a + (dst & 0x00FF00FF) * ia + 0x00800080;
  rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  DWORD g = ((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * ia + 0x80;
  g = ((g + (g >> 8)) >> 8) & 0xFF;
  return 0xFF000000 | rb | (g << 8);
}

// Destination plus the source weighted by its alpha, saturated.
inline DWORD BlendAdd(DWORD src, DWORD dst) {
  const DWORD a = src >> 24;
  DWORD rb = (src & 0x00FF00FF) * a + 0x00800080;
  rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  DWORD g = ((src >> 8) & 0xFF) * a + 0x80;
  g = ((g + (g >> 8)) >> 8) & 0xFF;
  DWORD sum = rb + (dst & 0x00FF00FF);
  const DWORD over = sum & 0x01000100;
  sum = (sum | (over - (over >> 8))) & 0x00FF00FF;
  const DWORD green = std::min<DWORD>(255, g + ((dst >> 8) & 0xFF));
  return 0xFF000000 | sum | (green << 8);
}

}  // namespace plat::d3d
