// Which stores a large copy uses: settled by the caches' sizes on machines of several kinds, and in the
// band between them by a trial, timed here by given times (never by the clock). The way with the
// shorter shortest copy is what every later copy of that size does; a size is tried once, also when
// copied from several threads at once, and none once the table is full.
#include "platform/ddraw/CopyStores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

#include "platform/cpu/CacheSizes.h"

namespace copy_stores_test {
namespace {

using plat::ddraw::Stores;
constexpr Stores kThrough = Stores::kThroughCaches, kPast = Stores::kPastCaches;
constexpr std::size_t kMiB = 1024 * 1024, kFrame16 = 800 * 600 * 2, kFrame32 = 800 * 600 * 4;
constexpr std::size_t kTrialCopies = plat::ddraw::kTrialCopies;
// The band from 1 MiB to 5 MiB of source and target, as on an AMD EPYC (Zen 4) of 8 processors.
constexpr plat::cache::Sizes kEpyc{kMiB, 1, 32 * kMiB, 8};

// Each way's copies take the given microseconds in turn (the last again after); the ways are noted.
// Not locked: trials on two threads at once are a race ThreadSanitizer reports.
class GivenTimes final : public plat::ddraw::TrialTimer {
 public:
  GivenTimes(std::vector<int> through, std::vector<int> past) : mTimes{std::move(through), std::move(past)} {}
  std::chrono::nanoseconds Time(Stores stores, const std::function<void(Stores)>& copy) override {
    copy(stores);
    const std::vector<int>& times = mTimes[stores == kPast];
    const auto made = static_cast<std::size_t>(std::count(timed.begin(), timed.end(), stores));
    timed.push_back(stores);
    return std::chrono::microseconds(times[std::min(made, times.size() - 1)]);
  }
  std::vector<Stores> timed;

 private:
  const std::vector<int> mTimes[2];
};

// The ways of the copies made for one copy of `bytes`.
std::vector<Stores> CopyOnce(std::size_t bytes) {
  std::vector<Stores> made;
  plat::ddraw::CopyWithChosenStores(bytes, [&](Stores stores) { made.push_back(stores); });
  return made;
}

TEST(CopyStores, FramesGoThroughOrPastTheCachesByTheirSizesOrByATrialBetween) {
  enum Way { kThroughCaches, kPastCaches, kTried };
  const struct {
    const char* name;
    plat::cache::Sizes sizes;
    Way way16, way32;
  } machines[] = {
      {"AMD EPYC (Zen 4): 1 MiB L2 each, 32 MiB L3 for 8", kEpyc, kTried, kTried},
      {"Intel Xeon: 2 MiB L2 for a core's two threads, 105 MiB L3 for 112",
       {2 * kMiB, 2, 105 * kMiB, 112},
       kTried,
       kPastCaches},
      {"Intel Xeon under KVM: 2 MiB L2 each, 320 MiB L3 for 8", {2 * kMiB, 1, 320 * kMiB, 8}, kThroughCaches, kTried},
      {"4 MiB L2 each, 32 MiB L3 for 8", {4 * kMiB, 1, 32 * kMiB, 8}, kThroughCaches, kThroughCaches},
      {"2 MiB L2, no L3", {2 * kMiB, 1, 0, 1}, kThroughCaches, kPastCaches},
      {"512 KiB L2 each, 8 MiB L3 for 16", {kMiB / 2, 1, 8 * kMiB, 16}, kPastCaches, kPastCaches},
      {"64 MiB L3 for 4, no L2 known", {0, 1, 64 * kMiB, 4}, kThroughCaches, kThroughCaches},
      {"sizes not known", {}, kThroughCaches, kThroughCaches},
  };
  for (const auto& machine : machines) {
    SCOPED_TRACE(machine.name);
    const plat::cache::ScopedSizes sizes(machine.sizes);
    GivenTimes timer({20}, {10});
    const plat::ddraw::ScopedStoreTrials trials(timer);
    std::size_t tried = 0;
    for (const auto& [bytes, way] : {std::pair{kFrame16, machine.way16}, {kFrame32, machine.way32}}) {
      tried += way == kTried;
      EXPECT_EQ(CopyOnce(bytes).size(), way == kTried ? kTrialCopies : 1u) << bytes;
      for (int frame = 1; frame < 3; ++frame)
        EXPECT_EQ(CopyOnce(bytes), std::vector{way == kThroughCaches ? kThrough : kPast}) << bytes;
    }
    EXPECT_EQ(timer.timed.size(), tried * kTrialCopies);
  }
}

TEST(CopyStores, TheWayWithTheShorterShortestCopyIsKeptForTheSize) {
  const struct {
    const char* name;
    std::vector<int> through, past;
    Stores kept;
  } trials[] = {
      {"AMD EPYC, a 32-bit frame", {61, 51, 72, 51}, {69, 68, 69, 68}, kThrough},
      {"Intel Xeon, a 32-bit frame", {160, 147}, {125, 118}, kPast},
      {"the shortest decides, not the mean", {200, 40, 200, 200}, {50}, kThrough},
      {"even: the target is left in the caches", {50}, {50}, kThrough},
  };
  for (const auto& trial : trials) {
    SCOPED_TRACE(trial.name);
    const plat::cache::ScopedSizes sizes(kEpyc);
    GivenTimes timer(trial.through, trial.past);
    const plat::ddraw::ScopedStoreTrials scoped(timer);
    EXPECT_EQ(plat::ddraw::KnownStores(kFrame32), std::nullopt);
    CopyOnce(kFrame32);
    EXPECT_EQ(timer.timed, (std::vector{kThrough, kThrough, kPast, kPast, kThrough, kThrough, kPast, kPast}));
    EXPECT_EQ(plat::ddraw::KnownStores(kFrame32), trial.kept);
    for (int frame = 1; frame < 3; ++frame) EXPECT_EQ(CopyOnce(kFrame32), std::vector{trial.kept});
    EXPECT_EQ(timer.timed.size(), kTrialCopies);
  }
}

TEST(CopyStores, ASizeIsTriedOnceFromAnyThreadAndNoneOnceTheTableIsFull) {
  const plat::cache::ScopedSizes sizes(kEpyc);
  GivenTimes timer({20}, {10});
  const plat::ddraw::ScopedStoreTrials trials(timer);
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) threads.emplace_back([] { CopyOnce(kFrame16); });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(timer.timed.size(), kTrialCopies);
  for (std::size_t size = 1; size < plat::ddraw::kMostTriedSizes; ++size) CopyOnce(kFrame16 + size);
  EXPECT_EQ(timer.timed.size(), kTrialCopies * plat::ddraw::kMostTriedSizes);
  EXPECT_EQ(plat::ddraw::KnownStores(kFrame32), kThrough);
  EXPECT_EQ(CopyOnce(kFrame32), std::vector{kThrough});
  EXPECT_EQ(timer.timed.size(), kTrialCopies * plat::ddraw::kMostTriedSizes);
}

}  // namespace
}  // namespace copy_stores_test
