// The application's side of a windowed display for tests that draw on it: it keeps the set of live
// images, points at the running display and gives the screen's size.
#pragma once

#include <set>

#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageHost.h"

namespace testsupport {

class ScreenHost : public Kit::ImageHost {
 public:
  ScreenHost(int width, int height) : mWidth(width), mHeight(height) {}

  void AddMemoryImage(Kit::MemoryImage* image) override { images.insert(image); }
  void RemoveMemoryImage(Kit::MemoryImage* image) override {
    images.erase(image);
    Remove3DData(image);
  }
  void Remove3DData(Kit::MemoryImage* image) override {
    if (auto* screen = dynamic_cast<Kit::DDInterface*>(display)) screen->Remove3DData(image);
  }
  Kit::NativeDisplay* GetNativeDisplay() override { return display; }
  int GetDisplayWidth() override { return mWidth; }
  int GetDisplayHeight() override { return mHeight; }

  std::set<Kit::MemoryImage*> images;
  Kit::NativeDisplay* display = nullptr;

 private:
  int mWidth;
  int mHeight;
};

}  // namespace testsupport
