// The application's side of a display for tests that draw on it: it keeps the set of live images,
// points at the running display, gives the screen's size and the application's display choices,
// and restarts the display the way the application does.
#pragma once

#include <set>

#include "framework/graphics/ImageHost.h"
#include "framework/graphics/display/DDInterface.h"

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
  int GetFullScreenBits() override { return fullScreenBits; }
  bool IsPopupShown() override { return popupShown; }
  bool IsPageFlipping() override { return pageFlipping; }
  bool WaitsForVerticalSync() override { return waitForVSync; }
  void SetVerticalSyncBroken(bool broken) override { vsyncBroken = broken; }

  // Every image gives up its display data, the display starts again in the host's window, and every
  // image rebuilds what it had.
  int Restart(bool windowed) {
    auto* dd = static_cast<Kit::DDInterface*>(display);
    for (Kit::MemoryImage* image : std::set<Kit::MemoryImage*>(images)) image->DeleteNativeData();
    const int result = dd->Init(window, windowed);
    if (result == Kit::DDInterface::RESULT_OK)
      for (Kit::MemoryImage* image : std::set<Kit::MemoryImage*>(images)) image->ReInit();
    return result;
  }

  std::set<Kit::MemoryImage*> images;
  Kit::NativeDisplay* display = nullptr;
  HWND window = nullptr;
  int fullScreenBits = 16;
  bool popupShown = false;
  bool pageFlipping = true;
  bool waitForVSync = false;
  bool vsyncBroken = false;

 private:
  int mWidth;
  int mHeight;
};

}  // namespace testsupport
