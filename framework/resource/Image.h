// A plain decoded picture: width x height pixels of 0xAARRGGBB, row by row from the top (in memory:
// blue, green, red, alpha bytes). What the image file readers return and the writers take.
#pragma once

#include <cstdint>
#include <memory>

namespace ImageLib {

class Image {
 public:
  Image();
  virtual ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  // Replaces the pixels by width x height transparent black ones. False (and the image left empty) when
  // the size is not one the readers accept or the memory is not there.
  bool Allocate(int width, int height);

  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  uint32_t* GetBits() { return mBits.get(); }
  const uint32_t* GetBits() const { return mBits.get(); }
  size_t GetPixelCount() const { return static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight); }

 private:
  int mWidth = 0;
  int mHeight = 0;
  std::unique_ptr<uint32_t[]> mBits;
};

}  // namespace ImageLib
