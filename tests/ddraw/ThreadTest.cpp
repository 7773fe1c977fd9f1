#include <atomic>
#include <thread>

#include "DDrawFixture.h"

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
  const Road used = road();
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
      fx.dwFillColor = Pack(used, i & 255, 0, 0);
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

INSTANTIATE_TEST_SUITE_P(Roads, ThreadTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
