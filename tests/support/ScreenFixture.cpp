#include "tests/support/ScreenFixture.h"

#include <SDL.h>

#include <cstring>

#include "framework/graphics/Graphics.h"
#include "platform/ddraw/PresentedFrame.h"
#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/Window.h"
#include "tests/support/ArgbReadback.h"
#include "tests/support/PixelModel.h"
#include "tests/support/TestWindow.h"
#include "tests/support/XWindowPixels.h"

namespace testsupport {

HWND MainWindow() {
  static HWND window = CreateTestWindow("ScreenTest", "screen", 40, 30, 320, 240);
  return window;
}

void Pump() {
  MSG message;
  while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
}

void ScreenTest::SetUp() {
  UseDesktop(GetParam().format);
  mHost.window = MainWindow();
  ASSERT_NE(mHost.window, nullptr);
  mDisplay = std::make_unique<Kit::DDInterface>(&mHost);
  mHost.display = mDisplay.get();
}

void ScreenTest::TearDown() {
  mDisplay.reset();
  mHost.display = nullptr;
  Pump();
  mSettings.reset();
}

void RunningScreenTest::SetUp() {
  ScreenTest::SetUp();
  ASSERT_EQ(Start(true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
}

void ScreenTest::UseDesktop(plat::DesktopFormat format, DWORD refreshHz) {
  mSettings.reset();
  mSettings = UseTestDesktop(format, refreshHz);
}

int ScreenTest::Start(bool windowed) {
  // As the application makes it: a full-screen window covers the screen from its corner.
  if (windowed)
    MoveWindow(mHost.window, 40, 30, kWidth, kHeight, TRUE);
  else
    MoveWindow(mHost.window, 0, 0, kWidth, kHeight, TRUE);
  return mDisplay->Init(mHost.window, windowed);
}

void ScreenTest::Clear(std::uint32_t rgb) {
  Kit::Graphics g(Screen());
  g.SetColor(Kit::Color(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                        static_cast<int>(rgb & 0xFF)));
  g.FillRect(0, 0, kWidth, kHeight);
}

std::vector<std::uint32_t> ScreenTest::ReadScreen(int width, int height) {
  return ReadSurfaceArgb(Screen()->mSurface, width, height);
}

std::unique_ptr<Kit::DDImage> ScreenTest::MakeImage(const std::vector<std::uint32_t>& pixels, int width, int height) {
  auto image = std::make_unique<Kit::DDImage>(mDisplay.get());
  image->SetBits(pixels.data(), width, height);
  return image;
}

std::uint32_t ScreenTest::ScreenPixel(int x, int y) {
  IDirectDrawSurface* surface = mDisplay->mVideoOnlyDraw ? mDisplay->mSecondarySurface : mDisplay->mDrawSurface;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return 0xDEADBEEF;
  const auto* row = static_cast<const std::uint8_t*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch;
  std::uint32_t value = 0;
  std::memcpy(&value, row + x * (desc.ddpfPixelFormat.dwRGBBitCount / 8), desc.ddpfPixelFormat.dwRGBBitCount / 8);
  surface->Unlock(nullptr);
  // The byte above a 32-bit pixel's colour is not shown.
  return value & (desc.ddpfPixelFormat.dwRBitMask | desc.ddpfPixelFormat.dwGBitMask | desc.ddpfPixelFormat.dwBBitMask);
}

std::uint32_t ScreenTest::Native(std::uint32_t argb) const {
  const Kit::DDInterface& d = *mDisplay;
  return model::Pack(argb, {d.mRGBBits, static_cast<std::uint32_t>(d.mRedMask),
                            static_cast<std::uint32_t>(d.mGreenMask), static_cast<std::uint32_t>(d.mBlueMask)});
}

DDPIXELFORMAT ScreenTest::PrimaryFormat() const {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(format);
  mDisplay->mPrimarySurface->GetPixelFormat(&format);
  return format;
}

void ScreenTest::ExpectWindowShowsScreen() {
  Pump();
  const plat::PresentedFrame shown = plat::ReadPresentedFrame(mHost.window);
  ASSERT_EQ(shown.width, kWidth);
  ASSERT_EQ(shown.height, kHeight);
  const DDPIXELFORMAT format = PrimaryFormat();
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (shown.At(x, y) != plat::ShownColorOf(ScreenPixel(x, y), format) && wrong++ < 5)
        ADD_FAILURE() << "pixel " << x << "," << y << " shows " << std::hex << shown.At(x, y);
  EXPECT_EQ(wrong, 0);
  // In a real X window: what the X server holds too, which is sent only where the frame changed.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "x11") != 0) return;
  const std::vector<std::uint32_t> onScreen = ReadXWindowPixels(plat::SdlWindowOf(mHost.window), kWidth, kHeight);
  ASSERT_EQ(onScreen.size(), static_cast<size_t>(kWidth) * kHeight);
  int wrongOnScreen = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (onScreen[static_cast<size_t>(y) * kWidth + x] != shown.At(x, y) && wrongOnScreen++ < 5)
        ADD_FAILURE() << "the X window's pixel " << x << "," << y << " is " << std::hex
                      << onScreen[static_cast<size_t>(y) * kWidth + x];
  EXPECT_EQ(wrongOnScreen, 0);
}

}  // namespace testsupport
