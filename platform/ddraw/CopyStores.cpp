#include "platform/ddraw/CopyStores.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <utility>

#include "platform/cpu/CacheSizes.h"

namespace plat::ddraw {

// The sizes tried and the way found faster for each, and the timer of the trials still to come.
class TriedSizes {
 public:
  explicit TriedSizes(TrialTimer& timer) : mTimer(timer) {}

  std::optional<Stores> Known(std::size_t bytes) {
    const std::lock_guard lock(mMutex);
    return KnownLocked(bytes);
  }

  void Copy(std::size_t bytes, const std::function<void(Stores)>& copy) {
    std::unique_lock lock(mMutex);
    if (const std::optional<Stores> known = KnownLocked(bytes)) {
      lock.unlock();
      return copy(*known);
    }
    // Under the lock: a copy of the same size on another thread waits for the verdict.
    mTried[mCount++] = {bytes, Trial(copy)};
  }

 private:
  std::optional<Stores> KnownLocked(std::size_t bytes) const {
    const auto end = mTried.begin() + static_cast<std::ptrdiff_t>(mCount);
    const auto tried = std::find_if(mTried.begin(), end, [&](const auto& entry) { return entry.first == bytes; });
    if (tried != end) return tried->second;
    if (mCount == kMostTriedSizes) return Stores::kThroughCaches;
    return std::nullopt;
  }

  Stores Trial(const std::function<void(Stores)>& copy) {
    std::chrono::nanoseconds shortestThrough = std::chrono::nanoseconds::max(), shortestPast = shortestThrough;
    for (int round = 0; round < kTrialRounds; ++round) {
      for (int i = 0; i < kTrialRun; ++i)
        shortestThrough = std::min(shortestThrough, mTimer.Time(Stores::kThroughCaches, copy));
      for (int i = 0; i < kTrialRun; ++i) shortestPast = std::min(shortestPast, mTimer.Time(Stores::kPastCaches, copy));
    }
    // On a tie the target is better left in the caches.
    return shortestPast < shortestThrough ? Stores::kPastCaches : Stores::kThroughCaches;
  }

  TrialTimer& mTimer;
  std::mutex mMutex;
  std::array<std::pair<std::size_t, Stores>, kMostTriedSizes> mTried{};
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

ScopedStoreTrials::ScopedStoreTrials() : ScopedStoreTrials(Monotonic()) {}

ScopedStoreTrials::ScopedStoreTrials(TrialTimer& timer)
    : mTried(std::make_unique<TriedSizes>(timer)), mPrevious(gForced.exchange(mTried.get())) {}

ScopedStoreTrials::~ScopedStoreTrials() { gForced.store(mPrevious); }

}  // namespace plat::ddraw
