#include "tests/crash/SteppedClock.h"

namespace crashtest {

std::uint64_t SteppedClock::NowMicros() {
  const std::lock_guard lock(mMutex);
  return mNow;
}

void SteppedClock::SleepMicros(std::uint64_t micros) {
  std::unique_lock lock(mMutex);
  const std::uint64_t wake = mNow + micros;
  mWake = wake;
  mChanged.notify_all();
  mChanged.wait(lock, [&] { return mNow >= wake; });
}

std::uint64_t SteppedClock::NextWake() {
  std::unique_lock lock(mMutex);
  mChanged.wait(lock, [&] { return mWake > mNow; });
  return mWake;
}

void SteppedClock::MoveTo(std::uint64_t micros) {
  const std::lock_guard lock(mMutex);
  mNow = micros;
  mChanged.notify_all();
}

}  // namespace crashtest
