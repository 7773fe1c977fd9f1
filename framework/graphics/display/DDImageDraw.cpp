// The surface-backed image's drawing: which of the surface routines, DirectDraw's own blit or the
// software routines draws each call, and the eight surface routines on the locked surface.
#include "framework/graphics/display/DDImage.h"

#include "framework/graphics/FloatToInt.h"
#include "framework/graphics/ImageLock.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/graphics/surface/SurfaceBlitArea.h"
#include "framework/graphics/surface/SurfaceBlt.h"
#include "framework/graphics/surface/SurfaceFill.h"
#include "framework/graphics/surface/SurfaceLine.h"
#include "framework/graphics/surface/SurfaceRotate.h"
#include "framework/graphics/surface/SurfaceStretch.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

namespace Kit {
namespace {

bool Is3D(const DDInterface* display) { return display && display->mIs3D; }

// The software image behind an image drawn from, or null. Nearly every image drawn is exactly a
// surface-backed or a software image: their type is checked first, sparing the search of a cast.
MemoryImage* SoftwareImageOf(Image* image) {
  if (!image) return nullptr;
  if (typeid(*image) == typeid(DDImage)) return static_cast<DDImage*>(image);
  if (typeid(*image) == typeid(MemoryImage)) return static_cast<MemoryImage*>(image);
  return dynamic_cast<MemoryImage*>(image);
}

// The software image behind an image drawn from, its pending pixel changes applied, or null.
MemoryImage* CommittedSourceOf(Image* image) {
  MemoryImage* source = SoftwareImageOf(image);
  if (source) source->CommitBits();
  return source;
}

// The surface-backed image behind an image, or null.
DDImage* SurfaceImageOf(Image* image) {
  if (!image) return nullptr;
  if (typeid(*image) == typeid(DDImage)) return static_cast<DDImage*>(image);
  if (typeid(*image) == typeid(MemoryImage)) return nullptr;
  return dynamic_cast<DDImage*>(image);
}

}  // namespace

const SurfaceTarget& DDImage::LockedTarget() {
  if (mLockedTarget) return *mLockedTarget;
  SurfacePixels pixels;
  pixels.mBits = mLockedSurfaceDesc.lpSurface;
  pixels.mPitch = mLockedSurfaceDesc.lPitch;
  pixels.mWidth = static_cast<int>(mLockedSurfaceDesc.dwWidth);
  pixels.mHeight = static_cast<int>(mLockedSurfaceDesc.dwHeight);
  pixels.mBitCount = static_cast<int>(mLockedSurfaceDesc.ddpfPixelFormat.dwRGBBitCount);
  pixels.mRedMask = mLockedSurfaceDesc.ddpfPixelFormat.dwRBitMask;
  pixels.mGreenMask = mLockedSurfaceDesc.ddpfPixelFormat.dwGBitMask;
  pixels.mBlueMask = mLockedSurfaceDesc.ddpfPixelFormat.dwBBitMask;
  mLockedTarget = MakeSurfaceTarget(pixels, *mDisplay, mDisplay->AddTables());
  return *mLockedTarget;
}

template <typename Draw>
void DDImage::WithLockedSurface(Draw draw) {
  if (mNoLock || !mDisplay || !OwnSurface() || !LockOwnSurface()) return;
  draw(LockedTarget());
  UnlockOwnSurface();
}

bool DDImage::SurfaceDrawable() const { return !mHasAlpha && (!mHasTrans || mFirstPixelTransparent); }

// ---- Routing ----

bool DDImage::PolyFill(const Point* vertices, int count, const Rect& clipRect, const Color& color, int drawMode, int tx,
                       int ty) {
  const ImageOperationGuard guard(StoreLock());
  if (!IsDrawSurface3D()) return false;
  mDisplay->mD3DInterface->FillPoly(vertices, count, &clipRect, color, drawMode, tx, ty);
  return true;
}

void DDImage::FillRect(const Rect& rect, const Color& color, int drawMode) {
  const ImageOperationGuard guard(StoreLock());
  if (IsDrawSurface3D()) {
    mDisplay->mD3DInterface->FillRect(rect, color, drawMode);
    return;
  }
  CommitPendingBits();
  const bool viaSurface = !mDrawToBits && SurfaceDrawable() && !Is3D(mDisplay);
  // Drawing through the surface drops the pixels, so only when the surface is there to hold them.
  if (viaSurface && (mNoLock || OwnSurface())) {
    if (drawMode == 1)
      AdditiveFillRectSurface(rect, color);
    else
      NormalFillRectSurface(rect, color);
    DropNonSurfaceData();
    return;
  }
  MemoryImage::FillRect(rect, color, drawMode);
}

void DDImage::DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode) {
  const ImageOperationGuard guard(StoreLock());
  if (IsDrawSurface3D()) {
    mDisplay->mD3DInterface->DrawLine(startX, startY, endX, endY, color, drawMode);
    return;
  }
  if (!mHasAlpha && !mHasTrans && !Is3D(mDisplay)) {
    if (startY == endY) {
      const int left = TruncCoordinate(std::min(startX, endX)), right = TruncCoordinate(std::max(startX, endX));
      FillRect(
          Rect(left, TruncCoordinate(startY), right - left + 1, TruncCoordinate(endY) - TruncCoordinate(startY) + 1),
          color, drawMode);
      return;
    }
    if (startX == endX) {
      const int top = TruncCoordinate(std::min(startY, endY)), bottom = TruncCoordinate(std::max(startY, endY));
      FillRect(Rect(TruncCoordinate(startX), top, 1, bottom - top + 1), color, drawMode);
      return;
    }
    CommitPendingBits();
    if (mNoLock || OwnSurface()) {
      if (drawMode == 1)
        AdditiveDrawLineSurface(startX, startY, endX, endY, color);
      else
        NormalDrawLineSurface(startX, startY, endX, endY, color);
      DropNonSurfaceData();
      return;
    }
  }
  MemoryImage::DrawLine(startX, startY, endX, endY, color, drawMode);
}

