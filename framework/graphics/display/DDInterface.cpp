// The display's set-up and tear-down: DirectDraw objects, surfaces, the pixel format and its tables.
#include "framework/graphics/display/DDInterface.h"

#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DirectXErrorString.h"
#include "framework/graphics/display/OffscreenSurfaceDesc.h"
#include "framework/util/AutoCrit.h"
#include "framework/util/StringUtil.h"
#include "platform/ddraw/SurfaceDescription.h"
#include "platform/win/window/Window.h"

namespace Kit {
namespace {

// The application's settings when a display is made without one (tools and tests).
class DefaultHost : public ImageHost {};

ImageHost& HostOf(ImageHost* app) {
  static DefaultHost defaults;
  return app ? *app : defaults;
}

}  // namespace

DDInterface::DDInterface(ImageHost* app) : mApp(app), mD3DInterface(std::make_unique<D3DInterface>(app)) {
  mDDrawModule = GetModuleHandle("ddraw.dll");
  if (!mDDrawModule) {
    mDDrawModule = LoadLibrary("ddraw.dll");
    mOwnsDDrawModule = mDDrawModule != nullptr;
  }
  if (mDDrawModule) {
    mDirectDrawCreate = reinterpret_cast<LPDIRECTDRAWCREATE>(GetProcAddress(mDDrawModule, "DirectDrawCreate"));
    mDirectDrawCreateEx = reinterpret_cast<LPDIRECTDRAWCREATEEX>(GetProcAddress(mDDrawModule, "DirectDrawCreateEx"));
  }
}

DDInterface::~DDInterface() {
  mAddTables.Clear();
  Cleanup();
  {
    // Images that outlive the display keep their pixels and stop reaching it.
    AutoCrit lock(Lock());
    for (DDImage* image : mDDImageSet) {
      image->mDisplay = nullptr;
      image->mDisplayLock = nullptr;
    }
    mDDImageSet.clear();
  }
  if (mOwnsDDrawModule) FreeLibrary(mDDrawModule);
}

std::string DDInterface::ResultToString(int result) {
  switch (result) {
    case RESULT_OK:
      return "RESULT_OK";
    case RESULT_FAIL:
      return "RESULT_FAIL";
    case RESULT_DD_CREATE_FAIL:
      return "RESULT_DD_CREATE_FAIL";
    case RESULT_SURFACE_FAIL:
      return "RESULT_SURFACE_FAIL";
    case RESULT_EXCLUSIVE_FAIL:
      return "RESULT_EXCLUSIVE_FAIL";
    case RESULT_DISPCHANGE_FAIL:
      return "RESULT_DISPCHANGE_FAIL";
    case RESULT_INVALID_COLORDEPTH:
      return "RESULT_INVALID_COLORDEPTH";
    default:
      return "RESULT_UNKNOWN";
  }
}

bool DDInterface::CheckDXError(HRESULT result, const char* step) {
  if (SUCCEEDED(result)) return false;
  mErrorString = StrFormat("%s: %s", step, GetDirectXErrorString(result).c_str());
  return true;
}

void DDInterface::AddDDImage(DDImage* image) {
  AutoCrit lock(Lock());
  mDDImageSet.insert(image);
}

void DDInterface::RemoveDDImage(DDImage* image) {
  AutoCrit lock(Lock());
  mDDImageSet.erase(image);
}

void DDInterface::Remove3DData(MemoryImage* image) {
  AutoCrit lock(Lock());
  mD3DInterface->RemoveImageTexture(image);
}

bool DDInterface::Finish3DFrame() {
  // A failed Direct3D call of this frame turns 3D off; the open scene is ended first, which also
  // forgets the failure, so that the 2D frames that follow present normally.
  const bool failed = !mD3DInterface->mLastError.empty();
  mD3DInterface->Flush();
  if (failed) {
    mIs3D = false;
    m3DFailed = true;
  }
  return !failed;
}

void DDInterface::Run3DTest(HWND hwnd) {
  if (mD3DTester || !mApp) return;
  const ImageHost::Settings3D settings = mApp->Get3DSettings();
  D3DTestHost* host = mApp->GetD3DTestHost();
  if (!host || (!settings.test && !settings.autoEnable)) return;
  mD3DTester = std::make_unique<D3DTester>(host);
  mD3DTester->SetVidMemoryConstraints(static_cast<std::uint32_t>(settings.minVidMemory),
                                      static_cast<std::uint32_t>(settings.recVidMemory));
  const bool changed = mD3DTester->TestD3D(hwnd, mDirectDraw7);
  const bool failed = !mD3DTester->mFailureReason.empty(), advisedAgainst = !mD3DTester->mWarning.empty();
  if (settings.autoEnable && !failed && !advisedAgainst) mIs3D = true;
  if (failed || (advisedAgainst && changed)) mIs3D = false;
  if (changed) mApp->After3DTestRun();
}

void DDInterface::ReleaseSurface(IDirectDrawSurface*& surface) {
  if (surface) surface->Release();
  surface = nullptr;
}

HRESULT DDInterface::CreateSurface(DDSURFACEDESC2& desc, IDirectDrawSurface** surface) {
  AutoCrit lock(Lock());
  *surface = nullptr;
  const bool primary = (desc.ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0;
  if (!mDirectDraw || (!primary && !mPrimarySurface)) return DDERR_NOTINITIALIZED;
  HRESULT result;
  if (mDirectDraw7) {
    IDirectDrawSurface7* surface7 = nullptr;
    result = mDirectDraw7->CreateSurface(&desc, &surface7, nullptr);
    if (FAILED(result)) return result;
    result = surface7->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(surface));
    surface7->Release();
    if (FAILED(result)) return result;
  } else {
    DDSURFACEDESC old = plat::OlderSurfaceDesc(desc);
    result = mDirectDraw->CreateSurface(&old, surface, nullptr);
    if (FAILED(result)) return result;
  }
  // Only 16- and 32-bit screens are drawn on; the primary being made is its own reference.
  IDirectDrawSurface* reference = mPrimarySurface ? mPrimarySurface : *surface;
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(format);
  if (FAILED(reference->GetPixelFormat(&format)) || (format.dwRGBBitCount != 16 && format.dwRGBBitCount != 32)) {
    ReleaseSurface(*surface);
    return DDERR_INVALIDPIXELFORMAT;
  }
  return result;
}

void DDInterface::Cleanup() {
  AutoCrit lock(Lock());
  mInitialized = false;
  for (DDImage* image : mDDImageSet) image->ForgetLockedTarget();
  mD3DInterface->Cleanup();
  mOldCursorAreaImage.reset();
  mNewCursorAreaImage.reset();
  ReleaseSurface(mOldCursorArea);
  ReleaseSurface(mNewCursorArea);
  mScreenImage.reset();
  ReleaseSurface(mDrawSurface);
  ReleaseSurface(mSecondarySurface);
  ReleaseSurface(mPrimarySurface);
  if (mDirectDraw) {
    mDirectDraw->SetCooperativeLevel(mHWnd, DDSCL_NORMAL);
    mDirectDraw->Release();
    mDirectDraw = nullptr;
  }
  if (mDirectDraw7) {
    mDirectDraw7->Release();
    mDirectDraw7 = nullptr;
  }
  mHasOldCursorArea = false;
}

int DDInterface::Init(HWND hwnd, bool isWindowed) {
  AutoCrit lock(Lock());
  mInitialized = false;
  Cleanup();

  HRESULT created = DDERR_NODIRECTDRAWSUPPORT;
  if (mDirectDrawCreateEx) {
    void* object = nullptr;
    created = mDirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr);
    if (CheckDXError(created, "DirectDrawCreateEx")) return RESULT_DD_CREATE_FAIL;
    mDirectDraw7 = static_cast<IDirectDraw7*>(object);
    created = mDirectDraw7->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&mDirectDraw));
    if (CheckDXError(created, "QueryrInterface IID_IDirectDraw")) return RESULT_DD_CREATE_FAIL;
  } else if (mDirectDrawCreate) {
    created = mDirectDrawCreate(nullptr, &mDirectDraw, nullptr);
  }
  Run3DTest(hwnd);

  ImageHost& app = HostOf(mApp);
  mHWnd = hwnd;
  mWidth = app.GetDisplayWidth();
  mHeight = app.GetDisplayHeight();
  mFullScreenBits = app.GetFullScreenBits();
  mIsWindowed = isWindowed;
  mHasOldCursorArea = false;
  if (CheckDXError(created, "DirectDrawCreate") || !mDirectDraw) return RESULT_DD_CREATE_FAIL;

  const int modeResult = isWindowed ? InitWindowed() : InitFullScreen();
  if (modeResult != RESULT_OK) return modeResult;
  TakeRefreshRate();
  if (const int result = CreateCursorAreas(); result != RESULT_OK) return result;
  if (const int result = TakePixelFormat(); result != RESULT_OK) return result;
  BuildTables();
  SetVideoOnlyDraw(mVideoOnlyDraw);
  if (mIs3D && !mD3DInterface->Init(this)) {
    m3DFailed = true;
    mErrorString = "3D init error: " + mD3DInterface->mLastError;
    return RESULT_3D_FAIL;
  }
  ++mInitCount;
  mInitialized = true;
  return RESULT_OK;
}

