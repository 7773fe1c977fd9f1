// Conversions to an integer type of values it may not hold: a wider integer, or a floating value
// (truncated toward zero). A plain conversion wraps such an integer and is undefined for such a floating
// value, NaN and the infinities included; these hold the value at the type's limits instead. Used by
// every layer wherever a value worked out wider, or read from a file, lands in an int. Pure functions;
// any thread.
#pragma once

#include <cmath>
#include <concepts>
#include <limits>
#include <utility>

namespace plat {

// value truncated toward zero and held to [low, high]; NaN gives nanValue.
template <std::integral Int>
[[nodiscard]] constexpr Int TruncateInto(double value, Int low = std::numeric_limits<Int>::min(),
                                         Int high = std::numeric_limits<Int>::max(), Int nanValue = 0) {
  if (std::isnan(value)) return nanValue;
  if (value <= static_cast<double>(low)) return low;
  if (value >= static_cast<double>(high)) return high;
  return static_cast<Int>(value);
}

// An integer as an int: its own value where an int holds it, else the nearer of int's limits.
template <std::integral From>
[[nodiscard]] constexpr int ClampToInt(From value) {
  if (std::cmp_less(value, std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (std::cmp_greater(value, std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

// A floating value as an int: truncated toward zero and held at int's limits; NaN gives nanValue.
[[nodiscard]] constexpr int ClampToInt(double value, int nanValue = 0) {
  return TruncateInto<int>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), nanValue);
}

}  // namespace plat
