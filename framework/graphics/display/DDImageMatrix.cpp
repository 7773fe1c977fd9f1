// Matrix and textured-triangle blits of surface images: the software triangle rasteriser on the
// locked surface.
#include "framework/graphics/display/DDImage.h"

#include "framework/graphics/ImageLock.h"
#include "framework/graphics/d3d/D3DInterface.h"
#include "framework/graphics/display/DDInterface.h"

namespace Kit {
namespace {

// The rasteriser's format code of a locked surface; 0 for formats it does not write.
int FormatCodeOf(const DDPIXELFORMAT& format) {
  if (format.dwRGBBitCount == 32) return kFormatCode888;
  if (format.dwRGBBitCount != 16 || format.dwBBitMask != 0x001F) return 0;
  if (format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x07E0) return kFormatCode565;
  if (format.dwRBitMask == 0x7C00 && format.dwGBitMask == 0x03E0) return kFormatCode555;
  return 0;
}

}  // namespace

template <typename Draw>
void DDImage::RasterizeOnSurface(Draw draw) {
  if (mNoLock || !mDisplay || !OwnSurface() || !LockOwnSurface()) return;
  const int formatCode = FormatCodeOf(mLockedSurfaceDesc.ddpfPixelFormat);
  // Any other format code would be written as 32-bit pixels, past the end of a 16-bit surface.
  if (formatCode != 0 && mLockedSurfaceDesc.lpSurface)
    draw(RasterTarget{mLockedSurfaceDesc.lpSurface, static_cast<int>(mLockedSurfaceDesc.lPitch),
                      static_cast<int>(mLockedSurfaceDesc.dwWidth), static_cast<int>(mLockedSurfaceDesc.dwHeight),
                      formatCode});
  UnlockOwnSurface();
}

void DDImage::BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect, const Color& color,
                        int drawMode, const Rect& srcRect, bool blend) {
  const ImageOperationGuard guard(StoreLock());
  if (mNoLock) return;
  CommitPendingBits();
  // Sampled by nearest texel, as the software rasteriser samples.
  if (IsDrawSurface3D()) {
    mDisplay->mD3DInterface->BltTransformed(image, &clipRect, color, drawMode, srcRect, matrix, false, x, y, true);
    return;
  }
  // A surface cannot hold partial alpha, and without one the pixels stay the only copy.
  if (!SurfaceDrawable() || (mDisplay && mDisplay->mIs3D) || !OwnSurface()) {
    MemoryImage::BltMatrix(image, x, y, matrix, clipRect, color, drawMode, srcRect, blend);
    return;
  }
  RasterizeOnSurface([&](const RasterTarget& target) {
    BltMatrixHelper(image, x, y, matrix, clipRect, color, drawMode, srcRect, target, blend);
  });
  DropNonSurfaceData();
}

void DDImage::BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clipRect,
                              const Color& color, int drawMode, float tx, float ty, bool blend) {
  const ImageOperationGuard guard(StoreLock());
  if (mNoLock) return;
  CommitPendingBits();
  if (IsDrawSurface3D()) {
    mDisplay->mD3DInterface->BltTriangles(triangles, count, &clipRect, color, drawMode, texture, tx, ty, false);
    return;
  }
  if (!SurfaceDrawable() || (mDisplay && mDisplay->mIs3D) || !OwnSurface()) {
    MemoryImage::BltTrianglesTex(texture, triangles, count, clipRect, color, drawMode, tx, ty, blend);
    return;
  }
  RasterizeOnSurface([&](const RasterTarget& target) {
    BltTrianglesTexHelper(texture, triangles, count, clipRect, color, drawMode, tx, ty, target, blend);
  });
  DropNonSurfaceData();
}

}  // namespace Kit
