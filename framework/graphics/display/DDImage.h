// An image whose pixels may also live in a DirectDraw surface in the display's format. Opaque and
// colour-keyed images are drawn from and into the surface; images with partial alpha stay in
// software. At any time either the software pixels or the surface is authoritative: drawing through
// the surface drops the software buffers, and changing the software pixels drops the surface.
#pragma once

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/display/AreaStretchCache.h"
#include "framework/graphics/surface/SurfaceTarget.h"
#include "platform/ddraw/DDraw.h"

#include <optional>
#include <type_traits>

namespace Kit {

class DDInterface;

class DDImage : public MemoryImage {
 public:
  explicit DDImage(DDInterface* display);
  DDImage(const DDImage&) = delete;
  DDImage& operator=(const DDImage&) = delete;
  ~DDImage() override;

  // Drawing, routed to the surface routines, or to the software ones when the image cannot be drawn
  // through its surface.
  bool PolyFill(const Point* vertices, int count, const Rect& clipRect, const Color& color, int drawMode, int tx,
                int ty) override;
  void FillRect(const Rect& rect, const Color& color, int drawMode) override;
  void DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode) override;
  void Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
  void BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
            int drawMode) override;
  void BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                  int drawMode, double angle, float centerX, float centerY) override;
  void BltMirror(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
  void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect, const Color& color,
                  int drawMode, bool fastStretch) override;
  void StretchBltMirror(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                        const Color& color, int drawMode, bool fastStretch) override;
  void BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect, const Color& color,
                 int drawMode, const Rect& srcRect, bool blend) override;
  void BltTrianglesTex(Image* texture, const TriVertex (*triangles)[3], int count, const Rect& clipRect,
                       const Color& color, int drawMode, float tx, float ty, bool blend) override;

  // Pixel store.
  void PurgeBits() override;
  void DeleteExtraBuffers() override;
  void ReInit() override;
  void BitsChanged() override;
  void DeleteNativeData() override;
  void Create(int width, int height) override;
  std::uint32_t* GetBits() override;
  bool Palletize() override;

  virtual void SetVideoMemory(bool videoMemory);
  virtual void SetColorKeyFromFirstPixel();
  virtual void NormalFillRectSurface(const Rect& rect, const Color& color);
  virtual void AdditiveFillRectSurface(const Rect& rect, const Color& color);
  virtual void NormalBltSurface(Image* image, int x, int y, const Rect& srcRect, const Color& color);
  virtual void AdditiveBltSurface(Image* image, int x, int y, const Rect& srcRect, const Color& color);
  virtual void NormalDrawLineSurface(double startX, double startY, double endX, double endY, const Color& color);
  virtual void AdditiveDrawLineSurface(double startX, double startY, double endX, double endY, const Color& color);
  virtual void NormalBltMirrorSurface(Image* image, int x, int y, const Rect& srcRect, const Color& color);
  virtual void AdditiveBltMirrorSurface(Image* image, int x, int y, const Rect& srcRect, const Color& color);
  // Locks nest: the outermost LockSurface locks the surface into mLockedSurfaceDesc, the matching
  // UnlockSurface unlocks it. While the image's lock is broken (below) each LockSurface tries to
  // lock the surface again and fails when it cannot.
  virtual bool LockSurface();
  virtual bool UnlockSurface();
  // Runs work(surface), a DirectDraw call that cannot work on a locked surface (a blit onto it, its
  // device context), with a lock the image holds lifted, and takes the lock again afterwards (the
  // count of locks stays). Returns work's result, or the unlock's failure, in which case work does
  // not run. A lock that cannot be taken again breaks the image's lock: mLockBroken is set, the
  // locked description is emptied, surface draws and read-backs do nothing until a lock is taken
  // anew, and the outermost UnlockSurface has nothing to release.
  template <typename Work>
  HRESULT WithSurfaceUnlocked(Work&& work) {
    using Call = std::remove_reference_t<Work>;
    return CallWithSurfaceUnlocked(
        [](void* call, IDirectDrawSurface* surface) { return (*static_cast<Call*>(call))(surface); }, &work);
  }
  // Adopts a surface made elsewhere (the screen, the cursor areas): it is never purged or turned
  // back into pixels, and only the destructor releases it.
  virtual void SetSurface(IDirectDrawSurface* surface);
  // Forgets the target kept for the surface's lock: the display's format and tables are about to change.
  void ForgetLockedTarget() { mLockedTarget.reset(); }

  bool IsDrawSurface3D() const;
  // A copy of the surface's pixels as ARGB words (width x height and the guard word), kept nowhere:
  // the image stays as it is. The Direct3D draw surface is read too, once its open scene is ended.
  // Null when the image has no surface or it cannot be read.
  std::unique_ptr<std::uint32_t[]> CopySurfacePixels();
  // The surface, built from the pixels when missing; null when it cannot be built.
  IDirectDrawSurface* GetSurface();
  bool GenerateDDSurface();
  void DeleteDDSurface();
  // Frees the pixels and every buffer derived from them: the surface becomes the only copy.
  void DeleteAllNonSurfaceData();

  DDInterface* mDisplay;
  IDirectDrawSurface* mSurface = nullptr;
  bool mForeignSurface = false;
  bool mNoLock = false;
  bool mVideoMemory = false;
  bool mFirstPixelTransparent = false;
  bool mWantDDSurface = false;
  bool mDrawToBits = false;
  int mLockCount = 0;
  // The image counts locks but its surface is not locked: taking the lock again after a blit or a
  // device context failed.
  bool mLockBroken = false;
  DDSURFACEDESC mLockedSurfaceDesc{};

 protected:
  // A surface holds the pixels as they were when it was made: only an image without one commits.
  void CommitPendingBits() override;

 private:
  // The whole construction runs under the display's lock, so that the display's walks over every image
  // never meet one whose surface-backed part is not built yet.
  DDImage(DDInterface* display, const ImageOperationGuard& constructing);

  AreaStretchCache mAreaStretch;  // the last area-weighted stretch drawn through the surface
  std::optional<SurfaceTarget> mLockedTarget;

  // GetSurface, LockSurface, UnlockSurface and DeleteAllNonSurfaceData for the image's own operations,
  // which hold the store lock already (or work without it, as ImageLock lets them).
  IDirectDrawSurface* OwnSurface();
  bool LockOwnSurface();
  bool UnlockOwnSurface();
  void DropNonSurfaceData();

  HRESULT CallWithSurfaceUnlocked(HRESULT (*call)(void* work, IDirectDrawSurface* surface), void* work);

  // Runs draw(target) with the triangle rasteriser's view of the locked surface; nothing when the
  // surface cannot be locked or has no format the rasteriser writes. The caller holds the store lock
  // (or works without it, as ImageLock lets it).
  template <typename Draw>
  void RasterizeOnSurface(Draw draw);
  // The locked surface as the drawing routines see it: made once a lock, as every draw of a frame goes
  // onto the surface the widget manager locked for the whole frame.
  const SurfaceTarget& LockedTarget();
  // Locks the surface into mLockedSurfaceDesc, restoring a lost one; the target of the last lock goes.
  HRESULT LockDescribing();
  // Whether drawing may go through the surface: no partial alpha, and a colour key (if any) that
  // does not depend on which pixels are transparent.
  bool SurfaceDrawable() const;
  // Runs draw(target) on the locked surface under the surface routines' protocol; the caller holds
  // the store lock (or works without it, as ImageLock lets it).
  template <typename Draw>
  void WithLockedSurface(Draw draw);
  // The surface's pixels converted back to ARGB words (width x height + the guard word).
  std::unique_ptr<std::uint32_t[]> ReadSurface();
  // Stores ARGB pixels into the locked surface; returns the colour key used (when keyed).
  void WriteSurface(const std::uint32_t* bits, bool keyed, std::uint32_t key);
  void ReleaseSurface();
  // The hardware copy of a surface image's rectangle; false when DirectDraw refused it.
  bool HardwareCopy(DDImage& source, int x, int y, const Rect& srcRect);
  // DirectDraw's stretch of a surface image's rectangle onto this image's surface; false when refused.
  bool HardwareStretch(DDImage& source, const Rect& to, const RECT& from);
};

}  // namespace Kit
