#include "platform/ddraw/CopyStores.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <utility>

#include "platform/cpu/CacheSizes.h"
#include "platform/win/threads/Time.h"

namespace plat::ddraw {

// The sizes tried, the shortest copy each way over their trials so far, and the timer of the trials.
class TriedSizes {
 public:
  explicit TriedSizes(TrialTimer& timer) : mTimer(timer) {}

  std::optional<Stores> Known(std::size_t bytes) {
    const std::lock_guard lock(mMutex);
    if (const TriedSize* tried = Find(bytes)) return tried->Verdict();
    if (mCount == kMostTriedSizes) return Stores::kThroughCaches;
    return std::nullopt;
  }

  int TrialsMade(std::size_t bytes) {
    const std::lock_guard lock(mMutex);
    const TriedSize* tried = Find(bytes);
    return tried ? tried->trials : 0;
  }

  void Copy(std::size_t bytes, const std::function<void(Stores)>& copy) {
    std::unique_lock lock(mMutex);
    TriedSize* tried = Find(bytes);
    const std::chrono::microseconds now(CurrentClock().NowMicros());
    if (!tried && mCount < kMostTriedSizes) {
      tried = &mTried[mCount++];
      tried->bytes = bytes;
    } else if (!tried || !tried->TrialDue(now)) {
      const Stores stores = tried ? tried->Verdict() : Stores::kThroughCaches;
      lock.unlock();
      return copy(stores);
    }
    // Under the lock: a copy of the same size on another thread waits for the verdict.
    Trial(*tried, copy);
    tried->lastTrial = now;
  }

 private:
  struct TriedSize {
    std::size_t bytes = 0;
    std::chrono::nanoseconds shortestThrough = std::chrono::nanoseconds::max(), shortestPast = shortestThrough;
    int trials = 0;
    std::chrono::microseconds lastTrial{};

    bool TrialDue(std::chrono::microseconds now) const { return trials < kTrials && now >= lastTrial + kTrialSpacing; }
    // On a tie the target is better left in the caches.
    Stores Verdict() const { return shortestPast < shortestThrough ? Stores::kPastCaches : Stores::kThroughCaches; }
  };

  TriedSize* Find(std::size_t bytes) {
    const auto end = mTried.begin() + static_cast<std::ptrdiff_t>(mCount);
    const auto tried = std::find_if(mTried.begin(), end, [&](const TriedSize& size) { return size.bytes == bytes; });
    return tried == end ? nullptr : &*tried;
  }

  void Trial(TriedSize& tried, const std::function<void(Stores)>& copy) {
    for (int round = 0; round < kTrialRounds; ++round) {
      for (int i = 0; i < kTrialRun; ++i)
        tried.shortestThrough = std::min(tried.shortestThrough, mTimer.Time(Stores::kThroughCaches, copy));
      for (int i = 0; i < kTrialRun; ++i)
        tried.shortestPast = std::min(tried.shortestPast, mTimer.Time(Stores::kPastCaches, copy));
    }
    ++tried.trials;
  }

  TrialTimer& mTimer;
  std::mutex mMutex;
  std::array<TriedSize, kMostTriedSizes> mTried{};
  std::size_t mCount = 0;
};

namespace {

class MonotonicTimer final : public TrialTimer {
 public:
  std::chrono::nanoseconds Time(Stores stores, const std::function<void(Stores)>& copy) override {
    const auto start = std::chrono::steady_clock::now();
    copy(stores);
    return std::chrono::steady_clock::now() - start;
  }
};

TrialTimer& Monotonic() {
  static MonotonicTimer timer;
  return timer;
}

// The table a ScopedStoreTrials puts in use, or nullptr for the run's own.
std::atomic<TriedSizes*> gForced{nullptr};

TriedSizes& InUse() {
  if (TriedSizes* forced = gForced.load(std::memory_order_acquire)) return *forced;
  static TriedSizes run(Monotonic());
  return run;
}

// The stores the caches' sizes settle; nullopt in the band between.
std::optional<Stores> SettledBySizes(std::size_t bytes) {
  switch (cache::FitOf(2 * bytes)) {
    case cache::Fit::kOwnLevel:
      return Stores::kThroughCaches;
    case cache::Fit::kNoLevel:
      return Stores::kPastCaches;
    case cache::Fit::kSharedLevels:
      break;
  }
  return std::nullopt;
}

}  // namespace

void CopyWithChosenStores(std::size_t bytes, const std::function<void(Stores)>& copy) {
  if (const std::optional<Stores> settled = SettledBySizes(bytes)) return copy(*settled);
  InUse().Copy(bytes, copy);
}

std::optional<Stores> KnownStores(std::size_t bytes) {
  if (const std::optional<Stores> settled = SettledBySizes(bytes)) return settled;
  return InUse().Known(bytes);
}

int TrialsMade(std::size_t bytes) { return SettledBySizes(bytes) ? 0 : InUse().TrialsMade(bytes); }

ScopedStoreTrials::ScopedStoreTrials() : ScopedStoreTrials(Monotonic()) {}

ScopedStoreTrials::ScopedStoreTrials(TrialTimer& timer)
    : mTried(std::make_unique<TriedSizes>(timer)), mPrevious(gForced.exchange(mTried.get())) {}

ScopedStoreTrials::~ScopedStoreTrials() { gForced.store(mPrevious); }

}  // namespace plat::ddraw
