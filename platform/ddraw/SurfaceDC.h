// The device context a surface hands out through GetDC: the surface's memory, for the system-font
// text of the GDI layer to draw into. The handle points at the record; it is valid from GetDC until
// ReleaseDC.
#pragma once

#include "platform/ddraw/DDraw.h"

namespace plat {

struct SurfaceDC {
  BYTE* pixels = nullptr;
  LONG pitch = 0;
  int width = 0;
  int height = 0;
  DDPIXELFORMAT format{};
};

// The record behind a handle that a surface's GetDC gave out and that is not released yet; null for
// any other handle (window device contexts, released or made-up handles).
[[nodiscard]] SurfaceDC* SurfaceDCOf(HDC dc);

}  // namespace plat

namespace plat::ddraw {

// Hands out and takes back the handles of surface device contexts.
[[nodiscard]] HDC RegisterSurfaceDC(SurfaceDC* record);
void UnregisterSurfaceDC(HDC dc);

}  // namespace plat::ddraw
