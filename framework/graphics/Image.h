// The abstract drawing target every picture is: a size, a grid of cels and an optional animation.
// Every drawing operation is virtual and does nothing here, so each image kind implements only what
// it can draw.
#pragma once

#include "framework/graphics/AnimInfo.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/Span.h"
#include "framework/graphics/TriVertex.h"

#include <memory>

namespace Kit {

class Image {
 public:
  Image() = default;
  Image(const Image& other);
  // Takes the cel grid and the animation but keeps this image's own size: a cropped copy of an image
  // gets the grid and animation of the image it was cut from.
  Image& operator=(const Image& other);
  virtual ~Image();

  virtual bool PolyFill(const Point* vertices, int count, const Rect& clipRect, const Color& color, int drawMode,
                        int tx, int ty);
  virtual void FillRect(const Rect& rect, const Color& color, int drawMode);
  // The outline covers width + 1 columns and height + 1 rows.
  virtual void DrawRect(const Rect& rect, const Color& color, int drawMode);
  virtual void ClearRect(const Rect& rect);
  virtual void DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode);
  virtual void FillScanLines(const Span* spans, int count, const Color& color, int drawMode);
  virtual void Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
  virtual void BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                    int drawMode);
  virtual void BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                          int drawMode, double angle, float centerX, float centerY);
  virtual void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                          const Color& color, int drawMode, bool fastStretch);
  virtual void BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                         const Color& color, int drawMode, const Rect& srcRect, bool blend);
  virtual void BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clipRect,
                               const Color& color, int drawMode, float tx, float ty, bool blend);
  virtual void BltMirror(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode);
  virtual void StretchBltMirror(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                                const Color& color, int drawMode, bool fastStretch);

  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  int GetCelWidth() const { return mNumCols > 0 ? mWidth / mNumCols : mWidth; }
  int GetCelHeight() const { return mNumRows > 0 ? mHeight / mNumRows : mHeight; }

  int mWidth = 0;
  int mHeight = 0;
  int mNumRows = 1;
  int mNumCols = 1;
  std::unique_ptr<AnimInfo> mAnimInfo;
};

}  // namespace Kit
