// The area-weighted stretch a surface image last drew, kept as a picture of the destination's size
// while its source, the cut of the source, the size and the display's pixel format stay the same:
// a background stretched onto the screen every frame is resampled once, and its native words and run
// tables are made once.
#pragma once

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"

#include <cstdint>

namespace Kit {

class AreaStretchCache {
 public:
  // The cut of source resampled to width x height. Sources whose pixels can change without their
  // image being told (surface images) are resampled every time.
  MemoryImage& Resampled(MemoryImage& source, const MemoryImage::StretchSource& cut, int width, int height,
                         const NativeDisplay* display);
  // Whether a stretch of source is kept for the next call: not when the source is a surface image.
  static bool Keeps(MemoryImage& source);

 private:
  struct Key {
    std::uint64_t contentId = 0;
    double x = 0, y = 0, width = 0, height = 0;
    int destWidth = 0, destHeight = 0;
    int bits = 0, red = 0, green = 0, blue = 0;
    bool operator==(const Key&) const = default;
  };
  MemoryImage mPicture;
  Key mKey;
  bool mValid = false;
};

}  // namespace Kit
