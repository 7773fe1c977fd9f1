#include "tests/support/ScreenFixture.h"

#include <bit>
#include <cstring>

#include "framework/graphics/Graphics.h"
#include "platform/win/Window.h"

namespace testsupport {

namespace {

HWND ScreenWindow() {
  static HWND window = [] {
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = DefWindowProc;
    windowClass.lpszClassName = "ScreenTest";
    RegisterClass(&windowClass);
    return CreateWindowEx(0, "ScreenTest", "screen", WS_POPUP | WS_VISIBLE, 0, 0, 160, 96, nullptr, nullptr, nullptr,
                          nullptr);
  }();
  return window;
}

int Widen(DWORD pixel, DWORD mask) {
  const int bits = std::popcount(mask);
  const DWORD value = (pixel & mask) >> std::countr_zero(mask);
  if (bits >= 8) return static_cast<int>(value >> (bits - 8));
  DWORD wide = value << (8 - bits);
  for (int filled = bits; filled < 8; filled += bits) wide |= value << (8 - bits) >> filled;
  return static_cast<int>(wide & 0xFF);
}

}  // namespace

void ScreenTest::SetUp() {
  plat::DisplaySettings settings;
  settings.format = GetParam().format;
  settings.desktopWidth = 1024;
  settings.desktopHeight = 768;
  mSettings = std::make_unique<plat::ScopedDisplaySettings>(settings);
  HWND window = ScreenWindow();
  ASSERT_NE(window, nullptr);
  mDisplay = std::make_unique<Kit::DDInterface>(&mHost);
  mHost.mDisplay = mDisplay.get();
  ASSERT_EQ(mDisplay->Init(window, true), Kit::DDInterface::RESULT_OK);
  ASSERT_NE(Screen(), nullptr);
}

void ScreenTest::TearDown() {
  mDisplay.reset();
  mHost.mDisplay = nullptr;
  mSettings.reset();
}

void ScreenTest::Clear(std::uint32_t rgb) {
  Kit::Graphics g(Screen());
  g.SetColor(Kit::Color(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                        static_cast<int>(rgb & 0xFF)));
  g.FillRect(0, 0, WIDTH, HEIGHT);
}

std::vector<std::uint32_t> ScreenTest::ReadScreen() {
  IDirectDrawSurface* surface = Screen()->mSurface;
  std::vector<std::uint32_t> pixels;
  if (!surface) return pixels;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return pixels;
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  const int bytes = static_cast<int>(format.dwRGBBitCount / 8);
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x) {
      DWORD pixel = 0;
      std::memcpy(&pixel,
                  static_cast<const BYTE*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch + x * bytes,
                  static_cast<std::size_t>(bytes));
      pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(Widen(pixel, format.dwRBitMask)) << 16 |
                       static_cast<std::uint32_t>(Widen(pixel, format.dwGBitMask)) << 8 |
                       static_cast<std::uint32_t>(Widen(pixel, format.dwBBitMask)));
    }
  surface->Unlock(nullptr);
  return pixels;
}

}  // namespace testsupport
