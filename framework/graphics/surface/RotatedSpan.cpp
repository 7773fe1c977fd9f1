#include "framework/graphics/surface/RotatedSpan.h"

#include <algorithm>
#include <cmath>

namespace Kit {
namespace {

constexpr double kExtreme = 10'000'000.0;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

// Narrows [first, last] to the k with low <= start + k x step <= high.
void Restrict(std::int64_t start, std::int64_t step, std::int64_t low, std::int64_t high, std::int64_t& first,
              std::int64_t& last) {
  if (step == 0) {
    if (start < low || start > high) last = first - 1;
    return;
  }
  if (step > 0) {
    first = std::max(first, CeilDiv(low - start, step));
    last = std::min(last, FloorDiv(high - start, step));
  } else {
    first = std::max(first, CeilDiv(high - start, step));
    last = std::min(last, FloorDiv(low - start, step));
  }
}

}  // namespace

bool RotatedSetup::Bounds(float x, float y, const Rect& srcRect, const Rect& clipRect, double angle, float centerX,
                          float centerY, Rect& bounds) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(angle) || !std::isfinite(centerX) ||
      !std::isfinite(centerY))
    return false;
  const double cx = static_cast<double>(x) + centerX, cy = static_cast<double>(y) + centerY;
  // (At angle 0, the common draw, cos and sin are 1 and the angle itself.)
  const double c = angle == 0 ? 1.0 : std::cos(angle), s = angle == 0 ? angle : std::sin(angle);
  double minX = kExtreme, minY = kExtreme, maxX = -kExtreme, maxY = -kExtreme;
  const double xs[2] = {static_cast<double>(x), static_cast<double>(x) + srcRect.mWidth};
  const double ys[2] = {static_cast<double>(y), static_cast<double>(y) + srcRect.mHeight};
  for (double px : xs) {
    for (double py : ys) {
      const double rx = (px - cx) * c + (py - cy) * s + cx;
      const double ry = (py - cy) * c - (px - cx) * s + cy;
      minX = std::min(minX, rx);
      maxX = std::max(maxX, rx);
      minY = std::min(minY, ry);
      maxY = std::max(maxY, ry);
    }
  }
  // Floors and ceilings of the extremes cut to [-kExtreme, kExtreme] (whole numbers: cutting first is the same).
  const auto floorToInt = [](double v) {
    const double cut = std::clamp(v, -kExtreme, kExtreme);
    const int whole = static_cast<int>(cut);
    return whole - (whole > cut);
  };
  const auto ceilToInt = [](double v) {
    const double cut = std::clamp(v, -kExtreme, kExtreme);
    const int whole = static_cast<int>(cut);
    return whole + (whole < cut);
  };
  const int left = floorToInt(minX), top = floorToInt(minY);
  const int right = ceilToInt(maxX), bottom = ceilToInt(maxY);
  bounds = Rect(left, top, right - left, bottom - top).Intersection(clipRect);
  return !bounds.IsEmpty();
}

RotatedSetup::RotatedSetup(float x, float y, const Rect& srcRect, const Rect& sampled, double angle, float centerX,
                           float centerY)
    : mStepU(std::llround(std::cos(angle) * 65536.0)),
      mStepV(std::llround(std::sin(angle) * 65536.0)),
      mX(x),
      mY(y),
      mCenterX(static_cast<double>(x) + centerX),
      mCenterY(static_cast<double>(y) + centerY),
      mCos(std::cos(angle)),
      mSin(std::sin(angle)),
      mSrcX(srcRect.mX),
      mSrcY(srcRect.mY),
      mLowU(static_cast<std::int64_t>(sampled.mX) << 16),
      mHighU((static_cast<std::int64_t>(sampled.mX) + sampled.mWidth - 1) * 65536 - 1),
      mLowV(static_cast<std::int64_t>(sampled.mY) << 16),
      mHighV((static_cast<std::int64_t>(sampled.mY) + sampled.mHeight - 1) * 65536 - 1) {}

RotatedRow RotatedSetup::Row(int left, int y, int count) const {
  // The centre of the row's first pixel, mapped back into the source; pixel centres sit at +0.5.
  const double rx = left + 0.5 - mCenterX, ry = y + 0.5 - mCenterY;
  const double u = mCenterX + rx * mCos - ry * mSin - mX + mSrcX - 0.5;
  RotatedRow row;
  row.mU = static_cast<std::int64_t>(std::floor(u * 65536.0));
  row.mV = StartV(left, y);
  std::int64_t first = 0, last = count - 1;
  Restrict(row.mU, mStepU, mLowU, mHighU, first, last);
  Restrict(row.mV, mStepV, mLowV, mHighV, first, last);
  if (first > last) {
    row.mFirst = 0;
    row.mLast = -1;
  } else {
    row.mFirst = static_cast<int>(first);
    row.mLast = static_cast<int>(last);
  }
  return row;
}

}  // namespace Kit