void DDImage::Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
  const ImageOperationGuard guard(StoreLock());
  CommitPendingBits();
  if (IsDrawSurface3D()) {
    auto* ddSource = SurfaceImageOf(image);
    if (ddSource && ddSource->mSurface && drawMode == 0 && color == Color::White && !ddSource->mHasAlpha) {
      ddSource->CommitBits();
      if (HardwareCopy(*ddSource, x, y, srcRect)) return;
    }
    mDisplay->mD3DInterface->Blt(image, static_cast<float>(x), static_cast<float>(y), srcRect, color, drawMode, false);
    return;
  }
  const bool cursorArea =
      image && mDisplay && (this == mDisplay->mOldCursorAreaImage.get() || this == mDisplay->mNewCursorAreaImage.get());
  if (SurfaceDrawable() && (!Is3D(mDisplay) || cursorArea) && (mNoLock || OwnSurface())) {
    if (drawMode == 1)
      AdditiveBltSurface(image, x, y, srcRect, color);
    else
      NormalBltSurface(image, x, y, srcRect, color);
    DropNonSurfaceData();
    return;
  }
  MemoryImage::Blt(image, x, y, srcRect, color, drawMode);
}

void DDImage::BltMirror(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
  const ImageOperationGuard guard(StoreLock());
  CommitPendingBits();
  if (IsDrawSurface3D()) {
    mDisplay->mD3DInterface->BltMirror(image, static_cast<float>(x), static_cast<float>(y), srcRect, color, drawMode,
                                       false);
    return;
  }
  // There is no software mirrored blit: an image without a surface keeps its pixels undrawn rather
  // than losing them.
  if (!mNoLock && !OwnSurface()) return;
  if (drawMode == 1)
    AdditiveBltMirrorSurface(image, x, y, srcRect, color);
  else
    NormalBltMirrorSurface(image, x, y, srcRect, color);
  DropNonSurfaceData();
}

