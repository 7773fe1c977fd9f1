#include "platform/cpu/SimdLevel.h"

#include <algorithm>

namespace plat::simd {
namespace {

Level Detect() {
#if KIT_HAVE_AVX2_KERNELS
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return Level::kAvx2;
#endif
#if defined(__SSE2__)
  return Level::kSse2;
#else
  return Level::kScalar;
#endif
}

const Level gSupported = Detect();

}  // namespace

std::atomic<Level> gActive{gSupported};

Level Supported() { return gSupported; }

void Limit(Level level) { gActive.store(std::min(gSupported, level), std::memory_order_relaxed); }

}  // namespace plat::simd
