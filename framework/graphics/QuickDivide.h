// Integer quotients for the rotated rows' spans, worked out through a double division (several
// times quicker than a 64-bit integer division on the processors we run on) and put right by the
// remainder, so they are exact for every operand.
#pragma once

#include <cstdint>

namespace Kit::QuickDivide {

namespace detail {
// Floor of a / b for b > 0 and |a| < 2^52; remainder r (0 <= r < b) too.
inline std::int64_t Floor(std::int64_t a, std::int64_t b, std::int64_t& r) {
  // The double quotient is within one of a / b, its truncation within two of the floor.
  auto q = static_cast<std::int64_t>(static_cast<double>(a) / static_cast<double>(b));
  r = a - q * b;
  while (r < 0) --q, r += b;
  while (r >= b) ++q, r -= b;
  return q;
}
constexpr std::int64_t kExact = std::int64_t{1} << 52;
inline bool Small(std::int64_t a, std::int64_t b) { return a < kExact && a > -kExact && b < kExact && b > -kExact; }
}  // namespace detail

// a / b rounded toward zero, as the integer division; b != 0.
inline std::int64_t Trunc(std::int64_t a, std::int64_t b) {
  // A divisor known when compiling makes the integer division a multiplication or a shift.
  if (__builtin_constant_p(b) || !detail::Small(a, b)) return a / b;
  if (b < 0) a = -a, b = -b;
  std::int64_t r;
  const std::int64_t q = detail::Floor(a, b, r);
  return a < 0 && r != 0 ? q + 1 : q;
}

// a / b rounded down; b != 0.
inline std::int64_t Floor(std::int64_t a, std::int64_t b) {
  if (!detail::Small(a, b)) {
    const std::int64_t q = a / b;
    return a % b != 0 && (a < 0) != (b < 0) ? q - 1 : q;
  }
  if (b < 0) a = -a, b = -b;
  std::int64_t r;
  return detail::Floor(a, b, r);
}

}  // namespace Kit::QuickDivide
