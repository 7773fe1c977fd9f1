#include "tests/d3d/D3DFixture.h"

#include <cstring>

#include "tests/support/ArgbReadback.h"
#include "tests/support/DirectDrawObject.h"

namespace d3d_test {

D3DTLVERTEX Vertex(float x, float y, D3DCOLOR color, float u, float v) { return {x, y, 0.0f, 1.0f, color, 0, u, v}; }

std::vector<D3DTLVERTEX> SpriteStrip(float x, float y, float w, float h, D3DCOLOR color, float u1, float v1) {
  const float l = x - 0.5f, t = y - 0.5f;
  return {Vertex(l, t, color, 0, 0), Vertex(l, t + h, color, 0, v1), Vertex(l + w, t, color, u1, 0),
          Vertex(l + w, t + h, color, u1, v1)};
}

void D3DBase::SetUp() {
  mSettings = testsupport::UseTestDesktop(FormatUnderTest());
  mDD.reset(testsupport::CreateDirectDraw7());
  ASSERT_NE(mDD, nullptr);
  void* d3d = nullptr;
  ASSERT_EQ(mDD->QueryInterface(IID_IDirect3D7, &d3d), S_OK);
  mD3D.reset(static_cast<IDirect3D7*>(d3d));
  mTarget = CreateSurface(kSize, kSize, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
  ASSERT_NE(mTarget, nullptr);
  IDirect3DDevice7* device = nullptr;
  ASSERT_EQ(mD3D->CreateDevice(IID_IDirect3DHALDevice, mTarget.get(), &device), D3D_OK);
  mDevice.reset(device);
  SetStates({{D3DRENDERSTATE_CULLMODE, D3DCULL_NONE}});
}

void D3DBase::TearDown() {
  mDevice.reset();
  mTarget.reset();
  mD3D.reset();
  mDD.reset();
  mSettings.reset();
}

Com<IDirectDrawSurface7> D3DBase::CreateSurface(DWORD width, DWORD height, DWORD caps, const DDPIXELFORMAT* format) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (format ? DDSD_PIXELFORMAT : 0);
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddsCaps.dwCaps = caps;
  if (caps & DDSCAPS_TEXTURE) desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  if (format) desc.ddpfPixelFormat = *format;
  IDirectDrawSurface7* surface = nullptr;
  EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DD_OK);
  return Com<IDirectDrawSurface7>(surface);
}

Com<IDirectDrawSurface7> D3DBase::CreateTexture(int width, int height, const std::vector<std::uint32_t>& argb) {
  const DDPIXELFORMAT pf{sizeof(pf), DDPF_RGB | DDPF_ALPHAPIXELS, 0, {32}, {0xFF0000}, {0xFF00}, {0xFF}, {0xFF000000}};
  auto texture = CreateSurface(width, height, DDSCAPS_TEXTURE, &pf);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  if (!texture || texture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr) != DD_OK) return texture;
  for (int y = 0; y < height; ++y)
    std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch, &argb[static_cast<size_t>(y * width)],
                static_cast<size_t>(width) * 4);
  texture->Unlock(nullptr);
  return texture;
}

HRESULT D3DBase::Draw(D3DPRIMITIVETYPE type, const std::vector<D3DTLVERTEX>& vertices) {
  return mDevice->DrawPrimitive(type, D3DFVF_TLVERTEX, const_cast<D3DTLVERTEX*>(vertices.data()),
                                static_cast<DWORD>(vertices.size()), D3DDP_WAIT);
}

HRESULT D3DBase::DrawScene(D3DPRIMITIVETYPE type, const std::vector<D3DTLVERTEX>& vertices, D3DCOLOR clear) {
  EXPECT_EQ(mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, clear, 1.0f, 0), D3D_OK);
  EXPECT_EQ(mDevice->BeginScene(), D3D_OK);
  const HRESULT hr = Draw(type, vertices);
  EXPECT_EQ(mDevice->EndScene(), D3D_OK);
  return hr;
}

std::vector<std::uint32_t> D3DBase::Read(IDirectDrawSurface7* surface) const {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  if (surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) return {};
  auto pixels = testsupport::ReadArgb(desc.lpSurface, desc.lPitch, static_cast<int>(desc.dwWidth),
                                      static_cast<int>(desc.dwHeight), desc.ddpfPixelFormat);
  surface->Unlock(nullptr);
  return pixels;
}

std::array<int, 3> D3DBase::ChannelBits() const {
  switch (FormatUnderTest()) {
    case plat::DesktopFormat::Rgb565:
      return {5, 6, 5};
    case plat::DesktopFormat::Rgb555:
      return {5, 5, 5};
    default:
      return {8, 8, 8};
  }
}

void D3DBase::SetStates(std::initializer_list<std::pair<D3DRENDERSTATETYPE, DWORD>> states) {
  for (const auto& [state, value] : states) EXPECT_EQ(mDevice->SetRenderState(state, value), D3D_OK);
}

void D3DBase::SetStageStates(std::initializer_list<std::pair<D3DTEXTURESTAGESTATETYPE, DWORD>> states) {
  for (const auto& [state, value] : states) EXPECT_EQ(mDevice->SetTextureStageState(0, state, value), D3D_OK);
}

}  // namespace d3d_test
