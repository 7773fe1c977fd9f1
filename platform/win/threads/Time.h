// Time services: the multimedia timer, tick count, performance counter and Sleep, all read from one
// replaceable clock so that tests can run frame loops instantly and exactly.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/util/ScopedValue.h"
#include "platform/win/Types.h"

DWORD timeGetTime();
DWORD GetTickCount();
BOOL QueryPerformanceCounter(LARGE_INTEGER* counter);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void Sleep(DWORD milliseconds);
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);

constexpr MMRESULT TIMERR_NOERROR = 0;

namespace plat {

// The source of time behind every time call above.
class Clock {
 public:
  virtual ~Clock() = default;
  // Microseconds since an arbitrary fixed origin; never goes backwards.
  virtual std::uint64_t NowMicros() = 0;
  virtual void SleepMicros(std::uint64_t micros) = 0;
};

// The real monotonic clock; the default.
class SystemClock final : public Clock {
 public:
  std::uint64_t NowMicros() override;
  void SleepMicros(std::uint64_t micros) override;
};

// A clock that only moves when told to: Sleep advances it by the time slept and returns at once.
// Thread-safe, so the program's worker threads may read it while a test advances it.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(std::uint64_t startMicros = 1'000'000) : mNow(startMicros) {}
  std::uint64_t NowMicros() override { return mNow.load(); }
  void SleepMicros(std::uint64_t micros) override { Advance(micros); }
  void Advance(std::uint64_t micros) { mNow.fetch_add(micros); }
  void AdvanceMillis(std::uint64_t millis) { Advance(millis * 1000); }
  void SetMicros(std::uint64_t micros) { mNow.store(micros); }

 private:
  std::atomic<std::uint64_t> mNow;
};

// The clock in force; the system clock unless a test installed another.
[[nodiscard]] Clock& CurrentClock();
// Installs a clock (nullptr restores the system clock) and returns the one it replaces (nullptr for the
// system clock). The caller keeps it alive while installed.
Clock* SetClock(Clock* clock);

// Installs a clock for the lifetime of the guard and restores the previous one after.
class ScopedClock : public ScopedValue<Clock*, SetClock> {
 public:
  explicit ScopedClock(Clock& clock) : ScopedValue(&clock) {}
};

}  // namespace plat
