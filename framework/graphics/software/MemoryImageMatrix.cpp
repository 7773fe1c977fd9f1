// Matrix and textured-triangle blits of software images, through the software triangle rasteriser.
#include "framework/graphics/ImageLock.h"
#include "framework/graphics/MemoryImage.h"

namespace Kit {
namespace {

// Opaque-forced images drop alpha on every write; all others keep it.
int FormatCodeOf(const MemoryImage& image) {
  return image.mForcedMode && !image.mHasTrans && !image.mHasAlpha ? kFormatCode888 : kFormatCode8888;
}

// 0 asks for the call's colour and white leaves the texture as it is: neither is a colour of its own.
bool CarriesColor(std::uint32_t color) { return color != 0 && color != 0xFFFFFFFF; }

}  // namespace

void MemoryImage::BltMatrixHelper(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                                  const Color& color, int drawMode, const Rect& srcRect, const RasterTarget& target,
                                  bool blend) {
  auto* source = dynamic_cast<MemoryImage*>(image);
  if (!source || source->mWidth <= 0 || source->mHeight <= 0) return;
  const float halfW = static_cast<float>(srcRect.mWidth) / 2, halfH = static_cast<float>(srcRect.mHeight) / 2;
  const float u0 = static_cast<float>(srcRect.mX) / static_cast<float>(source->mWidth);
  const float u1 = static_cast<float>(srcRect.mX + srcRect.mWidth) / static_cast<float>(source->mWidth);
  const float v0 = static_cast<float>(srcRect.mY) / static_cast<float>(source->mHeight);
  const float v1 = static_cast<float>(srcRect.mY + srcRect.mHeight) / static_cast<float>(source->mHeight);
  // Strip order: left-top, right-top, left-bottom, right-bottom.
  const float corners[4][4] = {
      {-halfW, -halfH, u0, v0}, {halfW, -halfH, u1, v0}, {-halfW, halfH, u0, v1}, {halfW, halfH, u1, v1}};
  TriVertex strip[4];
  for (int i = 0; i < 4; ++i) {
    const Vector3 p = matrix.TransformVector(corners[i][0], corners[i][1], 1.0f);
    strip[i] = {p.mX + (x - 0.5f), p.mY + (y - 0.5f), corners[i][2], corners[i][3], 0xFFFFFFFF};
  }
  DrawTriangleSoftware(strip, 4, source, color, drawMode, clipRect, target, blend, false);
}

void MemoryImage::BltTrianglesTexHelper(Image* texture, const TriVertex (*triangles)[3], int count,
                                        const Rect& clipRect, const Color& color, int drawMode, float tx, float ty,
                                        const RasterTarget& target, bool blend) {
  auto* source = dynamic_cast<MemoryImage*>(texture);
  if ((texture && !source) || !triangles || count <= 0) return;
  bool vertexColors = false;
  for (int i = 0; i < count && !vertexColors; ++i)
    for (const TriVertex& v : triangles[i]) vertexColors = vertexColors || CarriesColor(v.mColor);
  for (int i = 0; i < count; ++i) {
    TriVertex strip[3];
    for (int k = 0; k < 3; ++k) {
      const TriVertex& v = triangles[i][k];
      strip[k] = {v.mX + tx, v.mY + ty, v.mU, v.mV, v.mColor == 0 ? 0xFFFFFFFF : v.mColor};
    }
    DrawTriangleSoftware(strip, 3, source, color, drawMode, clipRect, target, blend, vertexColors);
  }
}

void MemoryImage::BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                            const Color& color, int drawMode, const Rect& srcRect, bool blend) {
  const ImageOperationGuard guard(StoreLock());
  std::uint32_t* bits = GetBits();
  if (!bits) return;
  BltMatrixHelper(image, x, y, matrix, clipRect, color, drawMode, srcRect,
                  {bits, mWidth * 4, mWidth, mHeight, FormatCodeOf(*this)}, blend);
  BitsChanged();
}

void MemoryImage::BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clipRect,
                                  const Color& color, int drawMode, float tx, float ty, bool blend) {
  const ImageOperationGuard guard(StoreLock());
  std::uint32_t* bits = GetBits();
  if (!bits) return;
  BltTrianglesTexHelper(texture, triangles, count, clipRect, color, drawMode, tx, ty,
                        {bits, mWidth * 4, mWidth, mHeight, FormatCodeOf(*this)}, blend);
  BitsChanged();
}

}  // namespace Kit
