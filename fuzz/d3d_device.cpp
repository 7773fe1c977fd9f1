// Feeds the software Direct3D device arbitrary vertices (raw bytes read as floats and colours),
// render and texture-stage states, primitive types, viewports, target formats and texture sizes and
// formats; nothing may be written outside the viewport, and the sanitizers watch every access.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/FuzzReader.h"
#include "platform/d3d/D3D.h"

namespace {

DDPIXELFORMAT Format(int which) {
  DDPIXELFORMAT pf{};
  pf.dwSize = sizeof(pf);
  pf.dwFlags = DDPF_RGB;
  switch (which % 6) {
    case 0:  // 32-bit target
      pf.dwRGBBitCount = 32, pf.dwRBitMask = 0xFF0000, pf.dwGBitMask = 0xFF00, pf.dwBBitMask = 0xFF;
      break;
    case 1:  // 5-6-5
      pf.dwRGBBitCount = 16, pf.dwRBitMask = 0xF800, pf.dwGBitMask = 0x07E0, pf.dwBBitMask = 0x1F;
      break;
    case 2:  // 5-5-5
      pf.dwRGBBitCount = 16, pf.dwRBitMask = 0x7C00, pf.dwGBitMask = 0x03E0, pf.dwBBitMask = 0x1F;
      break;
    case 3:  // A8R8G8B8
      pf.dwFlags |= DDPF_ALPHAPIXELS, pf.dwRGBBitCount = 32, pf.dwRBitMask = 0xFF0000, pf.dwGBitMask = 0xFF00,
                                      pf.dwBBitMask = 0xFF, pf.dwRGBAlphaBitMask = 0xFF000000;
      break;
    case 4:  // A4R4G4B4
      pf.dwFlags |= DDPF_ALPHAPIXELS, pf.dwRGBBitCount = 16, pf.dwRBitMask = 0x0F00, pf.dwGBitMask = 0xF0,
                                      pf.dwBBitMask = 0xF, pf.dwRGBAlphaBitMask = 0xF000;
      break;
    default:  // palettized
      pf.dwFlags |= DDPF_PALETTEINDEXED8, pf.dwRGBBitCount = 8;
      break;
  }
  return pf;
}

IDirectDrawSurface7* Surface(IDirectDraw7* dd, DWORD width, DWORD height, DWORD caps, const DDPIXELFORMAT& pf) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddsCaps.dwCaps = caps;
  desc.ddpfPixelFormat = pf;
  IDirectDrawSurface7* surface = nullptr;
  dd->CreateSurface(&desc, &surface, nullptr);
  return surface;
}

constexpr D3DRENDERSTATETYPE kStates[] = {D3DRENDERSTATE_SHADEMODE,      D3DRENDERSTATE_ALPHATESTENABLE,
                                          D3DRENDERSTATE_SRCBLEND,       D3DRENDERSTATE_DESTBLEND,
                                          D3DRENDERSTATE_CULLMODE,       D3DRENDERSTATE_ALPHAREF,
                                          D3DRENDERSTATE_ALPHAFUNC,      D3DRENDERSTATE_ALPHABLENDENABLE,
                                          D3DRENDERSTATE_SPECULARENABLE, D3DRENDERSTATE_TEXTUREFACTOR};
constexpr D3DTEXTURESTAGESTATETYPE kStageStates[] = {
    D3DTSS_COLOROP,  D3DTSS_COLORARG1, D3DTSS_COLORARG2,   D3DTSS_ALPHAOP,   D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2,
    D3DTSS_ADDRESSU, D3DTSS_ADDRESSV,  D3DTSS_BORDERCOLOR, D3DTSS_MAGFILTER, D3DTSS_MINFILTER, D3DTSS_TEXCOORDINDEX};

