// Full screen on the DirectDraw layer: flip chains, losing and restoring them, display modes and the
// beam's timing.
#include "platform/ddraw/SurfaceFaults.h"
#include "platform/win/threads/Time.h"
#include "tests/ddraw/DDrawFixture.h"

namespace ddraw_test {
namespace {

// A window handle that names no window: full screen needs one, presenting into it shows nothing.
HWND FakeWindow() { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5150)); }

class FlipChainTest : public DDrawTest {
 protected:
  void SetUp() override {
    DDrawTest::SetUp();
    ASSERT_EQ(mDD->SetCooperativeLevel(FakeWindow(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(mDD->SetDisplayMode(800, 600, BytesPerPixel() * 8, 0, 0), DD_OK);
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
  EXPECT_EQ(FirstPixel(primary.get()), 7u);
  // Already showing it: nothing changes.
  ASSERT_EQ(mDD->FlipToGDISurface(), DD_OK);
  EXPECT_EQ(FirstPixel(primary.get()), 7u);
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

TEST_P(FlipChainTest, AFlipChainIsLostAsAWhole) {
  auto primary = Primary(1);
  auto back = BackOf(primary.get());
  plat::FailNextWithSurfaceLost();
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
  EXPECT_EQ(Fill(back.get(), nullptr, 0), DDERR_SURFACELOST);
  EXPECT_EQ(back->Restore(), DD_OK);
  EXPECT_EQ(Fill(primary.get(), nullptr, 0), DD_OK);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
}

TEST_P(FlipChainTest, ADisplayModeChangeLosesThePrimary) {
  auto primary = Primary(1);
  // The same mode again changes nothing.
  ASSERT_EQ(mDD->SetDisplayMode(800, 600, BytesPerPixel() * 8, 0, 0), DD_OK);
  EXPECT_EQ(Fill(primary.get(), nullptr, 0), DD_OK);
  ASSERT_EQ(mDD->SetDisplayMode(640, 480, BytesPerPixel() * 8, 0, 0), DD_OK);
  EXPECT_EQ(Fill(primary.get(), nullptr, 0), DDERR_SURFACELOST);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
}

INSTANTIATE_TEST_SUITE_P(Roads, FlipChainTest, testing::ValuesIn(testsupport::kScreenFormats),
                         testsupport::ScreenFormatName);

HWND OtherWindow() { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5151)); }

using DisplayModeTest = DDrawTest;

DDSURFACEDESC2 ModeOf(IDirectDraw7* dd) {
  DDSURFACEDESC2 mode{};
  mode.dwSize = sizeof(mode);
  EXPECT_EQ(dd->GetDisplayMode(&mode), DD_OK);
  return mode;
}

TEST_P(DisplayModeTest, DisplayModesNeedExclusiveModeAndGoBackWhenItEnds) {
  EXPECT_EQ(mDD->SetDisplayMode(800, 600, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(mDD->SetCooperativeLevel(OtherWindow(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  EXPECT_EQ(mDD->SetDisplayMode(800, 600, 12, 0, 0), DDERR_INVALIDMODE);
  EXPECT_EQ(mDD->SetDisplayMode(0, 600, 16, 0, 0), DDERR_INVALIDMODE);

  ASSERT_EQ(mDD->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
  DDSURFACEDESC2 mode = ModeOf(mDD.get());
  EXPECT_EQ(mode.dwWidth, 800u);
  EXPECT_EQ(mode.dwHeight, 600u);
  EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);
  // The 16-bit mode of a 5-5-5 desktop is 5-5-5; any other desktop's is 5-6-5.
  EXPECT_EQ(mode.ddpfPixelFormat.dwRBitMask, GetParam().format == plat::DesktopFormat::Rgb555 ? 0x7C00u : 0xF800u);

  ASSERT_EQ(mDD->SetDisplayMode(800, 600, 32, 0, 0), DD_OK);
  EXPECT_EQ(ModeOf(mDD.get()).ddpfPixelFormat.dwRBitMask, 0xFF0000u);
  ASSERT_EQ(mDD->RestoreDisplayMode(), DD_OK);
  EXPECT_EQ(ModeOf(mDD.get()).dwWidth, 1024u);
  EXPECT_EQ(ModeOf(mDD.get()).ddpfPixelFormat.dwRBitMask, Layout().rMask);

  ASSERT_EQ(mDD->SetDisplayMode(640, 480, 8, 0, 0), DD_OK);
  EXPECT_TRUE(ModeOf(mDD.get()).ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);
  ASSERT_EQ(mDD->SetCooperativeLevel(OtherWindow(), DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(ModeOf(mDD.get()).dwWidth, 1024u);
}

TEST_P(DisplayModeTest, ScanLineAndVerticalBlankFollowTheClock) {
  plat::FakeClock clock(0);
  plat::ScopedClock scoped(clock);
  // 60 Hz: 16666 us a frame, 768 visible lines and 38 lines of blank.
  DWORD line = 99;
  ASSERT_EQ(mDD->GetScanLine(&line), DD_OK);
  EXPECT_EQ(line, 0u);
  clock.SetMicros(16666 / 2);
  ASSERT_EQ(mDD->GetScanLine(&line), DD_OK);
  EXPECT_NEAR(static_cast<double>(line), 806 / 2.0, 1.0);
  ASSERT_EQ(mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
  EXPECT_EQ(mDD->GetScanLine(&line), DDERR_VERTICALBLANKINPROGRESS);
  const std::uint64_t blankStart = clock.NowMicros();
  EXPECT_NEAR(static_cast<double>(blankStart), 16666.0 * 768 / 806, 1.0);
  ASSERT_EQ(mDD->WaitForVerticalBlank(DDWAITVB_BLOCKEND, nullptr), DD_OK);
  EXPECT_EQ(clock.NowMicros(), 16666u);
  ASSERT_EQ(mDD->GetScanLine(&line), DD_OK);
  EXPECT_EQ(line, 0u);
  // Waiting for the blank from inside one waits for the next.
  clock.SetMicros(blankStart + 10);
  ASSERT_EQ(mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
  EXPECT_EQ(clock.NowMicros(), blankStart + 16666);
  EXPECT_EQ(mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGINEVENT, nullptr), DDERR_UNSUPPORTED);
}

INSTANTIATE_TEST_SUITE_P(Roads, DisplayModeTest, testing::ValuesIn(testsupport::kScreenFormats),
                         testsupport::ScreenFormatName);

}  // namespace
}  // namespace ddraw_test
