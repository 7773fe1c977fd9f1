// Frames drawn through the display reach the window: pixel-exact in a window, scaled in full
// screen, flipped or blitted, with and without the split blit around the beam.
#include <SDL.h>

#include "platform/ddraw/PresentedFrame.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/SdlWindow.h"

#include <atomic>
#include <thread>
#include "tests/support/ScreenFixture.h"
#include "tests/support/XvfbServer.h"

namespace testsupport {
namespace {

using Kit::Color;
using Kit::Rect;

class PresentTest : public ScreenTest {
 protected:
  // Sprites of every kind drawn into the screen image over a gradient background.
  void DrawScene() {
    Kit::DDImage* screen = mDisplay->GetScreenImage();
    std::vector<std::uint32_t> gradient(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        gradient[y * kWidth + x] = 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x ^ y) & 0xFF);
    Kit::MemoryImage background;
    background.SetBits(gradient.data(), kWidth, kHeight);
    screen->Blt(&background, 0, 0, Rect(0, 0, kWidth, kHeight), Color::White, 0);
    std::vector<std::uint32_t> sprite(32 * 32);
    for (int i = 0; i < 32 * 32; ++i)
      sprite[i] = (i % 7 == 0 ? 0u : i % 5 == 0 ? 0x80u : 0xFFu) << 24 | i * 2654435761u >> 8;
    Kit::MemoryImage soft;
    soft.SetBits(sprite.data(), 32, 32);
    screen->Blt(&soft, 10, 10, Rect(0, 0, 32, 32), Color::White, 0);
    screen->Blt(&soft, 60, 10, Rect(0, 0, 32, 32), Color(200, 100, 50, 180), 1);
    screen->BltRotated(&soft, 120.5f, 30.25f, Rect(0, 0, 32, 32), Rect(0, 0, kWidth, kHeight), Color::White, 0, 0.5, 16,
                       16);
    screen->FillRect(Rect(200, 100, 50, 40), Color(0, 255, 0, 100), 0);
    screen->DrawLine(0, 239, 319, 0, Color(255, 255, 255), 0);
  }
};

TEST_P(PresentTest, TheSplitBlitAroundTheBeamShowsTheSameFrame) {
  plat::FakeClock clock;
  plat::ScopedClock useClock(clock);
  mHost.waitForVSync = true;
  ASSERT_EQ(Start(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  DrawScene();
  // With the clock stopped the beam never moves: the wait gives up, counts a failure and falls back
  // to a plain blit; after three failures it no longer tries.
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(mDisplay->Redraw(nullptr));
  EXPECT_GE(mDisplay->mVSyncFailures, 3);
  ExpectWindowShowsScreen();
}

// A clock that moves a little every time it is read: the beam sweeps at the same pace however busy
// the machine is.
class SweepClock final : public plat::Clock {
 public:
  std::uint64_t NowMicros() override { return mNow += 20; }
  void SleepMicros(std::uint64_t micros) override { mNow += micros; }

 private:
  std::atomic<std::uint64_t> mNow{1'000'000};
};

TEST_P(PresentTest, WithTheBeamMovingTheFrameIsSplitAroundIt) {
  SweepClock clock;
  plat::ScopedClock useClock(clock);
  mHost.waitForVSync = true;
  ASSERT_EQ(Start(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  DrawScene();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(mDisplay->Redraw(nullptr));
  EXPECT_EQ(mDisplay->mVSyncFailures, 0);
  ExpectWindowShowsScreen();
  const Rect part(10, 100, 200, 61);
  mDisplay->GetScreenImage()->FillRect(part, Color(255, 255, 0), 0);
  ASSERT_TRUE(mDisplay->Redraw(&part));
  ExpectWindowShowsScreen();
}

TEST_P(PresentTest, APartialPresentCopiesOnlyItsRectangle) {
  ASSERT_EQ(Start(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  DrawScene();
  ASSERT_TRUE(mDisplay->Redraw());
  mDisplay->GetScreenImage()->FillRect(Rect(0, 0, kWidth, kHeight), Color(255, 0, 0), 0);
  const Rect part(100, 50, 40, 30);
  ASSERT_TRUE(mDisplay->Redraw(&part));
  Pump();
  const plat::PresentedFrame shown = plat::ReadPresentedFrame(mHost.window);
  ASSERT_EQ(shown.width, kWidth);
  EXPECT_EQ(shown.At(100, 50), 0xFF0000u);
  EXPECT_EQ(shown.At(139, 79), 0xFF0000u);
  EXPECT_NE(shown.At(99, 50), 0xFF0000u);
  EXPECT_NE(shown.At(140, 79), 0xFF0000u);
}

// The window is given only the pixels that differ from what it shows (a band of eight rows whose first
// row mostly changed as a whole); every frame is still shown whole.
TEST_P(PresentTest, FramesThatChangeInPlacesAreShownWhole) {
  ASSERT_EQ(Start(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  DrawScene();
  ASSERT_TRUE(mDisplay->Redraw());
  ExpectWindowShowsScreen();
  const Rect changes[] = {{0, 0, 1, 1},  // single pixels in the corners
                          {kWidth - 1, kHeight - 1, 1, 1},
                          {31, 5, 2, 3},  // across the edges of the blocks compared
                          {100, 100, 64, 1},
                          {0, 120, kWidth, 2},  // rows and a column
                          {5, 0, 1, kHeight},
                          {0, 0, kWidth, kHeight},  // everything, all but the last column
                          {0, 0, kWidth - 1, kHeight},
                          {0, 16, kWidth, 1},           // a row that starts a band alone
                          {0, 33, kWidth, 7},           // rows that leave out a band's first
                          {33, 24, 40, 1},              // blocks inside a band's first row
                          {kWidth - 40, 8, 40, 8},      // a band changed at its end only
                          {0, 48, kWidth * 3 / 4, 20},  // rows three quarters changed
                          {kWidth / 4, 80, kWidth * 3 / 4, 9}};
  int shade = 0;
  for (const Rect& change : changes) {
    SCOPED_TRACE(testing::Message() << "change " << change.mX << "," << change.mY << " " << change.mWidth << "x"
                                    << change.mHeight);
    ++shade;
    Screen()->FillRect(change, Color(shade * 17, 255 - shade * 15, 90), 0);
    ASSERT_TRUE(mDisplay->Redraw());
    ExpectWindowShowsScreen();
  }
  ASSERT_TRUE(mDisplay->Redraw());  // the same frame again
  ExpectWindowShowsScreen();
}

// The primary changed from another thread, its present still queued, and the next frame holds the same
// pixels there: the window must not be left showing the old ones.
TEST_P(PresentTest, AChangeNotYetShownIsShownWithTheNextFrameThatHoldsItToo) {
  ASSERT_EQ(Start(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  DrawScene();
  ASSERT_TRUE(mDisplay->Redraw());
  ExpectWindowShowsScreen();
  constexpr std::uint32_t kColour = 0xFFFFFF00;  // one value in every format
  Clear(kColour & 0xFFFFFF);
  std::thread([&] {
    DDBLTFX fill{};
    fill.dwSize = sizeof(fill);
    fill.dwFillColor = Native(kColour);
    EXPECT_EQ(mDisplay->mPrimarySurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill), DD_OK);
  }).join();
  ASSERT_TRUE(mDisplay->Redraw());
  ExpectWindowShowsScreen();
}

TEST_P(PresentTest, FullScreenFlipsOrBlitsThePictureOntoTheScreen) {
  ASSERT_EQ(Start(false), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  for (bool flip : {true, false}) {
    mHost.pageFlipping = flip;
    mDisplay->GetScreenImage()->FillRect(Rect(0, 0, kWidth, kHeight), Color(0, 0, 255), 0);
    mDisplay->GetScreenImage()->FillRect(Rect(0, 0, kWidth / 2, kHeight / 2), Color(255, 255, 0), 0);
    ASSERT_TRUE(mDisplay->Redraw()) << mDisplay->mErrorString;
    Pump();
    const plat::PresentedFrame shown = plat::ReadPresentedFrame(mHost.window);
    ASSERT_GT(shown.width, 0);
    const double scale = std::min(shown.width / double(kWidth), shown.height / double(kHeight));
    const int left = static_cast<int>((shown.width - kWidth * scale) / 2);
    const int top = static_cast<int>((shown.height - kHeight * scale) / 2);
    const DDPIXELFORMAT format = PrimaryFormat();
    EXPECT_TRUE(plat::ShowsPixel(shown.At(left + static_cast<int>(40 * scale), top + static_cast<int>(40 * scale)),
                                 Native(0xFFFFFF00), format))
        << flip;
    EXPECT_TRUE(plat::ShowsPixel(shown.At(left + static_cast<int>(280 * scale), top + static_cast<int>(200 * scale)),
                                 Native(0xFF0000FF), format))
        << flip;
  }
}

TEST_P(PresentTest, VideoOnlyDrawPresentsTheVideoMemorySurface) {
  ASSERT_EQ(Start(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  mDisplay->SetVideoOnlyDraw(true);
  ASSERT_TRUE(mDisplay->mVideoOnlyDraw);
  auto tile = MakeImage(std::vector<std::uint32_t>(kWidth * kHeight, 0xFF336699), kWidth, kHeight);
  mDisplay->GetScreenImage()->Blt(tile.get(), 0, 0, Rect(0, 0, kWidth, kHeight), Color::White, 0);
  ASSERT_TRUE(mDisplay->Redraw());
  ExpectWindowShowsScreen();
}

// Where the only OpenGL runs on the CPU, frames go through SDL's software renderer into the window's own
// pixels, and no OpenGL context is made for them, not even to show the window's pixels. Headless there
// is no OpenGL to give way, so the test runs itself again in a real X window (Mesa's llvmpipe on Xvfb).
TEST_P(PresentTest, AnOpenGlThatRunsOnTheCpuGivesWayToTheSoftwarePath) {
  if (!InRealWindowRun("KIT_PRESENT_XVFB_CHILD")) return;
  ASSERT_EQ(Start(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  DrawScene();
  ASSERT_TRUE(mDisplay->Redraw());
  Pump();
  SDL_Renderer* renderer = SDL_GetRenderer(plat::SdlWindowOf(mHost.window));
  ASSERT_NE(renderer, nullptr);
  SDL_RendererInfo info{};
  ASSERT_EQ(SDL_GetRendererInfo(renderer, &info), 0);
  EXPECT_STREQ(info.name, "software");
  EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
  ExpectWindowShowsScreen();
}

INSTANTIATE_TEST_SUITE_P(Roads, PresentTest, testing::ValuesIn(kScreenFormats), ScreenFormatName);

}  // namespace
}  // namespace testsupport
