// Kit::PerfTimer: a stopwatch in milliseconds on the high-resolution counter.
#pragma once

#include <cstdint>

namespace Kit {

class PerfTimer {
 public:
  PerfTimer() = default;

  void Start();
  // Fixes the duration; does nothing unless running.
  void Stop();
  // Milliseconds since Start: live while running, fixed after Stop.
  double GetDuration();

 private:
  void CalcDuration();

  std::int64_t mStart = 0;
  double mDuration = 0;
  bool mRunning = false;
};

}  // namespace Kit
