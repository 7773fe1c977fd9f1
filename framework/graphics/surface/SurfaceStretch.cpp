#include "framework/graphics/surface/SurfaceStretch.h"

#include "framework/graphics/NativePixel.h"
#include "framework/graphics/kernels/AreaStretchRows.h"
#include "framework/graphics/kernels/OverRows.h"
#include "framework/graphics/kernels/SurfaceRows.h"
#include "framework/graphics/kernels/TintRows.h"
#include "framework/graphics/surface/SurfacePixelMath.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Kit::SurfaceDraw {
namespace {

using namespace SurfaceMath;
using I64 = std::int64_t;

enum class Blend { kNormalWhite, kNormalColored, kAdditiveWhite, kAdditiveColored };

template <typename Pixel, Blend kBlend>
void StretchRows(const SurfaceTarget& t, MemoryImage& source, const std::uint32_t* native, const std::uint8_t* indices,
                 const Rect& dest, const MemoryImage::StretchSource& cut, const Rgba& c, bool mirror) {
  const Rgba cp = Premultiplied(c);
  const I64 du = static_cast<I64>(cut.mWidth * 65536 / dest.mWidth);
  const I64 dv = static_cast<I64>(cut.mHeight * 65536 / dest.mHeight);
  const I64 uStart = static_cast<I64>(cut.mX * 65536);
  I64 v = static_cast<I64>(cut.mY * 65536);
  const SurfaceChannel& red = t.mRed;
  const SurfaceChannel& green = t.mGreen;
  const SurfaceChannel& blue = t.mBlue;
  auto coloured = [&](std::uint32_t s, std::uint32_t d, std::uint32_t ia) {
    auto channel = [&](std::uint32_t mask, std::uint32_t cc) {
      return (((s & mask) * cc + (d & mask) * ia) >> 8) & mask;
    };
    return channel(red.mMask, cp.r) + channel(green.mMask, cp.g) + channel(blue.mMask, cp.b);
  };
  auto addWhite = [](const SurfaceChannel& ch, std::uint32_t s, std::uint32_t d) {
    return static_cast<std::uint32_t>(ch.mAdd[((d & ch.mMask) + (s & ch.mMask)) >> ch.mShift]) << ch.mShift;
  };
  auto addColoured = [](const SurfaceChannel& ch, std::uint32_t s, std::uint32_t d, std::uint32_t cc) {
    return static_cast<std::uint32_t>(
               ch.mAdd[((((s & ch.mMask) >> ch.mShift) * cc) >> 8) + ((d & ch.mMask) >> ch.mShift)])
           << ch.mShift;
  };
  for (int j = 0; j < dest.mHeight; ++j, v += dv) {
    const std::size_t row = static_cast<std::size_t>(v >> 16) * source.mWidth;
    Pixel* d = t.mPixels.Row<Pixel>(dest.mY + j) + (mirror ? dest.mX + dest.mWidth - 1 : dest.mX);
    const int step = mirror ? -1 : 1;
    I64 u = uStart;
    for (int i = 0; i < dest.mWidth; ++i, u += du, d += step) {
      const std::size_t at = row + static_cast<std::size_t>(u >> 16);
      const std::uint32_t s = indices ? native[indices[at]] : native[at];
      const std::uint32_t dst = *d;
      if constexpr (kBlend == Blend::kNormalWhite) {
        const std::uint32_t a = s >> 24;
        if (a != 0) *d = static_cast<Pixel>(ScaleChannels(t, dst, 256 - a) + s);
      } else if constexpr (kBlend == Blend::kNormalColored) {
        const std::uint32_t a = (s >> 24) * c.a / 255;
        if (a != 0) *d = static_cast<Pixel>(coloured(s, dst, 256 - a));
      } else if constexpr (kBlend == Blend::kAdditiveWhite) {
        if (s != 0) *d = static_cast<Pixel>(addWhite(red, s, dst) | addWhite(green, s, dst) | addWhite(blue, s, dst));
      } else {
        if (s != 0)
          *d = static_cast<Pixel>(addColoured(red, s, dst, cp.r) | addColoured(green, s, dst, cp.g) |
                                  addColoured(blue, s, dst, cp.b));
      }
    }
  }
}

// The source words of a destination row in drawing order: the words of the source row `row` starts
// at, at each of count columns, through the colour table where there are indices. The stretch spends
// about half its time in these loops, and a loop of a few instructions runs up to a third slower
// where it crosses from one 64-byte line of code to the next (measured on an AMD EPYC): so they are a
// function of their own, started on a line and never inlined. Where they fall on their lines then
// rests on this function alone (each lies inside one), not on how the code around it grows or moves.
[[gnu::noinline, gnu::aligned(64)]] void GatherRow(std::uint32_t* words, const std::uint32_t* native,
                                                   const std::uint8_t* indices, const std::size_t* columns,
                                                   std::size_t row, int count) {
  if (indices) {
    for (int i = 0; i < count; ++i) words[i] = native[indices[row + columns[i]]];
  } else {
    for (int i = 0; i < count; ++i) words[i] = native[row + columns[i]];
  }
}

// Onto 0x00RRGGBB, 5-6-5 or 5-5-5 fields: each destination row's source words are gathered once in drawing
// order (a magnified row repeats its source row; a mirrored row is gathered from its right end) and
// drawn by the row kernels, whose per-pixel rules are the stretch's (alpha 0, or a zero word when
// adding, leaves the pixel). False when the kernels do not cover the case.
template <typename Pixel>
bool KernelRows(const SurfaceTarget& t, MemoryImage& source, const std::uint32_t* native, const std::uint8_t* indices,
                const Rect& dest, const MemoryImage::StretchSource& cut, const Rgba& c, bool white, bool additive,
                bool mirror) {
  const Fields fields = FieldsOf<Pixel>(t);
  if (fields == Fields::kOther) return false;
  const Rgba cp = Premultiplied(c);
  const TintRows::Tint tint{cp.r, cp.g, cp.b, c.a};
  const I64 du = static_cast<I64>(cut.mWidth * 65536 / dest.mWidth);
  const I64 dv = static_cast<I64>(cut.mHeight * 65536 / dest.mHeight);
  std::vector<std::size_t> columns(dest.mWidth);
  I64 u = static_cast<I64>(cut.mX * 65536);
  for (std::size_t& column : columns) {
    column = static_cast<std::size_t>(u >> 16);
    u += du;
  }
  if (mirror) std::reverse(columns.begin(), columns.end());
  std::vector<std::uint32_t> words(dest.mWidth);
  I64 v = static_cast<I64>(cut.mY * 65536);
  I64 gatheredRow = -1;
  for (int j = 0; j < dest.mHeight; ++j, v += dv) {
    if (v >> 16 != gatheredRow) {
      gatheredRow = v >> 16;
      GatherRow(words.data(), native, indices, columns.data(), static_cast<std::size_t>(gatheredRow) * source.mWidth,
                dest.mWidth);
    }
    Pixel* d = t.mPixels.Row<Pixel>(dest.mY + j) + dest.mX;
    if constexpr (sizeof(Pixel) == 4) {
      if (additive && white)
        SurfaceRows::AddSaturated888(d, words.data(), dest.mWidth, 0xFFFFFFFF);
      else if (additive)
        SurfaceRows::AddScaled888(d, words.data(), dest.mWidth, cp.r, cp.g, cp.b, 0xFFFFFFFF);
      else if (white)
        OverRows::OntoSurface888(d, words.data(), dest.mWidth);
      else
        TintRows::OntoSurface888(d, words.data(), dest.mWidth, tint, TintRows::Mode::kStretch);
    } else if (fields == Fields::k555) {
      if (additive && white)
        SurfaceRows::AddSaturated555(d, words.data(), dest.mWidth, 0xFFFFFFFF);
      else if (additive)
        SurfaceRows::AddScaled555(d, words.data(), dest.mWidth, cp.r, cp.g, cp.b, 0xFFFFFFFF);
      else if (white)
        OverRows::OntoSurface555(d, words.data(), dest.mWidth);
      else
        TintRows::OntoSurface555(d, words.data(), dest.mWidth, tint, TintRows::Mode::kStretch);
    } else {
      if (additive && white)
        SurfaceRows::AddSaturated565(d, words.data(), dest.mWidth);
      else if (additive)
        SurfaceRows::AddScaled565(d, words.data(), dest.mWidth, cp.r, cp.g, cp.b);
      else if (white)
        OverRows::OntoSurface565(d, words.data(), dest.mWidth);
      else
        TintRows::OntoSurface565(d, words.data(), dest.mWidth, tint, TintRows::Mode::kStretch);
    }
  }
  return true;
}

template <typename Pixel>
void StretchAt(const SurfaceTarget& t, MemoryImage& source, const std::uint32_t* native, const std::uint8_t* indices,
               const Rect& dest, const MemoryImage::StretchSource& cut, const Rgba& c, bool white, bool additive,
               bool mirror) {
  if (KernelRows<Pixel>(t, source, native, indices, dest, cut, c, white, additive, mirror)) return;
  if (additive && white)
    StretchRows<Pixel, Blend::kAdditiveWhite>(t, source, native, indices, dest, cut, c, mirror);
  else if (additive)
    StretchRows<Pixel, Blend::kAdditiveColored>(t, source, native, indices, dest, cut, c, mirror);
  else if (white)
    StretchRows<Pixel, Blend::kNormalWhite>(t, source, native, indices, dest, cut, c, mirror);
  else
    StretchRows<Pixel, Blend::kNormalColored>(t, source, native, indices, dest, cut, c, mirror);
}

}  // namespace

