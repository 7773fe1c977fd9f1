#include <gtest/gtest.h>

#include "framework/util/CpuSpeed.h"
#include "framework/util/PerfTimer.h"
#include "platform/win/threads/CycleCounter.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"
#include "tests/util/StepClock.h"

namespace {

TEST(PerfTimer, MeasuresMillisecondsOnTheHighResolutionCounter) {
  plat::FakeClock clock;
  plat::ScopedClock installed(clock);
  Kit::PerfTimer timer;
  EXPECT_EQ(timer.GetDuration(), 0.0);
  timer.Start();
  clock.Advance(1500);
  EXPECT_DOUBLE_EQ(timer.GetDuration(), 1.5);
  clock.Advance(2500);
  EXPECT_DOUBLE_EQ(timer.GetDuration(), 4.0);  // live while running
  timer.Stop();
  clock.AdvanceMillis(100);
  EXPECT_DOUBLE_EQ(timer.GetDuration(), 4.0);  // fixed after Stop
  timer.Stop();
  EXPECT_DOUBLE_EQ(timer.GetDuration(), 4.0);
  timer.Start();
  clock.AdvanceMillis(7);
  timer.Stop();
  EXPECT_DOUBLE_EQ(timer.GetDuration(), 7.0);
}

TEST(CpuSpeed, MeasuresTheCycleCounterOverAHundredthOfASecond) {
  testsupport::StepClock clock;
  plat::ScopedClock installed(clock);
  Kit::ForgetCpuSpeed();
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
  // Under a test clock the cycle counter runs at a nominal 1 GHz.
  EXPECT_EQ(Kit::GetCpuSpeed(), 1'000'000'000u);
  EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_BELOW_NORMAL);  // restored
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  plat::FakeClock stopped;
  plat::ScopedClock frozen(stopped);
  EXPECT_EQ(Kit::GetCpuSpeed(), 1'000'000'000u);  // cached: no second measurement
  Kit::ForgetCpuSpeed();
}

TEST(CycleCounter, RealCounterMovesForward) {
  ULONGLONG first = plat::ReadCycleCounter();
  Sleep(2);
  EXPECT_GT(plat::ReadCycleCounter(), first);
}

}  // namespace
