// The fast (nearest-neighbour) stretch onto a locked 16- or 32-bit surface, plain or mirrored, in 16.16
// fixed point: the destination rectangle is filled from the cut source rectangle.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/surface/SurfaceTarget.h"

namespace Kit::SurfaceDraw {

// clippedDest must lie inside the surface and the cut source inside the source image, or nothing is
// drawn. A mirrored stretch fills each destination row from its right end.
void FastStretch(const SurfaceTarget& target, MemoryImage& source, NativeDisplay* display, const Rect& clippedDest,
                 const MemoryImage::StretchSource& cut, const Color& color, int drawMode, bool mirror);

}  // namespace Kit::SurfaceDraw
