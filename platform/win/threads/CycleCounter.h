// The processor's cycle counter, for the profiler and the CPU-speed estimate.
#pragma once

#include "platform/win/Types.h"

namespace plat {

// With the system clock in force, the processor's time-stamp counter (nanoseconds of the monotonic
// clock where the processor has none). With a test clock installed (plat::SetClock), the clock's
// time at a nominal 1 GHz, so that timings measured in cycles follow the test's clock exactly.
[[nodiscard]] ULONGLONG ReadCycleCounter();

}  // namespace plat
