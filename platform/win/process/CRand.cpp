#include "platform/win/process/CRand.h"

namespace {

// Constant-initialised, so usable from static constructors of any file.
thread_local unsigned int tRandState = 1;

}  // namespace

extern "C" {

void srand(unsigned int seed) noexcept { tRandState = seed; }

int rand() noexcept {
  tRandState = tRandState * 214013u + 2531011u;
  return static_cast<int>((tRandState >> 16) & 0x7fff);
}

}  // extern "C"
