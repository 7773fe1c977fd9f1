#include "framework/graphics/surface/SurfaceRotate.h"

#include "framework/graphics/kernels/SimdLevel.h"
#include "framework/graphics/kernels/SurfaceRotateRows.h"
#include "framework/graphics/kernels/SurfaceRows.h"
#include "framework/graphics/kernels/UnrotatedRows.h"
#include "framework/graphics/software/SourcePixels.h"
#include "framework/graphics/surface/RotatedSpan.h"
#include "framework/graphics/surface/SurfacePixelMath.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <type_traits>

namespace Kit::SurfaceDraw {
namespace {

using namespace SurfaceMath;
using I64 = std::int64_t;

// Beyond this a row's 16.16 start no longer means anything for any surface; such rows are skipped.
constexpr double kFixedLimit = 1e15;

// Narrows [i0, i1] so that every sample u = start + i x step of the row keeps its right (or lower)
// neighbour inside a source extent of size pixels; false when the row draws nothing.
inline bool CutSpan(I64 start, I64 step, I64 size, bool lowerBoundByDivision, I64& i0, I64& i1) {
  const I64 one = 65536;
  if (step > 0) {
    if ((start >> 16) >= size - 1) return false;
    const I64 first = (one - start) / step;
    if (first > 0) i0 = std::max(i0, first);
    i1 = std::min(i1, (size * one - start - 98303) / step);
  } else if (step == 0) {
    if (start < 0 || start >= size * one - one) return false;
  } else {
    if ((start >> 16) < 0) return false;
    const I64 first = (size * one - start - 163839) / step;
    if (first >= 0) i0 = std::max(i0, first);
    i1 = std::min(i1, lowerBoundByDivision ? -(start / step) : (32767 - start) / step);
  }
  return true;
}

enum class Blend { kNormalWhite, kNormalColored, kAdditiveWhite, kAdditiveColored };

// The four neighbours' weights before their alpha: products of the fractions of (u, v).
struct Weights {
  std::uint32_t k0, k1, k2, k3;
};

inline Weights WeightsAt(I64 u, I64 v) {
  const std::uint32_t fx = (static_cast<std::uint32_t>(u) & 0xFFFE) + 1;
  const std::uint32_t fy = (static_cast<std::uint32_t>(v) & 0xFFFE) + 1;
  const std::uint32_t gx = 65536 - fx, gy = 65536 - fy;
  return Weights{(gx * gy) >> 16, (fx * gy) >> 16, (gx * fy) >> 16, (fx * fy) >> 16};
}

// The per-pixel formula of one draw: a value the rows copy, so that it stays in registers while they
// write pixels.
template <Blend kBlend>
struct PixelFormula {
  static constexpr bool kAdditive = kBlend == Blend::kAdditiveWhite || kBlend == Blend::kAdditiveColored;
  static constexpr bool kColored = kBlend == Blend::kNormalColored || kBlend == Blend::kAdditiveColored;

  PixelFormula(const SurfaceTarget& t, const Rgba& color)
      : red(t.mRed),
        green(t.mGreen),
        blue(t.mBlue),
        c(color),
        cp(Premultiplied(color)),
        colourMask(t.mRed.mMask | t.mGreen.mMask | t.mBlue.mMask),
        redDown(32 - t.mRed.mBits),
        greenDown(24 - t.mGreen.mBits),
        blueDown(16 - t.mBlue.mBits) {}

