// Draws text into a surface's memory in the surface's own pixel format (any 16-, 24- or 32-bit RGB
// masks): each glyph's antialiased coverage blends the text colour over the pixels, within the clip.
#pragma once

#include "platform/ddraw/SurfaceDC.h"
#include "platform/gdi/DeviceContexts.h"

namespace plat::gdi {

// x, y: the top left of the text's cell. False when the surface's format cannot be drawn into.
bool RasterizeText(const SurfaceDC& surface, const DeviceContextState& state, int x, int y, const char* text,
                   int length);

}  // namespace plat::gdi
