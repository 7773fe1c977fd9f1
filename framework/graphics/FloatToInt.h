// Float to integer conversions for drawing code. A plain cast of a value the integer type cannot
// hold, NaN and the infinities included, is undefined behaviour; coordinates from a caller's matrix
// or from clipping a huge triangle can be any of those.
#pragma once

#include <cmath>
#include <limits>

namespace Kit {

// value truncated toward zero and held to [low, high]; NaN gives nanValue.
template <typename Int>
constexpr Int TruncateInto(double value, Int low = std::numeric_limits<Int>::min(),
                           Int high = std::numeric_limits<Int>::max(), Int nanValue = 0) {
  if (std::isnan(value)) return nanValue;
  if (value <= static_cast<double>(low)) return low;
  if (value >= static_cast<double>(high)) return high;
  return static_cast<Int>(value);
}

// A line end truncated toward zero, held within +-2e9 so that the difference of two ends still fits
// an int; NaN lies far off to the left and top.
constexpr int TruncCoordinate(double value) {
  return TruncateInto<int>(value, -2'000'000'000, 2'000'000'000, -2'000'000'000);
}

}  // namespace Kit
