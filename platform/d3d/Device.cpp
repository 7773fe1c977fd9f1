#include "platform/d3d/Device.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <utility>

#include "platform/d3d/D3DHooks.h"
#include "platform/d3d/DeviceCaps.h"
#include "platform/d3d/Direct3D.h"
#include "platform/ddraw/DisplayDevice.h"
#include "platform/ddraw/Palette.h"
#include "platform/ddraw/Surface.h"

namespace plat::d3d {
namespace {

// The most vertices one DrawPrimitive takes, as on the hardware of the time.
constexpr DWORD kMaxVertices = 0xFFFF;
constexpr DWORD kKnownVertexBits = D3DFVF_POSITION_MASK | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK;

// Runs a call through the test hooks: an injected fault replaces it, and the log records it.
template <typename Body>
HRESULT Call(const char* name, std::initializer_list<DWORD> args, Body body) {
  HRESULT hr;
  if (const auto fault = TakeFault(name)) {
    hr = *fault;
  } else {
    hr = body();
  }
  if (LoggingCalls()) LogCall(name, std::vector<DWORD>(args), hr);
  return hr;
}

bool Renderable(const ddraw::PixelLayout& layout) {
  return !layout.palettized && layout.bytesPerPixel >= 2 && layout.redMask && layout.greenMask && layout.blueMask;
}

RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

}  // namespace

Device::Device(Direct3D* owner, std::shared_ptr<ddraw::DisplayDevice> device)
    : ComObject(IID_IDirect3DDevice7), mOwner(owner), mDevice(std::move(device)) {
  mOwner->AddRef();
  SetDefaultStates();
}

Device::~Device() {
  Hold(mTarget, nullptr);
  for (ddraw::Surface*& texture : mTextures) Hold(texture, nullptr);
  mOwner->Release();
}

HRESULT Device::Create(Direct3D* owner, std::shared_ptr<ddraw::DisplayDevice> device, IDirectDrawSurface7* target,
                       IDirect3DDevice7** out) {
  auto* created = new Device(owner, std::move(device));
  ddraw::Surface* surface = nullptr;
  const HRESULT hr = created->CheckTarget(target, &surface);
  if (FAILED(hr)) {
    created->Release();
    return hr;
  }
  Hold(created->mTarget, surface);
  created->mViewport = created->WholeTarget();
  *out = created;
  return D3D_OK;
}

void Device::SetDefaultStates() {
  mRenderStates.fill(0);
  mRenderStates[D3DRENDERSTATE_FILLMODE] = D3DFILL_SOLID;
  mRenderStates[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
  mRenderStates[D3DRENDERSTATE_ZWRITEENABLE] = TRUE;
  mRenderStates[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
  mRenderStates[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
  mRenderStates[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
  mRenderStates[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
  mRenderStates[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
  mRenderStates[D3DRENDERSTATE_TEXTUREFACTOR] = 0xFFFFFFFF;
  mRenderStates[D3DRENDERSTATE_LIGHTING] = TRUE;
  for (DWORD stage = 0; stage < D3D_TEXTURESTAGE_COUNT; ++stage) {
    auto& s = mStageStates[stage];
    s.fill(0);
    s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    s[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    s[D3DTSS_TEXCOORDINDEX] = stage;
    s[D3DTSS_ADDRESS] = s[D3DTSS_ADDRESSU] = s[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    s[D3DTSS_MAGFILTER] = D3DTFG_POINT;
    s[D3DTSS_MINFILTER] = D3DTFN_POINT;
    s[D3DTSS_MIPFILTER] = D3DTFP_NONE;
  }
}

void Device::Hold(ddraw::Surface*& slot, ddraw::Surface* surface) {
  if (surface) static_cast<IDirectDrawSurface7*>(surface)->AddRef();
  ddraw::Surface* old = std::exchange(slot, surface);
  if (old) static_cast<IDirectDrawSurface7*>(old)->Release();
}

// ---- Capabilities ----

HRESULT Device::GetCaps(LPD3DDEVICEDESC7 desc) {
  return Call("GetCaps", {}, [&] {
    if (!desc) return DDERR_INVALIDPARAMS;
    *desc = DeviceDescription();
    return D3D_OK;
  });
}

HRESULT Device::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) {
  return Call("EnumTextureFormats", {}, [&] {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (DDPIXELFORMAT format : TextureFormats())
      if (callback(&format, context) == D3DENUMRET_CANCEL) break;
    return D3D_OK;
  });
}

// ---- Scenes ----

HRESULT Device::BeginScene() {
  return Call("BeginScene", {}, [&] {
    if (mInScene) return D3DERR_SCENE_IN_SCENE;
    mInScene = true;
    return D3D_OK;
  });
}

HRESULT Device::EndScene() {
  return Call("EndScene", {}, [&] {
    if (!mInScene) return D3DERR_SCENE_NOT_IN_SCENE;
    mInScene = false;
    PresentIfVisible();
    return D3D_OK;
  });
}

void Device::PresentIfVisible() {
  bool visible;
  {
    std::lock_guard lock(mDevice->Mutex());
    visible = mTarget->Visible();
  }
  if (visible) mDevice->PresentPrimary();
}

// ---- Render target and viewport ----

HRESULT Device::CheckTarget(IDirectDrawSurface7* face, ddraw::Surface** surface) const {
  if (!face) return DDERR_INVALIDPARAMS;
  ddraw::Surface* ours = ddraw::Surface::FromInterface(face);
  if (!ours || ours->Device() != mDevice) return DDERR_INVALIDOBJECT;
  std::lock_guard lock(mDevice->Mutex());
  if (!(ours->Caps() & DDSCAPS_3DDEVICE)) return DDERR_INVALIDCAPS;
  if (!Renderable(ours->Layout())) return DDERR_INVALIDPIXELFORMAT;
  if (ours->Lost()) return DDERR_SURFACELOST;
  *surface = ours;
  return D3D_OK;
}

D3DVIEWPORT7 Device::WholeTarget() const {
  return D3DVIEWPORT7{0, 0, static_cast<DWORD>(mTarget->Width()), static_cast<DWORD>(mTarget->Height()), 0.0f, 1.0f};
}

HRESULT Device::SetRenderTarget(IDirectDrawSurface7* target, DWORD flags) {
  return Call("SetRenderTarget", {flags}, [&] {
    ddraw::Surface* surface = nullptr;
    const HRESULT hr = CheckTarget(target, &surface);
    if (FAILED(hr)) return hr;
    // Another surface brings the viewport of its whole area; setting the same one again (as the display
    // does at every scene) keeps the viewport set for it.
    const bool another = surface != mTarget;
    Hold(mTarget, surface);
    if (another) mViewport = WholeTarget();
    return D3D_OK;
  });
}

HRESULT Device::SetViewport(LPD3DVIEWPORT7 viewport) {
  if (!viewport) return Call("SetViewport", {}, [] { return DDERR_INVALIDPARAMS; });
  const D3DVIEWPORT7 v = *viewport;
  return Call("SetViewport", {v.dwX, v.dwY, v.dwWidth, v.dwHeight}, [&] {
    const auto width = static_cast<std::uint64_t>(mTarget->Width());
    const auto height = static_cast<std::uint64_t>(mTarget->Height());
    if (v.dwWidth == 0 || v.dwHeight == 0 || std::uint64_t{v.dwX} + v.dwWidth > width ||
        std::uint64_t{v.dwY} + v.dwHeight > height || !(v.dvMinZ >= 0.0f && v.dvMinZ <= v.dvMaxZ && v.dvMaxZ <= 1.0f))
      return DDERR_INVALIDPARAMS;
    mViewport = v;
    return D3D_OK;
  });
}

HRESULT Device::GetViewport(LPD3DVIEWPORT7 viewport) {
  return Call("GetViewport", {}, [&] {
    if (!viewport) return DDERR_INVALIDPARAMS;
    *viewport = mViewport;
    return D3D_OK;
  });
}

// ---- States ----

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  return Call("SetRenderState", {state, value}, [&] {
    if (state == 0 || state >= D3D_RENDERSTATE_COUNT) return DDERR_INVALIDPARAMS;
    mRenderStates[state] = value;
    return D3D_OK;
  });
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
  return Call("SetTextureStageState", {stage, state, value}, [&] {
    if (stage >= D3D_TEXTURESTAGE_COUNT || state == 0 || state >= D3D_TEXTURESTAGESTATE_COUNT)
      return DDERR_INVALIDPARAMS;
    auto& states = mStageStates[stage];
    states[state] = value;
    if (state == D3DTSS_ADDRESS) states[D3DTSS_ADDRESSU] = states[D3DTSS_ADDRESSV] = value;
    return D3D_OK;
  });
}

HRESULT Device::SetTexture(DWORD stage, IDirectDrawSurface7* texture) {
  return Call("SetTexture", {stage, texture ? 1u : 0u}, [&] {
    if (stage >= D3D_TEXTURESTAGE_COUNT) return DDERR_INVALIDPARAMS;
    ddraw::Surface* surface = nullptr;
    if (texture) {
      surface = ddraw::Surface::FromInterface(texture);
      if (!surface || surface->Device() != mDevice) return DDERR_INVALIDOBJECT;
      if (!(surface->Caps() & DDSCAPS_TEXTURE)) return DDERR_INVALIDCAPS;
      if (!IsTextureFormat(surface->Layout().ToPixelFormat())) return D3DERR_WRONGTEXTUREFORMAT;
    }
    Hold(mTextures[stage], surface);
    return D3D_OK;
  });
}

// ---- Drawing ----

HRESULT Device::Clear(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR color, D3DVALUE z, DWORD stencil) {
  return Call("Clear", {count, flags, color}, [&] {
    const HRESULT hr = DoClear(count, rects, flags, color);
    if (SUCCEEDED(hr) && (flags & D3DCLEAR_TARGET) && !mInScene) PresentIfVisible();
    return hr;
  });
}

HRESULT Device::DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color) {
  if (flags & D3DCLEAR_ZBUFFER) return D3DERR_ZBUFFER_NOTPRESENT;
  if (flags & D3DCLEAR_STENCIL) return D3DERR_STENCILBUFFER_NOTPRESENT;
  if (count && !rects) return DDERR_INVALIDPARAMS;
  if (!(flags & D3DCLEAR_TARGET)) return D3D_OK;
  std::lock_guard lock(mDevice->Mutex());
  if (mTarget->Lost()) return DDERR_SURFACELOST;
  if (mTarget->Busy()) return DDERR_SURFACEBUSY;
  const TargetMemory target{mTarget->View(), mTarget->Layout()};
  const RECT viewport{static_cast<LONG>(mViewport.dwX), static_cast<LONG>(mViewport.dwY),
                      static_cast<LONG>(mViewport.dwX + mViewport.dwWidth),
                      static_cast<LONG>(mViewport.dwY + mViewport.dwHeight)};
  if (count == 0) {
    ClearArea(target, viewport, color);
    return D3D_OK;
  }
  for (DWORD i = 0; i < count; ++i)
    ClearArea(target, Intersect(viewport, RECT{rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2}), color);
  return D3D_OK;
}

RasterState Device::MakeRasterState(const TextureMemory* texture) const {
  const auto& rs = mRenderStates;
  const auto& ts = mStageStates[0];
  RasterState state;
  state.texture = texture;
  state.stage = StageState{ts[D3DTSS_COLOROP],     ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2], ts[D3DTSS_ALPHAOP],
                           ts[D3DTSS_ALPHAARG1],   ts[D3DTSS_ALPHAARG2], ts[D3DTSS_ADDRESSU],  ts[D3DTSS_ADDRESSV],
                           ts[D3DTSS_BORDERCOLOR], ts[D3DTSS_MAGFILTER], ts[D3DTSS_MINFILTER]};
  state.textureFactor = rs[D3DRENDERSTATE_TEXTUREFACTOR];
  state.blend = rs[D3DRENDERSTATE_ALPHABLENDENABLE] != FALSE;
  state.srcBlend = rs[D3DRENDERSTATE_SRCBLEND];
  state.destBlend = rs[D3DRENDERSTATE_DESTBLEND];
  // The "both" blends set the destination factor too.
  if (state.srcBlend == D3DBLEND_BOTHSRCALPHA) {
    state.srcBlend = D3DBLEND_SRCALPHA;
    state.destBlend = D3DBLEND_INVSRCALPHA;
  } else if (state.srcBlend == D3DBLEND_BOTHINVSRCALPHA) {
    state.srcBlend = D3DBLEND_INVSRCALPHA;
    state.destBlend = D3DBLEND_SRCALPHA;
  }
  state.alphaTest = rs[D3DRENDERSTATE_ALPHATESTENABLE] != FALSE;
  state.alphaFunc = rs[D3DRENDERSTATE_ALPHAFUNC];
  state.alphaRef = rs[D3DRENDERSTATE_ALPHAREF];
  state.flatShading = rs[D3DRENDERSTATE_SHADEMODE] == D3DSHADE_FLAT;
  state.specular = rs[D3DRENDERSTATE_SPECULARENABLE] != FALSE;
  state.cull = rs[D3DRENDERSTATE_CULLMODE];
  state.clip =
      RECT{static_cast<LONG>(mViewport.dwX), static_cast<LONG>(mViewport.dwY),
           static_cast<LONG>(mViewport.dwX + mViewport.dwWidth), static_cast<LONG>(mViewport.dwY + mViewport.dwHeight)};
  return state;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, LPVOID vertices, DWORD count, DWORD flags) {
  return Call("DrawPrimitive", {type, vertexFormat, count, flags}, [&] {
    if (!mInScene) return D3DERR_SCENE_NOT_IN_SCENE;
    if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) return D3DERR_INVALIDPRIMITIVETYPE;
    if ((vertexFormat & ~kKnownVertexBits) != 0) return D3DERR_INVALIDVERTEXFORMAT;
    // The device draws what is already transformed; it has no transform stage.
    if ((vertexFormat & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW) return D3DERR_INVALIDVERTEXTYPE;
    if (count > kMaxVertices || (count && !vertices)) return DDERR_INVALIDPARAMS;
    const HRESULT hr = Draw(type, vertexFormat, static_cast<const BYTE*>(vertices), count);
    return hr;
  });
}

HRESULT Device::Draw(D3DPRIMITIVETYPE type, DWORD vertexFormat, const BYTE* vertices, DWORD count) {
  for (DWORD stage = 1; stage < D3D_TEXTURESTAGE_COUNT; ++stage)
    if (mStageStates[stage][D3DTSS_COLOROP] != D3DTOP_DISABLE) return D3DERR_TOOMANYOPERATIONS;
  const auto& stage0 = mStageStates[0];
  const StageState checked{stage0[D3DTSS_COLOROP],   stage0[D3DTSS_COLORARG1], stage0[D3DTSS_COLORARG2],
                           stage0[D3DTSS_ALPHAOP],   stage0[D3DTSS_ALPHAARG1], stage0[D3DTSS_ALPHAARG2],
                           stage0[D3DTSS_ADDRESSU],  stage0[D3DTSS_ADDRESSV],  0,
                           stage0[D3DTSS_MAGFILTER], stage0[D3DTSS_MINFILTER]};
  if (const HRESULT hr = ValidateStage(checked); FAILED(hr)) return hr;
  const DWORD src = mRenderStates[D3DRENDERSTATE_SRCBLEND], dest = mRenderStates[D3DRENDERSTATE_DESTBLEND];
  if (src < D3DBLEND_ZERO || src > D3DBLEND_BOTHINVSRCALPHA || dest < D3DBLEND_ZERO || dest > D3DBLEND_BOTHINVSRCALPHA)
    return D3DERR_CONFLICTINGRENDERSTATE;

  // The vertex layout: position and rhw, then the colours and texture coordinate sets present.
  const DWORD texSets = (vertexFormat & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (texSets > 8) return D3DERR_INVALIDVERTEXFORMAT;
  size_t offset = 16;
  const size_t diffuseAt = (vertexFormat & D3DFVF_DIFFUSE) ? std::exchange(offset, offset + 4) : 0;
  const size_t specularAt = (vertexFormat & D3DFVF_SPECULAR) ? std::exchange(offset, offset + 4) : 0;
  const DWORD texSet = stage0[D3DTSS_TEXCOORDINDEX] & 0xFFFF;
  const bool hasTexCoords = texSet < texSets;
  const size_t texAt = offset + 8 * texSet;
  const size_t stride = offset + 8 * texSets;

  mVertices.resize(count);
  for (DWORD i = 0; i < count; ++i) {
    const BYTE* in = vertices + static_cast<size_t>(i) * stride;
    RasterVertex& out = mVertices[i];
    std::memcpy(&out.x, in, 4);
    std::memcpy(&out.y, in + 4, 4);
    out.diffuse = 0xFFFFFFFF;
    out.specular = 0;
    out.u = out.v = 0.0f;
    if (diffuseAt) std::memcpy(&out.diffuse, in + diffuseAt, 4);
    if (specularAt) std::memcpy(&out.specular, in + specularAt, 4);
    if (hasTexCoords) {
      std::memcpy(&out.u, in + texAt, 4);
      std::memcpy(&out.v, in + texAt + 4, 4);
    }
  }

  // The primary surface shows what was drawn at the end of the scene.
  std::lock_guard lock(mDevice->Mutex());
  if (mTarget->Lost()) return DDERR_SURFACELOST;
  if (mTarget->Busy()) return DDERR_SURFACEBUSY;
  TextureMemory texture;
  const TextureMemory* bound = nullptr;
  if (ddraw::Surface* surface = mTextures[0]) {
    if (surface->Lost()) return DDERR_SURFACELOST;
    if (surface->Busy()) return DDERR_SURFACEBUSY;
    texture.view = surface->View();
    texture.layout = surface->Layout();
    if (texture.layout.palettized) {
      const ddraw::Palette* palette = surface->AttachedPalette();
      if (!palette) return DDERR_NOPALETTEATTACHED;
      for (size_t i = 0; i < texture.palette.size(); ++i) texture.palette[i] = palette->Argb(i);
    }
    bound = &texture;
  }
  const TargetMemory target{mTarget->View(), mTarget->Layout()};
  DrawVertices(target, MakeRasterState(bound), type, mVertices.data(), mVertices.size());
  return D3D_OK;
}

}  // namespace plat::d3d
