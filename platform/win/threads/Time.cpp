#include "platform/win/threads/Time.h"

#include <chrono>
#include <thread>

namespace plat {
namespace {

std::atomic<Clock*> gInstalledClock{nullptr};

// The system clock, made before the program runs and never destroyed: no use of it takes a lock (the
// crash watchdog reads the clock after a fault, when the faulting thread may hold any), and threads
// that outlive main may still read it.
union SystemClockStorage {
  constexpr SystemClockStorage() : clock() {}
  ~SystemClockStorage() {}
  SystemClock clock;
};
constinit SystemClockStorage gSystemClock;

}  // namespace

std::uint64_t SystemClock::NowMicros() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::SleepMicros(std::uint64_t micros) { std::this_thread::sleep_for(std::chrono::microseconds(micros)); }

Clock& CurrentClock() {
  Clock* clock = gInstalledClock.load();
  return clock ? *clock : gSystemClock.clock;
}

Clock* SetClock(Clock* clock) { return gInstalledClock.exchange(clock); }

}  // namespace plat

// Windows' millisecond counters wrap at 2^32; the truncation reproduces that.
DWORD timeGetTime() { return static_cast<DWORD>(plat::CurrentClock().NowMicros() / 1000); }

DWORD GetTickCount() { return timeGetTime(); }

BOOL QueryPerformanceCounter(LARGE_INTEGER* counter) {
  if (!counter) return FALSE;
  counter->QuadPart = static_cast<LONGLONG>(plat::CurrentClock().NowMicros());
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (!frequency) return FALSE;
  frequency->QuadPart = 1'000'000;
  return TRUE;
}

void Sleep(DWORD milliseconds) { plat::CurrentClock().SleepMicros(static_cast<std::uint64_t>(milliseconds) * 1000); }

// Linux timers already have millisecond resolution; the period calls only need to succeed.
MMRESULT timeBeginPeriod(UINT) { return TIMERR_NOERROR; }
MMRESULT timeEndPeriod(UINT) { return TIMERR_NOERROR; }
