// How a large copy between separate memories stores: through the caches (plain stores, which leave the
// target there for what reads it next) or past them (streaming stores, which neither push out what the
// copy wrote before it is done nor read each target line before writing it over).
// The caches' sizes (platform/cpu/CacheSizes.h) settle two cases: source and target within the
// processor's own second level go through, beyond its share of every level past. Between the two they
// cannot. There the frames stay in the third level, and whether that is worth more than streaming
// depends on how near that level is to the core, which no size says: an AMD EPYC's, one per complex of
// cores, serves a core faster than it could write to memory (a 32-bit frame copied through it in 52 us,
// streamed in 70), while an Intel Xeon's, one for the whole chip across its mesh, serves it slower
// (147 through, 118 for SDL's streaming copy), and in a virtual machine the Xeon's 105 to 320 MiB look
// shared by the machine's few processors only, so the share even looks the larger. So the machine is
// asked: copies of each size in that band are tried both ways in turn, at the first copy and a few
// times more spaced out on the program's clock (platform/win/threads/Time.h), and each copy takes the way
// whose shortest copy over all those trials so far is the shorter. Any thread may copy; one trial runs
// at a time.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

namespace plat::ddraw {

enum class Stores { kThroughCaches, kPastCaches };

// Makes a copy of `bytes` between separate memories (`bytes` each: their sum is what the caches must
// hold) by calling `copy` with the stores it is to use: once, or, where a trial of this size is due,
// kTrialCopies times, each way in turn. Where the table of tried sizes is full, a size not in it goes
// through the caches, as the sizes lean.
void CopyWithChosenStores(std::size_t bytes, const std::function<void(Stores)>& copy);

// The stores a copy of `bytes` uses when no trial is due: as the caches' sizes settle it, or as the
// trials of that size so far found; nullopt before the first.
std::optional<Stores> KnownStores(std::size_t bytes);

// The trials made of `bytes` so far (0 where the sizes settle it); at kTrials its way is final.
int TrialsMade(std::size_t bytes);

// A trial: rounds of two copies through the caches, then two past them. Only the second of two alike
// shows its way as it runs frame after frame: the first finds the caches as the other way left them
// (through after past, the target's lines are to be read from memory again; past after through, they
// are to be put out of the caches first), and alternating single copies made each way look alike
// here. Each way's shortest copy over all the trials of a size so far decides.
inline constexpr int kTrialRounds = 2;
inline constexpr int kTrialRun = 2;
inline constexpr int kTrialCopies = kTrialRounds * kTrialRun * 2;
// A trial measures the machine as it is then. On an AMD EPYC under KVM, where the copy through the
// caches is almost always the faster way, a single trial made as a program started kept streaming for
// 42 of 240 frames: in a young program that copy ran up to 1.8 times slower, for seconds at a time, and
// later trials found it so less and less often (of 45 programs' five trials a second apart, the first
// lost for 25 of 90 frames, the second for 6, the last for 1). A disturbance only lengthens a copy, so
// each way's shortest copy over several trials is its own time once any one of them found the machine
// undisturbed. Five, at the first copy and then at the first copy a second or more after the last, kept
// streaming for 3 frames of 240 (not all wrongly: now and then a program copies through the caches
// slower all run), and the way is final four seconds into a run. A trial costs 7 copies more, at most
// 0.52 ms in one frame at 32 bits here; the five, 2.6 ms over a run (about 5 on a Xeon).
inline constexpr int kTrials = 5;
inline constexpr std::chrono::microseconds kTrialSpacing = std::chrono::seconds(1);
// The most sizes a run keeps the trials' times for.
inline constexpr std::size_t kMostTriedSizes = 8;

// What times a trial's copies: the monotonic clock, or a test's.
class TrialTimer {
 public:
  virtual ~TrialTimer() = default;
  // Makes a copy (`copy`, called once with `stores`) and says how long it took.
  virtual std::chrono::nanoseconds Time(Stores stores, const std::function<void(Stores)>& copy) = 0;
};

class TriedSizes;

// A timer and an empty table of tried sizes in use while it lives (tests: timings given; benchmarks:
// the first copy of a size again), then those before it. The spacing of trials is on the program's
// clock, which tests replace.
class ScopedStoreTrials {
 public:
  // The monotonic clock.
  ScopedStoreTrials();
  explicit ScopedStoreTrials(TrialTimer& timer);
  ~ScopedStoreTrials();
  ScopedStoreTrials(const ScopedStoreTrials&) = delete;
  ScopedStoreTrials& operator=(const ScopedStoreTrials&) = delete;

 private:
  std::unique_ptr<TriedSizes> mTried;
  TriedSizes* mPrevious;
};

}  // namespace plat::ddraw
