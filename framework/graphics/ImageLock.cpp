#include "framework/graphics/ImageLock.h"

namespace Kit {

ImageLock::ImageLock() : mOwner(ThisThread()), mFreeFor(mOwner) {}

void ImageLock::SetSharing(Sharer sharer, bool sharing) {
  mSharers = sharing ? mSharers | sharer : mSharers & ~static_cast<unsigned>(sharer);
  mFreeFor.store(mSharers == 0 ? mOwner : nullptr, std::memory_order_relaxed);
}

}  // namespace Kit
