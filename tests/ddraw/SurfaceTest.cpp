// Surfaces on the DirectDraw layer: used from several threads at once, video memory, and where their
// pixels start.
#include <atomic>
#include <cstdint>
#include <thread>

#include "tests/ddraw/DDrawFixture.h"
#include "tests/support/PixelModel.h"

namespace ddraw_test {
namespace {

using ThreadTest = DDrawTest;

// The loading thread creates and fills surfaces and the cursor thread blits onto the primary while the
// main thread draws and locks: every call succeeds or reports the surface busy, and nothing is torn.
TEST_P(ThreadTest, SurfacesAreCreatedLockedAndBlittedFromSeveralThreads) {
  ASSERT_EQ(mDD->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  DDSURFACEDESC2 desc = PrimaryDesc();
  IDirectDrawSurface7* primary = nullptr;
  ASSERT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
  Com<IDirectDrawSurface7> primaryOwned(primary);
  auto screen = Filled(64, 64, 0);
  const model::Format layout = Layout();
  std::atomic<int> unexpected{0};
  auto check = [&](HRESULT hr) {
    if (hr != DD_OK && hr != DDERR_SURFACEBUSY) ++unexpected;
  };

  std::thread loader([&] {
    for (int i = 0; i < 300; ++i) {
      DDSURFACEDESC2 small = OffscreenDesc(16, 16, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
      IDirectDrawSurface7* surface = nullptr;
      if (mDD->CreateSurface(&small, &surface, nullptr) != DD_OK) {
        ++unexpected;
        continue;
      }
      DDBLTFX fx{};
      fx.dwSize = sizeof(fx);
      fx.dwFillColor = model::Pack((i & 255u) << 16, layout);
      check(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx));
      RECT to{(i % 4) * 16, 0, (i % 4) * 16 + 16, 16};
      check(screen->Blt(&to, surface, nullptr, DDBLT_WAIT, nullptr));
      surface->Release();
    }
  });
  std::thread cursor([&] {
    for (int i = 0; i < 300; ++i) {
      RECT area{i % 32, 100, i % 32 + 32, 132};
      check(primary->Blt(&area, screen.get(), nullptr, DDBLT_WAIT, nullptr));
      RECT back{0, 0, 32, 32};
      check(screen->Blt(&back, primary, &area, DDBLT_WAIT, nullptr));
    }
  });
  for (int i = 0; i < 300; ++i) {
    DDSURFACEDESC2 locked{};
    locked.dwSize = sizeof(locked);
    const HRESULT hr = screen->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr);
    check(hr);
    if (hr == DD_OK) {
      static_cast<BYTE*>(locked.lpSurface)[locked.lPitch * 63] ^= 1;
      screen->Unlock(nullptr);
    }
  }
  loader.join();
  cursor.join();
  EXPECT_EQ(unexpected, 0);
}

INSTANTIATE_TEST_SUITE_P(Roads, ThreadTest, testing::ValuesIn(testsupport::kScreenFormats),
                         testsupport::ScreenFormatName);

using SurfaceCreationTest = DDrawTest;

TEST_P(SurfaceCreationTest, VideoMemoryIsBudgetedAndGivenBack) {
  plat::DisplaySettings small;
  small.format = GetParam().format;
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
  EXPECT_EQ(held.size(), static_cast<size_t>((1u << 20) / (256u * 256u * BytesPerPixel())));
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
  ASSERT_EQ(dd->SetDisplayMode(320, 200, BytesPerPixel() * 8, 0, 0), DD_OK);
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

// Pixels start on a cache line whatever the surface's size, so the blitter's whole-register stores into
// rows whose pitch is a multiple of a line never straddle two lines.
TEST_P(SurfaceCreationTest, PixelsStartOnACacheLine) {
  for (const DWORD width : {1u, 3u, 16u, 800u})
    for (const DWORD caps : {DWORD{DDSCAPS_OFFSCREENPLAIN}, DWORD{DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY}}) {
      Com<IDirectDrawSurface7> surface = Offscreen(width, 7, caps);
      ASSERT_TRUE(surface);
      DDSURFACEDESC2 locked{};
      locked.dwSize = sizeof(locked);
      ASSERT_EQ(surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(locked.lpSurface) % 64, 0u) << "width " << width;
      surface->Unlock(nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Roads, SurfaceCreationTest, testing::ValuesIn(testsupport::kScreenFormats),
                         testsupport::ScreenFormatName);

}  // namespace
}  // namespace ddraw_test
