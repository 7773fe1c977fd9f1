#include "DDrawFixture.h"

namespace ddraw_test {
namespace {

// A window handle that names no window: full screen needs one, presenting into it shows nothing.
HWND FakeWindow() { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5150)); }

class FlipChainTest : public DDrawTest {
 protected:
  void SetUp() override {
    DDrawTest::SetUp();
    ASSERT_EQ(mDD->SetCooperativeLevel(FakeWindow(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(mDD->SetDisplayMode(800, 600, road().bytesPerPixel * 8, 0, 0), DD_OK);
  }
  void TearDown() override {
    mDD->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL);
    DDrawTest::TearDown();
  }

  Com<IDirectDrawSurface7> Primary(DWORD backBuffers) {
    DDSURFACEDESC2 desc = PrimaryDesc(backBuffers);
    IDirectDrawSurface7* primary = nullptr;
    EXPECT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
    return Com<IDirectDrawSurface7>(primary);
  }
  Com<IDirectDrawSurface7> BackOf(IDirectDrawSurface7* surface) {
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    IDirectDrawSurface7* back = nullptr;
    EXPECT_EQ(surface->GetAttachedSurface(&caps, &back), DD_OK);
    return Com<IDirectDrawSurface7>(back);
  }
};

TEST_P(FlipChainTest, FlipToGDISurfaceShowsTheOriginalFrontBuffer) {
  auto primary = Primary(1);
  auto back = BackOf(primary.get());
  ASSERT_EQ(Fill(primary.get(), nullptr, 7), DD_OK);
  ASSERT_EQ(Fill(back.get(), nullptr, 9), DD_OK);
  ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  ASSERT_EQ(mDD->FlipToGDISurface(), DD_OK);
  {
    Pixels front(primary.get());
    EXPECT_EQ(front.Get(0, 0), 7u);
  }
  // Already showing it: nothing changes.
  ASSERT_EQ(mDD->FlipToGDISurface(), DD_OK);
  Pixels front(primary.get());
  EXPECT_EQ(front.Get(0, 0), 7u);
}

TEST_P(FlipChainTest, ChainReferencesFollowTheFront) {
  auto primary = Primary(1);
  IDirectDrawSurface7* back = nullptr;
  {
    auto held = BackOf(primary.get());
    back = held.get();
    // The chain holds one reference, the caller the other.
    EXPECT_EQ(RefCount(back), 2u);
  }
  EXPECT_EQ(RefCount(back), 1u);
  EXPECT_EQ(RefCount(primary.get()), 1u);
  // A back buffer the caller keeps outlives the chain, detached from it.
  back->AddRef();
  primary.reset();
  Com<IDirectDrawSurface7> kept(back);
  EXPECT_EQ(Fill(back, nullptr, 0), DD_OK);
  EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
  DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
  IDirectDrawSurface7* none = nullptr;
  EXPECT_EQ(back->GetAttachedSurface(&caps, &none), DDERR_NOTFOUND);
}

TEST_P(FlipChainTest, AFlipChainNeedsExclusiveMode) {
  ASSERT_EQ(mDD->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
  DDSURFACEDESC2 desc = PrimaryDesc(1);
  IDirectDrawSurface7* primary = nullptr;
  EXPECT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DDERR_NOEXCLUSIVEMODE);
  // Leaving exclusive mode gave the desktop its mode back.
  desc = PrimaryDesc();
  ASSERT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
  Com<IDirectDrawSurface7> owned(primary);
  DDSURFACEDESC2 got{};
  got.dwSize = sizeof(got);
  primary->GetSurfaceDesc(&got);
  EXPECT_EQ(got.dwWidth, 1024u);
}

INSTANTIATE_TEST_SUITE_P(Roads, FlipChainTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