void DDImage::BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                   int drawMode) {
  const ImageOperationGuard guard(StoreLock());
  if (IsDrawSurface3D()) {
    CommitPendingBits();
    // Wholly inside the clip rectangle it is a plain blit at a fractional position; otherwise only
    // what lies inside is drawn.
    const float width = static_cast<float>(srcRect.mWidth), height = static_cast<float>(srcRect.mHeight);
    const float left = std::max(x, static_cast<float>(clipRect.mX));
    const float right = std::min(x + width, static_cast<float>(clipRect.mX + clipRect.mWidth));
    const float top = std::max(y, static_cast<float>(clipRect.mY));
    const float bottom = std::min(y + height, static_cast<float>(clipRect.mY + clipRect.mHeight));
    const float clippedWidth = std::max(right - left, 0.0f), clippedHeight = std::max(bottom - top, 0.0f);
    if (clippedWidth == width && clippedHeight == height)
      mDisplay->mD3DInterface->Blt(image, x, y, srcRect, color, drawMode, true);
    else if (clippedWidth > 0 && clippedHeight > 0)
      mDisplay->mD3DInterface->BltClipF(image, x, y, srcRect, &clipRect, color, drawMode);
    return;
  }
  BltRotated(image, x, y, srcRect, clipRect, color, drawMode, 0.0, 0.0f, 0.0f);
}

void DDImage::BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                         int drawMode, double angle, float centerX, float centerY) {
  const ImageOperationGuard guard(StoreLock());
  if (mNoLock) return;
  CommitPendingBits();
  if (IsDrawSurface3D()) {
    mDisplay->mD3DInterface->BltRotated(image, x, y, srcRect, &clipRect, color, drawMode, angle, centerX, centerY);
    return;
  }
  if (!SurfaceDrawable() || Is3D(mDisplay) || !OwnSurface()) {
    MemoryImage::BltRotated(image, x, y, srcRect, clipRect, color, drawMode, angle, centerX, centerY);
    return;
  }
  Rect bounds;
  auto* source = SoftwareImageOf(image);
  if (source && GetRotatedBounds(x, y, srcRect, clipRect, angle, centerX, centerY, bounds)) {
    source->CommitBits();
    WithLockedSurface([&](const SurfaceTarget& target) {
      SurfaceDraw::RotatedBlt(target, *source, x, y, srcRect, bounds, color, drawMode, angle, centerX, centerY);
    });
  }
  DropNonSurfaceData();
}

