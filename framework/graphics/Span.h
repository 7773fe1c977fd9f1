#pragma once

namespace Kit {

// One horizontal run of pixels for FillScanLines.
struct Span {
  int mY = 0;
  int mX = 0;
  int mWidth = 0;
};

}  // namespace Kit
