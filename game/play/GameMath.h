// Number conversions the game's objects need where values come from player files: a float to an int
// conversion that cannot overflow, and int arithmetic that wraps instead of overflowing. Pure
// functions: any thread.
#pragma once

#include "framework/graphics/FloatToInt.h"

// value truncated toward zero and held to the int range; NaN gives 0.
inline int TruncateToInt(double value) { return Kit::TruncateInto<int>(value); }

// a + b and -a modulo 2^32: an animation step read from a file may be any int.
inline int WrappingAdd(int a, int b) { return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b)); }
inline int WrappingNegate(int a) { return static_cast<int>(0u - static_cast<unsigned>(a)); }
