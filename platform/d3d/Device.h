// The HAL device: Direct3D 7's states and calls over a DirectDraw render target, drawing in software at
// once, so that a texture rewritten between two draws of a scene shows each draw its own pixels.
// Like a driver's device it is used from one thread at a time; the surfaces it draws from and into are
// guarded by their DirectDraw device's mutex while it works.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "platform/d3d/D3D.h"
#include "platform/d3d/RasterState.h"
#include "platform/ddraw/ComObject.h"

namespace plat::ddraw {
class DisplayDevice;
class Surface;
}  // namespace plat::ddraw

namespace plat::d3d {

class Direct3D;

class Device final : public ddraw::ComObject<IDirect3DDevice7> {
 public:
  static HRESULT Create(Direct3D* owner, std::shared_ptr<ddraw::DisplayDevice> device, IDirectDrawSurface7* target,
                        IDirect3DDevice7** out);

  HRESULT GetCaps(LPD3DDEVICEDESC7 desc) override;
  HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT SetRenderTarget(IDirectDrawSurface7* target, DWORD flags) override;
  HRESULT Clear(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR color, D3DVALUE z, DWORD stencil) override;
  HRESULT SetViewport(LPD3DVIEWPORT7 viewport) override;
  HRESULT GetViewport(LPD3DVIEWPORT7 viewport) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, LPVOID vertices, DWORD count, DWORD flags) override;
  HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override;

 private:
  Device(Direct3D* owner, std::shared_ptr<ddraw::DisplayDevice> device);
  ~Device() override;

  // Checks a surface as a render target of this device.
  HRESULT CheckTarget(IDirectDrawSurface7* face, ddraw::Surface** surface) const;
  // Replaces the surface held at slot, counting references.
  static void Hold(ddraw::Surface*& slot, ddraw::Surface* surface);
  void SetDefaultStates();
  D3DVIEWPORT7 WholeTarget() const;
  HRESULT Draw(D3DPRIMITIVETYPE type, DWORD vertexFormat, const BYTE* vertices, DWORD count);
  HRESULT DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color);
  // After drawing into the primary surface, the window shows it.
  void PresentIfVisible();
  RasterState MakeRasterState(const TextureMemory* texture) const;

  Direct3D* mOwner;
  std::shared_ptr<ddraw::DisplayDevice> mDevice;
  ddraw::Surface* mTarget = nullptr;
  std::array<ddraw::Surface*, D3D_TEXTURESTAGE_COUNT> mTextures{};
  std::array<DWORD, D3D_RENDERSTATE_COUNT> mRenderStates{};
  std::array<std::array<DWORD, D3D_TEXTURESTAGESTATE_COUNT>, D3D_TEXTURESTAGE_COUNT> mStageStates{};
  D3DVIEWPORT7 mViewport{};
  bool mInScene = false;
  std::vector<RasterVertex> mVertices;  // reused from draw to draw
};

}  // namespace plat::d3d