  // One destination pixel from its 2 x 2 source neighbourhood p0 p1 / p2 p3 and their weights.
  // Inlined always, so that the whole-pixel rows drop the three neighbours that weigh nothing.
  [[gnu::always_inline]] std::uint32_t Compose(std::uint32_t p0, std::uint32_t p1, std::uint32_t p2, std::uint32_t p3,
                                               const Weights& k, std::uint32_t d) const {
    // Four transparent neighbours weigh nothing: the formula gives the pixel's own colour fields.
    if (((p0 | p1 | p2 | p3) >> 24) == 0 && (d & ~colourMask) == 0) return d;
    std::uint32_t w0 = (k.k0 * (p0 >> 24)) >> 16;
    std::uint32_t w1 = (k.k1 * (p1 >> 24)) >> 16;
    std::uint32_t w2 = (k.k2 * (p2 >> 24)) >> 16;
    std::uint32_t w3 = (k.k3 * (p3 >> 24)) >> 16;
    if constexpr (kBlend == Blend::kNormalColored) {
      w0 = (w0 * c.a) >> 8;
      w1 = (w1 * c.a) >> 8;
      w2 = (w2 * c.a) >> 8;
      w3 = (w3 * c.a) >> 8;
    }
    const auto sum = [&](std::uint32_t byteMask) __attribute__((always_inline)) {
      return (p0 & byteMask) * w0 + (p1 & byteMask) * w1 + (p2 & byteMask) * w2 + (p3 & byteMask) * w3;
    };
    const std::uint32_t sr = sum(0xFF0000), sg = sum(0xFF00), sb = sum(0xFF);
    if constexpr (kAdditive) {
      std::uint32_t vr = sr >> redDown, vg = sg >> greenDown, vb = sb >> blueDown;
      if constexpr (kColored) {
        vr = (vr * cp.r) >> 8;
        vg = (vg * cp.g) >> 8;
        vb = (vb * cp.b) >> 8;
      }
      return AddChannel(red, d, vr) | AddChannel(green, d, vg) | AddChannel(blue, d, vb);
    } else {
      const std::uint32_t rest = 256 - w0 - w1 - w2 - w3;
      std::uint32_t vr, vg, vb;
      if constexpr (kColored) {
        vr = ((sr >> 8) * (c.r + 1)) >> redDown;
        vg = ((sg >> 8) * (c.g + 1)) >> greenDown;
        vb = ((sb >> 8) * (c.b + 1)) >> blueDown;
      } else {
        vr = sr >> redDown;
        vg = sg >> greenDown;
        vb = sb >> blueDown;
      }
      return ((vr << red.mShift) + ((((d & red.mMask) * rest) >> 8) & red.mMask)) |
             ((vg << green.mShift) + ((((d & green.mMask) * rest) >> 8) & green.mMask)) |
             ((vb << blue.mShift) + ((((d & blue.mMask) * rest) >> 8) & blue.mMask));
    }
  }

  SurfaceChannel red, green, blue;
  Rgba c;   // the colour
  Rgba cp;  // premultiplied
  std::uint32_t colourMask;
  int redDown, greenDown, blueDown;
};

// The source rectangle's 32-bit pixels as the row kernels read them, from its corner in rows of
// Stride() pixels: the image's own, or a palettized image's rectangle looked up once, when first asked
// for, into rows of their own.
class KernelSource {
 public:
  KernelSource(const SourcePixels& src, int sourceWidth, const Rect& srcRect)
      : mSource(src),
        mRect(srcRect),
        mStride(src.IsPalettized() ? srcRect.mWidth : sourceWidth),
        mCorner(src.IsPalettized() ? nullptr
                                   : src.Bits() + static_cast<std::size_t>(srcRect.mY) * sourceWidth + srcRect.mX) {}

  const std::uint32_t* Corner() {
    if (!mCorner) {
      mUnpacked = mSource.Unpacked(mRect);
      mCorner = mUnpacked.get();
    }
    return mCorner;
  }
  int Stride() const { return mStride; }

 private:
  const SourcePixels& mSource;
  const Rect mRect;
  const int mStride;
  const std::uint32_t* mCorner;
  std::unique_ptr<std::uint32_t[]> mUnpacked;
};

// A row's 16.16 source start and its drawn span [i0, i1] (empty when i0 > i1).
struct RowSpan {
  I64 uRow, vRow, i0, i1;
};

// One rotated draw from 32-bit pixels (corner: the source rectangle's, in rows of stride), row by
// row. Everything the rows share is worked out once, the row kernels included: rows onto 8-8-8
// surfaces and rotated ones have kernels of their own, and so have normal ones onto 5-6-5 and 5-5-5
// surfaces; the per-pixel formula draws what they leave (the formula copied only for them).
template <typename Pixel, Blend kBlend>
class RotatedRows {
 public:
  RotatedRows(const SurfaceTarget& t, const std::uint32_t* corner, int stride, const Rect& srcRect, float x, float y,
              const Rect& area, const Rgba& c, double angle, float centerX, float centerY)
      : mPixels(t.mPixels),
        mFormula(t, c),
        mBits(corner),
        mSourceWidth(stride),
        mSrcRect(srcRect),
        mX(x),
        mY(y),
        mArea(area),
        mCenterX(centerX),
        mCenterY(centerY),
        mCos(std::cos(angle)),
        mSin(std::sin(angle)),
        mDu(static_cast<I64>(mCos * 65536)),
        mDv(static_cast<I64>(mSin * 65536)),
        mMode{Formula::kAdditive, Formula::kColored, Formula::kAdditive ? mFormula.cp : c},
        mAxisAligned(mDu == 65536 && mDv == 0) {
    ChooseKernels(t);
  }

