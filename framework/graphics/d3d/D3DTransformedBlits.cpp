// The Direct3D path's transformed drawing: images under a matrix, clipped to a rectangle where they
// leave it, and textured triangles cut along the image's texture pieces.
#include <algorithm>
#include <cmath>

#include "framework/graphics/Color.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/Transform2D.h"
#include "framework/graphics/TriVertex.h"
#include "framework/graphics/d3d/D3DClipper.h"
#include "framework/graphics/d3d/D3DInterface.h"
#include "framework/graphics/d3d/D3DPieceWalk.h"

namespace Kit {
namespace {

bool InsideClip(const D3DTLVERTEX& v, const Rect& clip) {
  return v.sx >= static_cast<float>(clip.mX) && v.sx < static_cast<float>(clip.mX + clip.mWidth) &&
         v.sy >= static_cast<float>(clip.mY) && v.sy < static_cast<float>(clip.mY + clip.mHeight);
}

// A piece column or row index from a coordinate in piece units, held to 0..limit (NaN to 0), so that
// no coordinate however wild leaves the grid.
int PieceIndex(double value, int limit) {
  if (!(value > 0)) return 0;
  return value >= limit ? limit : static_cast<int>(value);
}

// Triangles of single-piece images go out this many to a call.
constexpr int kTriangleBatch = 100;

}  // namespace

void D3DInterface::DrawPolyClipped(const Rect& clipRect, D3DVertexList& polygon) {
  if (!D3DClipper::ClipToRect(polygon, clipRect)) return;
  CheckDXError(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, polygon.Data(),
                                      static_cast<DWORD>(polygon.Count()), 0),
               "DrawPrimitive (Tri) 2");
}

void D3DInterface::BltClipF(Image* image, float x, float y, const Rect& srcRect, const Rect* clipRect,
                            const Color& color, int drawMode) {
  Transform2D translation;
  translation.Translate(x, y);
  BltTransformed(image, clipRect, color, drawMode, srcRect, translation, true, 0, 0, false);
}

void D3DInterface::BltTransformed(Image* image, const Rect* clipRect, const Color& color, int drawMode,
                                  const Rect& srcRect, const Matrix3& matrix, bool linear, float x, float y,
                                  bool centered) {
  auto* source = dynamic_cast<MemoryImage*>(image);
  if (!PrepareTextured(source, drawMode, linear)) return;
  const std::uint32_t packed = PackColor(color);
  // Centred, the source rectangle's middle lands on the matrix's origin, as in the software matrix
  // blit: the half-pixel shift is made on the screen, after the matrix, so that a scale or a rotation
  // cannot move the picture off the software one. A source rectangle reaching outside the image keeps
  // that placement for the part inside.
  const float startX = centered ? -0.5f * static_cast<float>(srcRect.mWidth) : 0.0f;
  const float startY = centered ? -0.5f * static_cast<float>(srcRect.mHeight) : 0.0f;
  ForEachPiece(
      *source, srcRect,
      [&](IDirectDrawSurface7* texture, int dx, int dy, int w, int h, float tu1, float tv1, float tu2, float tv2) {
        const float left = startX + static_cast<float>(dx), top = startY + static_cast<float>(dy);
        const auto corner = [&](float cx, float cy, float tu, float tv) {
          const Vector2 p = matrix.TransformPoint(cx, cy);
          return MakeVertex(p.mX + (x - 0.5f), p.mY + (y - 0.5f), packed, tu, tv);
        };
        const D3DTLVERTEX leftTop = corner(left, top, tu1, tv1), leftBottom = corner(left, top + h, tu1, tv2),
                          rightTop = corner(left + w, top, tu2, tv1), rightBottom = corner(left + w, top + h, tu2, tv2);
        CheckDXError(mDevice->SetTexture(0, texture), "SetTexture gTexture");
        if (!clipRect || (InsideClip(leftTop, *clipRect) && InsideClip(leftBottom, *clipRect) &&
                          InsideClip(rightTop, *clipRect) && InsideClip(rightBottom, *clipRect))) {
          D3DTLVERTEX strip[4] = {leftTop, leftBottom, rightTop, rightBottom};
          CheckDXError(mDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, strip, 4, 0),
                       "DrawPrimitive (Tri) 3");
          return;
        }
        D3DVertexList polygon;
        for (const D3DTLVERTEX& v : {leftTop, leftBottom, rightBottom, rightTop}) polygon.Append(v);
        DrawPolyClipped(*clipRect, polygon);
      });
}

