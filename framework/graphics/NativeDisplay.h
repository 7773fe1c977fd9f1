// The display's pixel format, as the software images convert to it. The display fills it in.
#pragma once

#include <cstdint>

namespace Kit {

class NativeDisplay {
 public:
  virtual ~NativeDisplay() = default;

  // Takes the pixel size and the three colour masks; the shifts and widths follow from the masks.
  void SetFormat(int rgbBits, std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask);

  // A shift is the bit position of the lowest bit of its mask.
  int mRGBBits = 0;
  int mRedMask = 0;
  int mGreenMask = 0;
  int mBlueMask = 0;
  int mRedBits = 0;
  int mGreenBits = 0;
  int mBlueBits = 0;
  int mRedShift = 0;
  int mGreenShift = 0;
  int mBlueShift = 0;
};

}  // namespace Kit
