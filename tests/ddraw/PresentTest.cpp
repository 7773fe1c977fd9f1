#include <atomic>
#include <thread>

#include "DDrawFixture.h"
#include "MainWindow.h"
#include "platform/ddraw/PresentedFrame.h"
#include "platform/win/SdlWindow.h"
#include "platform/win/Window.h"

namespace ddraw_test {
namespace {

class PresentTest : public DDrawTest {
 protected:
  void SetUp() override {
    DDrawTest::SetUp();
    mWindow = MainWindow();
    ASSERT_NE(mWindow, nullptr);
    ASSERT_NE(plat::SdlWindowOf(mWindow), nullptr);
    ASSERT_TRUE(plat::GetClientRectOnScreen(mWindow, &mClient));
  }
  void TearDown() override {
    mDD.reset();
    Pump();
    DDrawTest::TearDown();
  }

  // A windowed primary clipped to the window, as the display sets it up.
  Com<IDirectDrawSurface7> WindowedPrimary() {
    EXPECT_EQ(mDD->SetCooperativeLevel(mWindow, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc = PrimaryDesc();
    IDirectDrawSurface7* primary = nullptr;
    EXPECT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
    IDirectDrawClipper* clipper = nullptr;
    EXPECT_EQ(mDD->CreateClipper(0, &clipper, nullptr), DD_OK);
    EXPECT_EQ(clipper->SetHWnd(0, mWindow), DD_OK);
    EXPECT_EQ(primary->SetClipper(clipper), DD_OK);
    clipper->Release();
    return Com<IDirectDrawSurface7>(primary);
  }

  // A frame of the client size with a different colour in every pixel.
  Com<IDirectDrawSurface7> PatternFrame() {
    auto frame = Offscreen(kClientWidth, kClientHeight);
    Pixels pixels(frame.get());
    for (int y = 0; y < kClientHeight; ++y)
      for (int x = 0; x < kClientWidth; ++x) pixels.Set(x, y, Pack(road(), x, y, (x * 7 + y * 3) & 255));
    return frame;
  }

  HWND mWindow = nullptr;
  RECT mClient{};
};

TEST_P(PresentTest, AWindowedFrameIsShownPixelExact) {
  auto primary = WindowedPrimary();
  auto frame = PatternFrame();
  ASSERT_EQ(primary->Blt(&mClient, frame.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  const plat::PresentedFrame shown = plat::ReadPresentedFrame(mWindow);
  ASSERT_EQ(shown.width, kClientWidth);
  ASSERT_EQ(shown.height, kClientHeight);
  DDPIXELFORMAT format{};
  primary->GetPixelFormat(&format);
  Pixels pixels(frame.get());
  int wrong = 0;
  for (int y = 0; y < kClientHeight; ++y)
    for (int x = 0; x < kClientWidth; ++x)
      if (shown.At(x, y) != plat::ShownColorOf(pixels.Get(x, y), format) && wrong++ < 5)
        ADD_FAILURE() << "pixel " << x << "," << y << " shows " << std::hex << shown.At(x, y);
  EXPECT_EQ(wrong, 0);
}

// A resize gives the window new pixels: what the primary holds is shown again without the program
// presenting, as when full screen makes the window cover the screen.
TEST_P(PresentTest, AResizedWindowShowsThePrimaryAgainWithoutANewPresent) {
  auto primary = WindowedPrimary();
  const DWORD green = Pack(road(), 0, 255, 0);
  ASSERT_EQ(Fill(primary.get(), nullptr, green), DD_OK);
  Pump();
  RECT outer{};
  ASSERT_TRUE(GetWindowRect(mWindow, &outer));
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  ASSERT_TRUE(MoveWindow(mWindow, outer.left, outer.top, width + 40, height + 20, TRUE));
  Pump();
  const plat::PresentedFrame shown = plat::ReadPresentedFrame(mWindow);
  ASSERT_TRUE(MoveWindow(mWindow, outer.left, outer.top, width, height, TRUE));
  Pump();
  ASSERT_EQ(shown.width, kClientWidth + 40);
  DDPIXELFORMAT format{};
  primary->GetPixelFormat(&format);
  // The fill was clipped to the old client area; the new strip shows the primary's own black.
  EXPECT_TRUE(plat::ShowsPixel(shown.At(0, 0), green, format));
  EXPECT_TRUE(plat::ShowsPixel(shown.At(kClientWidth - 1, kClientHeight - 1), green, format));
  EXPECT_EQ(shown.At(kClientWidth + 39, kClientHeight + 19), 0u);
}

TEST_P(PresentTest, TheClipperKeepsBlitsInsideTheWindow) {
  auto primary = WindowedPrimary();
  const DWORD marker = Pack(road(), 9, 9, 9);
  RECT outside{mClient.left - 10, mClient.top, mClient.left, mClient.top + 10};
  ASSERT_EQ(Fill(primary.get(), nullptr, 0), DD_OK);
  {
    Pixels pixels(primary.get());
    pixels.Set(mClient.left - 1, mClient.top, marker);
  }
  const DWORD red = Pack(road(), 255, 0, 0);
  RECT straddling{mClient.left - 10, mClient.top, mClient.left + 10, mClient.top + 10};
  ASSERT_EQ(Fill(primary.get(), &straddling, red), DD_OK);
  // Entirely outside: nothing to draw, and no failure.
  ASSERT_EQ(Fill(primary.get(), &outside, red), DD_OK);
  Pixels pixels(primary.get());
  EXPECT_EQ(pixels.Get(mClient.left - 1, mClient.top), marker);
  EXPECT_EQ(pixels.Get(mClient.left, mClient.top), red);
  EXPECT_EQ(pixels.Get(mClient.left + 9, mClient.top + 9), red);
  EXPECT_EQ(pixels.Get(mClient.left + 10, mClient.top), 0u);
}

TEST_P(PresentTest, FullScreenShowsTheModeScaledAndReleasingRestoresTheWindow) {
  ASSERT_EQ(mDD->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  ASSERT_EQ(mDD->SetDisplayMode(800, 600, road().bytesPerPixel * 8, 0, 0), DD_OK);
  DDSURFACEDESC2 desc = PrimaryDesc(1);
  IDirectDrawSurface7* primary = nullptr;
  ASSERT_EQ(mDD->CreateSurface(&desc, &primary, nullptr), DD_OK);
  Com<IDirectDrawSurface7> primaryOwned(primary);
  DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
  IDirectDrawSurface7* back = nullptr;
  ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
  Com<IDirectDrawSurface7> backOwned(back);
  const DWORD green = Pack(road(), 0, 255, 0);
  const DWORD blue = Pack(road(), 0, 0, 255);
  ASSERT_EQ(Fill(back, nullptr, green), DD_OK);
  RECT corner{0, 0, 400, 300};
  ASSERT_EQ(Fill(back, &corner, blue), DD_OK);
  ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  Pump();

  plat::PresentedFrame shown = plat::ReadPresentedFrame(mWindow);
  ASSERT_GT(shown.width, 0);
  // The 800 x 600 frame fills the screen's height (or width) with its aspect kept.
  const double scale = std::min(shown.width / 800.0, shown.height / 600.0);
  const int left = static_cast<int>((shown.width - 800 * scale) / 2);
  const int top = static_cast<int>((shown.height - 600 * scale) / 2);
  DDPIXELFORMAT format{};
  primary->GetPixelFormat(&format);
  EXPECT_TRUE(plat::ShowsPixel(shown.At(left + static_cast<int>(100 * scale), top + static_cast<int>(100 * scale)),
                               blue, format));
  EXPECT_TRUE(plat::ShowsPixel(shown.At(left + static_cast<int>(700 * scale), top + static_cast<int>(500 * scale)),
                               green, format));

  // Back to a window: the next frame is shown at the window's size again.
  backOwned.reset();
  primaryOwned.reset();
  mDD.reset();
  Pump();
  void* object = nullptr;
  ASSERT_EQ(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr), DD_OK);
  mDD.reset(static_cast<IDirectDraw7*>(object));
  auto windowed = WindowedPrimary();
  ASSERT_EQ(Fill(windowed.get(), &mClient, green), DD_OK);
  shown = plat::ReadPresentedFrame(mWindow);
  EXPECT_EQ(shown.width, kClientWidth);
  EXPECT_EQ(shown.height, kClientHeight);
}

TEST_P(PresentTest, OtherThreadsCreateAndBlitWhileTheMainThreadPresents) {
  auto primary = WindowedPrimary();
  constexpr int kFrames = 200;
  std::atomic<bool> done{false};
  std::atomic<int> failures{0};
  const RECT client = mClient;
  const Road roadUsed = road();
  std::thread loader([&] {
    for (int i = 0; i < kFrames; ++i) {
      DDSURFACEDESC2 desc = OffscreenDesc(64, 64);
      IDirectDrawSurface7* surface = nullptr;
      if (mDD->CreateSurface(&desc, &surface, nullptr) != DD_OK) {
        ++failures;
        continue;
      }
      DDBLTFX fx{};
      fx.dwSize = sizeof(fx);
      fx.dwFillColor = Pack(roadUsed, i & 255, 255 - (i & 255), 128);
      if (surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx) != DD_OK) ++failures;
      RECT to{client.left + (i % 4) * 64, client.top, client.left + (i % 4) * 64 + 64, client.top + 64};
      if (primary->Blt(&to, surface, nullptr, DDBLT_WAIT, nullptr) != DD_OK) ++failures;
      surface->Release();
    }
    done = true;
  });
  // The main thread keeps presenting what the other thread draws.
  auto frame = PatternFrame();
  RECT lower{client.left, client.top + 64, client.right, client.bottom};
  RECT source{0, 64, kClientWidth, kClientHeight};
  while (!done) {
    Pump();
    if (primary->Blt(&lower, frame.get(), &source, DDBLT_WAIT, nullptr) != DD_OK) ++failures;
  }
  loader.join();
  Pump();
  EXPECT_EQ(failures, 0);
  const plat::PresentedFrame shown = plat::ReadPresentedFrame(mWindow);
  ASSERT_EQ(shown.width, kClientWidth);
  DDPIXELFORMAT format{};
  primary->GetPixelFormat(&format);
  const int last = kFrames - 1;
  EXPECT_EQ(shown.At((last % 4) * 64 + 5, 5),
            plat::ShownColorOf(Pack(road(), last & 255, 255 - (last & 255), 128), format));
}

INSTANTIATE_TEST_SUITE_P(Roads, PresentTest, testing::ValuesIn(kRoads), RoadName);

}  // namespace
}  // namespace ddraw_test
