// A locked surface's memory as the surface drawing routines see it: the pixel pointer, the pitch in
// bytes, the size, and the depth and channel masks of its pixel format. The routines draw only on
// 16- and 32-bit surfaces.
#pragma once

#include "framework/graphics/Rect.h"

#include <cstddef>
#include <cstdint>

namespace Kit {

struct SurfacePixels {
  void* mBits = nullptr;
  int mPitch = 0;  // bytes from one row to the next
  int mWidth = 0;
  int mHeight = 0;
  int mBitCount = 0;
  std::uint32_t mRedMask = 0;
  std::uint32_t mGreenMask = 0;
  std::uint32_t mBlueMask = 0;

  bool IsDrawable() const { return mBits != nullptr && (mBitCount == 16 || mBitCount == 32); }
  Rect Bounds() const { return Rect(0, 0, mWidth, mHeight); }

  // Rows advance by the pitch in whole pixels, the pitch divided with truncation toward zero.
  template <typename Pixel>
  Pixel* Row(int y) const {
    return static_cast<Pixel*>(mBits) + static_cast<std::ptrdiff_t>(y) * (mPitch / static_cast<int>(sizeof(Pixel)));
  }
};

}  // namespace Kit
