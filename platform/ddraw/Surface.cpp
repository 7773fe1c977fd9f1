#include "platform/ddraw/Surface.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "platform/ddraw/BandedBlit.h"
#include "platform/ddraw/Clipper.h"
#include "platform/ddraw/DisplayDevice.h"
#include "platform/ddraw/InterfaceIds.h"
#include "platform/ddraw/Palette.h"
#include "platform/ddraw/Presenter.h"
#include "platform/ddraw/SurfaceDescription.h"
#include "platform/ddraw/SurfaceFaults.h"
#include "platform/win/window/SdlWindow.h"

namespace plat::ddraw {
namespace {

constexpr int kMaxSide = 16384;

// Rows start on this many bytes, as on display hardware; callers must use the pitch.
constexpr LONG kPitchAlignment = 16;
// Blt flags that only say how long to wait; the software blitter never waits.
constexpr DWORD kTimingBltFlags = DDBLT_WAIT | DDBLT_ASYNC | DDBLT_DONOTWAIT;
constexpr DWORD kSupportedBltFlags = kTimingBltFlags | DDBLT_COLORFILL | DDBLT_KEYSRC | DDBLT_KEYSRCOVERRIDE;

bool Inside(const RECT& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height;
}

LONG PitchFor(int width, const PixelLayout& layout) {
  const LONG rowBytes = static_cast<LONG>(width) * layout.bytesPerPixel;
  return (rowBytes + kPitchAlignment - 1) / kPitchAlignment * kPitchAlignment;
}

bool Proper(const RECT& r) { return r.left < r.right && r.top < r.bottom; }

RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

}  // namespace

Surface::Surface(std::shared_ptr<DisplayDevice> device, DWORD caps, int width, int height, const PixelLayout& layout)
    : mDevice(std::move(device)), mCaps(caps), mWidth(width), mHeight(height), mLayout(layout) {
  mPitch = PitchFor(width, layout);
}

Surface::~Surface() {
  std::vector<Surface*> backBuffers;
  Clipper* clipper = nullptr;
  Palette* palette = nullptr;
  {
    std::lock_guard lock(mDevice->Mutex());
    if (mDevice->Primary() == this) mDevice->SetPrimary(nullptr);
    backBuffers.swap(mBackBuffers);
    for (Surface* back : backBuffers) back->mFront = nullptr;
    if (mFront) std::erase(mFront->mBackBuffers, this);
    mDevice->ReturnVideoMemory(mVideoMemoryBytes);
    if (mDC) UnregisterSurfaceDC(reinterpret_cast<HDC>(mDC.get()));
    clipper = mClipper;
    mClipper = nullptr;
    palette = mPalette;
    mPalette = nullptr;
  }
  if (clipper) clipper->Release();
  if (palette) palette->Release();
  for (Surface* back : backBuffers) back->Release();
}

HRESULT Surface::AllocatePixels() {
  try {
    mBuffer.bytes.assign(static_cast<size_t>(mPitch) * mHeight, 0);
  } catch (const std::bad_alloc&) {
    return DDERR_OUTOFMEMORY;
  }
  return DD_OK;
}

HRESULT Surface::Create(const std::shared_ptr<DisplayDevice>& device, const DDSURFACEDESC2& desc, Surface** out) {
  *out = nullptr;
  const DWORD caps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : 0;
  if ((caps & DDSCAPS_SYSTEMMEMORY) && (caps & DDSCAPS_VIDEOMEMORY)) return DDERR_INVALIDCAPS;
  if (caps & DDSCAPS_ZBUFFER) return DDERR_NOZBUFFERHW;
  if (caps & DDSCAPS_OVERLAY) return DDERR_NOOVERLAYHW;
  if (desc.dwFlags & DDSD_LPSURFACE) return DDERR_UNSUPPORTED;
  const bool primary = caps & DDSCAPS_PRIMARYSURFACE;
  if (!primary && (caps & (DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER | DDSCAPS_FLIP))) return DDERR_INVALIDCAPS;

  std::unique_lock lock(device->Mutex());
  if (primary) {
    if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
    if (device->Primary()) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    DWORD backCount = 0;
    if (caps & DDSCAPS_FLIP) {
      if (!(caps & DDSCAPS_COMPLEX) || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) || desc.dwBackBufferCount == 0)
        return DDERR_INVALIDCAPS;
      if (!device->Exclusive()) return DDERR_NOEXCLUSIVEMODE;
      if (desc.dwBackBufferCount > 3) return DDERR_INVALIDPARAMS;
      backCount = desc.dwBackBufferCount;
    }
    const DisplayMode& mode = device->Mode();
    const size_t bytes = static_cast<size_t>(PitchFor(mode.width, mode.layout)) * mode.height;
    // The visible screen is not part of the video memory a driver reports; back buffers are.
    const DWORD frontCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM | DDSCAPS_VISIBLE |
                            (caps & (DDSCAPS_3DDEVICE | DDSCAPS_FLIP | DDSCAPS_COMPLEX)) |
                            (backCount ? DDSCAPS_FRONTBUFFER : 0);
    auto* front = new Surface(device, frontCaps, mode.width, mode.height, mode.layout);
    front->mBuffer.gdi = true;
    HRESULT hr = front->AllocatePixels();
    for (DWORD i = 0; i < backCount && SUCCEEDED(hr); ++i) {
      if (!device->ReserveVideoMemory(bytes)) {
        hr = DDERR_OUTOFVIDEOMEMORY;
        break;
      }
      const DWORD backCaps = DDSCAPS_BACKBUFFER | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM | DDSCAPS_FLIP |
                             DDSCAPS_COMPLEX | (caps & DDSCAPS_3DDEVICE);
      auto* back = new Surface(device, backCaps, mode.width, mode.height, mode.layout);
      back->mVideoMemoryBytes = bytes;
      back->mFront = front;
      front->mBackBuffers.push_back(back);
      hr = back->AllocatePixels();
    }
    if (FAILED(hr)) {
      // The destructors give the memory back and need the mutex.
      lock.unlock();
      front->Release();
      return hr;
    }
    device->SetPrimary(front);
    *out = front;
    return DD_OK;
  }

