// The largest pictures the image readers accept. A file header can claim any size; these caps keep a
// damaged or hostile file from asking for gigabytes before its data is even looked at.
#pragma once

#include <cstdint>

namespace ImageLib {

inline constexpr int64_t kMaxImageSide = 16384;
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 25;  // 128 MB of 32-bit pixels
// Files larger than this are not read into memory.
inline constexpr int64_t kMaxImageFileBytes = int64_t{1} << 28;

inline bool IsAcceptableImageSize(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

}  // namespace ImageLib
