#include "DDrawFixture.h"

namespace ddraw_test {
namespace {

using SurfaceCreationTest = DDrawTest;

TEST_P(SurfaceCreationTest, OffscreenSurfaceTakesTheDesktopFormatAndAPitchOfWholeRows) {
  for (DWORD width : {1u, 3u, 17u, 800u}) {
    auto surface = Offscreen(width, 5);
    ASSERT_TRUE(surface);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, width);
    EXPECT_EQ(desc.dwHeight, 5u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, static_cast<DWORD>(road().bytesPerPixel * 8));
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, road().red);
    EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, road().green);
    EXPECT_EQ(desc.ddpfPixelFormat.dwBBitMask, road().blue);
    EXPECT_EQ(desc.ddpfPixelFormat.dwFlags & DDPF_RGB, DDPF_RGB);
    EXPECT_GE(desc.lPitch, static_cast<LONG>(width) * road().bytesPerPixel);
    EXPECT_EQ(desc.lPitch % 4, 0);
  }
}

TEST_P(SurfaceCreationTest, WindowedPrimaryCoversTheDesktopAndIsUnique) {
  ASSERT_EQ(mDD->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  DDSURFACEDESC2 desc = PrimaryDesc();
  IDirectDrawSurface7* primary = nullptr;
  ASSERT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
  Com<IDirectDrawSurface7> owned(primary);
  DDSURFACEDESC2 got{};
  got.dwSize = sizeof(got);
  ASSERT_EQ(primary->GetSurfaceDesc(&got), DD_OK);
  EXPECT_EQ(got.dwWidth, 1024u);
  EXPECT_EQ(got.dwHeight, 768u);
  EXPECT_TRUE(got.ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE);
  EXPECT_TRUE(got.ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY);
  EXPECT_EQ(got.ddpfPixelFormat.dwRBitMask, road().red);

  IDirectDrawSurface7* second = nullptr;
  EXPECT_EQ(mDD->CreateSurface(&desc, &second, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
  // A primary of a set size is not a thing.
  desc.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = desc.dwHeight = 10;
  owned.reset();
  EXPECT_EQ(mDD->CreateSurface(&desc, &second, nullptr), DDERR_INVALIDPARAMS);
  // Once released, a primary can be made again.
  desc = PrimaryDesc();
  ASSERT_EQ(mDD->CreateSurface(&desc, &second, nullptr), DD_OK);
  second->Release();
}

TEST_P(SurfaceCreationTest, VideoMemoryIsBudgetedAndGivenBack) {
  plat::DisplaySettings small;
  small.format = road().format;
  small.desktopWidth = 640;
  small.desktopHeight = 480;
  small.videoMemoryBytes = 1u << 20;
  plat::ScopedDisplaySettings scoped(small);
  void* object = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr), DD_OK);
  Com<IDirectDraw7> dd(static_cast<IDirectDraw7*>(object));

  DDSCAPS2 caps{DDSCAPS_VIDEOMEMORY, 0, 0, 0};
  DWORD total = 0;
  DWORD free = 0;
  ASSERT_EQ(dd->GetAvailableVidMem(&caps, &total, &free), DD_OK);
  EXPECT_EQ(total, 1u << 20);
  EXPECT_EQ(free, total);

  DDSURFACEDESC2 desc = OffscreenDesc(256, 256, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY);
  std::vector<Com<IDirectDrawSurface7>> held;
  HRESULT hr = DD_OK;
  while (hr == DD_OK && held.size() < 100) {
    IDirectDrawSurface7* surface = nullptr;
    hr = dd->CreateSurface(&desc, &surface, nullptr);
    if (hr == DD_OK) held.emplace_back(surface);
  }
  EXPECT_EQ(hr, DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(held.size(), static_cast<size_t>((1u << 20) / (256u * 256u * road().bytesPerPixel)));
  // Without a placement asked for, a surface goes to system memory once video memory is gone.
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  IDirectDrawSurface7* fallback = nullptr;
  ASSERT_EQ(dd->CreateSurface(&desc, &fallback, nullptr), DD_OK);
  DDSCAPS2 placed{};
  fallback->GetCaps(&placed);
  EXPECT_TRUE(placed.dwCaps & DDSCAPS_SYSTEMMEMORY);
  fallback->Release();

  held.clear();
  ASSERT_EQ(dd->GetAvailableVidMem(&caps, &total, &free), DD_OK);
  EXPECT_EQ(free, total);

  // The visible screen is not counted; a back buffer is.
  ASSERT_EQ(dd->SetCooperativeLevel(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5154)),
                                    DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
            DD_OK);
  ASSERT_EQ(dd->SetDisplayMode(320, 200, road().bytesPerPixel * 8, 0, 0), DD_OK);
  DDSURFACEDESC2 chain = PrimaryDesc(1);
  IDirectDrawSurface7* primary = nullptr;
  ASSERT_EQ(dd->CreateSurface(&chain, &primary, nullptr), DD_OK);
  ASSERT_EQ(dd->GetAvailableVidMem(&caps, &total, &free), DD_OK);
  DDSURFACEDESC2 got{};
  got.dwSize = sizeof(got);
  primary->GetSurfaceDesc(&got);
  EXPECT_EQ(total - free, static_cast<DWORD>(got.lPitch) * 200);
  primary->Release();
  ASSERT_EQ(dd->GetAvailableVidMem(&caps, &total, &free), DD_OK);
  EXPECT_EQ(free, total);
  dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
  EXPECT_EQ(dd->GetAvailableVidMem(nullptr, &total, &free), DDERR_INVALIDPARAMS);
}

TEST_P(SurfaceCreationTest, SurfacesOutliveTheirDirectDrawObject) {
  auto surface = Filled(4, 4, Pack(road(), 255, 0, 0));
  mDD.reset();
  EXPECT_EQ(Fill(surface.get(), nullptr, 0), DD_OK);
  Pixels pixels(surface.get());
  ASSERT_EQ(pixels.Result(), DD_OK);
  EXPECT_EQ(pixels.Get(3, 3), 0u);
}

INSTANTIATE_TEST_SUITE_P(Roads, SurfaceCreationTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
