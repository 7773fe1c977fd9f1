#include "DDrawFixture.h"
#include "platform/ddraw/SurfaceDC.h"

namespace ddraw_test {
namespace {

using LockTest = DDrawTest;

TEST_P(LockTest, LockHandsOutTheSurfaceMemoryWithItsPitch) {
  auto surface = Filled(5, 3, 0);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_TRUE(desc.dwFlags & DDSD_LPSURFACE);
  ASSERT_NE(desc.lpSurface, nullptr);
  EXPECT_GE(desc.lPitch, 5 * road().bytesPerPixel);
  auto* base = static_cast<BYTE*>(desc.lpSurface);
  // The last byte of the last row is writable; rows are pitch apart.
  std::memset(base + 2 * desc.lPitch, 0xFF, 5 * road().bytesPerPixel);
  ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  Pixels pixels(surface.get());
  EXPECT_EQ(pixels.Get(0, 1), 0u);
  EXPECT_EQ(pixels.Get(4, 2), road().bytesPerPixel == 2 ? 0xFFFFu : 0xFFFFFFFFu);
}

TEST_P(LockTest, LockOfARectanglePointsAtItsFirstPixel) {
  auto surface = Filled(8, 8, 0);
  RECT area{3, 2, 6, 5};
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(surface->Lock(&area, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  const DWORD value = 0x1234;
  std::memcpy(desc.lpSurface, &value, 2);
  ASSERT_EQ(surface->Unlock(&area), DD_OK);
  Pixels pixels(surface.get());
  EXPECT_EQ(pixels.Get(3, 2) & 0xFFFF, 0x1234u);
  RECT outside{6, 6, 9, 9};
  DDSURFACEDESC2 other{};
  other.dwSize = sizeof(other);
  EXPECT_EQ(surface->Lock(&outside, &other, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);  // locked by pixels
}

TEST_P(LockTest, LockRulesAreEnforced) {
  auto surface = Filled(4, 4, 0);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
  RECT outside{2, 2, 5, 3};
  EXPECT_EQ(surface->Lock(&outside, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(surface->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  DDSURFACEDESC2 unsized{};
  EXPECT_EQ(surface->Lock(nullptr, &unsized, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  DDSURFACEDESC2 again{};
  again.dwSize = sizeof(again);
  EXPECT_EQ(surface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  HDC dc = nullptr;
  EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
}

TEST_P(LockTest, OlderInterfaceLocksWithTheOlderDescription) {
  auto surface = Filled(4, 4, 0);
  IDirectDrawSurface* older = nullptr;
  ASSERT_EQ(surface->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(&older)), S_OK);
  Com<IDirectDrawSurface> owned(older);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(older->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_NE(desc.lpSurface, nullptr);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, road().red);
  EXPECT_EQ(older->Unlock(desc.lpSurface), DD_OK);
}

TEST_P(LockTest, GetDCHandsOutTheSurfaceMemoryUntilReleased) {
  auto surface = Filled(6, 4, 0);
  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  plat::SurfaceDC* record = plat::SurfaceDCOf(dc);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->width, 6);
  EXPECT_EQ(record->height, 4);
  EXPECT_GE(record->pitch, 6 * road().bytesPerPixel);
  EXPECT_EQ(record->format.dwRGBBitCount, static_cast<DWORD>(road().bytesPerPixel * 8));
  EXPECT_EQ(record->format.dwGBitMask, road().green);
  // Text drawn through the record lands in the surface.
  std::memset(record->pixels + record->pitch * 3, 0xFF, road().bytesPerPixel);

  // While the context is out, the surface is busy.
  HDC second = nullptr;
  EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(Fill(surface.get(), nullptr, 0), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->ReleaseDC(reinterpret_cast<HDC>(record + 1)), DDERR_INVALIDPARAMS);

  ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(plat::SurfaceDCOf(dc), nullptr);
  EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
  Pixels pixels(surface.get());
  EXPECT_NE(pixels.Get(0, 3), 0u);
  EXPECT_EQ(pixels.Get(1, 3), 0u);
}

TEST_P(LockTest, UnknownHandlesAreNotSurfaceContexts) {
  int local = 0;
  EXPECT_EQ(plat::SurfaceDCOf(nullptr), nullptr);
  EXPECT_EQ(plat::SurfaceDCOf(reinterpret_cast<HDC>(&local)), nullptr);
  // A surface released with its context still out takes the context with it.
  auto surface = Filled(2, 2, 0);
  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  surface.reset();
  EXPECT_EQ(plat::SurfaceDCOf(dc), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Roads, LockTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
