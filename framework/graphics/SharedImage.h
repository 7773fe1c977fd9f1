// The record of one image shared by file name: the loaded image and how many references hold it.
// Records belong to a SharedImageSet, which frees those nobody holds at its next clean-up.
#pragma once

#include <atomic>
#include <memory>

#include "framework/graphics/MemoryImage.h"

namespace Kit {

class SharedImageSet;

class SharedImage {
 public:
  explicit SharedImage(SharedImageSet* set = nullptr) : mSet(set) {}
  SharedImage(const SharedImage&) = delete;
  SharedImage& operator=(const SharedImage&) = delete;

  std::unique_ptr<MemoryImage> mImage;  // null until loaded, and when loading failed
  // Atomic, so that references may be taken and dropped on the loading thread as on the main one.
  std::atomic<int> mRefCount{0};
  SharedImageSet* mSet;  // told when the count drops to 0; may be null
};

}  // namespace Kit
