#include "tests/support/ScreenFixture.h"

#include "framework/graphics/Graphics.h"
#include "tests/support/ArgbReadback.h"
#include "tests/support/TestWindow.h"

namespace testsupport {

namespace {

HWND ScreenWindow() {
  static HWND window = CreateTestWindow("ScreenTest", "screen", 0, 0, 160, 96);
  return window;
}

}  // namespace

void ScreenTest::SetUp() {
  mSettings = UseTestDesktop(GetParam().format);
  HWND window = ScreenWindow();
  ASSERT_NE(window, nullptr);
  mDisplay = std::make_unique<Kit::DDInterface>(&mHost);
  mHost.display = mDisplay.get();
  ASSERT_EQ(mDisplay->Init(window, true), Kit::DDInterface::RESULT_OK);
  ASSERT_NE(Screen(), nullptr);
}

void ScreenTest::TearDown() {
  mDisplay.reset();
  mHost.display = nullptr;
  mSettings.reset();
}

void ScreenTest::Clear(std::uint32_t rgb) {
  Kit::Graphics g(Screen());
  g.SetColor(Kit::Color(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                        static_cast<int>(rgb & 0xFF)));
  g.FillRect(0, 0, WIDTH, HEIGHT);
}

std::vector<std::uint32_t> ScreenTest::ReadScreen() { return ReadSurfaceArgb(Screen()->mSurface, WIDTH, HEIGHT); }

}  // namespace testsupport
