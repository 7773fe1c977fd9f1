#include <sys/stat.h>

#include "DDrawFixture.h"
#include "platform/win/Time.h"

namespace ddraw_test {
namespace {

HWND FakeWindow() { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5151)); }

using DisplayModeTest = DDrawTest;

DDSURFACEDESC2 ModeOf(IDirectDraw7* dd) {
  DDSURFACEDESC2 mode{};
  mode.dwSize = sizeof(mode);
  EXPECT_EQ(dd->GetDisplayMode(&mode), DD_OK);
  return mode;
}

TEST_P(DisplayModeTest, DisplayModesNeedExclusiveModeAndGoBackWhenItEnds) {
  EXPECT_EQ(mDD->SetDisplayMode(800, 600, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(mDD->SetCooperativeLevel(FakeWindow(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  EXPECT_EQ(mDD->SetDisplayMode(800, 600, 12, 0, 0), DDERR_INVALIDMODE);
  EXPECT_EQ(mDD->SetDisplayMode(0, 600, 16, 0, 0), DDERR_INVALIDMODE);

  ASSERT_EQ(mDD->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
  DDSURFACEDESC2 mode = ModeOf(mDD.get());
  EXPECT_EQ(mode.dwWidth, 800u);
  EXPECT_EQ(mode.dwHeight, 600u);
  EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);
  // The 16-bit mode of a 5-5-5 desktop is 5-5-5; any other desktop's is 5-6-5.
  EXPECT_EQ(mode.ddpfPixelFormat.dwRBitMask, road().red == 0x7C00 ? 0x7C00u : 0xF800u);

  ASSERT_EQ(mDD->SetDisplayMode(800, 600, 32, 0, 0), DD_OK);
  EXPECT_EQ(ModeOf(mDD.get()).ddpfPixelFormat.dwRBitMask, 0xFF0000u);
  ASSERT_EQ(mDD->RestoreDisplayMode(), DD_OK);
  EXPECT_EQ(ModeOf(mDD.get()).dwWidth, 1024u);
  EXPECT_EQ(ModeOf(mDD.get()).ddpfPixelFormat.dwRBitMask, road().red);

  ASSERT_EQ(mDD->SetDisplayMode(640, 480, 8, 0, 0), DD_OK);
  EXPECT_TRUE(ModeOf(mDD.get()).ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);
  ASSERT_EQ(mDD->SetCooperativeLevel(FakeWindow(), DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(ModeOf(mDD.get()).dwWidth, 1024u);
}

TEST_P(DisplayModeTest, PalettizedAndTrueColourDesktopsAreReportedAsTheyAre) {
  for (auto format : {plat::DesktopFormat::Palette8, plat::DesktopFormat::Rgb888}) {
    plat::DisplaySettings settings;
    settings.format = format;
    plat::ScopedDisplaySettings scoped(settings);
    void* object = nullptr;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr), DD_OK);
    Com<IDirectDraw7> dd(static_cast<IDirectDraw7*>(object));
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc = PrimaryDesc();
    IDirectDrawSurface7* primary = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
    Com<IDirectDrawSurface7> owned(primary);
    DDPIXELFORMAT pixelFormat{};
    primary->GetPixelFormat(&pixelFormat);
    EXPECT_EQ(pixelFormat.dwRGBBitCount, format == plat::DesktopFormat::Palette8 ? 8u : 24u);
    // Copies and fills work on them too.
    DDSURFACEDESC2 small = OffscreenDesc(3, 3);
    IDirectDrawSurface7* surface = nullptr;
    ASSERT_EQ(dd->CreateSurface(&small, &surface, nullptr), DD_OK);
    Com<IDirectDrawSurface7> surfaceOwned(surface);
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0xABCDEF;
    ASSERT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    RECT to{10, 10, 13, 13};
    ASSERT_EQ(primary->Blt(&to, surface, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    Pixels pixels(primary);
    EXPECT_EQ(pixels.Get(12, 12), format == plat::DesktopFormat::Palette8 ? 0xEFu : 0xABCDEFu);
    EXPECT_EQ(pixels.Get(13, 12), 0u);
  }
}

TEST_P(DisplayModeTest, RefreshRateComesFromTheSettings) {
  DWORD hz = 0;
  ASSERT_EQ(mDD->GetMonitorFrequency(&hz), DD_OK);
  EXPECT_EQ(hz, 60u);
  plat::DisplaySettings settings;
  settings.format = road().format;
  settings.refreshHz = 120;
  plat::ScopedDisplaySettings scoped(settings);
  IDirectDraw* dd1 = nullptr;
  ASSERT_EQ(DirectDrawCreate(nullptr, &dd1, nullptr), DD_OK);
  Com<IDirectDraw> owned(dd1);
  ASSERT_EQ(dd1->GetMonitorFrequency(&hz), DD_OK);
  EXPECT_EQ(hz, 120u);
  EXPECT_EQ(dd1->GetMonitorFrequency(nullptr), DDERR_INVALIDPARAMS);
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

INSTANTIATE_TEST_SUITE_P(Roads, DisplayModeTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
