// The Direct3D path's device, scene, states and image textures.
#include "framework/graphics/d3d/D3DInterface.h"

#include <algorithm>

#include "framework/graphics/ImageHost.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/d3d/TextureFormat.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/graphics/display/DirectXErrorString.h"
#include "framework/util/StringUtil.h"
#include "platform/win/window/Window.h"

namespace Kit {
namespace {

constexpr int kMaxTextureSide = 1024;
constexpr int kUnlimitedAspectRatio = 65536;

HRESULT CollectTextureFormat(LPDDPIXELFORMAT format, LPVOID context) {
  *static_cast<int*>(context) |= GetTextureFormatClass(*format);
  return D3DENUMRET_OK;
}

}  // namespace

D3DInterface::D3DInterface(ImageHost* host) : mHost(host) {}

D3DInterface::~D3DInterface() { Cleanup(); }

template <typename Interface>
void D3DInterface::Release(Interface*& object) {
  if (object) object->Release();
  object = nullptr;
}

bool D3DInterface::CheckDXError(HRESULT result, const char* action) {
  if (SUCCEEDED(result)) return false;
  mLastError = StrFormat("%s: %s", action, GetDirectXErrorString(result).c_str());
  if (mHost) mHost->Record3DRuntimeError(mLastError);
  return true;
}

D3DTLVERTEX D3DInterface::MakeVertex(float x, float y, std::uint32_t color, float tu, float tv) {
  return D3DTLVERTEX{x, y, 0.0f, 1.0f, color, 0, tu, tv};
}

std::uint32_t D3DInterface::PackColor(const Color& color) {
  return (static_cast<std::uint32_t>(color.GetAlpha()) << 24) | (static_cast<std::uint32_t>(color.GetRed()) << 16) |
         (static_cast<std::uint32_t>(color.GetGreen()) << 8) | static_cast<std::uint32_t>(color.GetBlue());
}

bool D3DInterface::Init(DDInterface* display) {
  mLastError.clear();
  mDDraw = display->mDirectDraw7;
  mHWnd = display->mHWnd;
  mWidth = display->mWidth;
  mHeight = display->mHeight;
  Release(mDrawSurface);
  if (!display->mDrawSurface) return !CheckDXError(DDERR_NOTINITIALIZED, "Query DrawSurface");
  if (CheckDXError(
          display->mDrawSurface->QueryInterface(IID_IDirectDrawSurface7, reinterpret_cast<void**>(&mDrawSurface)),
          "Query DrawSurface"))
    return false;
  return InitD3D();
}

bool D3DInterface::InitD3D() {
  if (!mDDraw) return !CheckDXError(DDERR_NOTINITIALIZED, "QueryInterface IID_IDirect3D7");
  if (CheckDXError(mDDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&mD3D)),
                   "QueryInterface IID_IDirect3D7"))
    return false;
  if (CheckDXError(mD3D->CreateDevice(IID_IDirect3DHALDevice, mDrawSurface, &mDevice),
                   "CreateDevice IID_IDirect3DHALDevice"))
    return false;
  D3DDEVICEDESC7 desc{};
  if (CheckDXError(mDevice->GetCaps(&desc), "")) return false;

  TakeTextureLimits(desc, mTextureCaps);
  TextureCaps& caps = mTextureCaps;
  caps.mSupportedTextureFormats = 0;
  mDevice->EnumTextureFormats(CollectTextureFormat, &caps.mSupportedTextureFormats);
  if (!(desc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_ALPHAPALETTE))
    caps.mSupportedTextureFormats &= ~TEXFMT_PALETTE8;

  UpdateViewport();
  mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
  return true;
}

void D3DInterface::TakeTextureLimits(const D3DDEVICEDESC7& desc, TextureCaps& caps) {
  if (desc.dwMaxTextureWidth != 0) {
    caps.mMinTextureWidth = std::max(static_cast<int>(desc.dwMinTextureWidth), 1);
    caps.mMinTextureHeight = std::max(static_cast<int>(desc.dwMinTextureHeight), 1);
    caps.mMaxTextureWidth = static_cast<int>(std::min<DWORD>(desc.dwMaxTextureWidth, kMaxTextureSide));
    caps.mMaxTextureHeight = static_cast<int>(std::min<DWORD>(desc.dwMaxTextureHeight, kMaxTextureSide));
    caps.mMaxTextureAspectRatio =
        desc.dwMaxTextureAspectRatio == 0
            ? kUnlimitedAspectRatio
            : static_cast<int>(std::min<DWORD>(desc.dwMaxTextureAspectRatio, kUnlimitedAspectRatio));
  } else {
    caps.mMinTextureWidth = caps.mMinTextureHeight = caps.mMaxTextureWidth = caps.mMaxTextureHeight = 64;
    caps.mMaxTextureAspectRatio = 1;
  }
}

