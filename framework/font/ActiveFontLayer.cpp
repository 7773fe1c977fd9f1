#include "framework/font/ActiveFontLayer.h"

#include "framework/font/FontData.h"
#include "framework/font/FontHost.h"
#include "framework/font/FontLayer.h"
#include "framework/graphics/MemoryImage.h"

namespace Kit {

ActiveFontLayer::ActiveFontLayer(FontLayer* baseLayer) : mBaseFontLayer(baseLayer) {
  mScaledImage = baseLayer->mImage.GetImage();
  for (size_t i = 0; i < mScaledCharImageRects.size(); ++i)
    mScaledCharImageRects[i] = baseLayer->mCharData[i].mImageRect;
}

ActiveFontLayer::ActiveFontLayer(FontLayer* baseLayer, std::unique_ptr<Image> ownedImage)
    : mBaseFontLayer(baseLayer), mScaledImage(ownedImage.get()), mOwnedImage(std::move(ownedImage)) {}

ActiveFontLayer::ActiveFontLayer(const ActiveFontLayer& other)
    : mBaseFontLayer(other.mBaseFontLayer),
      mScaledImage(other.mScaledImage),
      mScaledCharImageRects(other.mScaledCharImageRects) {
  if (!other.mOwnedImage) return;
  FontHost* app = mBaseFontLayer->mFontData ? mBaseFontLayer->mFontData->mApp : nullptr;
  if (app) mOwnedImage = app->CopyImage(other.mOwnedImage.get());
  // Without an application to copy through, a software sheet copies itself.
  if (!mOwnedImage) {
    if (auto* memoryImage = dynamic_cast<MemoryImage*>(other.mOwnedImage.get()))
      mOwnedImage = std::make_unique<MemoryImage>(*memoryImage);
  }
  mScaledImage = mOwnedImage.get();
}

ActiveFontLayer::~ActiveFontLayer() = default;

}  // namespace Kit
