// The one place that chooses how wide the row kernels work, the framework's drawing kernels and the
// presented frame's rows alike: SSE2 is part of every x86-64 processor, AVX2 is used where the
// processor has it. Tests and the fuzz targets lower the level to compare each width with the plain
// per-pixel code. Any thread may read or limit the level.
#pragma once

#include <atomic>

namespace plat::simd {

enum class Level { kScalar, kSse2, kAvx2 };

// The level in use, read by every kernel call: set when the program starts (until then kScalar).
extern std::atomic<Level> gActive;

// The widest level the processor has, no wider than the limit.
[[nodiscard]] inline Level Active() { return gActive.load(std::memory_order_relaxed); }
// The widest level the processor has.
[[nodiscard]] Level Supported();
// Caps Active() at level (kAvx2: no cap).
void Limit(Level level);

[[nodiscard]] inline bool UseSse2() { return Active() >= Level::kSse2; }
[[nodiscard]] inline bool UseAvx2() { return Active() >= Level::kAvx2; }

}  // namespace plat::simd

// Marks a function compiled for AVX2; it may only run when UseAvx2() holds.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KIT_HAVE_AVX2_KERNELS 1
#define KIT_TARGET_AVX2 __attribute__((target("avx2")))
#else
#define KIT_HAVE_AVX2_KERNELS 0
#define KIT_TARGET_AVX2
#endif
