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

TEST_P(SurfaceCreationTest, ExplicitPixelFormatsAreKeptAndImpossibleOnesRejected) {
  DDSURFACEDESC2 desc = OffscreenDesc(8, 8);
  desc.dwFlags |= DDSD_PIXELFORMAT;
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
  desc.ddpfPixelFormat.dwRGBBitCount = 16;
  desc.ddpfPixelFormat.dwRGBAlphaBitMask = 0xF000;
  desc.ddpfPixelFormat.dwRBitMask = 0x0F00;
  desc.ddpfPixelFormat.dwGBitMask = 0x00F0;
  desc.ddpfPixelFormat.dwBBitMask = 0x000F;
  IDirectDrawSurface7* surface = nullptr;
  ASSERT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DD_OK);
  Com<IDirectDrawSurface7> owned(surface);
  DDPIXELFORMAT format{};
  ASSERT_EQ(surface->GetPixelFormat(&format), DD_OK);
  EXPECT_EQ(format.dwRGBAlphaBitMask, 0xF000u);
  EXPECT_EQ(format.dwRBitMask, 0x0F00u);

  struct Bad {
    DWORD bits, r, g, b;
  };
  for (Bad bad : {Bad{16, 0xF800, 0xFFE0, 0x1F} /* overlap */, Bad{16, 0x1F800, 0x7E0, 0x1F} /* too wide */,
                  Bad{12, 0xF00, 0xF0, 0xF} /* odd depth */, Bad{32, 0xFF00FF, 0xFF00, 0} /* split channel */}) {
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = bad.bits;
    desc.ddpfPixelFormat.dwRBitMask = bad.r;
    desc.ddpfPixelFormat.dwGBitMask = bad.g;
    desc.ddpfPixelFormat.dwBBitMask = bad.b;
    surface = nullptr;
    EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPIXELFORMAT) << bad.bits << " " << bad.r;
    EXPECT_EQ(surface, nullptr);
  }
}

TEST_P(SurfaceCreationTest, BadDescriptionsAreRefused) {
  IDirectDrawSurface7* surface = nullptr;
  DDSURFACEDESC2 desc = OffscreenDesc(0, 4);
  EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
  desc = OffscreenDesc(40000, 4);
  EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DDERR_TOOBIGWIDTH);
  desc = OffscreenDesc(4, 40000);
  EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DDERR_TOOBIGHEIGHT);
  desc = OffscreenDesc(4, 4);
  desc.dwFlags &= ~DDSD_HEIGHT;
  EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
  desc = OffscreenDesc(4, 4, DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY);
  EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDCAPS);
  desc = OffscreenDesc(4, 4);
  desc.dwSize = sizeof(DDSURFACEDESC);  // the older record handed to the newer interface
  EXPECT_EQ(mDD->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
  desc = OffscreenDesc(4, 4);
  EXPECT_EQ(mDD->CreateSurface(&desc, &surface, reinterpret_cast<IUnknown*>(mDD.get())), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(mDD->CreateSurface(&desc, nullptr, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(surface, nullptr);
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

TEST_P(SurfaceCreationTest, OlderInterfaceCreatesTheSameSurfaces) {
  IDirectDraw* dd1 = nullptr;
  ASSERT_EQ(mDD->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&dd1)), S_OK);
  Com<IDirectDraw> owned(dd1);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = 7;
  desc.dwHeight = 3;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  IDirectDrawSurface* surface = nullptr;
  ASSERT_EQ(dd1->CreateSurface(&desc, &surface, nullptr), DD_OK);
  Com<IDirectDrawSurface> surfaceOwned(surface);
  DDSURFACEDESC got{};
  got.dwSize = sizeof(got);
  ASSERT_EQ(surface->GetSurfaceDesc(&got), DD_OK);
  EXPECT_EQ(got.dwWidth, 7u);
  EXPECT_EQ(got.dwHeight, 3u);
  EXPECT_TRUE(got.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY);
  EXPECT_EQ(got.ddpfPixelFormat.dwGBitMask, road().green);
  // The newer description does not fit the older call.
  DDSURFACEDESC2 wrong{};
  wrong.dwSize = sizeof(wrong);
  EXPECT_EQ(surface->GetSurfaceDesc(reinterpret_cast<DDSURFACEDESC*>(&wrong)), DDERR_INVALIDPARAMS);

  // Both faces are one object with one count.
  IDirectDrawSurface7* seven = nullptr;
  ASSERT_EQ(surface->QueryInterface(IID_IDirectDrawSurface7, reinterpret_cast<void**>(&seven)), S_OK);
  EXPECT_EQ(RefCount(surface), 2u);
  seven->Release();
  EXPECT_EQ(RefCount(surface), 1u);
  void* d3d = reinterpret_cast<void*>(1);
  EXPECT_EQ(surface->QueryInterface(IID_IDirect3D7, &d3d), E_NOINTERFACE);
  EXPECT_EQ(d3d, nullptr);
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
