// A counted reference to a shared image record, or the holder of a private image of its own. Copies
// share the record; the last reference released marks the record's set for its next clean-up.
#pragma once

namespace Kit {

class MemoryImage;
class SharedImage;

class SharedImageRef {
 public:
  SharedImageRef() = default;
  // Holds the record (may be null).
  SharedImageRef(SharedImage* sharedImage);
  // Shares the record and points at the same private image, which the copy does not own.
  SharedImageRef(const SharedImageRef& other);
  // Takes over the record, the private image and its ownership.
  SharedImageRef(SharedImageRef&& other) noexcept;
  ~SharedImageRef();

  // Shares the other's record; the other's private image is not taken over.
  SharedImageRef& operator=(const SharedImageRef& other);
  SharedImageRef& operator=(SharedImageRef&& other) noexcept;
  SharedImageRef& operator=(SharedImage* sharedImage);
  // Holds the image privately; whether it is deleted on release stays as mOwnsUnshared says.
  SharedImageRef& operator=(MemoryImage* image);

  // Deletes an owned private image and drops the record.
  void Release();
  // The private image when there is one, else the record's image; null without either.
  MemoryImage* GetImage() const;
  // The record's image; null without a record.
  MemoryImage* GetSharedImage() const;

  SharedImage* mSharedImage = nullptr;
  MemoryImage* mUnsharedImage = nullptr;
  bool mOwnsUnshared = false;

 private:
  static void AddRef(SharedImage* sharedImage);
  static void DropRef(SharedImage* sharedImage);
};

}  // namespace Kit
