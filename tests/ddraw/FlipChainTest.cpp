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

TEST_P(FlipChainTest, PrimaryTakesTheModeSizeAndFormat) {
  auto primary = Primary(1);
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 800u);
  EXPECT_EQ(desc.dwHeight, 600u);
  EXPECT_EQ(desc.dwBackBufferCount, 1u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, road().red);
  EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_FRONTBUFFER);
  auto back = BackOf(primary.get());
  ASSERT_TRUE(back);
  desc.dwSize = sizeof(desc);
  back->GetSurfaceDesc(&desc);
  EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);
  EXPECT_EQ(desc.dwWidth, 800u);
  // A surface without a pixel format takes the primary's.
  auto offscreen = Offscreen(8, 8);
  DDPIXELFORMAT format{};
  offscreen->GetPixelFormat(&format);
  EXPECT_EQ(format.dwRBitMask, road().red);
}

TEST_P(FlipChainTest, FlipExchangesFrontAndBackBuffer) {
  auto primary = Primary(1);
  auto back = BackOf(primary.get());
  const DWORD red = Pack(road(), 255, 0, 0);
  const DWORD blue = Pack(road(), 0, 0, 255);
  ASSERT_EQ(Fill(primary.get(), nullptr, red), DD_OK);
  ASSERT_EQ(Fill(back.get(), nullptr, blue), DD_OK);
  ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  {
    Pixels front(primary.get());
    Pixels behind(back.get());
    EXPECT_EQ(front.Get(799, 599), blue);
    EXPECT_EQ(behind.Get(0, 0), red);
  }
  // Flipping to the back buffer by name is the same flip.
  ASSERT_EQ(primary->Flip(back.get(), DDFLIP_WAIT), DD_OK);
  Pixels front(primary.get());
  EXPECT_EQ(front.Get(0, 0), red);
}

TEST_P(FlipChainTest, TripleBufferingRotatesTheBuffers) {
  auto primary = Primary(2);
  auto back1 = BackOf(primary.get());
  auto back2 = BackOf(back1.get());
  ASSERT_TRUE(back2);
  EXPECT_NE(back1.get(), back2.get());
  ASSERT_EQ(Fill(primary.get(), nullptr, 1), DD_OK);
  ASSERT_EQ(Fill(back1.get(), nullptr, 2), DD_OK);
  ASSERT_EQ(Fill(back2.get(), nullptr, 3), DD_OK);
  ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  Pixels a(primary.get());
  Pixels b(back1.get());
  Pixels c(back2.get());
  EXPECT_EQ(a.Get(0, 0), 2u);
  EXPECT_EQ(b.Get(0, 0), 3u);
  EXPECT_EQ(c.Get(0, 0), 1u);
}

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

TEST_P(FlipChainTest, OnlyAFlippablePrimaryFlips) {
  auto offscreen = Offscreen(4, 4);
  EXPECT_EQ(offscreen->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
  auto primary = Primary(1);
  auto back = BackOf(primary.get());
  EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
  EXPECT_EQ(primary->Flip(offscreen.get(), DDFLIP_WAIT), DDERR_INVALIDPARAMS);
  {
    Pixels locked(back.get());
    EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
  }
  DDSURFACEDESC2 desc = PrimaryDesc(1);
  desc.ddsCaps.dwCaps &= ~DDSCAPS_COMPLEX;
  primary.reset();
  back.reset();
  IDirectDrawSurface7* bad = nullptr;
  EXPECT_EQ(mDD->CreateSurface(&desc, &bad, nullptr), DDERR_INVALIDCAPS);
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
