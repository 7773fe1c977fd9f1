#include "framework/graphics/Image.h"

namespace Kit {

Image::Image(const Image& other)
    : mWidth(other.mWidth),
      mHeight(other.mHeight),
      mNumRows(other.mNumRows),
      mNumCols(other.mNumCols),
      mAnimInfo(other.mAnimInfo ? std::make_unique<AnimInfo>(*other.mAnimInfo) : nullptr) {}

Image& Image::operator=(const Image& other) {
  if (this == &other) return *this;
  mNumRows = other.mNumRows;
  mNumCols = other.mNumCols;
  mAnimInfo = other.mAnimInfo ? std::make_unique<AnimInfo>(*other.mAnimInfo) : nullptr;
  return *this;
}

Image::~Image() = default;

bool Image::PolyFill(const Point*, int, const Rect&, const Color&, int, int, int) { return false; }

void Image::FillRect(const Rect&, const Color&, int) {}

void Image::DrawRect(const Rect& rect, const Color& color, int drawMode) {
  const int x = rect.mX, y = rect.mY, w = rect.mWidth, h = rect.mHeight;
  FillRect(Rect(x, y, w + 1, 1), color, drawMode);
  FillRect(Rect(x, y + h, w + 1, 1), color, drawMode);
  FillRect(Rect(x, y + 1, 1, h - 1), color, drawMode);
  FillRect(Rect(x + w, y + 1, 1, h - 1), color, drawMode);
}

void Image::ClearRect(const Rect&) {}

void Image::DrawLine(double, double, double, double, const Color&, int) {}

void Image::FillScanLines(const Span* spans, int count, const Color& color, int drawMode) {
  for (int i = 0; i < count; ++i) FillRect(Rect(spans[i].mX, spans[i].mY, spans[i].mWidth, 1), color, drawMode);
}

void Image::Blt(Image*, int, int, const Rect&, const Color&, int) {}

void Image::BltF(Image*, float, float, const Rect&, const Rect&, const Color&, int) {}

void Image::BltRotated(Image*, float, float, const Rect&, const Rect&, const Color&, int, double, float, float) {}

void Image::StretchBlt(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool) {}

void Image::BltMatrix(Image*, float, float, const Matrix3&, const Rect&, const Color&, int, const Rect&, bool) {}

void Image::BltTrianglesTex(Image*, const TriVertex (*)[3], int, const Rect&, const Color&, int, float, float, bool) {}

void Image::BltMirror(Image*, int, int, const Rect&, const Color&, int) {}

void Image::StretchBltMirror(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool) {}

}  // namespace Kit
