#include "framework/graphics/SharedImageRef.h"

#include <utility>

#include "framework/graphics/SharedImage.h"
#include "framework/graphics/SharedImageSet.h"

namespace Kit {

void SharedImageRef::AddRef(SharedImage* sharedImage) {
  if (sharedImage) sharedImage->mRefCount.fetch_add(1, std::memory_order_relaxed);
}

void SharedImageRef::DropRef(SharedImage* sharedImage) {
  if (!sharedImage) return;
  // The set is read first: once the count is 0 a clean-up on another thread may free the record.
  SharedImageSet* set = sharedImage->mSet;
  if (sharedImage->mRefCount.fetch_sub(1, std::memory_order_acq_rel) == 1 && set) set->MarkForCleaning();
}

SharedImageRef::SharedImageRef(SharedImage* sharedImage) : mSharedImage(sharedImage) { AddRef(sharedImage); }

SharedImageRef::SharedImageRef(const SharedImageRef& other)
    : mSharedImage(other.mSharedImage), mUnsharedImage(other.mUnsharedImage) {
  AddRef(mSharedImage);
}

SharedImageRef::SharedImageRef(SharedImageRef&& other) noexcept
    : mSharedImage(std::exchange(other.mSharedImage, nullptr)),
      mUnsharedImage(std::exchange(other.mUnsharedImage, nullptr)),
      mOwnsUnshared(std::exchange(other.mOwnsUnshared, false)) {}

SharedImageRef::~SharedImageRef() { Release(); }

SharedImageRef& SharedImageRef::operator=(const SharedImageRef& other) {
  // The new record is held before the old one is dropped: assigning a reference to itself (or to
  // another of the same record) must not let the count touch 0 on the way.
  SharedImage* record = other.mSharedImage;
  AddRef(record);
  Release();
  mSharedImage = record;
  return *this;
}

SharedImageRef& SharedImageRef::operator=(SharedImageRef&& other) noexcept {
  if (this == &other) return *this;
  Release();
  mSharedImage = std::exchange(other.mSharedImage, nullptr);
  mUnsharedImage = std::exchange(other.mUnsharedImage, nullptr);
  mOwnsUnshared = std::exchange(other.mOwnsUnshared, false);
  return *this;
}

SharedImageRef& SharedImageRef::operator=(SharedImage* sharedImage) {
  AddRef(sharedImage);
  Release();
  mSharedImage = sharedImage;
  return *this;
}

SharedImageRef& SharedImageRef::operator=(MemoryImage* image) {
  // Taking the image already held must not delete it first.
  if (image && image == mUnsharedImage) {
    DropRef(std::exchange(mSharedImage, nullptr));
    return *this;
  }
  Release();
  mUnsharedImage = image;
  return *this;
}

void SharedImageRef::Release() {
  if (mOwnsUnshared) delete mUnsharedImage;
  mUnsharedImage = nullptr;
  DropRef(std::exchange(mSharedImage, nullptr));
}

MemoryImage* SharedImageRef::GetImage() const {
  if (mUnsharedImage) return mUnsharedImage;
  return GetSharedImage();
}

MemoryImage* SharedImageRef::GetSharedImage() const { return mSharedImage ? mSharedImage->mImage.get() : nullptr; }

}  // namespace Kit
