// The rotated blit onto a locked 16- or 32-bit surface: every destination pixel of the bounding
// rectangle whose 2 x 2 source neighbourhood lies inside the source rectangle is sampled bilinearly
// in 16.16 fixed point and blended (normal) or added (additive).
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/surface/SurfaceTarget.h"

namespace Kit::SurfaceDraw {

// bounds is the destination rectangle the rotated source covers (already clipped); it is cut to the
// surface as well. The source rectangle must lie inside the source image, or nothing is drawn.
// (centerX, centerY) is relative to the image's top-left corner at (x, y).
void RotatedBlt(const SurfaceTarget& target, MemoryImage& source, float x, float y, const Rect& srcRect,
                const Rect& bounds, const Color& color, int drawMode, double angle, float centerX, float centerY);

}  // namespace Kit::SurfaceDraw
