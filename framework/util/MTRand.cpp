#include "framework/util/MTRand.h"

namespace Kit {

namespace {

constexpr int kShift = 397;
constexpr std::uint32_t kMatrixA = 0x9908B0DFu;
constexpr std::uint32_t kUpperMask = 0x80000000u;
constexpr std::uint32_t kLowerMask = 0x7FFFFFFFu;

}  // namespace

void MTRand::SRand(std::uint32_t seed) {
  mState[0] = seed == 0 ? kDefaultSeed : seed;
  for (int i = 1; i < kStateSize; ++i) mState[i] = mState[i - 1] * 69069u;
  mIndex = kStateSize;
}

void MTRand::Twist() {
  for (int i = 0; i < kStateSize; ++i) {
    std::uint32_t y = (mState[i] & kUpperMask) | (mState[(i + 1) % kStateSize] & kLowerMask);
    mState[i] = mState[(i + kShift) % kStateSize] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
  }
  mIndex = 0;
}

std::uint32_t MTRand::Next() {
  if (mIndex >= kStateSize) Twist();
  std::uint32_t y = mState[mIndex++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}

MTRand& GlobalRandom() {
  static MTRand generator;
  return generator;
}

void SeedRandom(std::uint32_t seed) { GlobalRandom().SRand(seed); }

}  // namespace Kit
