// Holds a Kit::CritSect for the lifetime of the object. The display's lock, which may not exist, is
// taken by images through ImageOperationGuard (framework/graphics/ImageLock.h).
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
