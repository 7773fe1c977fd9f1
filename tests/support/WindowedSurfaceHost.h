// The image host of a windowed display for tests that draw widgets onto surface images: it keeps the
// registered images and answers the display's questions as a plain window without page flipping does.
#pragma once

#include <set>

#include "framework/graphics/ImageHost.h"

namespace testsupport {

class WindowedSurfaceHost : public Kit::ImageHost {
 public:
  WindowedSurfaceHost(int width, int height) : mWidth(width), mHeight(height) {}

  void AddMemoryImage(Kit::MemoryImage* image) override { images.insert(image); }
  void RemoveMemoryImage(Kit::MemoryImage* image) override { images.erase(image); }
  Kit::NativeDisplay* GetNativeDisplay() override { return display; }
  int GetDisplayWidth() override { return mWidth; }
  int GetDisplayHeight() override { return mHeight; }
  int GetFullScreenBits() override { return 16; }
  bool IsPopupShown() override { return false; }
  bool IsPageFlipping() override { return false; }
  bool WaitsForVerticalSync() override { return false; }
  void SetVerticalSyncBroken(bool) override {}

  std::set<Kit::MemoryImage*> images;
  Kit::NativeDisplay* display = nullptr;

 private:
  int mWidth;
  int mHeight;
};

}  // namespace testsupport
