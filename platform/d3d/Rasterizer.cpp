// Triangles, lines and points of pre-transformed vertices into surface memory.
//
// Pixel centres lie at integer coordinates. Triangles follow the top-left rule: a pixel whose centre
// lies exactly on a left or top edge is drawn, one on a right or bottom edge is not, so triangles that
// share an edge (the halves of a strip or a fan) cover each pixel once. Positions are rounded to 1/256
// of a pixel and the edges walked with exact integer arithmetic, so a shared edge gives the same pixels
// from both sides. Colours and texture coordinates are interpolated linearly in screen space.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/d3d/PixelPipeline.h"
#include "platform/d3d/RasterState.h"

namespace plat::d3d {
namespace {

constexpr int kSubPixel = 256;
// Positions beyond this (in pixels) are clipped away before the fixed-point walk, so that every
// product of the walk fits 64 bits.
constexpr float kGuardBand = 16384.0f;
// Texture coordinates are kept within this many texels, so that their 16.16 values cannot overflow.
constexpr double kTexelLimit = 1 << 30;
constexpr double kTexelStepLimit = 1 << 24;

// ---- What a span painter draws with ----

struct PaintContext {
  const RasterState* state;
  const TargetMemory* target;
  PixelCodec targetCodec;
  TextureSampler sampler;
  bool linear = false;
};

using SpanPainter = void (*)(const PaintContext&, int y, int x0, int x1, SpanValues at, const SpanValues& step);

// ---- Targets ----

#if defined(__SSE2__)
// Four 16-bit pixels (red at redShift, green greenBits wide at 5, blue at 0) as 0x00RRGGBB lanes,
// channels widened by repeating their bits.
__m128i Widen16(const BYTE* p, int redShift, int greenBits) {
  const __m128i pixels = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  const __m128i five = _mm_set1_epi32(0x1F);
  const __m128i r = _mm_and_si128(_mm_srli_epi32(pixels, redShift), five);
  const __m128i g = _mm_and_si128(_mm_srli_epi32(pixels, 5), _mm_set1_epi32((1 << greenBits) - 1));
  const __m128i b = _mm_and_si128(pixels, five);
  const __m128i r8 = _mm_or_si128(_mm_slli_epi32(r, 3), _mm_srli_epi32(r, 2));
  const __m128i g8 = greenBits == 6 ? _mm_or_si128(_mm_slli_epi32(g, 2), _mm_srli_epi32(g, 4))
                                    : _mm_or_si128(_mm_slli_epi32(g, 3), _mm_srli_epi32(g, 2));
  const __m128i b8 = _mm_or_si128(_mm_slli_epi32(b, 3), _mm_srli_epi32(b, 2));
  return _mm_or_si128(_mm_or_si128(_mm_slli_epi32(r8, 16), _mm_slli_epi32(g8, 8)), b8);
}

// Four 0x..RRGGBB lanes into 16-bit pixels, channels narrowed by dropping their low bits.
void Narrow16(BYTE* p, __m128i c, int greenBits) {
  const __m128i r = _mm_and_si128(_mm_srli_epi32(c, 19), _mm_set1_epi32(0x1F));
  const __m128i g = _mm_and_si128(_mm_srli_epi32(c, 16 - greenBits), _mm_set1_epi32((1 << greenBits) - 1));
  const __m128i b = _mm_and_si128(_mm_srli_epi32(c, 3), _mm_set1_epi32(0x1F));
  __m128i pixels = _mm_or_si128(_mm_or_si128(_mm_slli_epi32(r, 5 + greenBits), _mm_slli_epi32(g, 5)), b);
  pixels = _mm_srai_epi32(_mm_slli_epi32(pixels, 16), 16);  // so that the signed pack keeps the bits
  _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packs_epi32(pixels, pixels));
}

// round(x / 255) in every 16-bit lane, for x up to 255 x 255 + 127.
inline __m128i Div255x8(__m128i x) {
  x = _mm_add_epi16(x, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// The alpha of each of four pixels in the four 16-bit lanes of its channels: pixels 0 and 1, 2 and 3.
inline void AlphaLanes(__m128i src, __m128i& low, __m128i& high) {
  const __m128i a = _mm_srli_epi32(src, 24);
  const __m128i a16 = _mm_or_si128(a, _mm_slli_epi32(a, 16));
  low = _mm_unpacklo_epi32(a16, a16);
  high = _mm_unpackhi_epi32(a16, a16);
}

// BlendOver for four pixels.
inline __m128i BlendOver4(__m128i src, __m128i dst) {
  const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(255);
  __m128i aLow, aHigh;
  AlphaLanes(src, aLow, aHigh);
  auto half = [&](__m128i s, __m128i d, __m128i a) {
    return Div255x8(_mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a))));
  };
  return _mm_packus_epi16(half(_mm_unpacklo_epi8(src, zero), _mm_unpacklo_epi8(dst, zero), aLow),
                          half(_mm_unpackhi_epi8(src, zero), _mm_unpackhi_epi8(dst, zero), aHigh));
}

// BlendAdd for four pixels.
inline __m128i BlendAdd4(__m128i src, __m128i dst) {
  const __m128i zero = _mm_setzero_si128();
  __m128i aLow, aHigh;
  AlphaLanes(src, aLow, aHigh);
  const __m128i weighted = _mm_packus_epi16(Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(src, zero), aLow)),
                                            Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(src, zero), aHigh)));
  return _mm_adds_epu8(weighted, dst);
}
#endif

// 16-bit pixels: 5 bits of red at kRedShift, kGreenBits of green at 5, 5 bits of blue at 0.
template <int kRedShift, int kGreenBits>
struct Target16 {
  static constexpr int kBytes = 2;
  explicit Target16(const PaintContext&) {}
  static DWORD Load(const BYTE* p) {
    WORD t;
    std::memcpy(&t, p, 2);
    return Widen16Pixel<kRedShift, kGreenBits>(t);
  }
  static void Store(BYTE* p, DWORD c) {
    const WORD t = static_cast<WORD>((((c >> 19) & 0x1F) << kRedShift) |
                                     (((c >> (16 - kGreenBits)) & ((1 << kGreenBits) - 1)) << 5) | ((c >> 3) & 0x1F));
    std::memcpy(p, &t, 2);
  }
  int Bytes() const { return kBytes; }
#if defined(__SSE2__)
  static __m128i Load4(const BYTE* p) { return Widen16(p, kRedShift, kGreenBits); }
  static void Store4(BYTE* p, __m128i c) { Narrow16(p, c, kGreenBits); }
#endif
};
using Target565 = Target16<11, 6>;
using Target555 = Target16<10, 5>;

