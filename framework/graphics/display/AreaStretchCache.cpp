#include "framework/graphics/display/AreaStretchCache.h"

#include "framework/graphics/display/DDImage.h"

namespace Kit {

bool AreaStretchCache::Keeps(MemoryImage& source) { return dynamic_cast<DDImage*>(&source) == nullptr; }

MemoryImage& AreaStretchCache::Resampled(MemoryImage& source, const MemoryImage::StretchSource& cut, int width,
                                         int height, const NativeDisplay* display) {
  Key key{source.mContentId, cut.mX, cut.mY, cut.mWidth, cut.mHeight, width, height};
  if (display) {
    key.bits = display->mRGBBits;
    key.red = display->mRedMask;
    key.green = display->mGreenMask;
    key.blue = display->mBlueMask;
  }
  const bool keepable = Keeps(source);
  if (mValid && keepable && key == mKey) return mPicture;
  mPicture.Create(width, height);
  MemoryImage::SlowStretchBlt(mPicture.GetBits(), width, height, Rect(0, 0, width, height), &source, cut);
  mPicture.BitsChanged();
  mKey = key;
  mValid = keepable;
  return mPicture;
}

}  // namespace Kit
