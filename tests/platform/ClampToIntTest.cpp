#include "platform/util/ClampToInt.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>

namespace {

constexpr int kMost = std::numeric_limits<int>::max();
constexpr int kLeast = std::numeric_limits<int>::min();

TEST(ClampToInt, IntegersKeepTheirValueOrTheNearerLimit) {
  const struct {
    long long value;
    int expected;
  } cases[] = {
      {0, 0},
      {-7, -7},
      {kMost, kMost},
      {kLeast, kLeast},
      {kMost + 1LL, kMost},
      {kLeast - 1LL, kLeast},
      {1LL << 40, kMost},
      {-(1LL << 40), kLeast},
      {std::numeric_limits<long long>::max(), kMost},
      {std::numeric_limits<long long>::min(), kLeast},
  };
  for (const auto& c : cases) EXPECT_EQ(plat::ClampToInt(c.value), c.expected) << c.value;
  // An unsigned value is never negative, however large.
  EXPECT_EQ(plat::ClampToInt(std::numeric_limits<std::size_t>::max()), kMost);
  EXPECT_EQ(plat::ClampToInt(std::size_t{kMost} + 1), kMost);
  EXPECT_EQ(plat::ClampToInt(12u), 12);
}

TEST(ClampToInt, FloatingValuesAreTruncatedTowardZeroAndHeld) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    int nanValue;
    int expected;
  } cases[] = {
      {1.9, 0, 1},
      {-1.9, 0, -1},
      {-0.5, 0, 0},
      {2147483646.9, 0, kMost - 1},
      {2147483647.5, 0, kMost},
      {-2147483648.9, 0, kLeast},
      {1e300, 0, kMost},
      {-1e300, 0, kLeast},
      {infinity, 0, kMost},
      {-infinity, 0, kLeast},
      {nan, 0, 0},
      {nan, kLeast, kLeast},
  };
  for (const auto& c : cases) EXPECT_EQ(plat::ClampToInt(c.value, c.nanValue), c.expected) << c.value;
  EXPECT_EQ(plat::ClampToInt(-3.75f), -3);
}

}  // namespace
