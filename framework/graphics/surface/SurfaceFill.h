// Rectangle fills on a locked 16- or 32-bit surface. The rectangle is cut to the surface, so a
// caller's mistake can never write outside it.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/surface/SurfaceTarget.h"

namespace Kit::SurfaceDraw {

// Opaque colours are stored; translucent ones blend over the pixels (the 16-bit blend rounds, the
// 32-bit one truncates).
void NormalFill(const SurfaceTarget& target, const Rect& rect, const Color& color);
// Adds colour x alpha / 255 to every pixel, each channel saturating.
void AdditiveFill(const SurfaceTarget& target, const Rect& rect, const Color& color);

}  // namespace Kit::SurfaceDraw
