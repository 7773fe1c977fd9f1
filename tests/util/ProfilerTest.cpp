#include "framework/util/Profiler.h"

#include <gtest/gtest.h>

#include "framework/util/CpuSpeed.h"
#include "platform/win/Time.h"
#include "tests/util/StepClock.h"

namespace {

using Kit::Profiler;

// Cycles follow the fake clock at 1 GHz: one microsecond is 1000 cycles.
class ProfilerTest : public testing::Test {
 protected:
  void SetUp() override {
    {
      testsupport::StepClock step;
      plat::ScopedClock measuring(step);
      Kit::ForgetCpuSpeed();
      ASSERT_EQ(Kit::GetCpuSpeed(), 1'000'000'000u);
    }
    plat::SetClock(&mClock);
  }
  void TearDown() override {
    plat::SetClock(nullptr);
    Kit::ForgetCpuSpeed();
  }
  void AdvanceCycles(std::uint64_t cycles) { mClock.Advance(cycles / 1000); }

  plat::FakeClock mClock;
};

TEST_F(ProfilerTest, ReportsASectionInMilliseconds) {
  Profiler::StartRun(false);
  EXPECT_TRUE(Profiler::IsEnabled());
  AdvanceCycles(1'000'000);
  Profiler::BeginSection("Update");
  AdvanceCycles(5'000'000);
  Profiler::EndSection("Update");
  AdvanceCycles(4'000'000);
  Profiler::StopRun();
  EXPECT_FALSE(Profiler::IsEnabled());
  EXPECT_EQ(Profiler::GetReport(),
            "Total Time: 10.00\n"
            "Update (1 calls, %50.00 time): 5.00 (5.00 avg, 5.00 longest)\n");
}

TEST_F(ProfilerTest, RecursionCountsCallsButTimesOnlyTheOutermost) {
  Profiler::StartRun(false);
  Profiler::BeginSection("Draw");
  AdvanceCycles(1'000'000);
  Profiler::BeginSection("Draw");
  Profiler::BeginSection("Draw");
  AdvanceCycles(1'000'000);
  Profiler::EndSection("Draw");
  Profiler::EndSection("Draw");
  AdvanceCycles(2'000'000);
  Profiler::EndSection("Draw");
  Profiler::StopRun();
  EXPECT_EQ(Profiler::GetReport(),
            "Total Time: 4.00\n"
            "Draw (3 calls, %100.00 time): 4.00 (1.33 avg, 4.00 longest)\n");
}

TEST_F(ProfilerTest, NamesDifferingInCaseShareAnEntryAndSortCaseInsensitively) {
  Profiler::StartRun(false);
  for (const char* name : {"beta", "Alpha", "BETA", "_x"}) {
    Profiler::BeginSection(name);
    AdvanceCycles(1'000'000);
    Profiler::EndSection(name);
  }
  Profiler::BeginSection("Beta");
  AdvanceCycles(3'000'000);
  Profiler::EndSection("Beta");
  Profiler::StopRun();
  // Letters compare in lower case, so "_" (0x5F) comes before every name starting with a letter.
  EXPECT_EQ(Profiler::GetReport(),
            "Total Time: 7.00\n"
            "_x (1 calls, %14.29 time): 1.00 (1.00 avg, 1.00 longest)\n"
            "Alpha (1 calls, %14.29 time): 1.00 (1.00 avg, 1.00 longest)\n"
            "beta (3 calls, %71.43 time): 5.00 (1.67 avg, 3.00 longest)\n");
}

TEST_F(ProfilerTest, UnmatchedEndChangesNothingAndLaterSectionsStillCount) {
  Profiler::StartRun(false);
  Profiler::EndSection("Never");
  Profiler::BeginSection("Tick");
  AdvanceCycles(2'000'000);
  Profiler::EndSection("Tick");
  Profiler::StopRun();
  EXPECT_EQ(Profiler::GetReport(),
            "Total Time: 2.00\n"
            "Tick (1 calls, %100.00 time): 2.00 (2.00 avg, 2.00 longest)\n");
}

TEST_F(ProfilerTest, NothingIsRecordedOutsideARunOrWhenKeptDisabled) {
  Profiler::BeginSection("Early");
  Profiler::EndSection("Early");
  Profiler::StartRun(true);
  EXPECT_FALSE(Profiler::IsEnabled());
  Profiler::BeginSection("Hidden");
  AdvanceCycles(1'000'000);
  Profiler::EndSection("Hidden");
  Profiler::StopRun();
  EXPECT_EQ(Profiler::GetReport(), "Total Time: 1.00\n");
}

TEST_F(ProfilerTest, OpenSectionsAtStopAddNoTimeAndANewRunStartsEmpty) {
  Profiler::StartRun(false);
  Profiler::BeginSection("Open");
  AdvanceCycles(2'000'000);
  Profiler::StopRun();
  EXPECT_EQ(Profiler::GetReport(),
            "Total Time: 2.00\n"
            "Open (1 calls, %0.00 time): 0.00 (0.00 avg, 0.00 longest)\n");
  Profiler::StartRun(false);
  Profiler::StopRun();
  EXPECT_EQ(Profiler::GetReport(), "Total Time: 0.00\n");
}

}  // namespace
