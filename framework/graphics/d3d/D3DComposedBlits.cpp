// The Direct3D path's mirrored, stretched and rotated blits, each one matrix over the transformed
// blit, and its polygon fill.
#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/Transform2D.h"
#include "framework/graphics/d3d/D3DInterface.h"
#include "framework/graphics/d3d/D3DVertexList.h"

namespace Kit {

void D3DInterface::BltMirror(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                             bool linear) {
  Transform2D transform;
  transform.Translate(-static_cast<float>(srcRect.mWidth), 0);
  transform.Scale(-1, 1);
  transform.Translate(x, y);
  BltTransformed(image, nullptr, color, drawMode, srcRect, transform, linear, 0, 0, false);
}

void D3DInterface::StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect* clipRect,
                              const Color& color, int drawMode, bool fastStretch, bool mirror) {
  if (srcRect.mWidth <= 0 || srcRect.mHeight <= 0) return;
  const float sx = static_cast<float>(destRect.mWidth) / static_cast<float>(srcRect.mWidth);
  const float sy = static_cast<float>(destRect.mHeight) / static_cast<float>(srcRect.mHeight);
  Transform2D transform;
  if (mirror) {
    transform.Translate(-static_cast<float>(srcRect.mWidth), 0);
    transform.Scale(-sx, sy);
  } else {
    transform.Scale(sx, sy);
  }
  transform.Translate(static_cast<float>(destRect.mX), static_cast<float>(destRect.mY));
  BltTransformed(image, clipRect, color, drawMode, srcRect, transform, !fastStretch, 0, 0, false);
}

void D3DInterface::BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect* clipRect,
                              const Color& color, int drawMode, double angle, float centerX, float centerY) {
  Transform2D transform;
  transform.Translate(-centerX, -centerY);
  transform.Rotate(static_cast<float>(angle));
  transform.Translate(x + centerX, y + centerY);
  BltTransformed(image, clipRect, color, drawMode, srcRect, transform, true, 0, 0, false);
}

void D3DInterface::FillPoly(const Point* points, int count, const Rect* clipRect, const Color& color, int drawMode,
                            int tx, int ty) {
  if (count <= 2 || !PrepareUntextured(drawMode)) return;
  const std::uint32_t packed = PackColor(color);
  D3DVertexList polygon;
  for (int i = 0; i < count; ++i)
    polygon.Append(MakeVertex(static_cast<float>(tx + points[i].mX), static_cast<float>(ty + points[i].mY), packed));
  if (clipRect) {
    DrawPolyClipped(*clipRect, polygon);
    return;
  }
  CheckDXError(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, polygon.Data(),
                                      static_cast<DWORD>(polygon.Count()), 0),
               "DrawPrimitive (FillPoly)");
}

}  // namespace Kit