  void Draw() const {
    // The spans are worked out a batch of rows ahead, so that their arithmetic overlaps.
    constexpr int kBatch = 32;
    RowSpan spans[kBatch];
    for (int r = 0; r < mArea.mHeight; ++r) {
      if (r % kBatch == 0)
        for (int j = 0; j < kBatch && r + j < mArea.mHeight; ++j) spans[j] = SpanOf(r + j);
      const RowSpan& span = spans[r % kBatch];
      if (span.i0 > span.i1) continue;
      Pixel* d = mPixels.Row<Pixel>(mArea.mY + r) + mArea.mX;
      if (mAxisAligned)
        AxisRow(d, span);
      else
        RotatedRow(d, span);
    }
  }

 private:
  using Formula = PixelFormula<kBlend>;
  using RowMode = SurfaceRotateRows::RowMode;
  using OneTapKernel = int (*)(Pixel*, const std::uint32_t*, int, const RowMode&);
  using FourTapKernel = int (*)(Pixel*, const std::uint32_t*, const std::uint32_t*, int, const std::uint32_t (&)[4],
                                const RowMode&);
  using RotatedKernel = int (*)(Pixel*, const std::uint32_t*, int, std::int32_t, std::int32_t, std::int32_t,
                                std::int32_t, int, const RowMode&);

  void ChooseKernels(const SurfaceTarget& t) {
    const bool standard888 = t.mRed.mMask == 0xFF0000 && t.mGreen.mMask == 0xFF00 && t.mBlue.mMask == 0xFF;
    const bool standard565 = t.mRed.mMask == 0xF800 && t.mGreen.mMask == 0x07E0 && t.mBlue.mMask == 0x001F;
    const bool standard555 = t.mRed.mMask == 0x7C00 && t.mGreen.mMask == 0x03E0 && t.mBlue.mMask == 0x001F;
    // The rotated rows' kernel works in 32-bit lanes, 16 x 16 products for the row offsets.
    const bool narrowSource = mSourceWidth < 32768 && mSrcRect.mHeight < 32768 && mSrcRect.mWidth < 32768;
    if constexpr (std::is_same_v<Pixel, std::uint32_t>) {
      if (!standard888) return;
      mOneTap = SurfaceRotateRows::OneTap888;
      mFourTap = SurfaceRotateRows::FourTap888;
      if (narrowSource) mRotated = SurfaceRotateRows::Rotated888;
    } else {
      if (!standard565 && !standard555) return;
      if (narrowSource) mRotated = standard565 ? SurfaceRotateRows::Rotated565 : SurfaceRotateRows::Rotated555;
      if constexpr (!Formula::kAdditive)
        mOneTap = standard565 ? SurfaceRotateRows::OneTap565 : SurfaceRotateRows::OneTap555;
      // Onto 16-bit pixels the rotated rows serve the unrotated rows too, stepping straight along the
      // source row: at a sub-pixel offset, and at a whole-pixel one where no one-tap kernel does. (There
      // the three neighbours of weight 0 change nothing: a 16-bit pixel has no bits outside its fields
      // but the top one of 5-5-5, which the formula drops wherever it draws, as the rows do.)
      mAxisRotated = mRotated;
    }
  }

