// Image blits onto a locked 16- or 32-bit surface. Sources are read through their premultiplied
// native words (one per pixel, or one per colour-table entry for a palettized image) and walked in
// the runs of their run-length tables; volatile images are read from their ARGB pixels. Source and
// destination are cut to their images first.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/surface/SurfaceTarget.h"

namespace Kit::SurfaceDraw {

// Every source pixel blended with its own alpha, straight from the ARGB pixels (no run tables).
void VolatileBlt(const SurfaceTarget& target, MemoryImage& source, int x, int y, const Rect& srcRect);
// Native words stored as they are; with skipTransparent, words of alpha 0 are left out: the transparent
// runs of the source's alpha run table (the alpha blit's) are stepped over whole and the others copied.
void CopyNative(const SurfaceTarget& target, MemoryImage& source, NativeDisplay* display, int x, int y,
                const Rect& srcRect, bool skipTransparent);
// The alpha blit: transparent runs skipped, opaque runs stored (white) or multiplied by the colour,
// translucent pixels blended. mirror writes each row from its right end.
void AlphaBlt(const SurfaceTarget& target, MemoryImage& source, NativeDisplay* display, int x, int y,
              const Rect& srcRect, const Color& color, bool mirror);
// The additive blit: black runs skipped, every other pixel's channels added with saturation.
void AdditiveBlt(const SurfaceTarget& target, MemoryImage& source, NativeDisplay* display, int x, int y,
                 const Rect& srcRect, const Color& color, bool mirror);

}  // namespace Kit::SurfaceDraw