int DDInterface::InitFullScreen() {
  if (CheckDXError(mDirectDraw->SetCooperativeLevel(mHWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
                   "SetCooperativeLevel FullScreen"))
    return RESULT_EXCLUSIVE_FAIL;
  if (CheckDXError(mDirectDraw->SetDisplayMode(static_cast<DWORD>(mWidth), static_cast<DWORD>(mHeight),
                                               static_cast<DWORD>(mFullScreenBits)),
                   "SetDisplayMode FullScreen"))
    return RESULT_DISPCHANGE_FAIL;
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | (mIs3D ? DDSCAPS_3DDEVICE : 0);
  if (CheckDXError(CreateSurface(desc, &mPrimarySurface), "CreateSurface FullScreen Primary"))
    return RESULT_SURFACE_FAIL;
  DDSCAPS caps{DDSCAPS_BACKBUFFER};
  if (CheckDXError(mPrimarySurface->GetAttachedSurface(&caps, &mSecondarySurface), "GetAttachedSurface"))
    return RESULT_SURFACE_FAIL;
  if (const int result = CreateDrawSurface("CreateSurface FullScreen DrawSurface"); result != RESULT_OK) return result;
  return AttachClipper("CreateClipper FullScreen") ? RESULT_OK : RESULT_FAIL;
}

int DDInterface::InitWindowed() {
  mDirectDraw->SetCooperativeLevel(mHWnd, DDSCL_NORMAL);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | (mIs3D ? DDSCAPS_3DDEVICE : 0);
  const HRESULT result = CreateSurface(desc, &mPrimarySurface);
  if (result == DDERR_INVALIDPIXELFORMAT) return RESULT_INVALID_COLORDEPTH;
  if (CheckDXError(result, "CreateSurface Windowed Primary")) return RESULT_SURFACE_FAIL;
  if (const int drawResult = CreateDrawSurface("CreateSurface Windowed DrawSurface"); drawResult != RESULT_OK)
    return drawResult;
  return AttachClipper("CreateClipper Windowed") ? RESULT_OK : RESULT_FAIL;
}

int DDInterface::CreateDrawSurface(const char* step) {
  DDSURFACEDESC2 desc =
      OffscreenSurfaceDesc(mWidth, mHeight, mIs3D ? DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
  return CheckDXError(CreateSurface(desc, &mDrawSurface), step) ? RESULT_SURFACE_FAIL : RESULT_OK;
}

bool DDInterface::AttachClipper(const char* step) {
  IDirectDrawClipper* clipper = nullptr;
  if (CheckDXError(mDirectDraw->CreateClipper(0, &clipper, nullptr), step)) return false;
  if (SUCCEEDED(clipper->SetHWnd(0, mHWnd))) mPrimarySurface->SetClipper(clipper);
  clipper->Release();  // the primary surface keeps its own reference
  return true;
}

void DDInterface::TakeRefreshRate() {
  DWORD frequency = 0;
  const HRESULT result = mDirectDraw->GetMonitorFrequency(&frequency);
  mRefreshRate = static_cast<int>(frequency);
  if (FAILED(result) || frequency < 60 || frequency > 100) {
    mRefreshRate = FAILED(result) || frequency < 60 ? 60 : 100;
    HostOf(mApp).SetVerticalSyncBroken(true);
  }
  mMillisPerRefresh = 1000 / mRefreshRate;
}

int DDInterface::CreateCursorAreas() {
  const char* steps[2] = {"CreateSurface OldCursorArea", "CreateSurface NewCursorArea"};
  IDirectDrawSurface** areas[2] = {&mOldCursorArea, &mNewCursorArea};
  std::unique_ptr<DDImage>* images[2] = {&mOldCursorAreaImage, &mNewCursorAreaImage};
  for (int i = 0; i < 2; ++i) {
    DDSURFACEDESC2 desc = OffscreenSurfaceDesc(mCursorWidth, mCursorHeight, DDSCAPS_SYSTEMMEMORY);
    if (CheckDXError(CreateSurface(desc, areas[i]), steps[i])) return RESULT_SURFACE_FAIL;
    *images[i] = std::make_unique<DDImage>(this);
    (*images[i])->SetSurface(*areas[i]);
    (*images[i])->SetImageMode(false, false);
  }
  return RESULT_OK;
}

int DDInterface::TakePixelFormat() {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  if (FAILED(mPrimarySurface->GetSurfaceDesc(&desc))) return RESULT_INVALID_COLORDEPTH;
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  if (format.dwRGBBitCount != 16 && format.dwRGBBitCount != 32) return RESULT_INVALID_COLORDEPTH;
  SetFormat(static_cast<int>(format.dwRGBBitCount), format.dwRBitMask, format.dwGBitMask, format.dwBBitMask);
  return RESULT_OK;
}

void DDInterface::BuildTables() {
  mAddTables.Build(*this);
  auto fill = [](std::array<std::int32_t, 256>& table, std::uint32_t mask) {
    for (std::uint32_t i = 0; i < 256; ++i) table[i] = static_cast<std::int32_t>((mask * i / 255) & mask);
  };
  fill(mRedConvertTable, static_cast<std::uint32_t>(mRedMask));
  fill(mGreenConvertTable, static_cast<std::uint32_t>(mGreenMask));
  fill(mBlueConvertTable, static_cast<std::uint32_t>(mBlueMask));
}

void DDInterface::SetVideoOnlyDraw(bool videoOnlyDraw) {
  AutoCrit lock(Lock());
  mVideoOnlyDraw = videoOnlyDraw;
  if (mVideoOnlyDraw && !mSecondarySurface && mDirectDraw) {
    DDSURFACEDESC2 desc = OffscreenSurfaceDesc(mWidth, mHeight, DDSCAPS_VIDEOMEMORY);
    if (FAILED(CreateSurface(desc, &mSecondarySurface))) mVideoOnlyDraw = false;
  }
  mScreenImage.reset();
  IDirectDrawSurface* target = mVideoOnlyDraw ? mSecondarySurface : mDrawSurface;
  if (!target) return;
  mScreenImage = std::make_unique<DDImage>(this);
  mScreenImage->SetSurface(target);
  mScreenImage->mNoLock = mVideoOnlyDraw;
  mScreenImage->mVideoMemory = mVideoOnlyDraw;
  mScreenImage->SetImageMode(false, false);
}

POINT DDInterface::ClientOrigin() const {
  POINT origin{0, 0};
  if (mHWnd) ClientToScreen(mHWnd, &origin);
  return origin;
}

bool DDInterface::SetCursorImage(Image* image) {
  AutoCrit lock(Lock());
  if (image == mCursorImage) return false;
  mCursorImage = image;
  // The cursor thread draws the image between frames from now on (or no longer).
  mImageLock.SetSharing(ImageLock::kCursorThread, image != nullptr);
  return true;
}

}  // namespace Kit
