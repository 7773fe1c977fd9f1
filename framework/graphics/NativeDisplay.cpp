#include "framework/graphics/NativeDisplay.h"

#include <bit>

namespace Kit {

void NativeDisplay::SetFormat(int rgbBits, std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask) {
  auto field = [](std::uint32_t mask, int& mask32, int& shift, int& bits) {
    mask32 = static_cast<int>(mask);
    shift = std::countr_zero(mask);
    bits = mask ? std::bit_width(mask) - shift : 0;
  };
  mRGBBits = rgbBits;
  field(redMask, mRedMask, mRedShift, mRedBits);
  field(greenMask, mGreenMask, mGreenShift, mGreenBits);
  field(blueMask, mBlueMask, mBlueShift, mBlueBits);
}

}  // namespace Kit
