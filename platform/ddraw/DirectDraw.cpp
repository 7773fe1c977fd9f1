#include "platform/ddraw/DirectDraw.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/ddraw/Clipper.h"
#include "platform/ddraw/DisplayDevice.h"
#include "platform/ddraw/InterfaceIds.h"
#include "platform/ddraw/Palette.h"
#include "platform/ddraw/ScanTiming.h"
#include "platform/ddraw/Surface.h"
#include "platform/ddraw/SurfaceDescription.h"
#include "platform/ddraw/UpwardCalls.h"
#include "platform/win/process/Process.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/SdlVideo.h"

namespace plat::ddraw {
namespace {

constexpr int kMaxModeSide = 8192;

// One DirectDraw object at a time may hold the display exclusively, as on Windows.
std::mutex gExclusiveMutex;
const DisplayDevice* gExclusiveOwner = nullptr;

}  // namespace

DirectDraw::DirectDraw() : mDevice(std::make_shared<DisplayDevice>(CurrentDisplaySettings())) {}

DirectDraw::~DirectDraw() {
  {
    std::lock_guard lock(gExclusiveMutex);
    if (gExclusiveOwner == mDevice.get()) gExclusiveOwner = nullptr;
  }
  mDevice->Shutdown();
}

HRESULT DirectDraw::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IDirectDraw) {
    *object = static_cast<IDirectDraw*>(this);
  } else if (iid == IID_IDirectDraw7) {
    *object = static_cast<IDirectDraw7*>(this);
  } else if (iid == kIUnknownId) {
    *object = static_cast<IUnknown*>(static_cast<IDirectDraw7*>(this));
  } else if (iid == IID_IDirect3D7) {
    // The Direct3D object is one of its own that holds a reference to this one.
    return CreateDirect3D(static_cast<IDirectDraw7*>(this), mDevice, object);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG DirectDraw::AddRef() { return ++mRefs; }

ULONG DirectDraw::Release() {
  const ULONG left = --mRefs;
  if (left == 0) delete this;
  return left;
}

// ---- Cooperative level and display modes ----

HRESULT DirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
  const bool exclusive = flags & DDSCL_EXCLUSIVE;
  const bool normal = flags & DDSCL_NORMAL;
  const bool fullScreen = flags & DDSCL_FULLSCREEN;
  if (exclusive == normal || exclusive != fullScreen) return DDERR_INVALIDPARAMS;
  if (exclusive && !window) return DDERR_INVALIDPARAMS;
  {
    std::lock_guard exclusiveLock(gExclusiveMutex);
    if (exclusive && gExclusiveOwner && gExclusiveOwner != mDevice.get()) return DDERR_EXCLUSIVEMODEALREADYSET;
    std::lock_guard lock(mDevice->Mutex());
    // Leaving exclusive mode gives the desktop its own mode back.
    if (!exclusive && mDevice->Exclusive()) mDevice->SetMode(mDevice->Desktop());
    mDevice->SetCooperation(window, exclusive);
    if (exclusive) {
      gExclusiveOwner = mDevice.get();
    } else if (gExclusiveOwner == mDevice.get()) {
      gExclusiveOwner = nullptr;
    }
  }
  mDevice->UpdateScreenMode();
  return DD_OK;
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
  return SetDisplayMode(width, height, bitsPerPixel, 0, 0);
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate, DWORD flags) {
  if (width == 0 || height == 0 || width > kMaxModeSide || height > kMaxModeSide) return DDERR_INVALIDMODE;
  // A mode is shown in a window over the whole screen: on a screen that takes no pixels, none can be.
  if (!ScreenTakesPixels()) return DDERR_UNSUPPORTEDMODE;
  {
    std::lock_guard lock(mDevice->Mutex());
    if (!mDevice->Exclusive()) return DDERR_NOEXCLUSIVEMODE;
    auto layout = LayoutForDepth(bitsPerPixel, mDevice->Desktop().layout);
    if (!layout) return DDERR_INVALIDMODE;
    DisplayMode mode;
    mode.width = static_cast<int>(width);
    mode.height = static_cast<int>(height);
    mode.layout = *layout;
    mode.refreshHz = refreshRate ? refreshRate : mDevice->Desktop().refreshHz;
    mDevice->SetMode(mode);
  }
  mDevice->UpdateScreenMode();
  return DD_OK;
}

HRESULT DirectDraw::RestoreDisplayMode() {
  {
    std::lock_guard lock(mDevice->Mutex());
    mDevice->SetMode(mDevice->Desktop());
  }
  mDevice->UpdateScreenMode();
  return DD_OK;
}

DDSURFACEDESC2 DirectDraw::DescribeMode() const {
  const DisplayMode& mode = mDevice->Mode();
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof(DDSURFACEDESC2);
  d.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
  d.dwWidth = static_cast<DWORD>(mode.width);
  d.dwHeight = static_cast<DWORD>(mode.height);
  d.lPitch = mode.width * mode.layout.bytesPerPixel;
  d.dwRefreshRate = mode.refreshHz;
  d.ddpfPixelFormat = mode.layout.ToPixelFormat();
  return d;
}

