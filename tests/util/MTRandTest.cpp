#include "framework/util/MTRand.h"

#include <gtest/gtest.h>

namespace {

using Kit::MTRand;

// Expected values come from an independent implementation of the reference MT19937 generator with
// its original seeding (word i = word i-1 * 69069).
TEST(MTRand, DefaultSeedGivesTheReferenceSequence) {
  MTRand rand;
  for (std::uint32_t word : {0xD13C8AF5u, 0xFFC27482u, 0x82A6958Bu, 0x21AC240Au}) EXPECT_EQ(rand.Next(), word);
  for (int i = 4; i < 623; ++i) rand.Next();
  EXPECT_EQ(rand.Next(), 0x2B9061BDu);  // the last word of the first twist
  EXPECT_EQ(rand.Next(), 0x8472D5CFu);  // the first of the second
  for (int i = 625; i < 1299; ++i) rand.Next();
  EXPECT_EQ(rand.Next(), 0x592A288Eu);
}

// Seed 1 starts from 69069; SeedRandom seeds the global generator.
TEST(MTRand, SeedOneAndTheGlobalGenerator) {
  MTRand rand;
  rand.SRand(1);
  Kit::SeedRandom(1);
  for (std::uint32_t word : {0xE2450886u, 0xF94C56FAu, 0x81F0EEAFu}) {
    EXPECT_EQ(rand.Next(), word);
    EXPECT_EQ(Kit::GlobalRandom().Next(), word);
  }
  Kit::SeedRandom(0);
  EXPECT_EQ(Kit::GlobalRandom(), MTRand());
}

}  // namespace
