// Kit::CritSect: owns an operating-system critical section for its lifetime. Re-entrant for the
// thread that holds it. Lock it with EnterCriticalSection/LeaveCriticalSection on mCriticalSection,
// or through a scoped lock.
#pragma once

#include "platform/win/threads/Sync.h"

namespace Kit {

class CritSect {
 public:
  CritSect() { InitializeCriticalSection(&mCriticalSection); }
  ~CritSect() { DeleteCriticalSection(&mCriticalSection); }
  CritSect(const CritSect&) = delete;
  CritSect& operator=(const CritSect&) = delete;

  CRITICAL_SECTION mCriticalSection;
};

}  // namespace Kit
