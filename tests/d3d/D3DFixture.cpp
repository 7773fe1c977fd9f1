#include "tests/d3d/D3DFixture.h"

#include <cstring>

#include "tests/support/ArgbReadback.h"
#include "tests/support/DirectDrawObject.h"

namespace d3d_test {

DDPIXELFORMAT PixelFormatOf(TexelFormat format) {
  DDPIXELFORMAT pf{};
  pf.dwSize = sizeof(pf);
  switch (format) {
    case TexelFormat::A8R8G8B8:
      pf = {sizeof(pf), DDPF_RGB | DDPF_ALPHAPIXELS, 0, {32}, {0xFF0000}, {0xFF00}, {0xFF}, {0xFF000000}};
      break;
    case TexelFormat::A4R4G4B4:
      pf = {sizeof(pf), DDPF_RGB | DDPF_ALPHAPIXELS, 0, {16}, {0x0F00}, {0x00F0}, {0x000F}, {0xF000}};
      break;
    case TexelFormat::R5G6B5:
      pf = {sizeof(pf), DDPF_RGB, 0, {16}, {0xF800}, {0x07E0}, {0x001F}, {0}};
      break;
    case TexelFormat::Palette8:
      pf = {sizeof(pf), DDPF_RGB | DDPF_PALETTEINDEXED8, 0, {8}, {0}, {0}, {0}, {0}};
      break;
  }
  return pf;
}

DWORD Encode(TexelFormat format, std::uint32_t c) {
  switch (format) {
    case TexelFormat::A8R8G8B8:
      return c;
    case TexelFormat::A4R4G4B4:
      return ((c >> 16) & 0xF000) | ((c >> 12) & 0x0F00) | ((c >> 8) & 0x00F0) | ((c >> 4) & 0x000F);
    case TexelFormat::R5G6B5:
      return ((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F);
    default:
      return c & 0xFF;
  }
}

std::uint32_t Decode(TexelFormat format, DWORD t, const std::vector<PALETTEENTRY>& palette) {
  switch (format) {
    case TexelFormat::A8R8G8B8:
      return t;
    case TexelFormat::A4R4G4B4:
      return ((t & 0xF000) * 0x11000) | ((t & 0x0F00) * 0x1100) | ((t & 0x00F0) * 0x110) | ((t & 0x000F) * 0x11);
    case TexelFormat::R5G6B5:
      return testsupport::ToArgb(t, PixelFormatOf(format));
    default: {
      const PALETTEENTRY& e = palette.at(t);
      return (std::uint32_t{e.peFlags} << 24) | (std::uint32_t{e.peRed} << 16) | (std::uint32_t{e.peGreen} << 8) |
             e.peBlue;
    }
  }
}

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

Com<IDirectDrawSurface7> D3DBase::CreateTexture(int width, int height, TexelFormat format,
                                                const std::vector<std::uint32_t>& argb) {
  const DDPIXELFORMAT pf = PixelFormatOf(format);
  auto texture = CreateSurface(width, height, DDSCAPS_TEXTURE, &pf);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  if (!texture || texture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr) != DD_OK) return texture;
  const int bytes = static_cast<int>(pf.dwRGBBitCount / 8);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const DWORD texel = Encode(format, argb[static_cast<size_t>(y * width + x)]);
      std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * bytes, &texel, bytes);
    }
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
