// The Direct3D path's drawing: images as textured quads piece by piece, lines, rectangles and
// polygons as untextured primitives.
#include <algorithm>

#include "framework/graphics/Color.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/d3d/D3DInterface.h"
#include "framework/graphics/d3d/D3DPieceWalk.h"

namespace Kit {

bool D3DInterface::PrepareTextured(MemoryImage* image, int drawMode, bool linear) {
  if (!image || !PreDraw() || !CreateImageTexture(image)) return false;
  SetDrawMode(drawMode);
  SetLinearFilter(linear);
  return true;
}

bool D3DInterface::PrepareUntextured(int drawMode) {
  if (!PreDraw()) return false;
  SetDrawMode(drawMode);
  CheckDXError(mDevice->SetTexture(0, nullptr), "SetTexture NULL");
  return true;
}

void D3DInterface::Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                       bool linear) {
  auto* source = dynamic_cast<MemoryImage*>(image);
  if (!PrepareTextured(source, drawMode, linear)) return;
  const std::uint32_t packed = PackColor(color);
  ForEachPiece(
      *source, srcRect,
      [&](IDirectDrawSurface7* texture, int dx, int dy, int w, int h, float tu1, float tv1, float tu2, float tv2) {
        const float left = x + static_cast<float>(dx) - 0.5f, top = y + static_cast<float>(dy) - 0.5f;
        D3DTLVERTEX quad[4] = {MakeVertex(left, top, packed, tu1, tv1), MakeVertex(left, top + h, packed, tu1, tv2),
                               MakeVertex(left + w, top, packed, tu2, tv1),
                               MakeVertex(left + w, top + h, packed, tu2, tv2)};
        CheckDXError(mDevice->SetTexture(0, texture), "SetTexture gTexture");
        CheckDXError(mDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, quad, 4, 0), "DrawPrimitive (Tri) 1");
      });
}

void D3DInterface::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
  if (!PrepareUntextured(drawMode)) return;
  const std::uint32_t packed = PackColor(color);
  const float endX = static_cast<float>(x2), endY = static_cast<float>(y2);
  // The third vertex makes the end pixel drawn too.
  D3DTLVERTEX line[3] = {MakeVertex(static_cast<float>(x1), static_cast<float>(y1), packed),
                         MakeVertex(endX, endY, packed), MakeVertex(endX + 0.5f, endY + 0.5f, packed)};
  CheckDXError(mDevice->DrawPrimitive(D3DPT_LINESTRIP, D3DFVF_TLVERTEX, line, 3, 0), "DrawPrimitive (Line)");
}

void D3DInterface::FillRect(const Rect& rect, const Color& color, int drawMode) {
  if (!PrepareUntextured(drawMode)) return;
  const std::uint32_t packed = PackColor(color);
  const float left = static_cast<float>(rect.mX) - 0.5f, top = static_cast<float>(rect.mY) - 0.5f;
  const float w = static_cast<float>(rect.mWidth), h = static_cast<float>(rect.mHeight);
  D3DTLVERTEX quad[4] = {MakeVertex(left, top, packed), MakeVertex(left, top + h, packed),
                         MakeVertex(left + w, top, packed), MakeVertex(left + w, top + h, packed)};
  CheckDXError(mDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, quad, 4, 0), "DrawPrimitive (Rect)");
}

}  // namespace Kit
