#include "platform/util/ClampToInt.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>

namespace {

constexpr int kMost = std::numeric_limits<int>::max();
constexpr int kLeast = std::numeric_limits<int>::min();

TEST(ClampToInt, IntegersKeepTheirValueOrTheNearerLimit) {
  using Wide = std::numeric_limits<long long>;
  for (const long long kept : {0LL, -7LL, static_cast<long long>(kMost), static_cast<long long>(kLeast)})
    EXPECT_EQ(plat::ClampToInt(kept), kept);
  for (const long long above : {kMost + 1LL, 1LL << 40, Wide::max()})
    EXPECT_EQ(plat::ClampToInt(above), kMost) << above;
  for (const long long below : {kLeast - 1LL, -(1LL << 40), Wide::min()})
    EXPECT_EQ(plat::ClampToInt(below), kLeast) << below;
  // An unsigned value is never negative, however large.
  EXPECT_EQ(plat::ClampToInt(std::numeric_limits<std::size_t>::max()), kMost);
  EXPECT_EQ(plat::ClampToInt(std::size_t{kMost} + 1), kMost);
  EXPECT_EQ(plat::ClampToInt(12u), 12);
}

TEST(ClampToInt, FloatingValuesAreTruncatedTowardZeroAndHeld) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  EXPECT_EQ(plat::ClampToInt(1.9), 1);
  EXPECT_EQ(plat::ClampToInt(-1.9), -1);
  EXPECT_EQ(plat::ClampToInt(-0.5), 0);
  EXPECT_EQ(plat::ClampToInt(2147483646.9), kMost - 1);
  EXPECT_EQ(plat::ClampToInt(-3.75f), -3);
  for (const double above : {2147483647.5, 1e300, infinity}) EXPECT_EQ(plat::ClampToInt(above), kMost) << above;
  for (const double below : {-2147483648.9, -1e300, -infinity}) EXPECT_EQ(plat::ClampToInt(below), kLeast) << below;
  EXPECT_EQ(plat::ClampToInt(nan), 0);
  EXPECT_EQ(plat::ClampToInt(nan, kLeast), kLeast);
}

}  // namespace
