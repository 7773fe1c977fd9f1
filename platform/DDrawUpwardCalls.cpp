// DirectDraw's calls into the modules that stand on it (platform/ddraw/UpwardCalls.h), answered by them.
#include "platform/d3d/DeviceCaps.h"
#include "platform/d3d/Direct3D.h"
#include "platform/ddraw/UpwardCalls.h"
#include "platform/gdi/Gdi.h"

namespace plat::ddraw {

HRESULT CreateDirect3D(IUnknown* owner, std::shared_ptr<DisplayDevice> device, void** out) {
  return d3d::Direct3D::Create(owner, std::move(device), out);
}

GUID AdapterGuid() { return d3d::AdapterGuid(); }

void ForgetGdiState(HDC dc) { ForgetDeviceContext(dc); }

}  // namespace plat::ddraw
