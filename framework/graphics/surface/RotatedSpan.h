// The geometry of a rotated blit: its bounding box, and for each destination row the 16.16 source
// position of its first pixel, the per-pixel steps (cos a, sin a) and the run of pixels whose sample
// has all four bilinear neighbours inside the source rectangle. Pixels outside that run, the outer
// half pixel of the source's edge, are not drawn.
#pragma once

#include "framework/graphics/Rect.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Kit {

// Whether value is a multiple of 1 / 65536 well inside 2^30: sums of such values and whole numbers
// below 2^31, halves included, and their products with 65536 are then exact in double arithmetic, so
// at angle 0 the rows' starts step by exactly one pixel.
inline bool OnFixedGrid(float value) {
  const double fixed = static_cast<double>(value) * 65536;
  return std::fabs(value) < 0x1p30 && static_cast<double>(static_cast<std::int64_t>(fixed)) == fixed;
}

struct RotatedRow {
  std::int64_t mU;  // 16.16 source position of the row's first pixel; the sample's top-left neighbour
  std::int64_t mV;  // is at the integer parts
  int mFirst;       // pixels mFirst..mLast of the row are drawn (none when mFirst > mLast)
  int mLast;
};

class RotatedSetup {
 public:
  // srcRect is the rectangle as placed at (x, y); sampled is the part of it that lies in the source.
  RotatedSetup(float x, float y, const Rect& srcRect, const Rect& sampled, double angle, float centerX, float centerY);

  static bool Bounds(float x, float y, const Rect& srcRect, const Rect& clipRect, double angle, float centerX,
                     float centerY, Rect& bounds);

  RotatedRow Row(int left, int y, int count) const;
  // Row's mV alone, and whether a row starting there has anything to sample when the step down it is 0.
  std::int64_t StartV(int left, int y) const {
    const double rx = left + 0.5 - mCenterX, ry = y + 0.5 - mCenterY;
    const double v = (mCenterY + rx * mSin + ry * mCos - mY + mSrcY - 0.5) * 65536.0;
    // floor(v), without a library call: v is well inside the 64-bit range.
    const auto t = static_cast<std::int64_t>(v);
    return t - (static_cast<double>(t) > v);
  }
  bool InsideV(std::int64_t v) const { return v >= mLowV && v <= mHighV; }
  // Of rows starting at v0, v0 + 65536, ... (count of them): the first that samples anything and the
  // one after the last, when the step down a row is 0.
  void RowsInside(std::int64_t v0, int count, int& first, int& end) const {
    const auto steps = [](std::int64_t distance) { return distance >> 16; };  // whole rows, rounded down
    first = static_cast<int>(std::clamp<std::int64_t>(-steps(v0 - mLowV), 0, count));
    end = static_cast<int>(std::clamp<std::int64_t>(steps(mHighV - v0) + 1, 0, count));
  }

  std::int64_t mStepU;
  std::int64_t mStepV;

 private:
  double mX, mY, mCenterX, mCenterY, mCos, mSin;
  double mSrcX, mSrcY;
  std::int64_t mLowU, mHighU, mLowV, mHighV;
};

}  // namespace Kit