  if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
  if (desc.dwWidth == 0 || desc.dwHeight == 0) return DDERR_INVALIDPARAMS;
  if (desc.dwWidth > kMaxSide) return DDERR_TOOBIGWIDTH;
  if (desc.dwHeight > kMaxSide) return DDERR_TOOBIGHEIGHT;
  PixelLayout layout = device->Mode().layout;
  if (desc.dwFlags & DDSD_PIXELFORMAT) {
    if (desc.ddpfPixelFormat.dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
    auto given = LayoutFromPixelFormat(desc.ddpfPixelFormat);
    if (!given) return DDERR_INVALIDPIXELFORMAT;
    layout = *given;
  }
  const int width = static_cast<int>(desc.dwWidth);
  const int height = static_cast<int>(desc.dwHeight);
  const size_t bytes = static_cast<size_t>(PitchFor(width, layout)) * height;
  // Without a placement asked for, video memory is used while it lasts, as a display driver does.
  const bool video =
      (caps & DDSCAPS_VIDEOMEMORY) || (!(caps & DDSCAPS_SYSTEMMEMORY) && device->VideoMemoryFree() >= bytes);
  if (video && !device->ReserveVideoMemory(bytes)) return DDERR_OUTOFVIDEOMEMORY;
  DWORD placedCaps = caps & ~(DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY | DDSCAPS_LOCALVIDMEM);
  if (!(caps & (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_TEXTURE))) placedCaps |= DDSCAPS_OFFSCREENPLAIN;
  placedCaps |= video ? DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM : DDSCAPS_SYSTEMMEMORY;
  auto* surface = new Surface(device, placedCaps, width, height, layout);
  surface->mVideoMemoryBytes = video ? bytes : 0;
  if (desc.dwFlags & DDSD_CKSRCBLT) surface->mSourceKey = desc.ddckCKSrcBlt;
  if (desc.dwFlags & DDSD_CKDESTBLT) surface->mDestKey = desc.ddckCKDestBlt;
  const HRESULT hr = surface->AllocatePixels();
  lock.unlock();
  if (FAILED(hr)) {
    surface->Release();
    return hr;
  }
  *out = surface;
  return DD_OK;
}

// ---- IUnknown ----

HRESULT Surface::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IDirectDrawSurface) {
    *object = static_cast<IDirectDrawSurface*>(this);
  } else if (iid == IID_IDirectDrawSurface7) {
    *object = static_cast<IDirectDrawSurface7*>(this);
  } else if (iid == kIUnknownId) {
    *object = static_cast<IUnknown*>(static_cast<IDirectDrawSurface7*>(this));
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG Surface::AddRef() { return ++mRefs; }

ULONG Surface::Release() {
  const ULONG left = --mRefs;
  if (left == 0) delete this;
  return left;
}

Surface* Surface::FromInterface(IDirectDrawSurface* face) { return dynamic_cast<Surface*>(face); }
Surface* Surface::FromInterface(IDirectDrawSurface7* face) { return dynamic_cast<Surface*>(face); }

// ---- Description ----

PixelView Surface::View() const {
  return PixelView{const_cast<BYTE*>(mBuffer.bytes.data()), mPitch, mWidth, mHeight, mLayout.bytesPerPixel};
}

DDSURFACEDESC2 Surface::Describe() const {
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof(DDSURFACEDESC2);
  d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  d.dwWidth = static_cast<DWORD>(mWidth);
  d.dwHeight = static_cast<DWORD>(mHeight);
  d.lPitch = mPitch;
  d.ddpfPixelFormat = mLayout.ToPixelFormat();
  d.ddsCaps.dwCaps = mCaps;
  if (!mBackBuffers.empty()) {
    d.dwFlags |= DDSD_BACKBUFFERCOUNT;
    d.dwBackBufferCount = static_cast<DWORD>(mBackBuffers.size());
  }
  if (mSourceKey) {
    d.dwFlags |= DDSD_CKSRCBLT;
    d.ddckCKSrcBlt = *mSourceKey;
  }
  if (mDestKey) {
    d.dwFlags |= DDSD_CKDESTBLT;
    d.ddckCKDestBlt = *mDestKey;
  }
  return d;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC desc) {
  if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  *desc = plat::OlderSurfaceDesc(Describe());
  return DD_OK;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
  if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  *desc = Describe();
  return DD_OK;
}

HRESULT Surface::GetPixelFormat(LPDDPIXELFORMAT format) {
  if (!format) return DDERR_INVALIDPARAMS;
  *format = mLayout.ToPixelFormat();
  return DD_OK;
}

HRESULT Surface::GetCaps(LPDDSCAPS caps) {
  if (!caps) return DDERR_INVALIDPARAMS;
  caps->dwCaps = mCaps;
  return DD_OK;
}

HRESULT Surface::GetCaps(LPDDSCAPS2 caps) {
  if (!caps) return DDERR_INVALIDPARAMS;
  *caps = DDSCAPS2{mCaps, 0, 0, 0};
  return DD_OK;
}

bool Surface::Visible() const { return mDevice->Primary() == this; }

// ---- Lost surfaces ----

void Surface::MarkLost() {
  // A flip chain is lost as a whole.
  Surface* front = mFront ? mFront : this;
  front->mLost = true;
  for (Surface* back : front->mBackBuffers) back->mLost = true;
}

HRESULT Surface::Restore() {
  std::lock_guard lock(mDevice->Mutex());
  Surface* front = mFront ? mFront : this;
  front->mLost = false;
  for (Surface* back : front->mBackBuffers) back->mLost = false;
  return DD_OK;
}

// ---- Locking ----

HRESULT Surface::LockInto(LPRECT rect, DDSURFACEDESC2& desc) {
  if (mLost) return DDERR_SURFACELOST;
  if (TakeSurfaceLostFault()) {
    MarkLost();
    return DDERR_SURFACELOST;
  }
  if (Busy() || TakeLockFault()) return DDERR_SURFACEBUSY;
  RECT area{0, 0, mWidth, mHeight};
  if (rect) {
    if (!Proper(*rect) || !Inside(*rect, mWidth, mHeight)) return DDERR_INVALIDRECT;
    area = *rect;
  }
  desc = Describe();
  desc.dwFlags |= DDSD_LPSURFACE;
  desc.lpSurface = mBuffer.bytes.data() + static_cast<size_t>(area.top) * mPitch +
                   static_cast<size_t>(area.left) * mLayout.bytesPerPixel;
  mLocked = true;
  return DD_OK;
}

HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) {
  if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  DDSURFACEDESC2 full{};
  const HRESULT hr = LockInto(rect, full);
  if (SUCCEEDED(hr)) *desc = plat::OlderSurfaceDesc(full);
  return hr;
}

HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) {
  if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  return LockInto(rect, *desc);
}

HRESULT Surface::DoUnlock() {
  bool visible;
  {
    std::lock_guard lock(mDevice->Mutex());
    if (!mLocked) return DDERR_NOTLOCKED;
    mLocked = false;
    visible = Visible();
  }
  if (visible) mDevice->PresentPrimary();
  return DD_OK;
}

HRESULT Surface::Unlock(LPVOID surfaceData) { return DoUnlock(); }
HRESULT Surface::Unlock(LPRECT rect) { return DoUnlock(); }

// ---- Device contexts ----

HRESULT Surface::GetDC(HDC* dc) {
  if (!dc) return DDERR_INVALIDPARAMS;
  *dc = nullptr;
  std::lock_guard lock(mDevice->Mutex());
  if (mLost) return DDERR_SURFACELOST;
  if (mDC) return DDERR_DCALREADYCREATED;
  if (mLocked) return DDERR_SURFACEBUSY;
  auto record = std::make_unique<SurfaceDC>();
  record->pixels = mBuffer.bytes.data();
  record->pitch = mPitch;
  record->width = mWidth;
  record->height = mHeight;
  record->format = mLayout.ToPixelFormat();
  *dc = RegisterSurfaceDC(record.get());
  mDC = std::move(record);
  return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC dc) {
  bool visible;
  {
    std::lock_guard lock(mDevice->Mutex());
    if (!mDC) return DDERR_NODC;
    if (reinterpret_cast<HDC>(mDC.get()) != dc) return DDERR_INVALIDPARAMS;
    UnregisterSurfaceDC(dc);
    mDC.reset();
    visible = Visible();
  }
  if (visible) mDevice->PresentPrimary();
  return DD_OK;
}