void D3DInterface::UpdateViewport() {
  RECT client{0, 0, mWidth, mHeight};
  if (mHWnd) GetClientRect(mHWnd, &client);
  mViewport = D3DVIEWPORT7{0,
                           0,
                           static_cast<DWORD>(std::max<LONG>(client.right - client.left, 0)),
                           static_cast<DWORD>(std::max<LONG>(client.bottom - client.top, 0)),
                           0.0f,
                           1.0f};
  if (mDevice) mDevice->SetViewport(&mViewport);
}

bool D3DInterface::PreDraw() {
  if (!mDevice || (mHWnd && IsIconic(mHWnd))) return false;
  if (mSceneBegun) return true;
  if (FAILED(mDevice->SetRenderTarget(mDrawSurface, 0))) {
    mRenderTargetLost = true;
    return false;
  }
  mRenderTargetLost = false;
  mDevice->BeginScene();
  mDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  mDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  mDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  mDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
  mDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
  mDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
  mDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_NONE);
  mDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  mDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  mDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  mDevice->SetRenderState(D3DRENDERSTATE_DITHERENABLE, FALSE);
  mDevice->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
  mDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
  mDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
  mDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  mSceneBegun = true;
  mLinearFilter = false;
  return true;
}

void D3DInterface::Flush() {
  if (!mSceneBegun) return;
  mDevice->EndScene();
  mSceneBegun = false;
  mLastError.clear();
}

void D3DInterface::SetDrawMode(int drawMode) {
  mDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  mDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, drawMode != 0 ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
}

void D3DInterface::SetLinearFilter(bool on) {
  if (on == mLinearFilter) return;
  const char* action = on ? "SetTextureStageState LINEAR" : "SetTextureStageState Point";
  const DWORD value = on ? 2 : 1;
  CheckDXError(mDevice->SetTextureStageState(0, D3DTSS_MINFILTER, value), action);
  CheckDXError(mDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, value), action);
  CheckDXError(mDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, value), action);
  mLinearFilter = on;
}

void D3DInterface::Cleanup() {
  Flush();
  for (MemoryImage* image : mTextureImages) {
    // An image whose textures hold its only pixels takes them back first.
    if (!image->mBits && !image->mColorIndices && image->mD3DData && image->mD3DData->mPixelFormat != 0) {
      const std::size_t pixels = static_cast<std::size_t>(image->mWidth) * image->mHeight;
      image->mBits = std::make_unique<std::uint32_t[]>(pixels + 1);
      image->mD3DData->RecoverBits(image->mBits.get());
      image->mBits[pixels] = MemoryImage::kGuardWord;
    }
    delete image->mD3DData;
    image->mD3DData = nullptr;
  }
  mTextureImages.clear();
  Release(mDevice);
  Release(mD3D);
  Release(mDrawSurface);
}

bool D3DInterface::CreateImageTexture(MemoryImage* image) {
  // An image tells the path through its application when it goes away; one without an application
  // could leave a texture record behind, so it gets none.
  if (!mDevice || !image || !image->mApp) return false;
  if (!image->mD3DData) {
    image->mD3DData = new TextureData;
    mTextureImages.insert(image);
  }
  TextureData& data = *image->mD3DData;
  data.CheckCreateTextures(image, mDevice, mDDraw, mTextureCaps);
  if (data.mPixelFormat == 0) return false;
  // The pixels are dropped only once the textures hold them: a failed upload keeps the image.
  if (!data.mUploadedOnce) {
    data.mUploadedOnce = true;
    if (image->mPurgeBits) image->PurgeBits();
  }
  return true;
}

void D3DInterface::RemoveImageTexture(MemoryImage* image) {
  if (mTextureImages.erase(image) != 0) delete image->mD3DData;
  image->mD3DData = nullptr;
}

bool D3DInterface::RecoverBits(MemoryImage* image, std::uint32_t* bits) {
  const TextureData* data = image->mD3DData;
  if (!data || data->mPixelFormat == 0 || data->mWidth != image->mWidth || data->mHeight != image->mHeight)
    return false;
  return data->RecoverBits(bits);
}

}  // namespace Kit
