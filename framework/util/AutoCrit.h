// Holds a Kit::CritSect for the lifetime of the object.
#pragma once

#include "framework/util/CritSect.h"

namespace Kit {

class AutoCrit {
 public:
  explicit AutoCrit(CritSect& section) : mSection(section) { EnterCriticalSection(&mSection.mCriticalSection); }
  ~AutoCrit() { LeaveCriticalSection(&mSection.mCriticalSection); }
  AutoCrit(const AutoCrit&) = delete;
  AutoCrit& operator=(const AutoCrit&) = delete;

 private:
  CritSect& mSection;
};

}  // namespace Kit
