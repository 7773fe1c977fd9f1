// Int arithmetic that wraps instead of overflowing, for the game's objects where values come from
// player files. Pure functions: any thread.
#pragma once

// a + b and -a modulo 2^32: an animation step read from a file may be any int.
inline int WrappingAdd(int a, int b) { return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b)); }
inline int WrappingNegate(int a) { return static_cast<int>(0u - static_cast<unsigned>(a)); }