struct Target8888 {
  static constexpr int kBytes = 4;
  explicit Target8888(const PaintContext&) {}
  static DWORD Load(const BYTE* p) {
    DWORD t;
    std::memcpy(&t, p, 4);
    return t | 0xFF000000;
  }
  static void Store(BYTE* p, DWORD c) {
    const DWORD t = c & 0x00FFFFFF;
    std::memcpy(p, &t, 4);
  }
  int Bytes() const { return kBytes; }
#if defined(__SSE2__)
  static __m128i Load4(const BYTE* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void Store4(BYTE* p, __m128i c) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_and_si128(c, _mm_set1_epi32(0x00FFFFFF)));
  }
#endif
};

// Any RGB layout the device renders into, alpha kept when the layout has it.
struct TargetAny {
  explicit TargetAny(const PaintContext& ctx) : codec(&ctx.targetCodec) {}
  DWORD Load(const BYTE* p) const {
    const DWORD c = codec->ToArgb(codec->Read(p));
    return codec->HasAlpha() ? c : c | 0xFF000000;
  }
  void Store(BYTE* p, DWORD c) const { codec->Write(p, codec->FromArgb(c)); }
  int Bytes() const { return codec->Bytes(); }
  const PixelCodec* codec;
};

// ---- Sources: the colour each pixel brings, or false when the alpha test drops it ----

struct SourceDiffuse {
  explicit SourceDiffuse(const PaintContext&) {}
  bool operator()(const SpanValues& at, DWORD& out) const {
    out = DiffuseAt(at);
    return true;
  }
  static void Advance(SpanValues& at, const SpanValues& step) {
    at.a += step.a;
    at.r += step.r;
    at.g += step.g;
    at.b += step.b;
  }
};

// Texel times diffuse colour (kModulate), or the texel alone for white vertices.
template <bool kModulate, bool kLinear>
struct SourceTexture {
  explicit SourceTexture(const PaintContext& ctx) : sampler(&ctx.sampler) {}
  [[gnu::always_inline]] bool operator()(const SpanValues& at, DWORD& out) const {
    const DWORD texel = kLinear ? SampleLinear(*sampler, at.u, at.v) : SamplePoint(*sampler, at.u, at.v);
    out = kModulate ? Modulate(texel, DiffuseAt(at)) : texel;
    return true;
  }
  static void Advance(SpanValues& at, const SpanValues& step) {
    if constexpr (kModulate) SourceDiffuse::Advance(at, step);
    at.u += step.u;
    at.v += step.v;
  }
  const TextureSampler* sampler;
};

// Every stage operation, the specular colour and the alpha test.
struct SourceAny {
  explicit SourceAny(const PaintContext& ctx) : ctx(&ctx) {}
  bool operator()(const SpanValues& at, DWORD& out) const {
    const RasterState& state = *ctx->state;
    StageInputs in{DiffuseAt(at), SpecularAt(at), 0xFFFFFFFF, state.textureFactor};
    if (state.texture)
      in.texel = ctx->linear ? SampleLinear(ctx->sampler, at.u, at.v) : SamplePoint(ctx->sampler, at.u, at.v);
    out = CombineStage(state.stage, in);
    if (state.specular) out = AddSpecular(out, in.specular);
    return !state.alphaTest || PassesAlphaTest(state.alphaFunc, out >> 24, state.alphaRef & 0xFF);
  }
  static void Advance(SpanValues& at, const SpanValues& step) { Step(at, step); }
  const PaintContext* ctx;
};

// ---- Blends: false when the pixel stays as it is ----

struct BlendReplace {
  static constexpr bool kReadsDest = false;
  explicit BlendReplace(const PaintContext&) {}
  bool operator()(DWORD src, DWORD, DWORD& out) const {
    out = src;
    return true;
  }
};

struct BlendOverFast {
  static constexpr bool kReadsDest = true;
  explicit BlendOverFast(const PaintContext&) {}
  bool operator()(DWORD src, DWORD dst, DWORD& out) const {
    out = BlendOver(src, dst);
    return true;
  }
};

struct BlendAddFast {
  static constexpr bool kReadsDest = true;
  explicit BlendAddFast(const PaintContext&) {}
  bool operator()(DWORD src, DWORD dst, DWORD& out) const {
    out = BlendAdd(src, dst);
    return true;
  }
};

struct BlendAny {
  static constexpr bool kReadsDest = true;
  explicit BlendAny(const PaintContext& ctx) : src(ctx.state->srcBlend), dest(ctx.state->destBlend) {}
  bool operator()(DWORD s, DWORD d, DWORD& out) const {
    out = BlendFactors(s, d, src, dest);
    return true;
  }
  DWORD src, dest;
};

// Blends one source colour into the target pixel at p.
template <class Target, class Blend>
[[gnu::always_inline]] inline void Put(const Target& target, const Blend& blend, BYTE* p, DWORD color) {
  if constexpr (std::is_same_v<Blend, BlendOverFast> || std::is_same_v<Blend, BlendAddFast>) {
    // Fully transparent pixels leave the target alone; opaque ones replace it (source-over only).
    const DWORD alpha = color >> 24;
    if (alpha == 0) return;
    if (std::is_same_v<Blend, BlendOverFast> && alpha == 0xFF) {
      target.Store(p, color);
      return;
    }
  }
  DWORD out;
  if (blend(color, Blend::kReadsDest ? target.Load(p) : 0, out)) target.Store(p, out);
}

BYTE* PixelAt(const ddraw::PixelView& view, int x, int y, int bytes) {
  return view.pixels + static_cast<std::ptrdiff_t>(y) * view.pitch + static_cast<std::ptrdiff_t>(x) * bytes;
}

template <class Target, class Source, class Blend>
void PaintSpan(const PaintContext& ctx, int y, int x0, int x1, SpanValues at, const SpanValues& step) {
  const Target target(ctx);
  const Source source(ctx);
  const Blend blend(ctx);
  BYTE* p = PixelAt(ctx.target->view, x0, y, target.Bytes());
  for (int x = x0; x < x1; ++x, p += target.Bytes(), Source::Advance(at, step)) {
    DWORD color;
    if (source(at, color)) Put(target, blend, p, color);
  }
}

