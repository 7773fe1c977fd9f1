// The sizes of the caches a core works in, beside the vector level: read once, when first asked for
// (SysfsCaches.h says from where), and what one processor can count on keeping in them. A copy larger
// than that is better stored past the caches (platform/ddraw's plain copies). Tests and benchmarks put
// other sizes in for a while. Any thread may read them.
#pragma once

#include <cstddef>

namespace plat::cache {

// Each level's bytes (0 where there is none or it is not known) and the processors that share it.
struct Sizes {
  std::size_t level2 = 0;
  int level2Sharers = 1;
  std::size_t level3 = 0;
  int level3Sharers = 1;

  friend bool operator==(const Sizes&, const Sizes&) = default;
};

// What one processor can count on keeping while it works: an even share of each level among the
// processors that share it, the two added (a third level holds what the second lets go, as on AMD's
// and Intel's server cores; 0 where neither is known).
std::size_t ShareOf(const Sizes& sizes);

// The sizes read from the system, once (at the first call).
const Sizes& Machine();

// ShareOf the sizes in use: the machine's, or those of a ScopedSizes.
std::size_t ProcessorShare();

// Whether `bytes` that a copy reads or writes (its source and its target together) exceed what the
// processor can keep; never where the sizes are not known.
bool Overflows(std::size_t bytes);

// Other sizes in use while it lives (tests and benchmarks: a machine of another kind), then those
// before it.
class ScopedSizes {
 public:
  explicit ScopedSizes(const Sizes& sizes);
  ~ScopedSizes();
  ScopedSizes(const ScopedSizes&) = delete;
  ScopedSizes& operator=(const ScopedSizes&) = delete;

 private:
  std::size_t mPrevious;
};

}  // namespace plat::cache
