#include "platform/cpu/CacheSizes.h"

#include <atomic>
#include <limits>

#include "platform/cpu/SysfsCaches.h"

namespace plat::cache {
namespace {

// The share a ScopedSizes puts in use, or kMachine for the machine's own.
constexpr std::size_t kMachine = std::numeric_limits<std::size_t>::max();
std::atomic<std::size_t> gForced{kMachine};

}  // namespace

std::size_t ShareOf(const Sizes& sizes) {
  auto share = [](std::size_t bytes, int sharers) {
    return bytes / static_cast<std::size_t>(sharers > 1 ? sharers : 1);
  };
  return share(sizes.level2, sizes.level2Sharers) + share(sizes.level3, sizes.level3Sharers);
}

// Read at the first call: a static of the function, so that no other file's start-up code finds it unread.
const Sizes& Machine() {
  static const Sizes sizes = ReadSysfsCaches(kSysfsCacheFolder);
  return sizes;
}

std::size_t ProcessorShare() {
  const std::size_t forced = gForced.load(std::memory_order_relaxed);
  if (forced != kMachine) return forced;
  static const std::size_t machine = ShareOf(Machine());
  return machine;
}

bool Overflows(std::size_t bytes) {
  const std::size_t share = ProcessorShare();
  return share != 0 && bytes > share;
}

ScopedSizes::ScopedSizes(const Sizes& sizes) : mPrevious(gForced.exchange(ShareOf(sizes))) {}

ScopedSizes::~ScopedSizes() { gForced.store(mPrevious); }

}  // namespace plat::cache
