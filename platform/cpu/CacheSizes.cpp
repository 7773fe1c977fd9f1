#include "platform/cpu/CacheSizes.h"

#include <atomic>

#include "platform/cpu/SysfsCaches.h"

namespace plat::cache {
namespace {

// The sizes SetSizes put in use, or nullptr for the machine's own.
std::atomic<const Sizes*> gForced{nullptr};

std::size_t EvenShare(std::size_t bytes, int sharers) {
  return bytes / static_cast<std::size_t>(sharers > 1 ? sharers : 1);
}

const Sizes& InUse() {
  const Sizes* forced = gForced.load(std::memory_order_acquire);
  return forced ? *forced : Machine();
}

}  // namespace

std::size_t ShareOf(const Sizes& sizes) {
  const std::size_t level3 = sizes.level3 <= kMostNearLevel3 ? sizes.level3 : 0;
  return EvenShare(sizes.level2, sizes.level2Sharers) + EvenShare(level3, sizes.level3Sharers);
}

// Read at the first call: a static of the function, so that no other file's start-up code finds it unread.
const Sizes& Machine() {
  static const Sizes sizes = ReadSysfsCaches(kSysfsCacheFolder);
  return sizes;
}

std::size_t ProcessorShare() { return ShareOf(InUse()); }

bool FitsNearCaches(std::size_t bytes) {
  const std::size_t share = ProcessorShare();
  return share == 0 || bytes <= share;
}

const Sizes* SetSizes(const Sizes* sizes) { return gForced.exchange(sizes); }

}  // namespace plat::cache
