// Kit::MTRand: the Mersenne-twister generator state, and the one global generator whose seed the
// demo recordings store and restore.
#pragma once

#include <array>
#include <cstdint>

namespace Kit {

class MTRand {
 public:
  static constexpr int kStateSize = 624;
  static constexpr std::uint32_t kDefaultSeed = 4357;

  MTRand() { SRand(kDefaultSeed); }

  // Word 0 is the seed (4357 for a seed of 0), each further word the previous one times 69069.
  void SRand(std::uint32_t seed);
  // The next number of the MT19937 sequence over this state.
  std::uint32_t Next();

  bool operator==(const MTRand&) const = default;

 private:
  void Twist();

  std::array<std::uint32_t, kStateSize> mState{};
  int mIndex = kStateSize;
};

// The process-wide generator, constructed on first use (seeded with 4357).
MTRand& GlobalRandom();
// SRand on the global generator.
void SeedRandom(std::uint32_t seed);

}  // namespace Kit
