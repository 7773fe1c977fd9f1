// One-pixel lines on a locked 16- or 32-bit surface, walked with an integer error term from the
// sub-pixel start. Pixels that would fall outside the surface are not drawn.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/surface/SurfaceTarget.h"

namespace Kit::SurfaceDraw {

void NormalLine(const SurfaceTarget& target, double x0, double y0, double x1, double y1, const Color& color);
void AdditiveLine(const SurfaceTarget& target, double x0, double y0, double x1, double y1, const Color& color);

}  // namespace Kit::SurfaceDraw
