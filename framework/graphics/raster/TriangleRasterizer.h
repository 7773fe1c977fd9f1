// The software triangle rasteriser behind the matrix and textured-triangle blits of software images
// and locked surfaces: clips each triangle of a strip to the clip rectangle, converts it to fixed
// point and hands it, as a fan, to the span routine for the destination format and features.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/raster/SoftwareTriangle.h"

namespace Kit {

class MemoryImage;

// The destination pixels: width x height pixels, rows pitch bytes apart, in the format of formatCode.
struct RasterTarget {
  void* mBits = nullptr;
  int mPitch = 0;
  int mWidth = 0;
  int mHeight = 0;
  int mFormatCode = kFormatCode8888;
};

// Triangles of the strip: (k, k + 1, k + 2) for even k, (k, k + 2, k + 1) for odd k. Only pixels
// inside both clipRect and the destination are drawn; a triangle with a coordinate that is not a
// finite number is skipped, and nothing is drawn from a texture without pixels or larger than
// 32767 pixels a side (16.16 texel coordinates could not address it). drawMode takes no part.
void DrawTriangleSoftware(const TriVertex* strip, int vertexCount, MemoryImage* texture, const Color& color,
                          int drawMode, const Rect& clipRect, const RasterTarget& target, bool blend,
                          bool vertexColors);

// Calls the span routine of the combination, when there is one.
void SelectSpanRoutine(bool textured, bool alpha, bool vertexColors, bool colourised, const FixedVertex (&triangle)[3],
                       void* destBits, int destPitch, const SpanTexture& texture, const SpanColor& color,
                       int formatCode, bool blend);

}  // namespace Kit
