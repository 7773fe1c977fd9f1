#include "tests/drawing/SurfaceFixture.h"

#include "tests/support/ArgbReadback.h"
#include "tests/support/DirectDrawObject.h"
#include "tests/support/PixelModel.h"

namespace drawingtest {

void SurfaceTest::SetUp() {
  plat::DisplaySettings settings;
  settings.format = GetParam().format;
  settings.desktopWidth = 640;
  settings.desktopHeight = 480;
  mSettings = std::make_unique<plat::ScopedDisplaySettings>(settings);
  mDD = testsupport::CreateDirectDraw7();
  ASSERT_NE(mDD, nullptr);
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
  fx.dwFillColor = model::Pack(
      rgb, {static_cast<int>(format.dwRGBBitCount), format.dwRBitMask, format.dwGBitMask, format.dwBBitMask});
  EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  return SurfacePtr(surface);
}

std::vector<std::uint32_t> SurfaceTest::Read(IDirectDrawSurface7* surface) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  std::vector<std::uint32_t> pixels;
  if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return pixels;
  pixels = testsupport::ReadArgb(desc.lpSurface, desc.lPitch, static_cast<int>(desc.dwWidth),
                                 static_cast<int>(desc.dwHeight), desc.ddpfPixelFormat);
  surface->Unlock(nullptr);
  return pixels;
}

std::uint32_t SurfaceTest::Shown(std::uint32_t rgb) {
  auto surface = Make(1, 1, rgb);
  return Read(surface.get()).at(0);
}

}  // namespace drawingtest
