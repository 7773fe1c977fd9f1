// What the resource manager needs from the application that owns it. The application object
// implements it; tests give the manager a host of their own.
#pragma once

#include <memory>
#include <string>

#include "framework/graphics/SharedImageRef.h"

namespace Kit {

class FontHost;
class Image;
class ImageLock;
class SoundManager;

// A counted reference to an image the application shares by (file name, variant) in its
// SharedImageSet; the bitmap fonts take theirs the same way. Releasing it from the loading thread is
// safe: the count is atomic and the application's clean-up drops images nobody holds.
using ResourceImageRef = SharedImageRef;

class ResourceHost {
 public:
  // Whether the display draws with 3D acceleration; picks between the "nobits3d" and "nobits2d"
  // image attributes.
  virtual bool Is3DAccelerated() { return false; }
  // Finds or inserts the image shared under (path, variant); when it is new (*created set) it is
  // loaded with ImageLib::GetImage and its alpha companion into a software image (a MemoryImage or a
  // kind of it). A reference without an image when the file cannot be read. Called from the loading thread; the
  // application locks its own set of shared images.
  virtual ResourceImageRef GetSharedImage(const std::string& path, const std::string& variant, bool* created) = 0;
  // The lock under which the display rebuilds every image (null while there is none): the manager
  // finishes an image it loaded on the loading thread under it.
  virtual ImageLock* ImagesLock() { return nullptr; }
  // The sound manager that sounds load into; null when the application runs without sound.
  virtual SoundManager* GetSoundManager() { return nullptr; }
  // The host of the bitmap fonts that descriptor files are loaded with.
  virtual FontHost* GetFontHost() { return nullptr; }
  // A new image of the file (its alpha companion included), owned by the caller; null when the file
  // cannot be read. Without a display it is a plain software image.
  virtual std::unique_ptr<Image> GetImage(const std::string& path);

 protected:
  ~ResourceHost() = default;
};

}  // namespace Kit
