#include "DDrawFixture.h"

namespace ddraw_test {
namespace {

using LostSurfaceTest = DDrawTest;

TEST_P(LostSurfaceTest, TheHookLosesTheNextLockedSurfaceUntilRestored) {
  auto surface = Filled(4, 4, 0);
  plat::FailNextWithSurfaceLost();
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
  EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
  EXPECT_EQ(Fill(surface.get(), nullptr, 0), DDERR_SURFACELOST);
  HDC dc = nullptr;
  EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACELOST);
  // The fault is spent: other surfaces are fine.
  auto other = Filled(4, 4, 0);
  EXPECT_EQ(other->IsLost(), DD_OK);
  EXPECT_EQ(surface->Restore(), DD_OK);
  EXPECT_EQ(surface->IsLost(), DD_OK);
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  surface->Unlock(nullptr);
}

TEST_P(LostSurfaceTest, ThePresentOfAWindowedPrimaryFails) {
  ASSERT_EQ(mDD->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  DDSURFACEDESC2 desc = PrimaryDesc();
  IDirectDrawSurface7* primary = nullptr;
  ASSERT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
  Com<IDirectDrawSurface7> owned(primary);
  auto frame = Filled(8, 8, 1);
  // Blits between off-screen surfaces present nothing and leave the fault armed.
  plat::FailNextWithSurfaceLost();
  auto scratch = Filled(8, 8, 0);
  ASSERT_EQ(scratch->Blt(nullptr, frame.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  RECT to{0, 0, 8, 8};
  EXPECT_EQ(primary->Blt(&to, frame.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
  EXPECT_EQ(primary->Blt(&to, frame.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
  ASSERT_EQ(primary->Restore(), DD_OK);
  EXPECT_EQ(primary->Blt(&to, frame.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
}

TEST_P(LostSurfaceTest, AFlipChainIsLostAsAWhole) {
  const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5152));
  ASSERT_EQ(mDD->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  DDSURFACEDESC2 desc = PrimaryDesc(1);
  IDirectDrawSurface7* primary = nullptr;
  ASSERT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
  Com<IDirectDrawSurface7> owned(primary);
  DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
  IDirectDrawSurface7* back = nullptr;
  ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
  Com<IDirectDrawSurface7> backOwned(back);
  plat::FailNextWithSurfaceLost();
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
  EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(back->Restore(), DD_OK);
  EXPECT_EQ(primary->IsLost(), DD_OK);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  mDD->SetCooperativeLevel(window, DDSCL_NORMAL);
}

TEST_P(LostSurfaceTest, ADisplayModeChangeLosesThePrimary) {
  const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5153));
  ASSERT_EQ(mDD->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  ASSERT_EQ(mDD->SetDisplayMode(800, 600, road().bytesPerPixel * 8, 0, 0), DD_OK);
  DDSURFACEDESC2 desc = PrimaryDesc(1);
  IDirectDrawSurface7* primary = nullptr;
  ASSERT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
  Com<IDirectDrawSurface7> owned(primary);
  // The same mode again changes nothing.
  ASSERT_EQ(mDD->SetDisplayMode(800, 600, road().bytesPerPixel * 8, 0, 0), DD_OK);
  EXPECT_EQ(primary->IsLost(), DD_OK);
  ASSERT_EQ(mDD->SetDisplayMode(640, 480, road().bytesPerPixel * 8, 0, 0), DD_OK);
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
  mDD->SetCooperativeLevel(window, DDSCL_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(Roads, LostSurfaceTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
