// The software Direct3D device as the display makes it: DirectDraw, its Direct3D object, an offscreen
// render target of the test desktop's format and the HAL device on that target.
#pragma once

#include "platform/d3d/D3D.h"
#include "tests/support/ComPtr.h"

namespace testsupport {

struct SoftwareDevice {
  // Members stay null from the first step that fails (the test's assertions say which).
  SoftwareDevice(DWORD width, DWORD height);

  // A surface of the DirectDraw object: of the format given, else the desktop's; textures are managed.
  Com<IDirectDrawSurface7> CreateSurface(DWORD width, DWORD height, DWORD caps,
                                         const DDPIXELFORMAT* format = nullptr) const;

  Com<IDirectDraw7> dd;
  Com<IDirect3D7> d3d;
  Com<IDirectDrawSurface7> target;
  Com<IDirect3DDevice7> device;
};

}  // namespace testsupport
