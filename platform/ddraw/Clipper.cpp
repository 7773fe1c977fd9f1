#include "platform/ddraw/Clipper.h"

#include <mutex>

#include "platform/ddraw/DisplayDevice.h"
#include "platform/ddraw/InterfaceIds.h"

namespace plat::ddraw {

Clipper::Clipper(std::shared_ptr<DisplayDevice> device) : mDevice(std::move(device)) {}

HRESULT Clipper::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IDirectDrawClipper && iid != kIUnknownId) return E_NOINTERFACE;
  AddRef();
  *object = static_cast<IDirectDrawClipper*>(this);
  return S_OK;
}

ULONG Clipper::AddRef() { return ++mRefs; }

ULONG Clipper::Release() {
  const ULONG left = --mRefs;
  if (left == 0) delete this;
  return left;
}

HRESULT Clipper::GetHWnd(HWND* window) {
  if (!window) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  *window = mWindow;
  return DD_OK;
}

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
