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

// System libraries that SDL loads under a real display keep allocations for the life of the process
// (D-Bus connection buffers). LeakSanitizer reads this list in sanitizer builds; other builds ignore it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
