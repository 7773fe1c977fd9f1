// The span routines of the software triangle rasteriser: one per combination of destination format
// group and drawing features, 128 in all.
//
// Coverage: a pixel is drawn when its centre (whole-number coordinates) lies inside the triangle,
// with the top-left rule for centres exactly on an edge, so triangles sharing an edge draw each
// pixel of it once. Positions are taken at 1/256 pixel.
// Interpolation: each attribute has a per-pixel step (its x gradient rounded to an integer) and, per
// row, a start value at the left column of the triangle's bounding box (the plane through the three
// vertices evaluated there and rounded); a pixel's value is start + (x - left column) x step,
// clamped to the attribute's range. Textures are sampled at the nearest texel.
// Pixels: the source is the texel (white when untextured), multiplied channel by channel (alpha
// included) by the vertex colour and by the call's colour, each product divided by 255. With the
// alpha or blend feature the source is blended by its alpha: over the destination's own alpha in
// group 0 (ARGB that keeps alpha), over an opaque destination in the others. Without them it is
// copied.
#pragma once

#include "framework/graphics/raster/SoftwareTriangle.h"

namespace Kit {

inline constexpr int kSpanRoutineCount = 128;

// textured x 16 + alpha x 8 + vertex colours x 4 + colourised x 2 + blend, plus 32 for 0x888, 64
// for 0x565, 96 for 0x555 and 0 for any other format code.
int SpanRoutineIndex(bool textured, bool alpha, bool vertexColors, bool colourised, bool blend, int formatCode);

SpanRoutine GetSpanRoutine(int index);

}  // namespace Kit