  RowSpan SpanOf(int r) const {
    const int px = mArea.mX, py = mArea.mY + r;
    const double ex = px - static_cast<double>(mCenterX) - mX, ey = py - static_cast<double>(mCenterY) - mY;
    const double uStart = (ex * mCos - ey * mSin + mCenterX) * 65536;
    const double vStart = (ex * mSin + ey * mCos + mCenterY) * 65536;
    RowSpan span{0, 0, 0, mArea.mWidth - 1};
    if (!(std::fabs(uStart) < kFixedLimit) || !(std::fabs(vStart) < kFixedLimit)) return RowSpan{0, 0, 1, 0};
    span.uRow = static_cast<I64>(uStart);
    span.vRow = static_cast<I64>(vStart);
    const I64 w = mSrcRect.mWidth, h = mSrcRect.mHeight;
    // (Written out for the axis-aligned steps, so that their divisions become shifts.)
    const bool drawn =
        mAxisAligned
            ? CutSpan(span.uRow, 65536, w, false, span.i0, span.i1) && CutSpan(span.vRow, 0, h, true, span.i0, span.i1)
            : CutSpan(span.uRow, mDu, w, false, span.i0, span.i1) && CutSpan(span.vRow, mDv, h, true, span.i0, span.i1);
    return drawn ? span : RowSpan{0, 0, 1, 0};
  }

  std::size_t SourceIndex(I64 u, I64 v) const {
    return static_cast<std::size_t>(static_cast<int>(v >> 16)) * mSourceWidth + static_cast<std::size_t>(u >> 16);
  }

  // Angle 0 (or a step that rounds to it): the fractions, and so the neighbours' weights, hold for the
  // whole row, and the neighbourhood moves one source pixel a step. At a whole-pixel offset only the
  // top-left neighbour weighs anything.
  void AxisRow(Pixel* d, const RowSpan& span) const {
    const I64 i0 = span.i0, i1 = span.i1;
    const I64 u = span.uRow + i0 * mDu, v = span.vRow + i0 * mDv;
    const Weights k = WeightsAt(u, v);
    // The source index of the row's pixel 0, which may lie before the source (it wraps): only first + i
    // for i from i0 on is a pixel, so pointers are taken there.
    const std::size_t first = SourceIndex(u, v) - static_cast<std::size_t>(i0);
    const int count = static_cast<int>(i1 - i0 + 1);
    const bool oneTap = k.k1 == 0 && k.k2 == 0 && k.k3 == 0;
    I64 i = i0;
    if (oneTap && mOneTap) {
      i += mOneTap(d + i0, mBits + (first + i0), count, mMode);
    } else if (!oneTap && mFourTap) {
      const std::uint32_t weights[4] = {k.k0, k.k1, k.k2, k.k3};
      i += mFourTap(d + i0, mBits + (first + i0), mBits + (first + i0) + mSourceWidth, count, weights, mMode);
    } else if (mAxisRotated) {
      i += mAxisRotated(d + i0, mBits, mSourceWidth, static_cast<std::int32_t>(u), static_cast<std::int32_t>(v), 65536,
                        0, count, mMode);
    }
    if (i <= i1) AxisPixels(d, first, i, i1, oneTap ? Weights{k.k0, 0, 0, 0} : k);
  }

  // Pixels i to i1 of an axis-aligned row by the formula (what the kernels left).
  void AxisPixels(Pixel* d, std::size_t first, I64 i, I64 i1, const Weights& k) const {
    // Copied, so that it stays in registers while the pixels are written.
    const Formula f = mFormula;
    const std::uint32_t* const source = mBits;
    const std::size_t stride = static_cast<std::size_t>(mSourceWidth);
    if (k.k1 == 0 && k.k2 == 0 && k.k3 == 0) {
      for (; i <= i1; ++i) d[i] = static_cast<Pixel>(f.Compose(source[first + i], 0, 0, 0, k, d[i]));
      return;
    }
    for (; i <= i1; ++i) {
      const std::size_t s = first + i;
      d[i] =
          static_cast<Pixel>(f.Compose(source[s], source[s + 1], source[s + stride], source[s + stride + 1], k, d[i]));
    }
  }

