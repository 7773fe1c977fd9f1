// What the bitmap fonts need of the application they belong to: showing a descriptor error, fetching
// glyph sheets shared by file name, copying images and a host for the images they make. The
// application object implements it; every operation has a neutral default.
#pragma once

#include <memory>
#include <string>

#include "framework/graphics/SharedImageRef.h"

namespace Kit {

class Image;
class ImageHost;

class FontHost {
 public:
  // Shows an error text to the user.
  virtual void Popup(const std::string& text) {}
  // A counted reference to the image loaded from fileName, shared with every other user of that file
  // (the application's SharedImageSet); created tells whether this call loaded it. The reference holds
  // no image when the file cannot be loaded.
  virtual SharedImageRef GetSharedImage(const std::string& fileName, const std::string& variant, bool* created) {
    return SharedImageRef();
  }
  // A new copy of the image, owned by the caller; null when images cannot be copied.
  virtual std::unique_ptr<Image> CopyImage(Image* image) { return nullptr; }
  // The host of the software images the fonts make.
  virtual ImageHost* GetImageHost() { return nullptr; }

 protected:
  ~FontHost() = default;
};

}  // namespace Kit
