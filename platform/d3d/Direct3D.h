// The Direct3D object that DirectDraw's QueryInterface hands out. It keeps its DirectDraw object alive
// and makes HAL devices on that object's surfaces.
#pragma once

#include <memory>

#include "platform/d3d/D3D.h"
#include "platform/ddraw/ComObject.h"

namespace plat::ddraw {
class DisplayDevice;
}

namespace plat::d3d {

class Direct3D final : public ddraw::ComObject<IDirect3D7> {
 public:
  // The answer to QueryInterface(IID_IDirect3D7) on a DirectDraw object: an injected fault, or a new
  // object holding a reference to owner.
  static HRESULT Create(IUnknown* owner, std::shared_ptr<ddraw::DisplayDevice> device, void** out);

  HRESULT CreateDevice(REFIID deviceType, IDirectDrawSurface7* renderTarget, IDirect3DDevice7** device) override;

 private:
  Direct3D(IUnknown* owner, std::shared_ptr<ddraw::DisplayDevice> device);
  ~Direct3D() override;

  IUnknown* mOwner;
  std::shared_ptr<ddraw::DisplayDevice> mDevice;
};

}  // namespace plat::d3d
