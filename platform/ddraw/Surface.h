// A DirectDraw surface in plain memory, seen through both the version-1 and the version-7 interface.
// All state is guarded by the owning device's mutex, so surfaces may be created, locked and blitted on
// any thread; only the device's presenter hands the primary's pixels to SDL, on the main thread.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ddraw/Blitter.h"
#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/PixelLayout.h"
#include "platform/ddraw/SurfaceDC.h"
#include "platform/ddraw/SurfaceMemory.h"

namespace plat::ddraw {

class DisplayDevice;
class Clipper;
class Palette;

class Surface final : public IDirectDrawSurface, public IDirectDrawSurface7 {
 public:
  // Creates a surface (a primary with its flip chain, or an off-screen surface) from a description.
  static HRESULT Create(const std::shared_ptr<DisplayDevice>& device, const DDSURFACEDESC2& desc, Surface** out);

  // IUnknown (both faces)
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // Shared by both faces
  HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT GetDC(HDC* dc) override;
  HRESULT GetPixelFormat(LPDDPIXELFORMAT format) override;
  HRESULT ReleaseDC(HDC dc) override;
  [[nodiscard]] HRESULT Restore() override;
  HRESULT SetClipper(IDirectDrawClipper* clipper) override;
  HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) override;

  // IDirectDrawSurface
  [[nodiscard]] HRESULT Blt(LPRECT destRect, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags,
                            LPDDBLTFX effects) override;
  [[nodiscard]] HRESULT Flip(IDirectDrawSurface* target, DWORD flags) override;
  HRESULT GetAttachedSurface(LPDDSCAPS caps, IDirectDrawSurface** attached) override;
  HRESULT GetCaps(LPDDSCAPS caps) override;
  HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) override;
  [[nodiscard]] HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) override;
  HRESULT Unlock(LPVOID surfaceData) override;

  // IDirectDrawSurface7
  [[nodiscard]] HRESULT Blt(LPRECT destRect, IDirectDrawSurface7* source, LPRECT sourceRect, DWORD flags,
                            LPDDBLTFX effects) override;
  [[nodiscard]] HRESULT Flip(IDirectDrawSurface7* target, DWORD flags) override;
  HRESULT GetAttachedSurface(LPDDSCAPS2 caps, IDirectDrawSurface7** attached) override;
  HRESULT GetCaps(LPDDSCAPS2 caps) override;
  HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
  [[nodiscard]] HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
  HRESULT Unlock(LPRECT rect) override;
  HRESULT GetPalette(IDirectDrawPalette** palette) override;
  HRESULT SetPalette(IDirectDrawPalette* palette) override;

  // ---- For the device, under its mutex ----
  HWND ClipperWindow() const;
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  // Shows the GDI buffer of a flip chain again.
  void FlipToGdiBuffer();
  // The display mode changed under the surface: it and its chain are lost.
  void MarkLost();

  // ---- For the 3D device, under the device's mutex ----
  static Surface* FromInterface(IDirectDrawSurface7* face);
  const std::shared_ptr<DisplayDevice>& Device() const { return mDevice; }
  DWORD Caps() const { return mCaps; }
  const PixelLayout& Layout() const { return mLayout; }
  PixelView View() const;
  // Locked, or its device context handed out: its memory belongs to someone else for now.
  bool Busy() const { return mLocked || mDC != nullptr; }
  bool Lost() const { return mLost; }
  const Palette* AttachedPalette() const { return mPalette; }
  // The primary surface is shown again after the device drew into it.
  bool Visible() const;

 private:
  Surface(std::shared_ptr<DisplayDevice> device, DWORD caps, int width, int height, const PixelLayout& layout);
  ~Surface();

  HRESULT BltFrom(LPRECT destRect, Surface* source, LPRECT sourceRect, DWORD flags, LPDDBLTFX effects);
  HRESULT FlipTo(Surface* target);
  void RotateBuffers();
  HRESULT LockInto(LPRECT rect, DDSURFACEDESC2& desc);
  HRESULT DoUnlock();
  Surface* AttachedBackBuffer(DWORD caps);
  // GetAttachedSurface for either interface: the back buffer as `Interface`, with a reference.
  template <typename Interface>
  HRESULT GetAttachedAs(DWORD caps, Interface** attached);
  DDSURFACEDESC2 Describe() const;
  HRESULT AllocatePixels();
  // The region a clipper lets blits reach, in surface coordinates.
  std::optional<RECT> ClipRegion() const;

  static Surface* FromInterface(IDirectDrawSurface* face);

  std::atomic<ULONG> mRefs{1};
  std::shared_ptr<DisplayDevice> mDevice;
  const DWORD mCaps;
  const int mWidth;
  const int mHeight;
  const PixelLayout mLayout;
  LONG mPitch = 0;
  // The memory; flips swap buffers between the members of a chain. gdi marks the buffer the primary
  // had when the chain was made, the one system windows draw into.
  struct Buffer {
    SurfaceMemory bytes;
    bool gdi = false;
  } mBuffer;
  size_t mVideoMemoryBytes = 0;
  bool mLocked = false;
  bool mLost = false;
  std::unique_ptr<SurfaceDC> mDC;
  std::optional<DDCOLORKEY> mSourceKey;
  std::optional<DDCOLORKEY> mDestKey;
  Clipper* mClipper = nullptr;
  Palette* mPalette = nullptr;         // holds a reference
  std::vector<Surface*> mBackBuffers;  // front of a flip chain: the back buffers, each holding a reference
  Surface* mFront = nullptr;           // back buffer: the chain's front while it lives
};

}  // namespace plat::ddraw
