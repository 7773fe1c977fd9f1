// The two versions of the surface description, converted field by field (what the older record
// lacks is left empty in the newer one).
#pragma once

#include "platform/ddraw/DDraw.h"

namespace plat {

[[nodiscard]] DDSURFACEDESC OlderSurfaceDesc(const DDSURFACEDESC2& desc);
[[nodiscard]] DDSURFACEDESC2 NewerSurfaceDesc(const DDSURFACEDESC& desc);

}  // namespace plat
