#include <gtest/gtest.h>

#include <cstdlib>

// Every test runs headless: SDL gets its dummy drivers unless a test run asks for real ones.
// KIT_TEST_DATA names the folder of committed test data (fixtures, golden images).
int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("KIT_TEST_DATA", KIT_TEST_DATA_DIR, 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
