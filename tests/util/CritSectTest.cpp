#include "framework/util/CritSect.h"

#include <gtest/gtest.h>

#include <thread>

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

}  // namespace
