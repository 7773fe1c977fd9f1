// The C runtime's random numbers as the program was built against them: rand() gives 0 to 32767
// from a per-thread linear congruential generator seeded with 1, so a seed replays the same
// sequence on every machine. The layer's definitions of rand and srand take the place of the C
// library's for the whole program; they need no initialisation and work before main.
#pragma once

#include <cstdlib>

#undef RAND_MAX
#define RAND_MAX 0x7fff
