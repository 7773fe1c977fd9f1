// The walk over the texture pieces that hold a source rectangle of an image, shared by the Direct3D
// path's plain and transformed blits.
#pragma once

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/d3d/TextureData.h"

namespace Kit {

// Calls draw(texture, dx, dy, width, height, tu1, tv1, tu2, tv2) for each piece of the image's texture
// record that holds part of srcRect, row by row from the top left: (dx, dy) is where that part lies
// relative to srcRect's corner, width x height its size, (tu1, tv1)-(tu2, tv2) its texture
// coordinates. Only the part of srcRect inside the image has texels; the rest is left out.
template <typename Draw>
void ForEachPiece(const MemoryImage& image, const Rect& srcRect, Draw draw) {
  const Rect src = srcRect.Intersection(Rect(0, 0, image.mWidth, image.mHeight));
  if (src.IsEmpty() || !image.mD3DData) return;
  const TextureData& data = *image.mD3DData;
  const int right = src.mX + src.mWidth, bottom = src.mY + src.mHeight;
  for (int row = src.mY; row < bottom;) {
    int rowHeight = bottom - row;
    for (int column = src.mX; column < right;) {
      int width = right - column, height = bottom - row;
      float tu1, tv1, tu2, tv2;
      IDirectDrawSurface7* texture = data.GetTexture(column, row, width, height, tu1, tv1, tu2, tv2);
      if (width <= 0 || height <= 0) return;  // a record that no longer fits the image
      draw(texture, column - srcRect.mX, row - srcRect.mY, width, height, tu1, tv1, tu2, tv2);
      column += width;
      rowHeight = height;
    }
    row += rowHeight;
  }
}

}  // namespace Kit
