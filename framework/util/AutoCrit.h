// Holds a Kit::CritSect for the lifetime of the object; MaybeAutoCrit holds one only when there is one
// (a display's lock, say, while the display exists).
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

class MaybeAutoCrit {
 public:
  explicit MaybeAutoCrit(CritSect* section) : mSection(section) {
    if (mSection) EnterCriticalSection(&mSection->mCriticalSection);
  }
  ~MaybeAutoCrit() {
    if (mSection) LeaveCriticalSection(&mSection->mCriticalSection);
  }
  MaybeAutoCrit(const MaybeAutoCrit&) = delete;
  MaybeAutoCrit& operator=(const MaybeAutoCrit&) = delete;

 private:
  CritSect* mSection;
};

}  // namespace Kit