  void RotatedRow(Pixel* d, const RowSpan& span) const {
    const I64 i0 = span.i0, i1 = span.i1;
    I64 i = i0;
    if (mRotated)
      i += mRotated(d + i0, mBits, mSourceWidth, static_cast<std::int32_t>(span.uRow + i0 * mDu),
                    static_cast<std::int32_t>(span.vRow + i0 * mDv), static_cast<std::int32_t>(mDu),
                    static_cast<std::int32_t>(mDv), static_cast<int>(i1 - i0 + 1), mMode);
    if (i <= i1) RotatedPixels(d, span, i);
  }

  // Pixels i to the span's end of a rotated row by the formula (what the kernel left).
  void RotatedPixels(Pixel* d, const RowSpan& span, I64 i) const {
    const Formula f = mFormula;
    const std::uint32_t* const source = mBits;
    const std::size_t stride = static_cast<std::size_t>(mSourceWidth);
    const I64 du = mDu, dv = mDv;
    for (I64 u = span.uRow + i * du, v = span.vRow + i * dv; i <= span.i1; ++i, u += du, v += dv) {
      const std::size_t s = SourceIndex(u, v);
      d[i] = static_cast<Pixel>(
          f.Compose(source[s], source[s + 1], source[s + stride], source[s + stride + 1], WeightsAt(u, v), d[i]));
    }
  }

