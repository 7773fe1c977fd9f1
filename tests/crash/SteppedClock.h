// A clock for the crash watchdog's tests that stands still until the test moves it, each time to the
// moment a sleep on it ends: the watchdog, sleeping between its looks, is stepped through seconds of a
// hang one look at a time, as fast as it looks. One thread sleeps on it at a time; any thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/win/threads/Time.h"

namespace crashtest {

class SteppedClock final : public plat::Clock {
 public:
  std::uint64_t NowMicros() override;
  // Returns once the clock has been moved to the end of the sleep.
  void SleepMicros(std::uint64_t micros) override;

  // Waits until a thread sleeps on the clock; the time its sleep ends.
  std::uint64_t NextWake();
  // Sets the clock, which wakes a sleep that ends by then.
  void MoveTo(std::uint64_t micros);

 private:
  std::mutex mMutex;
  std::condition_variable mChanged;
  std::uint64_t mNow = 1'000'000;
  std::uint64_t mWake = 0;
};

}  // namespace crashtest
