// The sizes of the caches a core works in, beside the vector level: read once, when first asked for
// (SysfsCaches.h says from where), and what one processor can count on keeping near it. A copy within
// that stores through the caches, a larger one past them (platform/ddraw's plain copies). Tests and
// benchmarks put other sizes in for a while. Any thread may read them.
#pragma once

#include <cstddef>

#include "platform/util/ScopedValue.h"

namespace plat::cache {

// Each level's bytes (0 where there is none or it is not known) and the processors that share it.
struct Sizes {
  std::size_t level2 = 0;
  int level2Sharers = 1;
  std::size_t level3 = 0;
  int level3Sharers = 1;

  friend bool operator==(const Sizes&, const Sizes&) = default;
};

// The largest third level that counts as near its cores. One of at most this size is one core
// complex's (AMD's, up to 8 cores, each a hop from every part of it) or one ring's (Intel's desktop
// parts), and serves a core faster than the core writes to memory: on an AMD EPYC (Zen 3, 512 KiB L2,
// 32 MiB L3 for 8) a 32-bit 800 x 600 frame copies through the caches in 59-64 us, streamed in 104. A
// larger one spans a whole chip's mesh and serves a core slower (an Intel Xeon's 105 MiB: 147 us
// through, 118 streamed); in a virtual machine its sharers look like the guest's few processors only,
// so its size, not that share, is what tells. AMD's stacked 96 MiB parts count as far too, and stream.
inline constexpr std::size_t kMostNearLevel3 = std::size_t{36} << 20;

// What one processor can count on keeping near it while it works: an even share of the second level
// among the processors that share it, and of the third where that is near (it holds what the second
// lets go, as on AMD's and Intel's server cores), the two added; 0 where neither is known.
std::size_t ShareOf(const Sizes& sizes);

// The sizes read from the system, once (at the first call).
const Sizes& Machine();

// ShareOf the sizes in use: the machine's, or those of a ScopedSizes.
std::size_t ProcessorShare();

// Whether the bytes that a copy reads and writes (its source and its target together) stay within
// ShareOf the sizes in use while it runs; so do all where the share is not known.
bool FitsNearCaches(std::size_t bytes);

// Puts `sizes` in use (nullptr: the machine's own) and returns those it replaces. The caller keeps them
// alive while in use.
const Sizes* SetSizes(const Sizes* sizes);

// Other sizes in use while it lives (tests and benchmarks: a machine of another kind), then those
// before it.
class ScopedSizes {
 public:
  explicit ScopedSizes(const Sizes& sizes) : mSizes(sizes), mInUse(&mSizes) {}

 private:
  const Sizes mSizes;
  ScopedValue<const Sizes*, SetSizes> mInUse;
};

}  // namespace plat::cache
