#include "framework/resource/Image.h"

#include <new>

#include "framework/resource/ImageLimits.h"

namespace ImageLib {

Image::Image() = default;

Image::~Image() = default;

bool Image::Allocate(int width, int height) {
  mBits.reset();
  mWidth = 0;
  mHeight = 0;
  if (!IsAcceptableImageSize(width, height)) return false;
  uint32_t* bits = new (std::nothrow) uint32_t[static_cast<size_t>(width) * static_cast<size_t>(height)]();
  if (!bits) return false;
  mBits.reset(bits);
  mWidth = width;
  mHeight = height;
  return true;
}

}  // namespace ImageLib
