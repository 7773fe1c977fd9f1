#include "platform/ddraw/Clipper.h"

#include <mutex>

#include "platform/ddraw/DisplayDevice.h"

namespace plat::ddraw {

Clipper::Clipper(std::shared_ptr<DisplayDevice> device)
    : ComObject(IID_IDirectDrawClipper), mDevice(std::move(device)) {}

HRESULT Clipper::SetHWnd(DWORD flags, HWND window) {
  if (flags != 0) return DDERR_INVALIDPARAMS;
  {
    std::lock_guard lock(mDevice->Mutex());
    mWindow = window;
  }
  // A windowed primary may now be shown in this window.
  mDevice->PresentPrimary();
  return DD_OK;
}

}  // namespace plat::ddraw
