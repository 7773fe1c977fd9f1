#include "framework/util/CpuSpeed.h"

#include "platform/win/threads/CycleCounter.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"

namespace Kit {

namespace {

std::uint64_t gCpuSpeed = 0;

// Raises the calling thread's priority for the measurement, so that being scheduled out does not
// stretch it, and restores it afterwards.
class RaisedPriority {
 public:
  RaisedPriority() : mPrevious(GetThreadPriority(GetCurrentThread())) {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  }
  ~RaisedPriority() { SetThreadPriority(GetCurrentThread(), mPrevious); }
  RaisedPriority(const RaisedPriority&) = delete;
  RaisedPriority& operator=(const RaisedPriority&) = delete;

 private:
  int mPrevious;
};

std::uint64_t MeasureCpuSpeed() {
  RaisedPriority raised;
  LARGE_INTEGER frequency{};
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return 0;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const LONGLONG target = now.QuadPart + frequency.QuadPart / 100;
  const ULONGLONG startCycles = plat::ReadCycleCounter();
  do {
    QueryPerformanceCounter(&now);
  } while (now.QuadPart < target);
  const ULONGLONG endCycles = plat::ReadCycleCounter();
  return (endCycles - startCycles) * 100;
}

}  // namespace

std::uint64_t GetCpuSpeed() {
  if (gCpuSpeed == 0) {
    gCpuSpeed = MeasureCpuSpeed();
    if (gCpuSpeed == 0) gCpuSpeed = 1;
  }
  return gCpuSpeed;
}

void ForgetCpuSpeed() { gCpuSpeed = 0; }

}  // namespace Kit