void FastStretch(const SurfaceTarget& target, MemoryImage& source, NativeDisplay* display, const Rect& clippedDest,
                 const MemoryImage::StretchSource& cut, const Color& color, int drawMode, bool mirror) {
  const bool additive = drawMode == 1;
  if (!target.mPixels.IsDrawable() || (additive && !target.mAdditiveUsable) || clippedDest.IsEmpty()) return;
  if (clippedDest.Intersection(target.mPixels.Bounds()) != clippedDest) return;
  if (!(cut.mWidth > 0) || !(cut.mHeight > 0) || !(cut.mX >= 0) || !(cut.mY >= 0) ||
      !(cut.mX + cut.mWidth <= source.mWidth) || !(cut.mY + cut.mHeight <= source.mHeight))
    return;
  source.CommitBits();
  const std::uint32_t* native = source.GetNativeAlphaData(display);
  const std::uint8_t* indices = source.mColorTable && source.mColorIndices ? source.mColorIndices.get() : nullptr;
  const Rgba c = Clamped(color);
  const bool white = IsWhite(color);
  if (target.mPixels.mBitCount == 16)
    StretchAt<std::uint16_t>(target, source, native, indices, clippedDest, cut, c, white, additive, mirror);
  else
    StretchAt<std::uint32_t>(target, source, native, indices, clippedDest, cut, c, white, additive, mirror);
}

