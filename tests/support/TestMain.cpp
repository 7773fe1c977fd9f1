#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win/process/Process.h"

// Every test runs headless: SDL gets its dummy drivers unless a test run asks for real ones.
// KIT_TEST_DATA names the folder of committed test data (fixtures, golden images).
int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("KIT_TEST_DATA", KIT_TEST_DATA_DIR, 0);
  bool deathTest = false;
  for (int i = 1; i < argc; ++i) deathTest = deathTest || std::strstr(argv[i], "internal_run_death_test");
  testing::InitGoogleTest(&argc, argv);
  // A test that ends the program where it does not catch the end (a fatal error's, or a second
  // copy's clean hand-over) fails instead of passing unseen. Death tests and other children of the test process end as
  // they like.
  const pid_t testProcess = getpid();
  if (!deathTest)
    plat::SetExitHook([testProcess](UINT code) {
      if (getpid() != testProcess) return;
      std::fprintf(stderr, "A test ended the program with code %u.\n", code);
      std::fflush(nullptr);
      _exit(1);
    });
  return RUN_ALL_TESTS();
}

// Under ThreadSanitizer the first report ends the process with the sanitizer's exit code: a race in a
// child that a death test expects to be killed by a signal, or that the test's own checks would let
// pass, still fails the test. TSAN_OPTIONS set by hand add to or override this.
extern "C" const char* __tsan_default_options() { return "halt_on_error=1:second_deadlock_stack=1"; }
