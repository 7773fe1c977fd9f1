// Which stores a large copy uses: settled by the caches' sizes on machines of several kinds, and in the
// band between them by trials, timed here by given times and spaced on a clock the tests step. Each
// way's shortest copy over all the trials so far decides what every later copy of that size does; a
// trial is made once, also when copied from several threads at once, and none once the table is full.
#include "platform/ddraw/CopyStores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

#include "platform/cpu/CacheSizes.h"
#include "platform/win/threads/Time.h"

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
    plat::FakeClock clock;
    const plat::ScopedClock scopedClock(clock);
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

TEST(CopyStores, TheWayWithTheShortestCopyOverAllTrialsSoFarIsKeptForTheSize) {
  // A copy of the frame `afterMillis` after the one before: a trial or not, and the way kept after it.
  struct Copy {
    int afterMillis;
    bool trial;
    Stores kept;
  };
  const struct {
    const char* name;
    std::vector<int> through, past;
    std::vector<Copy> copies;
  } trials[] = {
      {"AMD EPYC, a 32-bit frame", {61, 51, 72, 51}, {69, 68, 69, 68}, {{0, true, kThrough}}},
      {"Intel Xeon, a 32-bit frame", {160, 147}, {125, 118}, {{0, true, kPast}}},
      {"the shortest decides, not the mean", {200, 40, 200, 200}, {50}, {{0, true, kThrough}}},
      {"even: the target is left in the caches", {50}, {50}, {{0, true, kThrough}}},
      {"a verdict that later trials overturn, and one slow trial after does not",
       {90, 90, 90, 90, 51, 51, 51, 51, 95},
       {70},
       {{0, true, kPast}, {1000, true, kThrough}, {1000, true, kThrough}}},
      {"no new trial before the spacing from the last trial",
       {90, 90, 90, 90, 51},
       {70},
       {{0, true, kPast}, {600, false, kPast}, {399, false, kPast}, {1, true, kThrough}}},
      {"no trial after the last one",
       {90},
       {70},
       {{0, true, kPast},
        {1000, true, kPast},
        {1000, true, kPast},
        {1000, true, kPast},
        {1000, true, kPast},
        {60'000, false, kPast}}},
  };
  for (const auto& trial : trials) {
    SCOPED_TRACE(trial.name);
    plat::FakeClock clock;
    const plat::ScopedClock scopedClock(clock);
    const plat::cache::ScopedSizes sizes(kEpyc);
    GivenTimes timer(trial.through, trial.past);
    const plat::ddraw::ScopedStoreTrials scoped(timer);
    EXPECT_EQ(plat::ddraw::KnownStores(kFrame32), std::nullopt);
    std::size_t trialsMade = 0;
    for (const Copy& copy : trial.copies) {
      clock.AdvanceMillis(static_cast<std::uint64_t>(copy.afterMillis));
      const std::vector<Stores> made = CopyOnce(kFrame32);
      trialsMade += copy.trial;
      EXPECT_EQ(made.size(), copy.trial ? kTrialCopies : 1u) << "after " << copy.afterMillis << " ms";
      EXPECT_EQ(plat::ddraw::KnownStores(kFrame32), copy.kept) << "after " << copy.afterMillis << " ms";
      EXPECT_EQ(plat::ddraw::TrialsMade(kFrame32), static_cast<int>(trialsMade));
    }
    EXPECT_EQ(std::vector(timer.timed.begin(), timer.timed.begin() + kTrialCopies),
              (std::vector{kThrough, kThrough, kPast, kPast, kThrough, kThrough, kPast, kPast}));
    EXPECT_EQ(CopyOnce(kFrame32), std::vector{trial.copies.back().kept});
  }
}

TEST(CopyStores, ATrialIsMadeOnceFromAnyThreadAndNoneOnceTheTableIsFull) {
  plat::FakeClock clock;
  const plat::ScopedClock scopedClock(clock);
  const plat::cache::ScopedSizes sizes(kEpyc);
  GivenTimes timer({20}, {10});
  const plat::ddraw::ScopedStoreTrials trials(timer);
  for (std::size_t trial = 1; trial <= 2; ++trial) {
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) threads.emplace_back([] { CopyOnce(kFrame16); });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(timer.timed.size(), trial * kTrialCopies);
    clock.AdvanceMillis(1000);
  }
  for (std::size_t size = 1; size < plat::ddraw::kMostTriedSizes; ++size) CopyOnce(kFrame16 + size);
  EXPECT_EQ(timer.timed.size(), kTrialCopies * (plat::ddraw::kMostTriedSizes + 1));
  EXPECT_EQ(plat::ddraw::KnownStores(kFrame32), kThrough);
  EXPECT_EQ(CopyOnce(kFrame32), std::vector{kThrough});
  EXPECT_EQ(timer.timed.size(), kTrialCopies * (plat::ddraw::kMostTriedSizes + 1));
}

}  // namespace
}  // namespace copy_stores_test