// ---- Colour keys and clipper ----

HRESULT Surface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
  const DWORD kind = flags & ~DDCKEY_COLORSPACE;
  if (kind != DDCKEY_SRCBLT && kind != DDCKEY_DESTBLT) {
    return (kind == DDCKEY_SRCOVERLAY || kind == DDCKEY_DESTOVERLAY) ? DDERR_NOOVERLAYHW : DDERR_INVALIDPARAMS;
  }
  // A range of key colours would need colour-space hardware; one colour is what blits compare.
  if ((flags & DDCKEY_COLORSPACE) && key && key->dwColorSpaceLowValue != key->dwColorSpaceHighValue)
    return DDERR_NOCOLORKEYHW;
  std::lock_guard lock(mDevice->Mutex());
  auto& slot = kind == DDCKEY_SRCBLT ? mSourceKey : mDestKey;
  if (key) {
    slot = DDCOLORKEY{key->dwColorSpaceLowValue, key->dwColorSpaceLowValue};
  } else {
    slot.reset();
  }
  return DD_OK;
}

HRESULT Surface::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
  if (!key) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  const std::optional<DDCOLORKEY>* slot = flags == DDCKEY_SRCBLT    ? &mSourceKey
                                          : flags == DDCKEY_DESTBLT ? &mDestKey
                                                                    : nullptr;
  if (!slot) return DDERR_INVALIDPARAMS;
  if (!*slot) return DDERR_NOCOLORKEY;
  *key = **slot;
  return DD_OK;
}

HRESULT Surface::SetClipper(IDirectDrawClipper* clipper) {
  Clipper* ours = nullptr;
  if (clipper) {
    ours = dynamic_cast<Clipper*>(clipper);
    if (!ours || ours->Device() != mDevice.get()) return DDERR_INVALIDOBJECT;
    ours->AddRef();
  }
  Clipper* old;
  {
    std::lock_guard lock(mDevice->Mutex());
    old = mClipper;
    mClipper = ours;
  }
  if (old) old->Release();
  return DD_OK;
}

// ---- Palette ----

