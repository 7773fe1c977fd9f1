// Frame times beside the mean: each pass of a benchmark loop is timed on its own, and the median
// (p50_us) and the 99th percentile (p99_us) of those times are reported as counters. The times are the
// benchmark thread's processor time, so that a machine busy with other work does not count against
// the frame (the mean in real time is there beside them).
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <vector>

namespace benchsupport {

class FrameTimes {
 public:
  // Times the frame it lives through.
  class Frame {
   public:
    explicit Frame(FrameTimes& times) : mTimes(times), mStart(ThreadMicros()) {}
    ~Frame() { mTimes.mMicros.push_back(ThreadMicros() - mStart); }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

   private:
    FrameTimes& mTimes;
    double mStart;
  };

  Frame Time() { return Frame(*this); }

  void Report(benchmark::State& state) {
    if (mMicros.empty()) return;
    std::sort(mMicros.begin(), mMicros.end());
    const auto at = [this](double share) { return mMicros[static_cast<size_t>(share * (mMicros.size() - 1))]; };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
  }

 private:
  static double ThreadMicros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
  }

  std::vector<double> mMicros;
};

}  // namespace benchsupport
