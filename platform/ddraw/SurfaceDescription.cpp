#include "platform/ddraw/SurfaceDescription.h"

namespace plat {
namespace {

template <typename To, typename From>
To ConvertSurfaceDesc(const From& from) {
  To to{};
  to.dwSize = sizeof(To);
  to.dwFlags = from.dwFlags;
  to.dwHeight = from.dwHeight;
  to.dwWidth = from.dwWidth;
  to.lPitch = from.lPitch;
  to.dwBackBufferCount = from.dwBackBufferCount;
  to.dwMipMapCount = from.dwMipMapCount;
  to.dwAlphaBitDepth = from.dwAlphaBitDepth;
  to.dwReserved = from.dwReserved;
  to.lpSurface = from.lpSurface;
  to.ddckCKDestOverlay = from.ddckCKDestOverlay;
  to.ddckCKDestBlt = from.ddckCKDestBlt;
  to.ddckCKSrcOverlay = from.ddckCKSrcOverlay;
  to.ddckCKSrcBlt = from.ddckCKSrcBlt;
  to.ddpfPixelFormat = from.ddpfPixelFormat;
  to.ddsCaps.dwCaps = from.ddsCaps.dwCaps;
  return to;
}

}  // namespace

DDSURFACEDESC OlderSurfaceDesc(const DDSURFACEDESC2& desc) { return ConvertSurfaceDesc<DDSURFACEDESC>(desc); }

DDSURFACEDESC2 NewerSurfaceDesc(const DDSURFACEDESC& desc) { return ConvertSurfaceDesc<DDSURFACEDESC2>(desc); }

}  // namespace plat
