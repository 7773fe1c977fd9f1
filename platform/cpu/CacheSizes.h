// The sizes of the caches a core works in, beside the vector level: read once, when first asked for
// (SysfsCaches.h says from where), and what one processor can count on keeping in them. A copy larger
// than that is better stored past the caches, one within its own second level through them
// (platform/ddraw's plain copies). Tests and benchmarks put other sizes in for a while. Any thread may
// read them.
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

// Where the bytes that a copy reads and writes (its source and its target together) can stay while it
// runs, by the sizes in use.
enum class Fit {
  // Within the processor's share of its second level (the whole level where no other processor shares
  // it). So is everything where the sizes are not known, and within the processor's share where the
  // second level is not known.
  kOwnLevel,
  // Beyond that, within its share of the second and third levels together.
  kSharedLevels,
  // Beyond its share of every level.
  kNoLevel,
};
Fit FitOf(std::size_t bytes);

// Other sizes in use while it lives (tests and benchmarks: a machine of another kind), then those
// before it.
class ScopedSizes {
 public:
  explicit ScopedSizes(const Sizes& sizes);
  ~ScopedSizes();
  ScopedSizes(const ScopedSizes&) = delete;
  ScopedSizes& operator=(const ScopedSizes&) = delete;

 private:
  const Sizes mSizes;
  const Sizes* mPrevious;
};

}  // namespace plat::cache
