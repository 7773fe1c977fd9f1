// A test clock that moves one microsecond every time it is read, so that code spinning on the
// counter finishes, and finishes after an exact number of microseconds.
#pragma once

#include "platform/win/threads/Time.h"

namespace testsupport {

class StepClock final : public plat::Clock {
 public:
  std::uint64_t NowMicros() override { return mNow++; }
  void SleepMicros(std::uint64_t micros) override { mNow += micros; }

 private:
  std::uint64_t mNow = 5'000'000;
};

}  // namespace testsupport
