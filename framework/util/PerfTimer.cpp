#include "framework/util/PerfTimer.h"

#include "platform/win/threads/Time.h"

namespace Kit {

void PerfTimer::Start() {
  mRunning = true;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  mStart = now.QuadPart;
}

void PerfTimer::Stop() {
  if (!mRunning) return;
  CalcDuration();
  mRunning = false;
}

double PerfTimer::GetDuration() {
  if (mRunning) CalcDuration();
  return mDuration;
}

void PerfTimer::CalcDuration() {
  LARGE_INTEGER now{};
  LARGE_INTEGER frequency{};
  QueryPerformanceCounter(&now);
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return;
  std::int64_t elapsedTimesThousand = (now.QuadPart - mStart) * 1000;
  mDuration = static_cast<double>(elapsedTimesThousand) / static_cast<double>(frequency.QuadPart);
}

}  // namespace Kit
