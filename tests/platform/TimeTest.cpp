#include "platform/win/threads/Time.h"

#include <gtest/gtest.h>

namespace {

TEST(Time, FakeClockDrivesEveryTimeCall) {
  plat::FakeClock clock(5'000'000);
  plat::ScopedClock installed(clock);
  EXPECT_EQ(timeGetTime(), 5000u);
  EXPECT_EQ(GetTickCount(), 5000u);
  Sleep(15);
  EXPECT_EQ(timeGetTime(), 5015u);
  clock.Advance(999);
  EXPECT_EQ(timeGetTime(), 5015u);
  LARGE_INTEGER counter, frequency;
  ASSERT_TRUE(QueryPerformanceCounter(&counter));
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(counter.QuadPart, 5'015'999);
  EXPECT_EQ(frequency.QuadPart, 1'000'000);
}

TEST(Time, MillisecondCounterWrapsLikeWindows) {
  plat::FakeClock clock((std::uint64_t{1} << 32) * 1000 + 7000);
  plat::ScopedClock installed(clock);
  EXPECT_EQ(timeGetTime(), 7u);
}

}  // namespace