HRESULT DirectDraw::GetDisplayMode(LPDDSURFACEDESC desc) {
  if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  *desc = OlderSurfaceDesc(DescribeMode());
  return DD_OK;
}

HRESULT DirectDraw::GetDisplayMode(LPDDSURFACEDESC2 desc) {
  if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  *desc = DescribeMode();
  return DD_OK;
}

// ---- Object creation ----

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC desc, IDirectDrawSurface** surface, IUnknown* outer) {
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!desc || !surface || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  *surface = nullptr;
  Surface* created = nullptr;
  const HRESULT hr = Surface::Create(mDevice, plat::NewerSurfaceDesc(*desc), &created);
  if (SUCCEEDED(hr)) *surface = created;
  return hr;
}

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC2 desc, IDirectDrawSurface7** surface, IUnknown* outer) {
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!desc || !surface || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
  *surface = nullptr;
  Surface* created = nullptr;
  const HRESULT hr = Surface::Create(mDevice, *desc, &created);
  if (SUCCEEDED(hr)) *surface = created;
  return hr;
}

HRESULT DirectDraw::CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) {
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!clipper || flags != 0) return DDERR_INVALIDPARAMS;
  *clipper = new Clipper(mDevice);
  return DD_OK;
}

HRESULT DirectDraw::CreatePalette(DWORD flags, LPPALETTEENTRY entries, IDirectDrawPalette** palette, IUnknown* outer) {
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!palette) return DDERR_INVALIDPARAMS;
  Palette* created = nullptr;
  const HRESULT hr = Palette::Create(mDevice, flags, entries, &created);
  *palette = created;
  return hr;
}

HRESULT DirectDraw::FlipToGDISurface() {
  {
    std::lock_guard lock(mDevice->Mutex());
    if (Surface* primary = mDevice->Primary()) primary->FlipToGdiBuffer();
  }
  mDevice->PresentPrimary();
  return DD_OK;
}

// ---- Display timing ----

HRESULT DirectDraw::GetMonitorFrequency(LPDWORD frequency) {
  if (!frequency) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  *frequency = mDevice->Mode().refreshHz;
  return DD_OK;
}

HRESULT DirectDraw::GetScanLine(LPDWORD scanLine) {
  if (!scanLine) return DDERR_INVALIDPARAMS;
  std::unique_lock lock(mDevice->Mutex());
  const ScanTiming timing(mDevice->Mode().height, mDevice->Mode().refreshHz);
  lock.unlock();
  const auto line = timing.LineAt(CurrentClock().NowMicros());
  if (!line) return DDERR_VERTICALBLANKINPROGRESS;
  *scanLine = *line;
  return DD_OK;
}

HRESULT DirectDraw::WaitForVerticalBlank(DWORD flags, HANDLE event) {
  if (flags != DDWAITVB_BLOCKBEGIN && flags != DDWAITVB_BLOCKEND)
    return flags == DDWAITVB_BLOCKBEGINEVENT ? DDERR_UNSUPPORTED : DDERR_INVALIDPARAMS;
  std::unique_lock lock(mDevice->Mutex());
  const ScanTiming timing(mDevice->Mode().height, mDevice->Mode().refreshHz);
  lock.unlock();
  Clock& clock = CurrentClock();
  const std::uint64_t now = clock.NowMicros();
  clock.SleepMicros(flags == DDWAITVB_BLOCKBEGIN ? timing.MicrosToBlankStart(now) : timing.MicrosToBlankEnd(now));
  return DD_OK;
}

// ---- Adapter ----

HRESULT DirectDraw::GetAvailableVidMem(LPDDSCAPS2 caps, LPDWORD total, LPDWORD free) {
  if (!caps) return DDERR_INVALIDPARAMS;
  if (caps->dwCaps & (DDSCAPS_SYSTEMMEMORY | DDSCAPS_NONLOCALVIDMEM)) return DDERR_INVALIDCAPS;
  std::lock_guard lock(mDevice->Mutex());
  if (total) *total = mDevice->VideoMemoryTotal();
  if (free) *free = mDevice->VideoMemoryFree();
  return DD_OK;
}

HRESULT DirectDraw::GetDeviceIdentifier(LPDDDEVICEIDENTIFIER2 identifier, DWORD flags) {
  if (!identifier || (flags & ~DDGDI_GETHOSTIDENTIFIER)) return DDERR_INVALIDPARAMS;
  *identifier = DDDEVICEIDENTIFIER2{};
  // The driver is the program's own code, so its file is the program: the 3D self-test dates the
  // driver by that file and finds it as recent as the build.
  if (GetModuleFileName(nullptr, identifier->szDriver, sizeof(identifier->szDriver)) == 0)
    std::snprintf(identifier->szDriver, sizeof(identifier->szDriver), "%s", "ddraw.dll");
  std::snprintf(identifier->szDescription, sizeof(identifier->szDescription), "%s", "Software DirectDraw on SDL2");
  identifier->liDriverVersion.QuadPart = (7LL << 48) | (1LL << 32);
  // The identity follows what the 3D device can do, so that results cached for it are redone when
  // that changes.
  identifier->guidDeviceIdentifier = AdapterGuid();
  return DD_OK;
}

}  // namespace plat::ddraw
