// A font layer prepared for one point size and scale: the glyph sheet to draw from (the layer's own or
// a rescaled copy that this object owns) and each character's rectangle in it.
#pragma once

#include <array>
#include <memory>

#include "framework/graphics/Rect.h"

namespace Kit {

class FontLayer;
class Image;

class ActiveFontLayer {
 public:
  // Draws from the layer's own sheet.
  explicit ActiveFontLayer(FontLayer* baseLayer);
  // Draws from a sheet of its own.
  ActiveFontLayer(FontLayer* baseLayer, std::unique_ptr<Image> ownedImage);
  // An owned sheet is copied, so each copy owns its own.
  ActiveFontLayer(const ActiveFontLayer& other);
  ActiveFontLayer& operator=(const ActiveFontLayer&) = delete;
  virtual ~ActiveFontLayer();

  bool OwnsImage() const { return mOwnedImage != nullptr; }

  FontLayer* mBaseFontLayer;  // not owned
  Image* mScaledImage = nullptr;
  std::array<Rect, 256> mScaledCharImageRects;

 private:
  std::unique_ptr<Image> mOwnedImage;
};

}  // namespace Kit