constexpr DWORD kSize = 24;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::Reader in(data, size);
  void* object = nullptr;
  if (DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr) != DD_OK) return 0;
  auto* dd = static_cast<IDirectDraw7*>(object);
  void* d3dObject = nullptr;
  dd->QueryInterface(IID_IDirect3D7, &d3dObject);
  auto* d3d = static_cast<IDirect3D7*>(d3dObject);
  IDirectDrawSurface7* target =
      Surface(dd, kSize, kSize, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, Format(in.Next<uint8_t>() % 3));
  const DWORD texWidth = 1 + in.Next<uint8_t>() % 40, texHeight = 1 + in.Next<uint8_t>() % 40;
  IDirectDrawSurface7* texture = Surface(dd, texWidth, texHeight, DDSCAPS_TEXTURE, Format(3 + in.Next<uint8_t>() % 3));
  IDirect3DDevice7* device = nullptr;
  if (d3d && target && texture && d3d->CreateDevice(IID_IDirect3DHALDevice, target, &device) == D3D_OK) {
    // Texels and palette from a seed, so that the input's bytes go to the drawing.
    std::uint32_t seed = in.Next<uint8_t>() * 2654435761u + 1;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    std::vector<PALETTEENTRY> entries(256);
    for (auto& e : entries)
      e = {static_cast<BYTE>(next()), static_cast<BYTE>(next()), static_cast<BYTE>(next()), static_cast<BYTE>(next())};
    IDirectDrawPalette* palette = nullptr;
    if (seed & 1 && dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALPHA, entries.data(), &palette, nullptr) == DD_OK) {
      texture->SetPalette(palette);
      palette->Release();
    }
    DDSURFACEDESC2 lock{};
    lock.dwSize = sizeof(lock);
    if (texture->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr) == DD_OK) {
      for (DWORD y = 0; y < texHeight; ++y)
        for (LONG x = 0; x < lock.lPitch; ++x)
          static_cast<BYTE*>(lock.lpSurface)[y * lock.lPitch + x] = static_cast<BYTE>(next());
      texture->Unlock(nullptr);
    }
    D3DVIEWPORT7 viewport{in.Next<uint8_t>() % kSize,
                          in.Next<uint8_t>() % kSize,
                          1 + in.Next<uint8_t>() % kSize,
                          1 + in.Next<uint8_t>() % kSize,
                          0.0f,
                          1.0f};
    if (device->SetViewport(&viewport) != D3D_OK) device->GetViewport(&viewport);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF5A5A5A, 1.0f, 0);
    DDSURFACEDESC2 before{};
    before.dwSize = sizeof(before);
    std::vector<BYTE> snapshot;
    if (target->Lock(nullptr, &before, DDLOCK_WAIT, nullptr) == DD_OK) {
      snapshot.assign(static_cast<BYTE*>(before.lpSurface),
                      static_cast<BYTE*>(before.lpSurface) + before.lPitch * kSize);
      target->Unlock(nullptr);
    }
    device->BeginScene();
    if (in.Next<uint8_t>() & 1) device->SetTexture(0, texture);
    while (in.More()) {
      for (int n = in.Next<uint8_t>() % 4; n > 0; --n)
        device->SetRenderState(kStates[in.Next<uint8_t>() % std::size(kStates)], in.Next<uint8_t>() % 16);
      for (int n = in.Next<uint8_t>() % 4; n > 0; --n)
        device->SetTextureStageState(0, kStageStates[in.Next<uint8_t>() % std::size(kStageStates)],
                                     in.Next<uint8_t>() % 8);
      std::vector<D3DTLVERTEX> vertices(in.Next<uint8_t>() % 24);
      for (auto& v : vertices) {
        v = {in.Next<float>(), in.Next<float>(), 0.0f, 1.0f, in.Next<uint32_t>(), in.Next<uint32_t>(),
             in.Next<float>(), in.Next<float>()};
        // Most vertices near the target, so that the fuzzer reaches the pixel loops.
        if (!(in.Next<uint8_t>() & 3))
          v.sx = static_cast<float>(in.Next<int8_t>()) / 4, v.sy = static_cast<float>(in.Next<int8_t>()) / 4;
      }
      const auto type = static_cast<D3DPRIMITIVETYPE>(1 + in.Next<uint8_t>() % 6);
      device->DrawPrimitive(type, D3DFVF_TLVERTEX, vertices.data(), static_cast<DWORD>(vertices.size()), 0);
    }
    device->EndScene();
    if (!snapshot.empty() && target->Lock(nullptr, &before, DDLOCK_WAIT, nullptr) == DD_OK) {
      const int bytes = static_cast<int>(before.ddpfPixelFormat.dwRGBBitCount / 8);
      for (DWORD y = 0; y < kSize; ++y)
        for (DWORD x = 0; x < kSize; ++x) {
          const bool inside = x >= viewport.dwX && x < viewport.dwX + viewport.dwWidth && y >= viewport.dwY &&
                              y < viewport.dwY + viewport.dwHeight;
          const size_t at = y * static_cast<size_t>(before.lPitch) + x * static_cast<size_t>(bytes);
          if (!inside && std::memcmp(static_cast<BYTE*>(before.lpSurface) + at, snapshot.data() + at, bytes) != 0)
            std::abort();
        }
      target->Unlock(nullptr);
    }
    device->Release();
  }
  if (texture) texture->Release();
  if (target) target->Release();
  if (d3d) d3d->Release();
  dd->Release();
  return 0;
}
