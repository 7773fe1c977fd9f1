// A clipper that limits blits onto a surface to the client area of a window.
#pragma once

#include <memory>

#include "platform/ddraw/ComObject.h"
#include "platform/ddraw/DDraw.h"

namespace plat::ddraw {

class DisplayDevice;

class Clipper final : public ComObject<IDirectDrawClipper> {
 public:
  explicit Clipper(std::shared_ptr<DisplayDevice> device);

  HRESULT SetHWnd(DWORD flags, HWND window) override;

  // Under the device's mutex.
  HWND Window() const { return mWindow; }
  const DisplayDevice* Device() const { return mDevice.get(); }

 private:
  ~Clipper() override = default;

  std::shared_ptr<DisplayDevice> mDevice;
  HWND mWindow = nullptr;
};

}  // namespace plat::ddraw
