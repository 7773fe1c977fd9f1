#include "tests/drawing/SurfaceFixture.h"

#include <bit>
#include <cstring>

#include "platform/win/Modules.h"

namespace drawingtest {

namespace {

int Widen(DWORD pixel, DWORD mask) {
  const int bits = std::popcount(mask);
  const DWORD value = (pixel & mask) >> std::countr_zero(mask);
  if (bits >= 8) return static_cast<int>(value >> (bits - 8));
  DWORD wide = value << (8 - bits);
  for (int filled = bits; filled < 8; filled += bits) wide |= value << (8 - bits) >> filled;
  return static_cast<int>(wide & 0xFF);
}

DWORD Narrow(int value, DWORD mask) {
  const int bits = std::popcount(mask);
  const DWORD scaled = bits >= 8 ? static_cast<DWORD>(value) << (bits - 8) : static_cast<DWORD>(value) >> (8 - bits);
  return (scaled << std::countr_zero(mask)) & mask;
}

}  // namespace

void SurfaceTest::SetUp() {
  plat::DisplaySettings settings;
  settings.format = GetParam().format;
  settings.desktopWidth = 640;
  settings.desktopHeight = 480;
  mSettings = std::make_unique<plat::ScopedDisplaySettings>(settings);
  HMODULE module = LoadLibrary("ddraw.dll");
  ASSERT_NE(module, nullptr);
  auto create = reinterpret_cast<LPDIRECTDRAWCREATEEX>(GetProcAddress(module, "DirectDrawCreateEx"));
  ASSERT_NE(create, nullptr);
  void* object = nullptr;
  ASSERT_EQ(create(nullptr, &object, IID_IDirectDraw7, nullptr), DD_OK);
  mDD = static_cast<IDirectDraw7*>(object);
  FreeLibrary(module);
}

void SurfaceTest::TearDown() {
  if (mDD) mDD->Release();
  mSettings.reset();
}

SurfacePtr SurfaceTest::Make(int width, int height, std::uint32_t rgb) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  IDirectDrawSurface7* surface = nullptr;
  EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DD_OK);
  if (!surface) return nullptr;
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(format);
  surface->GetPixelFormat(&format);
  DDBLTFX fx{};
  fx.dwSize = sizeof(fx);
  fx.dwFillColor = Narrow((rgb >> 16) & 0xFF, format.dwRBitMask) | Narrow((rgb >> 8) & 0xFF, format.dwGBitMask) |
                   Narrow(rgb & 0xFF, format.dwBBitMask);
  EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  return SurfacePtr(surface);
}

std::vector<std::uint32_t> SurfaceTest::Read(IDirectDrawSurface7* surface) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  std::vector<std::uint32_t> pixels;
  if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return pixels;
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  const int bytes = static_cast<int>(format.dwRGBBitCount / 8);
  for (DWORD y = 0; y < desc.dwHeight; ++y)
    for (DWORD x = 0; x < desc.dwWidth; ++x) {
      DWORD pixel = 0;
      std::memcpy(&pixel, static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * bytes, static_cast<size_t>(bytes));
      pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(Widen(pixel, format.dwRBitMask)) << 16 |
                       static_cast<std::uint32_t>(Widen(pixel, format.dwGBitMask)) << 8 |
                       static_cast<std::uint32_t>(Widen(pixel, format.dwBBitMask)));
    }
  surface->Unlock(nullptr);
  return pixels;
}

std::uint32_t SurfaceTest::Shown(std::uint32_t rgb) {
  auto surface = Make(1, 1, rgb);
  return Read(surface.get()).at(0);
}

}  // namespace drawingtest