void DDImage::StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                         const Color& color, int drawMode, bool fastStretch) {
  const ImageOperationGuard guard(StoreLock());
  CommitPendingBits();
  if (IsDrawSurface3D()) {
    mDisplay->mD3DInterface->StretchBlt(image, destRect, srcRect, &clipRect, color, drawMode, fastStretch, false);
    return;
  }
  auto* source = SoftwareImageOf(image);
  Rect dest;
  StretchSource cut;
  if (!source || !ClipStretch(destRect, srcRect, clipRect.Intersection(Rect(0, 0, mWidth, mHeight)), dest, cut)) return;
  // Without a surface to hold the result the software stretch draws it, so no pixels are lost.
  if (Is3D(mDisplay) || !OwnSurface() || (!fastStretch && (mHasAlpha || mHasTrans))) {
    MemoryImage::StretchBlt(image, destRect, srcRect, clipRect, color, drawMode, fastStretch);
    return;
  }
  if (!fastStretch) {
    // A stretch that is not kept (of a surface image) goes onto the surface row by row as it is
    // resampled, drawn as its picture would be blitted, where the surface routines can: white and normal.
    if (!AreaStretchCache::Keeps(*source) && source != this && color == Color::White && drawMode != 1) {
      bool drawn = false;
      WithLockedSurface(
          [&](const SurfaceTarget& target) { drawn = SurfaceDraw::AreaStretch(target, *source, mDisplay, dest, cut); });
      if (drawn) {
        DropNonSurfaceData();
        return;
      }
    }
    // Area-weighted into a picture of the destination's size (kept for the next call), then blitted
    // like any image.
    MemoryImage& scaled = mAreaStretch.Resampled(*source, cut, dest.mWidth, dest.mHeight, mDisplay);
    Blt(&scaled, dest.mX, dest.mY, Rect(0, 0, dest.mWidth, dest.mHeight), color, drawMode);
    DropNonSurfaceData();
    return;
  }
  source->CommitBits();
  auto* ddSource = SurfaceImageOf(source);
  if (ddSource && color == Color::White && drawMode == 0 && !ddSource->mHasAlpha && ddSource->GetSurface()) {
    const RECT from{static_cast<LONG>(cut.mX), static_cast<LONG>(cut.mY), static_cast<LONG>(cut.mX + cut.mWidth),
                    static_cast<LONG>(cut.mY + cut.mHeight)};
    if (HardwareStretch(*ddSource, dest, from)) {
      DropNonSurfaceData();
      return;
    }
  }
  WithLockedSurface([&](const SurfaceTarget& target) {
    SurfaceDraw::FastStretch(target, *source, mDisplay, dest, cut, color, drawMode, false);
  });
  DropNonSurfaceData();
}

void DDImage::StretchBltMirror(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                               const Color& color, int drawMode, bool fastStretch) {
  const ImageOperationGuard guard(StoreLock());
  CommitPendingBits();
  if (IsDrawSurface3D()) {
    mDisplay->mD3DInterface->StretchBlt(image, destRect, srcRect, &clipRect, color, drawMode, fastStretch, true);
    return;
  }
  auto* source = SoftwareImageOf(image);
  Rect dest;
  StretchSource cut;
  if (!source || !ClipStretchMirror(destRect, srcRect, clipRect.Intersection(Rect(0, 0, mWidth, mHeight)), dest, cut))
    return;
  // There is no software mirrored stretch: without a surface nothing is drawn and nothing lost.
  if (!OwnSurface()) return;
  WithLockedSurface([&](const SurfaceTarget& target) {
    SurfaceDraw::FastStretch(target, *source, mDisplay, dest, cut, color, drawMode, true);
  });
  DropNonSurfaceData();
}

bool DDImage::HardwareStretch(DDImage& source, const Rect& to, const RECT& from) {
  RECT target{to.mX, to.mY, to.mX + to.mWidth, to.mY + to.mHeight};
  RECT sourceRect = from;
  if (sourceRect.right <= sourceRect.left || sourceRect.bottom <= sourceRect.top) return false;
  DDBLTFX fx{};
  fx.dwSize = sizeof(fx);
  const DWORD flags = DDBLT_WAIT | (source.mHasTrans ? DDBLT_KEYSRC : 0);
  return SUCCEEDED(WithSurfaceUnlocked(
      [&](IDirectDrawSurface* surface) { return surface->Blt(&target, source.mSurface, &sourceRect, flags, &fx); }));
}

// ---- Surface routines ----

void DDImage::NormalFillRectSurface(const Rect& rect, const Color& color) {
  const ImageOperationGuard guard(StoreLock());
  WithLockedSurface([&](const SurfaceTarget& target) { SurfaceDraw::NormalFill(target, rect, color); });
}

void DDImage::AdditiveFillRectSurface(const Rect& rect, const Color& color) {
  const ImageOperationGuard guard(StoreLock());
  WithLockedSurface([&](const SurfaceTarget& target) { SurfaceDraw::AdditiveFill(target, rect, color); });
}