  const SurfacePixels& mPixels;
  const Formula mFormula;
  const std::uint32_t* const mBits;
  const int mSourceWidth;
  const Rect mSrcRect;
  const float mX, mY;
  const Rect mArea;
  const float mCenterX, mCenterY;
  const double mCos, mSin;
  const I64 mDu, mDv;
  const RowMode mMode;
  const bool mAxisAligned;
  OneTapKernel mOneTap = nullptr;
  FourTapKernel mFourTap = nullptr;
  RotatedKernel mAxisRotated = nullptr;  // the sub-pixel unrotated rows onto 16-bit pixels
  RotatedKernel mRotated = nullptr;
};

template <typename Pixel, Blend kBlend>
void RotateWithSource(const SurfaceTarget& t, KernelSource& pixels, const Rect& srcRect, float x, float y,
                      const Rect& area, const Rgba& c, double angle, float centerX, float centerY) {
  RotatedRows<Pixel, kBlend>(t, pixels.Corner(), pixels.Stride(), srcRect, x, y, area, c, angle, centerX, centerY)
      .Draw();
}

template <typename Pixel>
void RotateAt(const SurfaceTarget& t, KernelSource& pixels, const Rect& srcRect, float x, float y, const Rect& area,
              const Rgba& c, bool white, bool additive, double angle, float centerX, float centerY) {
  if (additive && white)
    RotateWithSource<Pixel, Blend::kAdditiveWhite>(t, pixels, srcRect, x, y, area, c, angle, centerX, centerY);
  else if (additive)
    RotateWithSource<Pixel, Blend::kAdditiveColored>(t, pixels, srcRect, x, y, area, c, angle, centerX, centerY);
  else if (white)
    RotateWithSource<Pixel, Blend::kNormalWhite>(t, pixels, srcRect, x, y, area, c, angle, centerX, centerY);
  else
    RotateWithSource<Pixel, Blend::kNormalColored>(t, pixels, srcRect, x, y, area, c, angle, centerX, centerY);
}

// Angle 0, normal and uncoloured onto 8-8-8, 5-6-5 or 5-5-5 fields, or additive onto 16-bit fields at
// a whole-pixel position: every drawn row takes the same run of the next source row at the same fractions. At a
// whole-pixel position the weights hang on the source pixel alone, so the rows are a plain blit of
// the source's weighted words (UnrotatedRows), or, additive, their fields added (times the colour's
// premultiplied fields, >> 8), saturating: what the formula adds is the weighted field itself. At a
// sub-pixel one the four neighbours' weights are the draw's own. The rows' starts are
// worked out as the general rows work them out (at cos 1 and sin 0 the column does not change from
// row to row). False, having drawn nothing, when the draw is not of that kind.
bool UnrotatedBlt(const SurfaceTarget& t, MemoryImage& source, KernelSource& pixels, float x, float y,
                  const Rect& srcRect, const Rect& area, double angle, float centerX, float centerY, const Rgba& c,
                  bool white, bool additive) {
  using UnrotatedRows::Layout;
  if (angle != 0 || !Simd::UseSse2() || (!additive && !white)) return false;
  const auto fields = [](const SurfaceChannel& c, std::uint32_t mask, int shift, int bits) {
    return c.mMask == mask && c.mShift == shift && c.mBits == bits;
  };
  const SurfaceChannel &red = t.mRed, &green = t.mGreen, &blue = t.mBlue;
  Layout layout;
  if (t.mPixels.mBitCount == 32 && fields(red, 0xFF0000, 16, 8) && fields(green, 0xFF00, 8, 8) &&
      fields(blue, 0xFF, 0, 8))
    layout = Layout::k888;
  else if (t.mPixels.mBitCount == 16 && fields(red, 0xF800, 11, 5) && fields(green, 0x07E0, 5, 6) &&
           fields(blue, 0x001F, 0, 5))
    layout = Layout::k565;
  else if (t.mPixels.mBitCount == 16 && fields(red, 0x7C00, 10, 5) && fields(green, 0x03E0, 5, 5) &&
           fields(blue, 0x001F, 0, 5))
    layout = Layout::k555;
  else
    return false;
  if (additive && layout == Layout::k888) return false;
  const double cosA = 1.0, sinA = angle;  // cos and sin of 0 (or -0)
  const double ex = area.mX - static_cast<double>(centerX) - x;
  const auto vStart = [&](int r) {
    const double ey = area.mY + r - static_cast<double>(centerY) - y;
    return (ex * sinA + ey * cosA + centerY) * 65536;
  };
  const double uStart = (ex * cosA - (area.mY - static_cast<double>(centerY) - y) * sinA + centerX) * 65536;
  if (!(std::fabs(uStart) < kFixedLimit)) return false;
  const I64 uRow = static_cast<I64>(uStart);
  I64 i0 = 0, i1 = area.mWidth - 1;
  if (!CutSpan(uRow, 65536, srcRect.mWidth, false, i0, i1) || i0 > i1) return true;
  // The drawn rows must be one run of rows down the source, at one fraction.
  const I64 rowEnd = static_cast<I64>(srcRect.mHeight) * 65536 - 65536;
  int first = -1, rows = 0;
  I64 firstV = 0;
  if (OnFixedGrid(y) && OnFixedGrid(centerY)) {
    // Every step of the rows' arithmetic is exact: row r starts r whole pixels below row 0, and the
    // drawn rows are those whose start lies in [0, rowEnd).
    const I64 v0 = static_cast<I64>(vStart(0));
    const auto ceilRows = [](I64 distance) { return -((-distance) >> 16); };
    const I64 top = std::max<I64>(0, ceilRows(-v0)), end = std::min<I64>(area.mHeight, ceilRows(rowEnd - v0));
    if (top >= end) return true;
    first = static_cast<int>(top);
    rows = static_cast<int>(end - top);
    firstV = v0 + top * 65536;
  }
  for (int r = rows > 0 ? area.mHeight : 0; r < area.mHeight; ++r) {
    const double start = vStart(r);
    if (!(std::fabs(start) < kFixedLimit)) return false;
    const I64 v = static_cast<I64>(start);
    if (v < 0 || v >= rowEnd) continue;
    if (first < 0) {
      first = r;
      firstV = v;
    } else if (r != first + rows || v != firstV + static_cast<I64>(rows) * 65536) {
      return false;
    }
    ++rows;
  }
  if (rows == 0) return true;
  const std::size_t at = static_cast<std::size_t>(srcRect.mY + (firstV >> 16)) * source.mWidth +
                         static_cast<std::size_t>(srcRect.mX + (uRow >> 16) + i0);
  const int count = static_cast<int>(i1 - i0 + 1);
  const int left = area.mX + static_cast<int>(i0), top = area.mY + first;
  if ((uRow & 0xFFFE) != 0 || (firstV & 0xFFFE) != 0) {
    if (additive || (layout == Layout::k888 && count < 4)) return false;
    const std::uint32_t fx = (static_cast<std::uint32_t>(uRow) & 0xFFFE) + 1;
    const std::uint32_t fy = (static_cast<std::uint32_t>(firstV) & 0xFFFE) + 1;
    const std::uint32_t gx = 65536 - fx, gy = 65536 - fy;
    const std::uint32_t k[4] = {(gx * gy) >> 16, (fx * gy) >> 16, (gx * fy) >> 16, (fx * fy) >> 16};
    const std::uint32_t* s = pixels.Corner() + static_cast<std::size_t>(firstV >> 16) * pixels.Stride() +
                             static_cast<std::size_t>((uRow >> 16) + i0);
    if (layout == Layout::k888)
      UnrotatedRows::FourTap888(t.mPixels.Row<std::uint32_t>(top) + left, t.mPixels.mPitch / 4, s, pixels.Stride(),
                                count, rows, k);
    else if (layout == Layout::k565)
      UnrotatedRows::FourTap565(t.mPixels.Row<std::uint16_t>(top) + left, t.mPixels.mPitch / 2, s, pixels.Stride(),
                                count, rows, k);
    else
      UnrotatedRows::FourTap555(t.mPixels.Row<std::uint16_t>(top) + left, t.mPixels.mPitch / 2, s, pixels.Stride(),
                                count, rows, k);
    return true;
  }
  const std::uint32_t* words = source.GetWeightedWords(layout) + at;
  if (additive) {
    // (Every pixel of a row is drawn: adding 0 changes no field, and the formula drops a 5-5-5 pixel's
    // top bit wherever it draws.)
    const Rgba cp = Premultiplied(c);
    for (int r = 0; r < rows; ++r, words += source.mWidth) {
      std::uint16_t* d = t.mPixels.Row<std::uint16_t>(top + r) + left;
      if (layout == Layout::k555 && white)
        SurfaceRows::AddSaturated555(d, words, count, 0);
      else if (layout == Layout::k555)
        SurfaceRows::AddScaled555(d, words, count, cp.r, cp.g, cp.b, 0);
      else if (white)
        SurfaceRows::AddSaturated565(d, words, count);
      else
        SurfaceRows::AddScaled565(d, words, count, cp.r, cp.g, cp.b);
    }
    return true;
  }
  if (layout == Layout::k888)
    UnrotatedRows::Onto888(t.mPixels.Row<std::uint32_t>(top) + left, t.mPixels.mPitch / 4, words, source.mWidth, count,
                           rows);
  else if (layout == Layout::k565)
    UnrotatedRows::Onto565(t.mPixels.Row<std::uint16_t>(top) + left, t.mPixels.mPitch / 2, words, source.mWidth, count,
                           rows);
  else
    UnrotatedRows::Onto555(t.mPixels.Row<std::uint16_t>(top) + left, t.mPixels.mPitch / 2, words, source.mWidth, count,
                           rows);
  return true;
}

}  // namespace

void RotatedBlt(const SurfaceTarget& target, MemoryImage& source, float x, float y, const Rect& srcRect,
                const Rect& bounds, const Color& color, int drawMode, double angle, float centerX, float centerY) {
  const bool additive = drawMode == 1;
  if (!target.mPixels.IsDrawable() || (additive && !target.mAdditiveUsable)) return;
  if (!std::isfinite(angle) || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(centerX) ||
      !std::isfinite(centerY))
    return;
  const Rect area = bounds.Intersection(target.mPixels.Bounds());
  if (area.IsEmpty() || srcRect.IsEmpty() || srcRect.Intersection(Rect(0, 0, source.mWidth, source.mHeight)) != srcRect)
    return;
  source.CommitBits();
  const SourcePixels src(source);
  if (!src.IsPalettized() && !src.Bits()) return;
  const Rgba c = Clamped(color);
  const bool white = IsWhite(color);
  KernelSource pixels(src, source.mWidth, srcRect);
  if (UnrotatedBlt(target, source, pixels, x, y, srcRect, area, angle, centerX, centerY, c, white, additive)) return;
  if (target.mPixels.mBitCount == 16)
    RotateAt<std::uint16_t>(target, pixels, srcRect, x, y, area, c, white, additive, angle, centerX, centerY);
  else
    RotateAt<std::uint32_t>(target, pixels, srcRect, x, y, area, c, white, additive, angle, centerX, centerY);
}

}  // namespace Kit::SurfaceDraw
