// Drawing an image into itself reads the pixels it writes; such a draw works from a copy of them.
// Held for the length of the draw: when the source is the target, it copies the target's pixels and
// points the source at the copy.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/graphics/MemoryImage.h"

namespace Kit {

class SelfDrawCopy {
 public:
  // `targetBits` are the target's current pixels, as the draw is about to write them.
  SelfDrawCopy(MemoryImage*& source, const MemoryImage& target, const std::uint32_t* targetBits) {
    if (source != &target) return;
    mCopy = std::make_unique<MemoryImage>();
    mCopy->SetBits(targetBits, target.mWidth, target.mHeight, true);
    source = mCopy.get();
  }
  SelfDrawCopy(const SelfDrawCopy&) = delete;
  SelfDrawCopy& operator=(const SelfDrawCopy&) = delete;

 private:
  std::unique_ptr<MemoryImage> mCopy;
};

}  // namespace Kit
