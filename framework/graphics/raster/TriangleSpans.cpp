#include "framework/graphics/raster/TriangleSpans.h"

#include "framework/graphics/raster/SpanPixels.h"
#include "framework/graphics/raster/SpanRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

namespace Kit {
namespace {

constexpr int kFeatureBlend = 1;
constexpr int kFeatureColorised = 2;
constexpr int kFeatureVertexColors = 4;
constexpr int kFeatureAlpha = 8;
constexpr int kFeatureTextured = 16;

enum class Group { ARGB, RGB32, RGB565, RGB555 };

constexpr int kSubpixelBits = 8;
// Steps and start values are kept well inside int64 for any sliver of a triangle; pixel values are
// clamped to the attribute's range anyway.
constexpr double kAttributeLimit = 1e15;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {  // b > 0
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

std::int64_t RoundAttribute(double value) { return std::llround(std::clamp(value, -kAttributeLimit, kAttributeLimit)); }

struct Edge {
  std::int64_t mStepX = 0;  // change of the edge function per pixel to the right
  std::int64_t mStepY = 0;  // per pixel down
  std::int64_t mAtOrigin = 0;
  std::int64_t mBias = 0;  // 1 for top and left edges, whose own pixels belong to the triangle
};

// The attribute plane: value at (left column, row) and the per-pixel step.
struct Attribute {
  double mStartAtTop = 0;
  double mPerRow = 0;
  std::int64_t mStep = 0;

  std::int64_t StartOfRow(int rowsFromTop) const { return RoundAttribute(mStartAtTop + mPerRow * rowsFromTop); }
};

struct Setup {
  Edge mEdges[3];
  int mLeft = 0, mRight = -1, mTop = 0, mBottom = -1;  // pixel bounding box, inclusive
  double mX[3]{}, mY[3]{}, mDet = 0;

  bool Init(const FixedVertex (&t)[3]) {
    std::int64_t x[3], y[3];
    for (int i = 0; i < 3; ++i) {
      x[i] = t[i].mX >> (16 - kSubpixelBits);
      y[i] = t[i].mY >> (16 - kSubpixelBits);
    }
    std::int64_t area = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
    if (area == 0) return false;
    int order[3] = {0, 1, 2};
    if (area < 0) std::swap(order[1], order[2]);
    for (int i = 0; i < 3; ++i) {
      const int a = order[i], b = order[(i + 1) % 3];
      const std::int64_t dx = x[b] - x[a], dy = y[b] - y[a];
      Edge& e = mEdges[i];
      e.mStepX = -dy << kSubpixelBits;
      e.mStepY = dx << kSubpixelBits;
      e.mAtOrigin = dy * x[a] - dx * y[a];
      e.mBias = (dy < 0 || (dy == 0 && dx > 0)) ? 1 : 0;
    }
    const std::int64_t one = 1 << kSubpixelBits;
    mLeft = static_cast<int>((std::min({x[0], x[1], x[2]}) + one - 1) >> kSubpixelBits);
    mRight = static_cast<int>(std::max({x[0], x[1], x[2]}) >> kSubpixelBits);
    mTop = static_cast<int>((std::min({y[0], y[1], y[2]}) + one - 1) >> kSubpixelBits);
    mBottom = static_cast<int>(std::max({y[0], y[1], y[2]}) >> kSubpixelBits);
    for (int i = 0; i < 3; ++i) {
      mX[i] = static_cast<double>(x[i]) / one;
      mY[i] = static_cast<double>(y[i]) / one;
    }
    mDet = (mX[1] - mX[0]) * (mY[2] - mY[0]) - (mX[2] - mX[0]) * (mY[1] - mY[0]);
    return mLeft <= mRight && mTop <= mBottom;
  }

  Attribute Plane(std::int32_t a0, std::int32_t a1, std::int32_t a2) const {
    const double d1 = static_cast<double>(a1) - a0, d2 = static_cast<double>(a2) - a0;
    const double perX = (d1 * (mY[2] - mY[0]) - d2 * (mY[1] - mY[0])) / mDet;
    const double perY = (d2 * (mX[1] - mX[0]) - d1 * (mX[2] - mX[0])) / mDet;
    Attribute out;
    out.mStartAtTop = a0 + perX * (mLeft - mX[0]) + perY * (mTop - mY[0]);
    out.mPerRow = perY;
    out.mStep = RoundAttribute(perX);
    return out;
  }

  // The covered columns of row py, inclusive; false when none.
  bool Columns(int py, int& first, int& last) const {
    std::int64_t lo = mLeft, hi = mRight;
    for (const Edge& e : mEdges) {
      // Covered where stepX x px + at0 > 0.
      const std::int64_t at0 = e.mAtOrigin + e.mStepY * py + e.mBias;
      if (e.mStepX > 0) {
        lo = std::max(lo, FloorDiv(-at0, e.mStepX) + 1);
      } else if (e.mStepX < 0) {
        hi = std::min(hi, FloorDiv(at0 - 1, -e.mStepX));
      } else if (at0 <= 0) {
        return false;
      }
    }
    if (lo > hi) return false;
    first = static_cast<int>(lo);
    last = static_cast<int>(hi);
    return true;
  }
};

using SpanPixels::Channel;
using SpanPixels::Modulate;
using SpanPixels::OntoOpaque;

template <Group G>
std::uint32_t Expand16(std::uint16_t p) {
  const std::uint32_t b5 = p & 0x1F;
  const std::uint32_t b = (b5 << 3) | (b5 >> 2);
  if constexpr (G == Group::RGB565) {
    const std::uint32_t r5 = p >> 11, g6 = (p >> 5) & 0x3F;
    return 0xFF000000 | (((r5 << 3) | (r5 >> 2)) << 16) | (((g6 << 2) | (g6 >> 4)) << 8) | b;
  } else {
    const std::uint32_t r5 = (p >> 10) & 0x1F, g5 = (p >> 5) & 0x1F;
    return 0xFF000000 | (((r5 << 3) | (r5 >> 2)) << 16) | (((g5 << 3) | (g5 >> 2)) << 8) | b;
  }
}

template <Group G>
std::uint16_t Pack16(std::uint32_t c) {
  if constexpr (G == Group::RGB565)
    return static_cast<std::uint16_t>(((Channel(c, 16) >> 3) << 11) | ((Channel(c, 8) >> 2) << 5) |
                                      (Channel(c, 0) >> 3));
  else
    return static_cast<std::uint16_t>(((Channel(c, 16) >> 3) << 10) | ((Channel(c, 8) >> 3) << 5) |
                                      (Channel(c, 0) >> 3));
}

template <Group G, bool Blending>
void Store(std::uint8_t* row, int px, std::uint32_t src) {
  if constexpr (G == Group::ARGB || G == Group::RGB32) {
    std::uint32_t& dst = reinterpret_cast<std::uint32_t*>(row)[px];
    if constexpr (!Blending) {
      dst = G == Group::RGB32 ? (src | 0xFF000000) : src;
    } else if constexpr (G == Group::ARGB) {
      dst = SpanPixels::OverKeepingAlpha(dst, src);
    } else {
      const std::uint32_t sa = src >> 24;
      if (sa == 0) return;
      dst = sa == 255 ? src : OntoOpaque(dst, src, sa);
    }
  } else {
    std::uint16_t& dst = reinterpret_cast<std::uint16_t*>(row)[px];
    if constexpr (!Blending) {
      dst = Pack16<G>(src);
    } else {
      const std::uint32_t sa = src >> 24;
      if (sa == 0) return;
      dst = Pack16<G>(sa == 255 ? src : OntoOpaque(Expand16<G>(dst), src, sa));
    }
  }
}

// The steps i in [0, count) at which 0 <= start + i x step <= high, as [first, last] (first > last
// when there is none).
struct StepRange {
  std::int64_t first, last;
};
StepRange InsideSteps(std::int64_t start, std::int64_t step, std::int64_t high, int count) {
  StepRange r{0, count - 1};
  if (step == 0) {
    if (start < 0 || start > high) r.last = -1;
  } else if (step > 0) {
    if (start < 0) r.first = FloorDiv(-start + step - 1, step);
    r.last = std::min(r.last, start > high ? -1 : FloorDiv(high - start, step));
  } else {
    const std::int64_t down = -step;
    if (start > high) r.first = FloorDiv(start - high + down - 1, down);
    r.last = std::min(r.last, start < 0 ? -1 : FloorDiv(start, down));
  }
  return r;
}

// The nearest texels of count pixels from texture coordinates (u, v) stepping by (du, dv), each
// coordinate held to the texture; u and v are left at the next pixel's. Only the pixels whose
// coordinates can fall outside take the clamps.
void FetchTexels(std::uint32_t* out, int count, std::int64_t& u, std::int64_t du, std::int64_t& v, std::int64_t dv,
                 const SpanTexture& texture) {
  const StepRange inU = InsideSteps(u, du, texture.mMaxU, count), inV = InsideSteps(v, dv, texture.mMaxV, count);
  // Held to [0, count] before narrowing: coordinates far off the texture with a small step put the
  // first inside step beyond the range of an int.
  const int first = static_cast<int>(std::min<std::int64_t>(std::max(inU.first, inV.first), count));
  const int last = static_cast<int>(std::max<std::int64_t>(std::min(inU.last, inV.last), first - 1));
  const auto clamped = [&](int from, int to) {
    for (int i = from; i < to; ++i, u += du, v += dv) {
      const std::int64_t cu = std::clamp<std::int64_t>(u, 0, texture.mMaxU);
      const std::int64_t cv = std::clamp<std::int64_t>(v, 0, texture.mMaxV);
      out[i] = texture.mBits[(cv >> 16) * texture.mWidth + (cu >> 16)];
    }
  };
  if (first > last) return clamped(0, count);
  clamped(0, first);
  const int gathered =
      SpanRows::GatherTexels(out + first, last + 1 - first, u, du, v, dv, texture.mBits, texture.mWidth);
  u += du * gathered;
  v += dv * gathered;
  for (int i = first + gathered; i <= last; ++i, u += du, v += dv)
    out[i] = texture.mBits[(v >> 16) * texture.mWidth + (u >> 16)];
  clamped(last + 1, count);
}

// Store of count source pixels from column px on.
template <Group G, bool Blending>
void StoreRow(std::uint8_t* row, int px, const std::uint32_t* src, int count) {
  if constexpr (G == Group::RGB32 && Blending) {
    SpanRows::OntoOpaque(reinterpret_cast<std::uint32_t*>(row) + px, src, count);
  } else if constexpr (G == Group::ARGB && Blending) {
    SpanRows::OverKeepingAlpha(reinterpret_cast<std::uint32_t*>(row) + px, src, count);
  } else {
    for (int i = 0; i < count; ++i) Store<G, Blending>(row, px + i, src[i]);
  }
}

// Textured spans without vertex colours, a run of texels at a time: the texels are fetched, multiplied
// by the call's colour and stored by the row kernels.
template <Group G, bool Blending, bool Colourised>
void FillTexturedRows(const Setup& setup, const Attribute& uPlane, const Attribute& vPlane, void* destBits,
                      int destPitch, const SpanTexture& texture, const SpanRows::Color& color) {
  constexpr int kRun = 256;
  std::uint32_t texels[kRun];
  for (int py = setup.mTop; py <= setup.mBottom; ++py) {
    int first = 0, last = 0;
    if (!setup.Columns(py, first, last)) continue;
    std::int64_t u = uPlane.StartOfRow(py - setup.mTop) + (first - setup.mLeft) * uPlane.mStep;
    std::int64_t v = vPlane.StartOfRow(py - setup.mTop) + (first - setup.mLeft) * vPlane.mStep;
    std::uint8_t* row = static_cast<std::uint8_t*>(destBits) + static_cast<std::ptrdiff_t>(py) * destPitch;
    for (int px = first; px <= last; px += kRun) {
      const int count = std::min(kRun, last - px + 1);
      FetchTexels(texels, count, u, uPlane.mStep, v, vPlane.mStep, texture);
      if constexpr (Colourised) SpanRows::Modulate(texels, count, color);
      StoreRow<G, Blending>(row, px, texels, count);
    }
  }
}

template <int Features, Group G>
void FillTriangle(const FixedVertex (&t)[3], void* destBits, int destPitch, const SpanTexture& texture,
                  const SpanColor& color) {
  constexpr bool textured = (Features & kFeatureTextured) != 0;
  constexpr bool vertexColors = (Features & kFeatureVertexColors) != 0;
  constexpr bool colourised = (Features & kFeatureColorised) != 0;
  constexpr bool blending = (Features & (kFeatureAlpha | kFeatureBlend)) != 0;
  if (textured && (!texture.mBits || texture.mWidth <= 0 || texture.mHeight <= 0)) return;
  Setup setup;
  if (!setup.Init(t)) return;

  constexpr int attributeCount = (vertexColors ? 4 : 0) + (textured ? 2 : 0);
  constexpr int firstTexAttribute = vertexColors ? 4 : 0;
  std::array<Attribute, attributeCount> planes{};
  std::array<std::int64_t, attributeCount> maxValue{};
  if constexpr (vertexColors) {
    planes[0] = setup.Plane(t[0].mAlpha, t[1].mAlpha, t[2].mAlpha);
    planes[1] = setup.Plane(t[0].mRed, t[1].mRed, t[2].mRed);
    planes[2] = setup.Plane(t[0].mGreen, t[1].mGreen, t[2].mGreen);
    planes[3] = setup.Plane(t[0].mBlue, t[1].mBlue, t[2].mBlue);
    for (int i = 0; i < 4; ++i) maxValue[i] = 255 << 16;
  }
  if constexpr (textured) {
    planes[firstTexAttribute] = setup.Plane(t[0].mU, t[1].mU, t[2].mU);
    planes[firstTexAttribute + 1] = setup.Plane(t[0].mV, t[1].mV, t[2].mV);
    maxValue[firstTexAttribute] = texture.mMaxU;
    maxValue[firstTexAttribute + 1] = texture.mMaxV;
  }
  const auto clampChannel = [](std::int32_t c) { return static_cast<std::uint32_t>(std::clamp(c, 0, 255)); };
  const std::uint32_t ca = clampChannel(color.mAlpha), cr = clampChannel(color.mRed), cg = clampChannel(color.mGreen),
                      cb = clampChannel(color.mBlue);
  if constexpr (textured && !vertexColors) {
    return FillTexturedRows<G, blending, colourised>(setup, planes[0], planes[1], destBits, destPitch, texture,
                                                     {ca, cr, cg, cb});
  }

  for (int py = setup.mTop; py <= setup.mBottom; ++py) {
    int first = 0, last = 0;
    if (!setup.Columns(py, first, last)) continue;
    std::array<std::int64_t, attributeCount> value{};
    for (int i = 0; i < attributeCount; ++i)
      value[i] = planes[i].StartOfRow(py - setup.mTop) + (first - setup.mLeft) * planes[i].mStep;
    std::uint8_t* row = static_cast<std::uint8_t*>(destBits) + static_cast<std::ptrdiff_t>(py) * destPitch;
    for (int px = first; px <= last; ++px) {
      std::uint32_t src = 0xFFFFFFFF;
      if constexpr (textured) {
        const std::int64_t u = std::clamp<std::int64_t>(value[firstTexAttribute], 0, maxValue[firstTexAttribute]);
        const std::int64_t v =
            std::clamp<std::int64_t>(value[firstTexAttribute + 1], 0, maxValue[firstTexAttribute + 1]);
        src = texture.mBits[(v >> 16) * texture.mWidth + (u >> 16)];
      }
      if constexpr (vertexColors) {
        std::uint32_t c[4];
        for (int i = 0; i < 4; ++i)
          c[i] = static_cast<std::uint32_t>(std::clamp<std::int64_t>(value[i], 0, maxValue[i]) >> 16);
        src = Modulate(src, c[0], c[1], c[2], c[3]);
      }
      if constexpr (colourised) src = Modulate(src, ca, cr, cg, cb);
      Store<G, blending>(row, px, src);
      for (int i = 0; i < attributeCount; ++i) value[i] += planes[i].mStep;
    }
  }
}

template <std::size_t... I>
constexpr std::array<SpanRoutine, kSpanRoutineCount> MakeTable(std::index_sequence<I...>) {
  return {&FillTriangle<static_cast<int>(I % 32), static_cast<Group>(I / 32)>...};
}

constexpr std::array<SpanRoutine, kSpanRoutineCount> spanRoutines =
    MakeTable(std::make_index_sequence<kSpanRoutineCount>{});

}  // namespace

int SpanRoutineIndex(bool textured, bool alpha, bool vertexColors, bool colourised, bool blend, int formatCode) {
  int index = (textured ? kFeatureTextured : 0) + (alpha ? kFeatureAlpha : 0) +
              (vertexColors ? kFeatureVertexColors : 0) + (colourised ? kFeatureColorised : 0) +
              (blend ? kFeatureBlend : 0);
  if (formatCode == kFormatCode888)
    index += 32;
  else if (formatCode == kFormatCode565)
    index += 64;
  else if (formatCode == kFormatCode555)
    index += 96;
  return index;
}

SpanRoutine GetSpanRoutine(int index) {
  return index >= 0 && index < kSpanRoutineCount ? spanRoutines[static_cast<std::size_t>(index)] : nullptr;
}

}  // namespace Kit
