#include "framework/util/CritSect.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "framework/util/AutoCrit.h"

namespace {

using Kit::AutoCrit;
using Kit::CritSect;

bool OtherThreadCanEnter(CritSect& section) {
  bool entered = false;
  std::thread other([&] {
    entered = TryEnterCriticalSection(&section.mCriticalSection) != FALSE;
    if (entered) LeaveCriticalSection(&section.mCriticalSection);
  });
  other.join();
  return entered;
}

TEST(CritSect, HolderMayEnterAgainAndOthersWaitUntilTheLastLeave) {
  CritSect section;
  EnterCriticalSection(&section.mCriticalSection);
  {
    AutoCrit again(section);  // re-entrant for its holder
    EXPECT_FALSE(OtherThreadCanEnter(section));
  }
  EXPECT_FALSE(OtherThreadCanEnter(section));  // still held once
  LeaveCriticalSection(&section.mCriticalSection);
  EXPECT_TRUE(OtherThreadCanEnter(section));
}

TEST(CritSect, ScopedLockGuardsSharedStateAcrossThreads) {
  CritSect section;
  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        AutoCrit lock(section);
        long seen = counter;
        counter = seen + 1;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 80000);
}

}  // namespace