HRESULT Surface::SetPalette(IDirectDrawPalette* palette) {
  Palette* ours = nullptr;
  if (palette) {
    ours = dynamic_cast<Palette*>(palette);
    if (!ours || ours->Device() != mDevice.get()) return DDERR_INVALIDOBJECT;
  }
  Palette* old;
  {
    std::lock_guard lock(mDevice->Mutex());
    if (!mLayout.palettized) return DDERR_NOTPALETTIZED;
    if (ours && ours->Size() != 256) return DDERR_INVALIDPIXELFORMAT;
    if (ours) ours->AddRef();
    old = mPalette;
    mPalette = ours;
  }
  if (old) old->Release();
  return DD_OK;
}

HRESULT Surface::GetPalette(IDirectDrawPalette** palette) {
  if (!palette) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  *palette = mPalette;
  if (!mPalette) return DDERR_NOPALETTEATTACHED;
  mPalette->AddRef();
  return DD_OK;
}

HWND Surface::ClipperWindow() const { return mClipper ? mClipper->Window() : nullptr; }

std::optional<RECT> Surface::ClipRegion() const {
  const RECT bounds{0, 0, mWidth, mHeight};
  const HWND window = mClipper->Window();
  if (!window) return std::nullopt;
  RECT client{};
  if (!GetClientRectOnScreen(window, &client)) return std::nullopt;
  // The primary holds the desktop in screen coordinates; other surfaces map the client area at (0, 0).
  if (!(mCaps & DDSCAPS_PRIMARYSURFACE) && !mFront)
    client = RECT{0, 0, client.right - client.left, client.bottom - client.top};
  return Intersect(bounds, client);
}

// ---- Blt ----

HRESULT Surface::Blt(LPRECT destRect, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags, LPDDBLTFX effects) {
  Surface* from = source ? FromInterface(source) : nullptr;
  if (source && !from) return DDERR_INVALIDOBJECT;
  return BltFrom(destRect, from, sourceRect, flags, effects);
}

HRESULT Surface::Blt(LPRECT destRect, IDirectDrawSurface7* source, LPRECT sourceRect, DWORD flags, LPDDBLTFX effects) {
  Surface* from = source ? FromInterface(source) : nullptr;
  if (source && !from) return DDERR_INVALIDOBJECT;
  return BltFrom(destRect, from, sourceRect, flags, effects);
}

