// A line end as an int, for the line drawing of the software and the surface-backed images. A plain cast of a
// value an int cannot hold, NaN and the infinities included, is undefined behaviour; ends from a caller's
// matrix or from clipping a huge triangle can be any of those. Pure; any thread.
#pragma once

#include "platform/util/ClampToInt.h"

namespace Kit {

// A line end truncated toward zero, held within +-2e9 so that the difference of two ends still fits
// an int; NaN lies far off to the left and top.
constexpr int TruncCoordinate(double value) {
  return plat::TruncateInto<int>(value, -2'000'000'000, 2'000'000'000, -2'000'000'000);
}

}  // namespace Kit
