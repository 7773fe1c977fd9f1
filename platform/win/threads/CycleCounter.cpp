#include "platform/win/threads/CycleCounter.h"

#include <chrono>

#include "platform/win/threads/Time.h"

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace plat {

ULONGLONG ReadCycleCounter() {
  Clock& clock = CurrentClock();
  if (dynamic_cast<SystemClock*>(&clock) == nullptr) return clock.NowMicros() * 1000;
#if defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return static_cast<ULONGLONG>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
#endif
}

}  // namespace plat