// Unscaled, point-sampled 32-bit texels: texel i of the row goes to pixel i, times a constant colour.
template <class Target, class Blend, bool kModulate>
void CopyTexelRow(const PaintContext& ctx, BYTE* out, const BYTE* texels, int count, DWORD color) {
  const Target target(ctx);
  const Blend blend(ctx);
  const DWORD opaque = ctx.sampler.opaqueBits;
  int i = 0;
#if defined(__SSE2__)
  if constexpr (!kModulate && (std::is_same_v<Blend, BlendOverFast> || std::is_same_v<Blend, BlendAddFast>)) {
    // Four texels at a time; sprites are mostly runs of clear or solid texels, which skip the blend.
    const __m128i opaqueBits = _mm_set1_epi32(static_cast<int>(opaque)), zero = _mm_setzero_si128();
    const __m128i solid = _mm_set1_epi32(0xFF);
    for (; i + 4 <= count; i += 4, out += 4 * Target::kBytes) {
      const __m128i src = _mm_or_si128(
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + static_cast<std::ptrdiff_t>(i) * 4)), opaqueBits);
      const __m128i alpha = _mm_srli_epi32(src, 24);
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) continue;
      if (std::is_same_v<Blend, BlendOverFast> && _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, solid)) == 0xFFFF) {
        Target::Store4(out, src);
        continue;
      }
      const __m128i dst = Target::Load4(out);
      Target::Store4(out, std::is_same_v<Blend, BlendOverFast> ? BlendOver4(src, dst) : BlendAdd4(src, dst));
    }
  }
#endif
  for (; i < count; ++i, out += Target::kBytes) {
    DWORD c;
    std::memcpy(&c, texels + static_cast<std::ptrdiff_t>(i) * 4, 4);
    c |= opaque;
    if constexpr (kModulate) c = Modulate(c, color);
    Put(target, blend, out, c);
  }
}

// Unscaled, point-sampled R5G6B5 texels, opaque and untinted: rows copied as they are onto a 5-6-5
// target, widened onto others.
template <class Target>
void CopyOpaque565Row(const PaintContext& ctx, BYTE* out, const BYTE* texels, int count, DWORD) {
  if constexpr (std::is_same_v<Target, Target565>) {
    std::memcpy(out, texels, static_cast<size_t>(count) * 2);
  } else {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) Target::Store4(out + i * Target::kBytes, Target565::Load4(texels + i * 2));
#endif
    for (; i < count; ++i) Target::Store(out + i * Target::kBytes, Target565::Load(texels + i * 2));
  }
}

using RowCopier = void (*)(const PaintContext&, BYTE* out, const BYTE* texels, int count, DWORD color);

// ---- Choosing the painter ----

enum class TargetKind { Rgb565, Rgb555, Xrgb8888, Any };
enum class SourceKind { Diffuse, Texture, TextureModulated, Any };
enum class BlendKind { Replace, Over, Add, Any };

// Which interpolated values a painter reads.
enum Needs : unsigned { kNeedsDiffuse = 1, kNeedsSpecular = 2, kNeedsTexture = 4 };

unsigned NeedsOf(SourceKind source) {
  switch (source) {
    case SourceKind::Diffuse:
      return kNeedsDiffuse;
    case SourceKind::Texture:
      return kNeedsTexture;
    case SourceKind::TextureModulated:
      return kNeedsDiffuse | kNeedsTexture;
    default:
      return kNeedsDiffuse | kNeedsSpecular | kNeedsTexture;
  }
}

template <class Target, class Source>
SpanPainter WithBlend(BlendKind blend) {
  switch (blend) {
    case BlendKind::Replace:
      return &PaintSpan<Target, Source, BlendReplace>;
    case BlendKind::Over:
      return &PaintSpan<Target, Source, BlendOverFast>;
    case BlendKind::Add:
      return &PaintSpan<Target, Source, BlendAddFast>;
    default:
      return &PaintSpan<Target, Source, BlendAny>;
  }
}

template <class Target>
SpanPainter WithSource(SourceKind source, bool linear, BlendKind blend) {
  switch (source) {
    case SourceKind::Diffuse:
      return WithBlend<Target, SourceDiffuse>(blend);
    case SourceKind::Texture:
      return linear ? WithBlend<Target, SourceTexture<false, true>>(blend)
                    : WithBlend<Target, SourceTexture<false, false>>(blend);
    case SourceKind::TextureModulated:
      return linear ? WithBlend<Target, SourceTexture<true, true>>(blend)
                    : WithBlend<Target, SourceTexture<true, false>>(blend);
    default:
      return WithBlend<Target, SourceAny>(blend);
  }
}

template <class Target, bool kModulate>
RowCopier CopierWithBlend(BlendKind blend) {
  switch (blend) {
    case BlendKind::Replace:
      return &CopyTexelRow<Target, BlendReplace, kModulate>;
    case BlendKind::Over:
      return &CopyTexelRow<Target, BlendOverFast, kModulate>;
    case BlendKind::Add:
      return &CopyTexelRow<Target, BlendAddFast, kModulate>;
    default:
      return &CopyTexelRow<Target, BlendAny, kModulate>;
  }
}

template <class Target>
RowCopier CopierFor(bool modulate, BlendKind blend) {
  return modulate ? CopierWithBlend<Target, true>(blend) : CopierWithBlend<Target, false>(blend);
}

// The row copier for unscaled 32-bit texels on a target of the three common layouts, or null.
RowCopier ChooseCopier(TargetKind target, bool modulate, BlendKind blend) {
  switch (target) {
    case TargetKind::Rgb565:
      return CopierFor<Target565>(modulate, blend);
    case TargetKind::Rgb555:
      return CopierFor<Target555>(modulate, blend);
    case TargetKind::Xrgb8888:
      return CopierFor<Target8888>(modulate, blend);
    default:
      return nullptr;
  }
}

RowCopier ChooseOpaque565Copier(TargetKind target) {
  switch (target) {
    case TargetKind::Rgb565:
      return &CopyOpaque565Row<Target565>;
    case TargetKind::Rgb555:
      return &CopyOpaque565Row<Target555>;
    case TargetKind::Xrgb8888:
      return &CopyOpaque565Row<Target8888>;
    default:
      return nullptr;
  }
}

SpanPainter ChoosePainter(TargetKind target, SourceKind source, bool linear, BlendKind blend) {
  switch (target) {
    case TargetKind::Rgb565:
      return WithSource<Target565>(source, linear, blend);
    case TargetKind::Rgb555:
      return WithSource<Target555>(source, linear, blend);
    case TargetKind::Xrgb8888:
      return WithSource<Target8888>(source, linear, blend);
    default:
      // Targets with alpha or of another size take the general road throughout.
      return &PaintSpan<TargetAny, SourceAny, BlendAny>;
  }
}

