// The display's lock as the images take it, and who must take it. The display's images belong to the
// thread that made the display (the main thread). Any other thread works on an image only under this
// lock. The main thread takes it too while another thread may be at work on images (a sharer: the
// loading thread from its start until the main thread has seen it finish, the cursor thread while it
// draws a software cursor image); the rest of the time it is alone with the images and works on them
// without it, so the thousands of image operations of a frame of play take no lock. The walks over
// every image and the making and unmaking of an image take the lock always.
// Section and NeededHere: any thread. SetSharing: the owning thread, before the sharer starts and after
// it has been seen to stop.
#pragma once

#include "framework/util/CritSect.h"

#include <atomic>

namespace Kit {

class ImageLock {
 public:
  enum Sharer : unsigned { kLoadingThread = 1u << 0, kCursorThread = 1u << 1 };

  ImageLock();
  ImageLock(const ImageLock&) = delete;
  ImageLock& operator=(const ImageLock&) = delete;

  CritSect& Section() { return mSection; }
  // Whether an image operation on the calling thread must hold the lock.
  bool NeededHere() const { return ThisThread() != mFreeFor.load(std::memory_order_relaxed); }
  void SetSharing(Sharer sharer, bool sharing);

 private:
  // The calling thread's own address: that of a thread-local object, which no two living threads
  // share. Cheaper to find than the thread's id: an offset from the thread's own register.
  static const void* ThisThread() {
    static constinit thread_local char mark = 0;
    return &mark;
  }

  CritSect mSection;
  const void* const mOwner;
  unsigned mSharers = 0;  // the owning thread's alone
  // The thread that works on images without the lock: the owner while there is no sharer, else none.
  std::atomic<const void*> mFreeFor;
};

// Holds an image lock for one image operation (nothing without a lock): an image's own work on its
// pixels and surface when the calling thread must, the making and unmaking of an image and the walks
// over every image always.
class ImageOperationGuard {
 public:
  struct Always {};
  static constexpr Always kAlways{};

  explicit ImageOperationGuard(ImageLock* lock) : mSection(lock && lock->NeededHere() ? &lock->Section() : nullptr) {
    if (mSection) EnterCriticalSection(&mSection->mCriticalSection);
  }
  ImageOperationGuard(ImageLock* lock, Always) : mSection(lock ? &lock->Section() : nullptr) {
    if (mSection) EnterCriticalSection(&mSection->mCriticalSection);
  }
  ~ImageOperationGuard() {
    if (mSection) LeaveCriticalSection(&mSection->mCriticalSection);
  }
  ImageOperationGuard(const ImageOperationGuard&) = delete;
  ImageOperationGuard& operator=(const ImageOperationGuard&) = delete;

 private:
  CritSect* mSection;
};

}  // namespace Kit
