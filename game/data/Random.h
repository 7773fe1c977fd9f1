// The generator's one source of variation: a small seeded generator (SplitMix64), so that the same
// seed gives the same data on every machine and every run. Not thread-safe; each user owns one.
#pragma once

#include <cstdint>

namespace gamedata {

class Random {
 public:
  explicit Random(std::uint64_t seed) : mState(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // Uniform in [low, high).
  double Range(double low, double high) { return low + (high - low) * Unit(); }
  // Uniform integer in [0, count).
  int Below(int count) { return count <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(count)); }

 private:
  std::uint64_t mState;
};

}  // namespace gamedata