TargetKind KindOf(const ddraw::PixelLayout& layout) {
  if (layout == ddraw::PixelLayout::Rgb565()) return TargetKind::Rgb565;
  if (layout == ddraw::PixelLayout::Rgb555()) return TargetKind::Rgb555;
  if (layout == ddraw::PixelLayout::Xrgb8888()) return TargetKind::Xrgb8888;
  return TargetKind::Any;
}

BlendKind BlendKindOf(const RasterState& state) {
  if (!state.blend) return BlendKind::Replace;
  const DWORD src = state.srcBlend, dest = state.destBlend;
  if (src == D3DBLEND_ONE && dest == D3DBLEND_ZERO) return BlendKind::Replace;
  if ((src == D3DBLEND_SRCALPHA && dest == D3DBLEND_INVSRCALPHA) || src == D3DBLEND_BOTHSRCALPHA)
    return BlendKind::Over;
  if (src == D3DBLEND_SRCALPHA && dest == D3DBLEND_ONE) return BlendKind::Add;
  return BlendKind::Any;
}

// How one stage operation uses the texture and the diffuse colour, when it is their product, one of
// them, or the diffuse colour of a disabled stage.
struct Uses {
  bool texture;
  bool diffuse;
};

std::optional<Uses> UsesOf(DWORD op, DWORD arg1, DWORD arg2) {
  auto plain = [](DWORD arg) -> std::optional<Uses> {
    if (arg == D3DTA_TEXTURE) return Uses{true, false};
    if (arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT) return Uses{false, true};
    return std::nullopt;
  };
  switch (op) {
    case D3DTOP_DISABLE:
      return Uses{false, true};
    case D3DTOP_SELECTARG1:
      return plain(arg1);
    case D3DTOP_SELECTARG2:
      return plain(arg2);
    case D3DTOP_MODULATE: {
      const auto a = plain(arg1), b = plain(arg2);
      if (a && b && a->texture != b->texture) return Uses{true, true};
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

// ---- Primitive set-up ----

struct Primitive {
  PaintContext ctx;
  SourceKind source = SourceKind::Any;
  BlendKind blend = BlendKind::Any;
  TargetKind target = TargetKind::Any;
  DWORD forceDiffuse = 0;  // channels of the diffuse colour the stage ignores, read as full
  bool minifyLinear = false, magnifyLinear = false;
};

Primitive MakePrimitive(const TargetMemory& target, const RasterState& state) {
  Primitive p{PaintContext{&state, &target, PixelCodec(target.layout), {}, false}};
  p.target = KindOf(target.layout);
  p.blend = BlendKindOf(state);
  if (const TextureMemory* texture = state.texture) {
    TextureSampler& s = p.ctx.sampler;
    s.pixels = texture->view.pixels;
    s.pitch = texture->view.pitch;
    s.width = texture->view.width;
    s.height = texture->view.height;
    s.addressU = state.stage.addressU;
    s.addressV = state.stage.addressV;
    s.border = state.stage.borderColor;
    s.palette = texture->palette.data();
    const ddraw::PixelLayout& layout = texture->layout;
    if (layout.palettized) {
      s.kind = TextureSampler::Kind::Palette8;
    } else if (layout.bytesPerPixel == 4 && layout.redMask == 0xFF0000 && layout.greenMask == 0xFF00 &&
               layout.blueMask == 0xFF && (layout.alphaMask == 0 || layout.alphaMask == 0xFF000000)) {
      s.kind = TextureSampler::Kind::Argb32;
      s.opaqueBits = layout.alphaMask ? 0 : 0xFF000000;
    } else if (layout == ddraw::PixelLayout::Rgb565()) {
      s.kind = TextureSampler::Kind::Rgb565;
    } else {
      s.kind = TextureSampler::Kind::Other;
      s.codec = PixelCodec(layout);
    }
    p.minifyLinear = state.stage.minFilter == D3DTFN_LINEAR;
    p.magnifyLinear = state.stage.magFilter == D3DTFG_LINEAR;
  }
  const auto color = UsesOf(state.stage.colorOp, state.stage.colorArg1, state.stage.colorArg2);
  const auto alpha = state.stage.colorOp == D3DTOP_DISABLE
                         ? std::optional<Uses>(Uses{false, true})
                         : UsesOf(state.stage.alphaOp, state.stage.alphaArg1, state.stage.alphaArg2);
  const bool plain = color && alpha && !state.alphaTest && !state.specular;
  if (plain && (!state.texture || (color->texture && alpha->texture))) {
    p.source = state.texture ? SourceKind::TextureModulated : SourceKind::Diffuse;
    if (!color->diffuse) p.forceDiffuse |= 0x00FFFFFF;
    if (!alpha->diffuse) p.forceDiffuse |= 0xFF000000;
  }
  return p;
}

// The painter for a triangle or a pixel of the primitive, and the values it reads.
SpanPainter PainterFor(Primitive& p, bool whiteVertices, bool linear, unsigned& needs) {
  p.ctx.linear = linear;
  SourceKind source = p.source;
  if (source == SourceKind::TextureModulated && whiteVertices) source = SourceKind::Texture;
  needs = NeedsOf(source);
  return ChoosePainter(p.target, source, linear, p.blend);
}

// ---- Attribute planes ----

// value(x, y) = base + dx * x + dy * y for one attribute over a triangle.
struct Plane {
  double base, dx, dy;
  double At(double x, double y) const { return base + dx * x + dy * y; }
};

struct TrianglePlanes {
  Plane a, r, g, b, sr, sg, sb, u, v;
};

Plane MakePlane(const double* x, const double* y, double f0, double f1, double f2, double area) {
  const double dx = ((f1 - f0) * (y[2] - y[0]) - (f2 - f0) * (y[1] - y[0])) / area;
  const double dy = ((f2 - f0) * (x[1] - x[0]) - (f1 - f0) * (x[2] - x[0])) / area;
  return {f0 - dx * x[0] - dy * y[0], dx, dy};
}

Plane FlatPlane(double value) { return {value, 0, 0}; }

double Byte(DWORD color, int shift) { return static_cast<double>((color >> shift) & 0xFF); }

// floor(v) for values well inside the range of int64, without a library call.
std::int64_t Floor(double v) {
  const auto t = static_cast<std::int64_t>(v);
  return t - (static_cast<double>(t) > v ? 1 : 0);
}

std::int32_t ColorFixed(double value) {
  return static_cast<std::int32_t>(Floor(std::clamp(value, -1.0, 256.0) * 65536.0 + 0.5)) + 32768;
}
std::int32_t ColorStep(double perPixel) {
  return static_cast<std::int32_t>(Floor(std::clamp(perPixel, -512.0, 512.0) * 65536.0 + 0.5));
}

std::int64_t TexelFixed(double value) {
  if (!(value == value)) return 0;  // not a number
  return Floor(std::clamp(value, -kTexelLimit, kTexelLimit) * 65536.0 + 0.5);
}
// At most this many texels per pixel, so that a span of the widest target stays inside int64.
std::int64_t TexelStep(double perPixel) {
  if (!(perPixel == perPixel)) return 0;
  return Floor(std::clamp(perPixel, -kTexelStepLimit, kTexelStepLimit) * 65536.0 + 0.5);
}

// The values at (x, y) and their steps per pixel.
void SpanStart(const TrianglePlanes& planes, unsigned needs, int y, int x, SpanValues& at, SpanValues& step) {
  const double px = x, py = y;
  if (needs & kNeedsDiffuse) {
    at.a = ColorFixed(planes.a.At(px, py));
    at.r = ColorFixed(planes.r.At(px, py));
    at.g = ColorFixed(planes.g.At(px, py));
    at.b = ColorFixed(planes.b.At(px, py));
    step.a = ColorStep(planes.a.dx);
    step.r = ColorStep(planes.r.dx);
    step.g = ColorStep(planes.g.dx);
    step.b = ColorStep(planes.b.dx);
  }
  if (needs & kNeedsSpecular) {
    at.sr = ColorFixed(planes.sr.At(px, py));
    at.sg = ColorFixed(planes.sg.At(px, py));
    at.sb = ColorFixed(planes.sb.At(px, py));
    step.sr = ColorStep(planes.sr.dx);
    step.sg = ColorStep(planes.sg.dx);
    step.sb = ColorStep(planes.sb.dx);
  }
  if (needs & kNeedsTexture) {
    at.u = TexelFixed(planes.u.At(px, py));
    at.v = TexelFixed(planes.v.At(px, py));
    step.u = TexelStep(planes.u.dx);
    step.v = TexelStep(planes.v.dx);
  }
}

// ---- Exact edge walk ----

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

// The first pixel column at or right of an edge, row by row: ceil(x(row)) where the edge runs from
// (x0, y0) to (x1, y1), y0 < y1, in sub-pixel units.
class EdgeWalk {
 public:
  EdgeWalk(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, std::int64_t row) {
    mDen = (y1 - y0) * kSubPixel;
    const std::int64_t num = x0 * (y1 - y0) + (row * kSubPixel - y0) * (x1 - x0);
    mQ = FloorDiv(num, mDen);
    mR = num - mQ * mDen;
    const std::int64_t stepNum = static_cast<std::int64_t>(kSubPixel) * (x1 - x0);
    mStepQ = FloorDiv(stepNum, mDen);
    mStepR = stepNum - mStepQ * mDen;
  }
  std::int64_t Column() const { return mQ + (mR != 0 ? 1 : 0); }
  void NextRow() {
    mQ += mStepQ;
    mR += mStepR;
    if (mR >= mDen) {
      ++mQ;
      mR -= mDen;
    }
  }

 private:
  std::int64_t mDen, mQ, mR, mStepQ, mStepR;
};

// Whether the cull mode drops a triangle of this signed area (positive: clockwise on the screen).
bool Culled(const RasterState& state, std::int64_t area) {
  return (state.cull == D3DCULL_CW && area > 0) || (state.cull == D3DCULL_CCW && area < 0);
}

struct FixedPoint {
  std::int64_t x, y;
};

void DrawTriangle(Primitive& prim, const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2,
                  DWORD flatDiffuse, DWORD flatSpecular);

// Clips a triangle reaching past the guard band to it and draws the pieces.
void DrawClippedToGuardBand(Primitive& prim, const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2,
                            DWORD flatDiffuse, DWORD flatSpecular) {
  struct Clip {
    float RasterVertex::*axis;
    float bound;
    bool keepBelow;
  };
  static constexpr Clip kClips[] = {{&RasterVertex::x, -kGuardBand, false},
                                    {&RasterVertex::x, kGuardBand, true},
                                    {&RasterVertex::y, -kGuardBand, false},
                                    {&RasterVertex::y, kGuardBand, true}};
  auto lerpColor = [](DWORD a, DWORD b, float t) {
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const float ca = static_cast<float>((a >> shift) & 0xFF), cb = static_cast<float>((b >> shift) & 0xFF);
      out |= static_cast<DWORD>(std::clamp(std::lround(ca + (cb - ca) * t), 0L, 255L)) << shift;
    }
    return out;
  };
  std::vector<RasterVertex> poly{v0, v1, v2}, next;
  for (const Clip& clip : kClips) {
    next.clear();
    for (size_t i = 0; i < poly.size(); ++i) {
      const RasterVertex& a = poly[i];
      const RasterVertex& b = poly[(i + 1) % poly.size()];
      const float ca = a.*clip.axis, cb = b.*clip.axis;
      const bool inA = clip.keepBelow ? ca <= clip.bound : ca >= clip.bound;
      const bool inB = clip.keepBelow ? cb <= clip.bound : cb >= clip.bound;
      if (inA) next.push_back(a);
      if (inA != inB) {
        // In double: the difference of two far-apart floats may not fit a float.
        const double t = (static_cast<double>(clip.bound) - ca) / (static_cast<double>(cb) - ca);
        auto mix = [t](float from, float to) {
          return static_cast<float>(static_cast<double>(from) + (static_cast<double>(to) - from) * t);
        };
        RasterVertex m;
        m.x = mix(a.x, b.x);
        m.y = mix(a.y, b.y);
        m.u = mix(a.u, b.u);
        m.v = mix(a.v, b.v);
        m.diffuse = lerpColor(a.diffuse, b.diffuse, static_cast<float>(t));
        m.specular = lerpColor(a.specular, b.specular, static_cast<float>(t));
        m.*clip.axis = clip.bound;
        next.push_back(m);
      }
    }
    poly.swap(next);
    if (poly.size() < 3) return;
  }
  for (size_t k = 2; k < poly.size(); ++k) DrawTriangle(prim, poly[0], poly[k - 1], poly[k], flatDiffuse, flatSpecular);
}

bool Finite(const RasterVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y); }
bool InsideGuardBand(const RasterVertex& v) { return std::fabs(v.x) <= kGuardBand && std::fabs(v.y) <= kGuardBand; }

// Draws one triangle; flatDiffuse and flatSpecular are the colours of its first vertex, used under
// flat shading.
void DrawTriangle(Primitive& prim, const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2,
                  DWORD flatDiffuse, DWORD flatSpecular) {
  const RasterState& state = *prim.ctx.state;
  const RasterVertex* in[3] = {&v0, &v1, &v2};
  // The fixed-point walk is exact only inside the guard band (with room for the clipper's rounding).
  for (const RasterVertex* v : in)
    if (!(std::fabs(v->x) <= 2 * kGuardBand && std::fabs(v->y) <= 2 * kGuardBand)) return;
  FixedPoint p[3];
  double x[3], y[3];
  for (int i = 0; i < 3; ++i) {
    p[i] = {std::llround(static_cast<double>(in[i]->x) * kSubPixel),
            std::llround(static_cast<double>(in[i]->y) * kSubPixel)};
    x[i] = static_cast<double>(p[i].x) / kSubPixel;
    y[i] = static_cast<double>(p[i].y) / kSubPixel;
  }
  // Twice the signed area; positive for clockwise vertices on the screen (y grows downward).
  const std::int64_t area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
  if (area == 0) return;
  if (Culled(state, area)) return;

  // Planes over the rounded positions, so that values and coverage agree.
  const double areaD = static_cast<double>(area) / (kSubPixel * kSubPixel);
  TrianglePlanes planes;
  const DWORD force = prim.forceDiffuse;
  auto diffuseOf = [&](int i) { return (state.flatShading ? flatDiffuse : in[i]->diffuse) | force; };
  auto specularOf = [&](int i) { return state.flatShading ? flatSpecular : in[i]->specular; };
  auto colorPlane = [&](auto colorOf, int shift) {
    return MakePlane(x, y, Byte(colorOf(0), shift), Byte(colorOf(1), shift), Byte(colorOf(2), shift), areaD);
  };
  planes.a = colorPlane(diffuseOf, 24);
  planes.r = colorPlane(diffuseOf, 16);
  planes.g = colorPlane(diffuseOf, 8);
  planes.b = colorPlane(diffuseOf, 0);
  planes.sr = colorPlane(specularOf, 16);
  planes.sg = colorPlane(specularOf, 8);
  planes.sb = colorPlane(specularOf, 0);
  bool linear = false;
  if (state.texture) {
    const double w = prim.ctx.sampler.width, h = prim.ctx.sampler.height;
    planes.u = MakePlane(x, y, in[0]->u * w, in[1]->u * w, in[2]->u * w, areaD);
    planes.v = MakePlane(x, y, in[0]->v * h, in[1]->v * h, in[2]->v * h, areaD);
    // More than one texel per pixel along either axis is minification.
    const double scale = std::max(std::hypot(planes.u.dx, planes.v.dx), std::hypot(planes.u.dy, planes.v.dy));
    linear = scale > 1.0 ? prim.minifyLinear : prim.magnifyLinear;
  } else {
    planes.u = planes.v = FlatPlane(0);
  }
  const bool white = diffuseOf(0) == 0xFFFFFFFF && diffuseOf(1) == 0xFFFFFFFF && diffuseOf(2) == 0xFFFFFFFF;
  unsigned needs = 0;
  const SpanPainter paint = PainterFor(prim, white, linear, needs);

  // Top to bottom; the long edge runs from the first to the last.
  std::sort(std::begin(p), std::end(p), [](const FixedPoint& a, const FixedPoint& b) { return a.y < b.y; });
  const RECT& clip = state.clip;
  const std::int64_t firstRow = std::max<std::int64_t>(CeilDiv(p[0].y, kSubPixel), clip.top);
  const std::int64_t endRow = std::min<std::int64_t>(CeilDiv(p[2].y, kSubPixel), clip.bottom);
  if (firstRow >= endRow) return;
  const std::int64_t middleRow = CeilDiv(p[1].y, kSubPixel);
  const bool longEdgeRight = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[1].y - p[0].y) * (p[2].x - p[0].x) < 0;

  EdgeWalk longEdge(p[0].x, p[0].y, p[2].x, p[2].y, firstRow);
  auto walkHalf = [&](const FixedPoint& top, const FixedPoint& bottom, std::int64_t from, std::int64_t to) {
    if (from >= to) return;
    EdgeWalk shortEdge(top.x, top.y, bottom.x, bottom.y, from);
    for (std::int64_t row = from; row < to; ++row, shortEdge.NextRow(), longEdge.NextRow()) {
      std::int64_t left = shortEdge.Column(), right = longEdge.Column();
      if (!longEdgeRight) std::swap(left, right);
      left = std::max<std::int64_t>(left, clip.left);
      right = std::min<std::int64_t>(right, clip.right);
      if (left >= right) continue;
      SpanValues at{}, step{};
      SpanStart(planes, needs, static_cast<int>(row), static_cast<int>(left), at, step);
      paint(prim.ctx, static_cast<int>(row), static_cast<int>(left), static_cast<int>(right), at, step);
    }
  };
  walkHalf(p[0], p[1], firstRow, std::min(middleRow, endRow));
  walkHalf(p[1], p[2], std::max(middleRow, firstRow), endRow);
}