bool AreaStretch(const SurfaceTarget& target, MemoryImage& source, NativeDisplay* display, const Rect& clippedDest,
                 const MemoryImage::StretchSource& cut) {
  if (!target.mPixels.IsDrawable() || clippedDest.IsEmpty() ||
      clippedDest.Intersection(target.mPixels.Bounds()) != clippedDest)
    return false;
  const bool deep = target.mPixels.mBitCount == 32;
  const Fields fields = deep ? FieldsOf<std::uint32_t>(target) : FieldsOf<std::uint16_t>(target);
  if (fields == Fields::kOther) return false;
  const NativeDisplay& nd = EffectiveDisplay(display);
  std::vector<std::uint32_t> words(static_cast<std::size_t>(clippedDest.mWidth));
  MemoryImage::ResampleArea(&source, cut, clippedDest.mWidth, clippedDest.mHeight,
                            [&](int j, const std::uint32_t* pixels) {
                              AreaStretchRows::NativeWords(words.data(), pixels, clippedDest.mWidth, nd);
                              const int y = clippedDest.mY + j;
                              if (fields == Fields::k888)
                                OverRows::OntoSurface888(target.mPixels.Row<std::uint32_t>(y) + clippedDest.mX,
                                                         words.data(), clippedDest.mWidth);
                              else if (fields == Fields::k565)
                                OverRows::OntoSurface565(target.mPixels.Row<std::uint16_t>(y) + clippedDest.mX,
                                                         words.data(), clippedDest.mWidth);
                              else
                                OverRows::OntoSurface555(target.mPixels.Row<std::uint16_t>(y) + clippedDest.mX,
                                                         words.data(), clippedDest.mWidth);
                            });
  return true;
}

}  // namespace Kit::SurfaceDraw