HRESULT Surface::BltFrom(LPRECT destRect, Surface* source, LPRECT sourceRect, DWORD flags, LPDDBLTFX effects) {
  if (flags & ~kSupportedBltFlags) return DDERR_UNSUPPORTED;
  const bool fill = flags & DDBLT_COLORFILL;
  if (fill && !effects) return DDERR_INVALIDPARAMS;
  if (!fill && !source) return DDERR_INVALIDPARAMS;
  if ((flags & DDBLT_KEYSRCOVERRIDE) && !effects) return DDERR_INVALIDPARAMS;
  if (effects && effects->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
  if (!fill && source->mDevice != mDevice) return DDERR_DEVICEDOESNTOWNSURFACE;

  bool visible;
  bool fed = false, shown = false;
  RECT changed{};
  {
    std::lock_guard lock(mDevice->Mutex());
    visible = Visible();
    if (mLost || (!fill && source->mLost)) return DDERR_SURFACELOST;
    if (visible && TakeSurfaceLostFault()) {
      MarkLost();
      return DDERR_SURFACELOST;
    }
    if (Busy() || (!fill && source->Busy())) return DDERR_SURFACEBUSY;
    if (!fill && !(source->mLayout == mLayout)) return DDERR_INVALIDPIXELFORMAT;

    const RECT target = destRect ? *destRect : RECT{0, 0, mWidth, mHeight};
    if (!Proper(target)) return DDERR_INVALIDRECT;
    RECT clip = target;
    if (mClipper) {
      auto region = ClipRegion();
      if (!region) return DDERR_NOCLIPLIST;
      clip = Intersect(target, *region);
      if (!Proper(clip)) return DD_OK;
    } else if (!Inside(target, mWidth, mHeight)) {
      return DDERR_INVALIDRECT;
    }

    if (fill) {
      FillPixels(View(), clip, effects->dwFillColor);
    } else {
      const RECT from = sourceRect ? *sourceRect : RECT{0, 0, source->mWidth, source->mHeight};
      if (!Proper(from) || !Inside(from, source->mWidth, source->mHeight)) return DDERR_INVALIDRECT;
      std::optional<SourceKey> key;
      if (flags & DDBLT_KEYSRCOVERRIDE) {
        key = SourceKey{effects->ddckSrcColorkey.dwColorSpaceLowValue, mLayout.ColorBits()};
      } else if ((flags & DDBLT_KEYSRC) && source->mSourceKey) {
        key = SourceKey{source->mSourceKey->dwColorSpaceLowValue, mLayout.ColorBits()};
      }
      if (visible && source != this && IsMainThread()) {
        // Onto the shown primary: each band of rows goes on into the window while it is still in the cache.
        BandedBlit rows(View(), target, clip, source->View(), from, key ? &*key : nullptr);
        fed = true;
        shown = mDevice->PresentFedLocked(clip, rows);
      } else {
        BlitPixels(View(), target, clip, source->View(), from, key ? &*key : nullptr);
      }
    }
    changed = clip;
  }
  if (shown) {
    mDevice->ShowPrepared();
  } else if (visible && !fed) {
    mDevice->PresentPrimary(&changed);
  }
  return DD_OK;
}

// ---- Flip chains ----

Surface* Surface::AttachedBackBuffer(DWORD caps) {
  if (!(caps & (DDSCAPS_BACKBUFFER | DDSCAPS_FLIP))) return nullptr;
  if (!mBackBuffers.empty()) return mBackBuffers.front();
  if (mFront) {
    // The next back buffer of the chain; the last one leads back to the front.
    auto& chain = mFront->mBackBuffers;
    auto it = std::find(chain.begin(), chain.end(), this);
    if (it != chain.end() && it + 1 != chain.end()) return *(it + 1);
  }
  return nullptr;
}

template <typename Interface>
HRESULT Surface::GetAttachedAs(DWORD caps, Interface** attached) {
  *attached = nullptr;
  std::lock_guard lock(mDevice->Mutex());
  Surface* found = AttachedBackBuffer(caps);
  if (!found) return DDERR_NOTFOUND;
  found->AddRef();
  *attached = found;
  return DD_OK;
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS caps, IDirectDrawSurface** attached) {
  if (!caps || !attached) return DDERR_INVALIDPARAMS;
  return GetAttachedAs(caps->dwCaps, attached);
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS2 caps, IDirectDrawSurface7** attached) {
  if (!caps || !attached) return DDERR_INVALIDPARAMS;
  return GetAttachedAs(caps->dwCaps, attached);
}

HRESULT Surface::Flip(IDirectDrawSurface* target, DWORD flags) {
  Surface* to = target ? FromInterface(target) : nullptr;
  if (target && !to) return DDERR_INVALIDOBJECT;
  return FlipTo(to);
}

HRESULT Surface::Flip(IDirectDrawSurface7* target, DWORD flags) {
  Surface* to = target ? FromInterface(target) : nullptr;
  if (target && !to) return DDERR_INVALIDOBJECT;
  return FlipTo(to);
}

HRESULT Surface::FlipTo(Surface* target) {
  {
    std::lock_guard lock(mDevice->Mutex());
    if (mBackBuffers.empty()) return DDERR_NOTFLIPPABLE;
    if (target && target != mBackBuffers.front()) return DDERR_INVALIDPARAMS;
    if (mLost) return DDERR_SURFACELOST;
    if (TakeSurfaceLostFault()) {
      MarkLost();
      return DDERR_SURFACELOST;
    }
    if (Busy()) return DDERR_SURFACEBUSY;
    for (Surface* back : mBackBuffers) {
      if (back->Busy()) return DDERR_SURFACEBUSY;
    }
    // The front takes the first back buffer's memory, each back buffer the next one's, and the last
    // back buffer the old front's.
    RotateBuffers();
  }
  mDevice->PresentPrimary();
  return DD_OK;
}

void Surface::RotateBuffers() {
  Buffer* previous = &mBuffer;
  for (Surface* back : mBackBuffers) {
    std::swap(*previous, back->mBuffer);
    previous = &back->mBuffer;
  }
}

void Surface::FlipToGdiBuffer() {
  // A locked buffer stays where its holder writes.
  if (Busy() || std::any_of(mBackBuffers.begin(), mBackBuffers.end(), [](Surface* back) { return back->Busy(); }))
    return;
  for (size_t turns = 0; turns < mBackBuffers.size() && !mBuffer.gdi; ++turns) RotateBuffers();
}

}  // namespace plat::ddraw