void Triangle(Primitive& prim, const RasterVertex& v0, const RasterVertex& v1, const RasterVertex& v2) {
  if (!Finite(v0) || !Finite(v1) || !Finite(v2)) return;
  if (InsideGuardBand(v0) && InsideGuardBand(v1) && InsideGuardBand(v2)) {
    DrawTriangle(prim, v0, v1, v2, v0.diffuse, v0.specular);
  } else {
    DrawClippedToGuardBand(prim, v0, v1, v2, v0.diffuse, v0.specular);
  }
}

// ---- Lines and points ----

// One pixel with the values of vertex a and b mixed at t.
void Dot(Primitive& prim, std::int64_t px, std::int64_t py, const RasterVertex& a, const RasterVertex& b, double t,
         DWORD flatDiffuse) {
  const RECT& clip = prim.ctx.state->clip;
  if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom) return;
  const RasterState& state = *prim.ctx.state;
  auto mix = [t](double from, double to) { return from + (to - from) * t; };
  const DWORD da = (state.flatShading ? flatDiffuse : a.diffuse) | prim.forceDiffuse;
  const DWORD db = (state.flatShading ? flatDiffuse : b.diffuse) | prim.forceDiffuse;
  SpanValues at{}, step{};
  at.a = ColorFixed(mix(Byte(da, 24), Byte(db, 24)));
  at.r = ColorFixed(mix(Byte(da, 16), Byte(db, 16)));
  at.g = ColorFixed(mix(Byte(da, 8), Byte(db, 8)));
  at.b = ColorFixed(mix(Byte(da, 0), Byte(db, 0)));
  at.sr = ColorFixed(mix(Byte(a.specular, 16), Byte(b.specular, 16)));
  at.sg = ColorFixed(mix(Byte(a.specular, 8), Byte(b.specular, 8)));
  at.sb = ColorFixed(mix(Byte(a.specular, 0), Byte(b.specular, 0)));
  const bool white = (da & db) == 0xFFFFFFFF;
  bool linear = false;
  if (state.texture) {
    at.u = TexelFixed(mix(a.u, b.u) * prim.ctx.sampler.width);
    at.v = TexelFixed(mix(a.v, b.v) * prim.ctx.sampler.height);
    linear = prim.magnifyLinear;
  }
  unsigned needs = 0;
  PainterFor(prim, white, linear, needs)(prim.ctx, static_cast<int>(py), static_cast<int>(px), static_cast<int>(px) + 1,
                                         at, step);
}

