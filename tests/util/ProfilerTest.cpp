#include "framework/util/Profiler.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "framework/util/CpuSpeed.h"
#include "platform/win/threads/Time.h"
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

  // Plays a script of words and gives the report: "run" starts a run, "quiet" starts one kept
  // disabled, "stop" stops it, "<name" begins a section, ">name" ends it, "+n" lets n ms pass.
  std::string Report(const std::string& script) {
    std::istringstream words(script);
    for (std::string word; words >> word;) {
      if (word == "run" || word == "quiet") Profiler::StartRun(word == "quiet");
      if (word == "stop") Profiler::StopRun();
      if (word == "run" || word == "quiet" || word == "stop") {
        EXPECT_EQ(Profiler::IsEnabled(), word == "run") << word;
      }
      // The profiler keeps the names it is given, as it is given literals.
      const char* name = mNames.insert(word.substr(1)).first->c_str();
      if (word[0] == '<') Profiler::BeginSection(name);
      if (word[0] == '>') Profiler::EndSection(name);
      if (word[0] == '+') mClock.AdvanceMillis(std::stoul(word.substr(1)));
    }
    return Profiler::GetReport();
  }

  plat::FakeClock mClock;
  std::set<std::string> mNames;
};

TEST_F(ProfilerTest, ReportsTheSectionsOfARun) {
  const struct {
    const char* script;
    const char* report;
  } cases[] = {
      {"run +1 <Update +5 >Update +4 stop",
       "Total Time: 10.00\nUpdate (1 calls, %50.00 time): 5.00 (5.00 avg, 5.00 longest)\n"},
      // Recursion counts calls but times only the outermost.
      {"run <Draw +1 <Draw <Draw +1 >Draw >Draw +2 >Draw stop",
       "Total Time: 4.00\nDraw (3 calls, %100.00 time): 4.00 (1.33 avg, 4.00 longest)\n"},
      // Names differing in case share an entry; letters sort in lower case, after "_" (0x5F).
      {"run <beta +1 >beta <Alpha +1 >Alpha <BETA +1 >BETA <_x +1 >_x <Beta +3 >Beta stop",
       "Total Time: 7.00\n"
       "_x (1 calls, %14.29 time): 1.00 (1.00 avg, 1.00 longest)\n"
       "Alpha (1 calls, %14.29 time): 1.00 (1.00 avg, 1.00 longest)\n"
       "beta (3 calls, %71.43 time): 5.00 (1.67 avg, 3.00 longest)\n"},
      {"run >Never <Tick +2 >Tick stop",
       "Total Time: 2.00\nTick (1 calls, %100.00 time): 2.00 (2.00 avg, 2.00 longest)\n"},
      {"<Early >Early quiet <Hidden +1 >Hidden stop", "Total Time: 1.00\n"},
      {"run <Open +2 stop", "Total Time: 2.00\nOpen (1 calls, %0.00 time): 0.00 (0.00 avg, 0.00 longest)\n"},
      {"run <Open +2 stop run stop", "Total Time: 0.00\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Report(c.script), c.report) << c.script;
}

}  // namespace
