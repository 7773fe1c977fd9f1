// Frame times beside the mean: each pass of a benchmark loop is timed on its own, and the median
// (p50_us) and the 99th percentile (p99_us) of those times are reported as counters.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace benchsupport {

class FrameTimes {
  using Clock = std::chrono::steady_clock;

 public:
  // Times the frame it lives through.
  class Frame {
   public:
    explicit Frame(FrameTimes& times) : mTimes(times), mStart(Clock::now()) {}
    ~Frame() { mTimes.mMicros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - mStart).count()); }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

   private:
    FrameTimes& mTimes;
    Clock::time_point mStart;
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
  std::vector<double> mMicros;
};

}  // namespace benchsupport
