// The description of an off-screen plain surface of a given size, the one kind of surface the display,
// its images and the Direct3D self-test create besides the primary one.
#pragma once

#include "platform/ddraw/DDraw.h"

namespace Kit {

// Caps: DDSCAPS_OFFSCREENPLAIN and extraCaps (the memory it lives in, DDSCAPS_3DDEVICE).
inline DDSURFACEDESC2 OffscreenSurfaceDesc(int width, int height, DWORD extraCaps) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | extraCaps;
  return desc;
}

}  // namespace Kit
