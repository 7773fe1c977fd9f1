#include "platform/d3d/Direct3D.h"

#include "platform/d3d/D3DHooks.h"
#include "platform/d3d/Device.h"
#include "platform/ddraw/Surface.h"

namespace plat::d3d {

HRESULT Direct3D::Create(IUnknown* owner, std::shared_ptr<ddraw::DisplayDevice> device, void** out) {
  *out = nullptr;
  HRESULT hr = S_OK;
  if (const auto fault = TakeFault("QueryInterface")) {
    hr = *fault;
  } else {
    *out = static_cast<IDirect3D7*>(new Direct3D(owner, std::move(device)));
  }
  LogCall("QueryInterface", {}, hr);
  return hr;
}

Direct3D::Direct3D(IUnknown* owner, std::shared_ptr<ddraw::DisplayDevice> device)
    : ComObject(IID_IDirect3D7), mOwner(owner), mDevice(std::move(device)) {
  mOwner->AddRef();
}

Direct3D::~Direct3D() { mOwner->Release(); }

HRESULT Direct3D::CreateDevice(REFIID deviceType, IDirectDrawSurface7* renderTarget, IDirect3DDevice7** device) {
  HRESULT hr;
  if (const auto fault = TakeFault("CreateDevice")) {
    hr = *fault;
  } else if (!device || !renderTarget) {
    hr = DDERR_INVALIDPARAMS;
  } else if (deviceType != IID_IDirect3DHALDevice) {
    // The one device of the layer is the HAL device; no reference or transform-and-light device.
    hr = DDERR_INVALIDPARAMS;
  } else {
    hr = Device::Create(this, mDevice, renderTarget, device);
  }
  if (FAILED(hr) && device) *device = nullptr;
  LogCall("CreateDevice", {}, hr);
  return hr;
}

}  // namespace plat::d3d