void DDImage::NormalDrawLineSurface(double startX, double startY, double endX, double endY, const Color& color) {
  const ImageOperationGuard guard(StoreLock());
  WithLockedSurface(
      [&](const SurfaceTarget& target) { SurfaceDraw::NormalLine(target, startX, startY, endX, endY, color); });
}

void DDImage::AdditiveDrawLineSurface(double startX, double startY, double endX, double endY, const Color& color) {
  const ImageOperationGuard guard(StoreLock());
  WithLockedSurface(
      [&](const SurfaceTarget& target) { SurfaceDraw::AdditiveLine(target, startX, startY, endX, endY, color); });
}

bool DDImage::HardwareCopy(DDImage& source, int x, int y, const Rect& srcRect) {
  if (!OwnSurface()) return false;
  const BlitArea area =
      ClipBlit(Rect(0, 0, mWidth, mHeight), Rect(0, 0, source.mWidth, source.mHeight), x, y, srcRect, false);
  if (area.IsEmpty()) return true;
  const RECT from{area.mSrc.mX, area.mSrc.mY, area.mSrc.mX + area.mSrc.mWidth, area.mSrc.mY + area.mSrc.mHeight};
  return HardwareStretch(source, Rect(area.mX, area.mY, area.mSrc.mWidth, area.mSrc.mHeight), from);
}

void DDImage::NormalBltSurface(Image* image, int x, int y, const Rect& srcRect, const Color& color) {
  const ImageOperationGuard guard(StoreLock());
  auto* source = CommittedSourceOf(image);
  if (!source) return;
  auto* ddSource = SurfaceImageOf(source);
  const bool white = color == Color::White;
  const bool sourceHasSurface = ddSource && ddSource->mSurface;
  if (source->mIsVolatile && !sourceHasSurface && white) {
    WithLockedSurface([&](const SurfaceTarget& target) { SurfaceDraw::VolatileBlt(target, *source, x, y, srcRect); });
    return;
  }
  if (!source->mHasAlpha && white) {
    // A copy between surfaces is DirectDraw's, except from video memory into system memory; when
    // DirectDraw refuses it (a lost or foreign-format source), the pixels are copied here instead.
    if (sourceHasSurface && !(!mVideoMemory && ddSource->mVideoMemory) && HardwareCopy(*ddSource, x, y, srcRect))
      return;
    WithLockedSurface([&](const SurfaceTarget& target) {
      SurfaceDraw::CopyNative(target, *source, mDisplay, x, y, srcRect, source->mHasTrans);
    });
    return;
  }
  WithLockedSurface([&](const SurfaceTarget& target) {
    SurfaceDraw::AlphaBlt(target, *source, mDisplay, x, y, srcRect, color, false);
  });
}

void DDImage::AdditiveBltSurface(Image* image, int x, int y, const Rect& srcRect, const Color& color) {
  const ImageOperationGuard guard(StoreLock());
  auto* source = CommittedSourceOf(image);
  if (!source) return;
  WithLockedSurface([&](const SurfaceTarget& target) {
    SurfaceDraw::AdditiveBlt(target, *source, mDisplay, x, y, srcRect, color, false);
  });
}

void DDImage::NormalBltMirrorSurface(Image* image, int x, int y, const Rect& srcRect, const Color& color) {
  const ImageOperationGuard guard(StoreLock());
  auto* source = CommittedSourceOf(image);
  if (!source) return;
  WithLockedSurface([&](const SurfaceTarget& target) {
    SurfaceDraw::AlphaBlt(target, *source, mDisplay, x, y, srcRect, color, true);
  });
}

void DDImage::AdditiveBltMirrorSurface(Image* image, int x, int y, const Rect& srcRect, const Color& color) {
  const ImageOperationGuard guard(StoreLock());
  auto* source = CommittedSourceOf(image);
  if (!source) return;
  WithLockedSurface([&](const SurfaceTarget& target) {
    SurfaceDraw::AdditiveBlt(target, *source, mDisplay, x, y, srcRect, color, true);
  });
}

}  // namespace Kit