void D3DInterface::BltTriangles(const TriVertex (*triangles)[3], int count, const Rect* clipRect, const Color& color,
                                int drawMode, Image* texture, float tx, float ty, bool linear) {
  if (!triangles || count <= 0) return;
  auto* source = dynamic_cast<MemoryImage*>(texture);
  // Without a texture the triangles are drawn in their colours alone.
  if (texture ? !PrepareTextured(source, drawMode, linear) : !PrepareUntextured(drawMode)) return;
  const TextureData* data = source ? source->mD3DData : nullptr;
  const float maxU = data ? data->mMaxTotalU : 1.0f, maxV = data ? data->mMaxTotalV : 1.0f;
  const std::uint32_t packed = PackColor(color);
  const auto vertexOf = [&](const TriVertex& v) {
    return MakeVertex(v.mX + tx, v.mY + ty, v.mColor != 0 ? v.mColor : packed, v.mU * maxU, v.mV * maxV);
  };
  // A triangle reaching outside the clip rectangle is cut to it and drawn alone.
  const auto drawClipped = [&](D3DVertexList& polygon) {
    if (clipRect) {
      DrawPolyClipped(*clipRect, polygon);
    } else if (polygon.Count() > 2) {
      CheckDXError(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, polygon.Data(),
                                          static_cast<DWORD>(polygon.Count()), 0),
                   "DrawPrimitive (Tri) 4");
    }
  };

  if (maxU <= 1.0f && maxV <= 1.0f) {
    if (data) CheckDXError(mDevice->SetTexture(0, data->mPieces[0].mSurface), "SetTexture gTexture");
    D3DTLVERTEX batch[kTriangleBatch * 3];
    int batched = 0;
    const auto flush = [&] {
      if (batched == 0) return;
      CheckDXError(mDevice->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, batch, static_cast<DWORD>(batched), 0),
                   "DrawPrimitive (TriList)");
      batched = 0;
    };
    for (int i = 0; i < count; ++i) {
      const D3DTLVERTEX corners[3] = {vertexOf(triangles[i][0]), vertexOf(triangles[i][1]), vertexOf(triangles[i][2])};
      if (clipRect &&
          !std::all_of(corners, corners + 3, [&](const D3DTLVERTEX& v) { return InsideClip(v, *clipRect); })) {
        flush();  // drawn in the callers' order, which blending depends on
        D3DVertexList polygon;
        for (const D3DTLVERTEX& v : corners) polygon.Append(v);
        DrawPolyClipped(*clipRect, polygon);
        continue;
      }
      std::copy(corners, corners + 3, batch + batched);
      batched += 3;
      if (batched == kTriangleBatch * 3) flush();
    }
    flush();
    return;
  }

  // Several pieces: each triangle is cut to every piece its texture coordinates reach.
  const TextureData& pieces = *data;
  const float firstWidth = static_cast<float>(pieces.mPieces[0].mWidth);
  const float firstHeight = static_cast<float>(pieces.mPieces[0].mHeight);
  for (int i = 0; i < count; ++i) {
    const D3DTLVERTEX corners[3] = {vertexOf(triangles[i][0]), vertexOf(triangles[i][1]), vertexOf(triangles[i][2])};
    const auto [minU, maxUOf] = std::minmax({corners[0].tu, corners[1].tu, corners[2].tu});
    const auto [minV, maxVOf] = std::minmax({corners[0].tv, corners[1].tv, corners[2].tv});
    const int firstColumn = PieceIndex(std::floor(minU), pieces.mTexGridWidth);
    const int endColumn = PieceIndex(std::ceil(maxUOf), pieces.mTexGridWidth);
    const int firstRow = PieceIndex(std::floor(minV), pieces.mTexGridHeight);
    const int endRow = PieceIndex(std::ceil(maxVOf), pieces.mTexGridHeight);
    for (int row = firstRow; row < endRow; ++row) {
      for (int column = firstColumn; column < endColumn; ++column) {
        const TextureData::Piece& piece = pieces.mPieces[row * pieces.mTexGridWidth + column];
        D3DVertexList polygon;
        for (D3DTLVERTEX v : corners) {
          v.tu -= static_cast<float>(column);
          v.tv -= static_cast<float>(row);
          if (row == pieces.mTexGridHeight - 1) v.tv *= firstHeight / static_cast<float>(piece.mHeight);
          if (column == pieces.mTexGridWidth - 1) v.tu *= firstWidth / static_cast<float>(piece.mWidth);
          polygon.Append(v);
        }
        if (!D3DClipper::ClipToPiece(polygon)) continue;
        CheckDXError(mDevice->SetTexture(0, piece.mSurface), "SetTexture gTexture");
        drawClipped(polygon);
      }
    }
  }
}

}  // namespace Kit
