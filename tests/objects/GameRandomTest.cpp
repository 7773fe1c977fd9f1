#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Drawn while the program's globals are constructed, before main: the game's single objects draw
// their first random delays then.
const int kDrawBeforeMain = rand();

TEST(GameRandom, TheSeededFifteenBitGeneratorWorksBeforeMainAndReplaysFromItsSeed) {
  EXPECT_EQ(kDrawBeforeMain, 41) << "the first draw of the start-up seed 1";
  srand(1234);
  int first[8], again[8];
  for (int& value : first) value = rand();
  srand(1234);
  for (int& value : again) value = rand();
  EXPECT_TRUE(std::equal(std::begin(first), std::end(first), std::begin(again)));
  for (int i = 0; i < 1000; ++i) {
    const int value = rand();
    ASSERT_TRUE(value >= 0 && value <= 32767) << value;
  }
}

}  // namespace
