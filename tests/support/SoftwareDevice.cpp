#include "tests/support/SoftwareDevice.h"

#include <gtest/gtest.h>

#include "tests/support/DirectDrawObject.h"

namespace testsupport {

SoftwareDevice::SoftwareDevice(DWORD width, DWORD height) : dd(CreateDirectDraw7()) {
  void* object = nullptr;
  if (!dd || dd->QueryInterface(IID_IDirect3D7, &object) != S_OK) return;
  d3d.reset(static_cast<IDirect3D7*>(object));
  target = CreateSurface(width, height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
  IDirect3DDevice7* created = nullptr;
  if (target && d3d->CreateDevice(IID_IDirect3DHALDevice, target.get(), &created) == D3D_OK) device.reset(created);
}

Com<IDirectDrawSurface7> SoftwareDevice::CreateSurface(DWORD width, DWORD height, DWORD caps,
                                                       const DDPIXELFORMAT* format) const {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (format ? DDSD_PIXELFORMAT : 0);
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddsCaps.dwCaps = caps;
  if (caps & DDSCAPS_TEXTURE) desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  if (format) desc.ddpfPixelFormat = *format;
  IDirectDrawSurface7* surface = nullptr;
  EXPECT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
  return Com<IDirectDrawSurface7>(surface);
}

}  // namespace testsupport
