// Stretches onto a locked 16- or 32-bit surface: the fast (nearest-neighbour) one, plain or mirrored, in
// 16.16 fixed point, and the area-weighted one drawn row by row as it is resampled.
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

// The area-weighted stretch (MemoryImage::ResampleArea) of the cut source onto clippedDest, white and
// normal, drawn as the resampled picture is when blitted: each row's pixels over-blended onto
// transparent ones, made native words for the display and drawn by the alpha blit's row kernels, with
// no picture made. False, with nothing drawn, where those kernels do not draw the surface's fields or
// clippedDest is not inside the surface.
bool AreaStretch(const SurfaceTarget& target, MemoryImage& source, NativeDisplay* display, const Rect& clippedDest,
                 const MemoryImage::StretchSource& cut);

}  // namespace Kit::SurfaceDraw