// The pixel whose centre is nearest; far-off positions are held well outside every target.
std::int64_t RoundToPixel(double v) {
  constexpr double kFar = 1e12;
  return static_cast<std::int64_t>(std::floor(std::clamp(v, -kFar, kFar) + 0.5));
}

// The pixels of a segment along its longer axis, the last one left out (the next segment or the
// caller draws it).
void Line(Primitive& prim, const RasterVertex& a, const RasterVertex& b) {
  if (!Finite(a) || !Finite(b)) return;
  const RECT& clip = prim.ctx.state->clip;
  const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
  const bool xMajor = std::fabs(dx) >= std::fabs(dy);
  const double from = xMajor ? a.x : a.y, to = xMajor ? b.x : b.y;
  const double span = to - from;
  if (span == 0) return;
  const std::int64_t first = RoundToPixel(from), last = RoundToPixel(to);
  const int dir = last >= first ? 1 : -1;
  // Only the part of the major axis inside the clip rectangle is walked.
  const std::int64_t low = xMajor ? clip.left : clip.top, high = (xMajor ? clip.right : clip.bottom) - 1;
  std::int64_t start = first, end = last;  // end is left out
  if (dir > 0) {
    start = std::max(start, low);
    end = std::min(end, high + 1);
  } else {
    start = std::min(start, high);
    end = std::max(end, low - 1);
  }
  for (std::int64_t major = start; dir > 0 ? major < end : major > end; major += dir) {
    const double t = std::clamp((static_cast<double>(major) - from) / span, 0.0, 1.0);
    const double minor = xMajor ? a.y + dy * t : a.x + dx * t;
    const std::int64_t m = RoundToPixel(minor);
    Dot(prim, xMajor ? major : m, xMajor ? m : major, a, b, t, a.diffuse);
  }
}

