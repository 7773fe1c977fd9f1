#include "framework/util/MTRand.h"

#include <gtest/gtest.h>

namespace {

using Kit::MTRand;

// Expected values come from an independent implementation of the reference MT19937 generator with
// its original seeding (word i = word i-1 * 69069).
TEST(MTRand, DefaultSeedGivesTheReferenceSequence) {
  MTRand rand;
  EXPECT_EQ(rand.Next(), 0xD13C8AF5u);
  EXPECT_EQ(rand.Next(), 0xFFC27482u);
  EXPECT_EQ(rand.Next(), 0x82A6958Bu);
  EXPECT_EQ(rand.Next(), 0x21AC240Au);
  for (int i = 4; i < 623; ++i) rand.Next();
  EXPECT_EQ(rand.Next(), 0x2B9061BDu);  // the last word of the first twist
  EXPECT_EQ(rand.Next(), 0x8472D5CFu);  // the first of the second
  for (int i = 625; i < 1299; ++i) rand.Next();
  EXPECT_EQ(rand.Next(), 0x592A288Eu);
}

TEST(MTRand, SeedOneStartsFrom69069) {
  MTRand rand;
  rand.SRand(1);
  EXPECT_EQ(rand.Next(), 0xE2450886u);
  EXPECT_EQ(rand.Next(), 0xF94C56FAu);
  EXPECT_EQ(rand.Next(), 0x81F0EEAFu);
}

TEST(MTRand, GlobalGeneratorIsSeededBySeedRandom) {
  Kit::SeedRandom(1);
  EXPECT_EQ(Kit::GlobalRandom().Next(), 0xE2450886u);
  Kit::SeedRandom(0);
  EXPECT_EQ(Kit::GlobalRandom(), MTRand());
}

}  // namespace
