#include "framework/sound/SoundFatal.h"

#include <cstdio>
#include <cstdlib>

namespace Kit {

void SoundFatalExit(const char* text, const char* caption, bool) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
  std::exit(0);
}

void SoundSilentExit() { std::exit(0); }

}  // namespace Kit