// ---- Rectangles ----

// Draws a strip or fan of four vertices that covers an axis-aligned rectangle in one colour, with
// texture coordinates that follow the axes, row by row: the same pixels and values as its two
// triangles, with far less work per row. False when the vertices are not such a rectangle.
bool DrawRectangle(Primitive& prim, const RasterVertex* v, D3DPRIMITIVETYPE type) {
  const RasterState& state = *prim.ctx.state;
  std::int64_t x[4], y[4];
  for (int i = 0; i < 4; ++i) {
    if (!Finite(v[i]) || !InsideGuardBand(v[i]) || v[i].diffuse != v[0].diffuse || v[i].specular != v[0].specular)
      return false;
    x[i] = std::llround(static_cast<double>(v[i].x) * kSubPixel);
    y[i] = std::llround(static_cast<double>(v[i].y) * kSubPixel);
  }
  // The two triangles share a diagonal: the first and last vertex of a strip, the first and third of a
  // fan, lie at opposite corners, the other two at the remaining corners.
  const int a = 0, c = type == D3DPT_TRIANGLESTRIP ? 3 : 2, b = 1, d = type == D3DPT_TRIANGLESTRIP ? 2 : 3;
  if (x[a] == x[c] || y[a] == y[c]) return false;
  const bool bdCorners = (x[b] == x[a] && y[b] == y[c] && x[d] == x[c] && y[d] == y[a]) ||
                         (x[b] == x[c] && y[b] == y[a] && x[d] == x[a] && y[d] == y[c]);
  if (!bdCorners) return false;
  // u may change only across, v only down.
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if ((x[i] == x[j] && v[i].u != v[j].u) || (y[i] == y[j] && v[i].v != v[j].v)) return false;
  if (Culled(state, (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]))) return true;

  const int left = x[a] < x[c] ? a : c, right = left == a ? c : a;
  const int top = y[a] < y[c] ? a : c, bottom = top == a ? c : a;
  const RECT& clip = state.clip;
  const std::int64_t c0 = std::max<std::int64_t>(CeilDiv(x[left], kSubPixel), clip.left);
  const std::int64_t c1 = std::min<std::int64_t>(CeilDiv(x[right], kSubPixel), clip.right);
  const std::int64_t r0 = std::max<std::int64_t>(CeilDiv(y[top], kSubPixel), clip.top);
  const std::int64_t r1 = std::min<std::int64_t>(CeilDiv(y[bottom], kSubPixel), clip.bottom);
  if (c0 >= c1 || r0 >= r1) return true;

  const DWORD diffuse = v[0].diffuse | prim.forceDiffuse;
  SpanValues at{}, step{};
  at.a = ColorFixed(Byte(diffuse, 24));
  at.r = ColorFixed(Byte(diffuse, 16));
  at.g = ColorFixed(Byte(diffuse, 8));
  at.b = ColorFixed(Byte(diffuse, 0));
  at.sr = ColorFixed(Byte(v[0].specular, 16));
  at.sg = ColorFixed(Byte(v[0].specular, 8));
  at.sb = ColorFixed(Byte(v[0].specular, 0));
  const double xl = static_cast<double>(x[left]) / kSubPixel, yt = static_cast<double>(y[top]) / kSubPixel;
  double du = 0, dv = 0, u0 = 0, v0 = 0;
  bool linear = false;
  if (state.texture) {
    const double w = prim.ctx.sampler.width, h = prim.ctx.sampler.height;
    du = (v[right].u - v[left].u) * w / (static_cast<double>(x[right] - x[left]) / kSubPixel);
    dv = (v[bottom].v - v[top].v) * h / (static_cast<double>(y[bottom] - y[top]) / kSubPixel);
    u0 = v[left].u * w + (static_cast<double>(c0) - xl) * du;
    v0 = v[top].v * h;
    linear = std::max(std::fabs(du), std::fabs(dv)) > 1.0 ? prim.minifyLinear : prim.magnifyLinear;
  }
  unsigned needs = 0;
  const SpanPainter paint = PainterFor(prim, diffuse == 0xFFFFFFFF, linear, needs);
  at.u = TexelFixed(u0);
  step.u = TexelStep(du);
  const TextureSampler& sampler = prim.ctx.sampler;
  const bool plain = prim.source == SourceKind::Texture || prim.source == SourceKind::TextureModulated;
  RowCopier copy = nullptr;
  int texelBytes = 4;
  if (plain && !linear && step.u == 65536) {
    if (sampler.kind == TextureSampler::Kind::Argb32) {
      copy = ChooseCopier(prim.target, diffuse != 0xFFFFFFFF, prim.blend);
    } else if (sampler.kind == TextureSampler::Kind::Rgb565 && diffuse == 0xFFFFFFFF &&
               (prim.blend == BlendKind::Replace || prim.blend == BlendKind::Over)) {
      // Opaque texels: source-over is a copy.
      copy = ChooseOpaque565Copier(prim.target);
      texelBytes = 2;
    }
  }
  const std::int64_t firstTexel = at.u >> 16;
  const int count = static_cast<int>(c1 - c0);
  const bool rowInside = firstTexel >= 0 && firstTexel + count <= sampler.width;
  const int bytes = prim.ctx.targetCodec.Bytes();
  at.v = TexelFixed(v0 + (static_cast<double>(r0) - yt) * dv);
  const std::int64_t stepV = TexelStep(dv);
  for (std::int64_t row = r0; row < r1; ++row, at.v += stepV) {
    const std::int64_t texelRow = at.v >> 16;
    if (copy && rowInside && texelRow >= 0 && texelRow < sampler.height) {
      const BYTE* texels = sampler.pixels + texelRow * sampler.pitch + firstTexel * texelBytes;
      copy(prim.ctx, PixelAt(prim.ctx.target->view, static_cast<int>(c0), static_cast<int>(row), bytes), texels, count,
           diffuse);
    } else {
      paint(prim.ctx, static_cast<int>(row), static_cast<int>(c0), static_cast<int>(c1), at, step);
    }
  }
  return true;
}

}  // namespace

HRESULT ValidateStage(const StageState& stage) {
  auto knownOp = [](DWORD op) { return op >= D3DTOP_DISABLE && op <= D3DTOP_ADD; };
  auto knownArg = [](DWORD arg) {
    return (arg & ~(D3DTA_SELECTMASK | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE)) == 0 &&
           (arg & D3DTA_SELECTMASK) <= D3DTA_SPECULAR;
  };
  if (!knownOp(stage.colorOp)) return D3DERR_UNSUPPORTEDCOLOROPERATION;
  if (!knownOp(stage.alphaOp)) return D3DERR_UNSUPPORTEDALPHAOPERATION;
  if (!knownArg(stage.colorArg1) || !knownArg(stage.colorArg2)) return D3DERR_UNSUPPORTEDCOLORARG;
  if (!knownArg(stage.alphaArg1) || !knownArg(stage.alphaArg2)) return D3DERR_UNSUPPORTEDALPHAARG;
  auto knownAddress = [](DWORD mode) { return mode >= D3DTADDRESS_WRAP && mode <= D3DTADDRESS_BORDER; };
  if (!knownAddress(stage.addressU) || !knownAddress(stage.addressV)) return DDERR_INVALIDPARAMS;
  if (stage.magFilter < D3DTFG_POINT || stage.magFilter > D3DTFG_LINEAR || stage.minFilter < D3DTFN_POINT ||
      stage.minFilter > D3DTFN_LINEAR)
    return D3DERR_UNSUPPORTEDTEXTUREFILTER;
  return D3D_OK;
}

void DrawVertices(const TargetMemory& target, const RasterState& state, D3DPRIMITIVETYPE type, const RasterVertex* v,
                  size_t count) {
  Primitive prim = MakePrimitive(target, state);
  prim.ctx.target = &target;
  switch (type) {
    case D3DPT_TRIANGLELIST:
      for (size_t i = 0; i + 3 <= count; i += 3) Triangle(prim, v[i], v[i + 1], v[i + 2]);
      break;
    case D3DPT_TRIANGLESTRIP:
      if (count == 4 && DrawRectangle(prim, v, type)) break;
      // Every other triangle is reversed, so that all keep the winding of the first; each is flat-shaded
      // by its first vertex.
      for (size_t i = 0; i + 3 <= count; ++i) {
        if (i % 2 == 0) {
          Triangle(prim, v[i], v[i + 1], v[i + 2]);
        } else {
          Triangle(prim, v[i], v[i + 2], v[i + 1]);
        }
      }
      break;
    case D3DPT_TRIANGLEFAN:
      if (count == 4 && DrawRectangle(prim, v, type)) break;
      // Flat-shaded by the first vertex after the centre.
      for (size_t i = 1; i + 2 <= count; ++i) Triangle(prim, v[i], v[i + 1], v[0]);
      break;
    case D3DPT_LINELIST:
      for (size_t i = 0; i + 2 <= count; i += 2) Line(prim, v[i], v[i + 1]);
      break;
    case D3DPT_LINESTRIP:
      for (size_t i = 0; i + 2 <= count; ++i) Line(prim, v[i], v[i + 1]);
      break;
    case D3DPT_POINTLIST:
      for (size_t i = 0; i < count; ++i)
        if (Finite(v[i])) Dot(prim, RoundToPixel(v[i].x), RoundToPixel(v[i].y), v[i], v[i], 0.0, v[i].diffuse);
      break;
  }
}

void ClearArea(const TargetMemory& target, const RECT& area, D3DCOLOR color) {
  if (area.left >= area.right || area.top >= area.bottom) return;
  const PixelCodec codec(target.layout);
  ddraw::FillPixels(target.view, area, codec.FromArgb(color));
}

}  // namespace plat::d3d
