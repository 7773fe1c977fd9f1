// The same dialog and button pictures as on software images, drawn through the widget manager onto
// surface-backed images of a running display on a 16-bit and a 32-bit desktop.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageHost.h"
#include "framework/widget/ButtonWidget.h"
#include "framework/widget/Dialog.h"
#include "framework/widget/FallbackFont.h"
#include "platform/ddraw/DisplaySettings.h"
#include "platform/win/Window.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/TestWindow.h"
#include "tests/support/WindowedSurfaceHost.h"
#include "tests/widget/BlockFont.h"
#include "tests/widget/WidgetTestSupport.h"

namespace {

constexpr int kWindowWidth = 320;
constexpr int kWindowHeight = 240;

HWND TestWindow() {
  static HWND window = testsupport::CreateTestWindow("WidgetSurfaceTest", "widgets", 0, 0, kWindowWidth, kWindowHeight);
  return window;
}

using Depth = testsupport::ScreenFormat;

class WidgetSurfaceDraw : public testing::TestWithParam<Depth> {
 protected:
  void SetUp() override {
    mSettings = testsupport::UseTestDesktop(GetParam().format);
    ASSERT_NE(TestWindow(), nullptr);
    mDisplay = std::make_unique<Kit::DDInterface>(&mHost);
    mHost.display = mDisplay.get();
    ASSERT_EQ(mDisplay->Init(TestWindow(), true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
    mSavedFactory = Kit::GetFallbackFontFactory();
    Kit::SetFallbackFontFactory(KitTest::MakeBlockFont);
  }
  void TearDown() override {
    Kit::SetFallbackFontFactory(mSavedFactory);
    mApp.reset();
    mDisplay.reset();
    mHost.display = nullptr;
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
    mSettings.reset();
  }

  std::unique_ptr<Kit::DDImage> SurfaceCanvas(int width, int height, std::uint32_t fill) {
    auto image = std::make_unique<Kit::DDImage>(mDisplay.get());
    const std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, fill);
    image->SetBits(pixels.data(), width, height);
    return image;
  }
  std::string Golden(const std::string& picture) const { return picture + "_" + GetParam().name; }

  testsupport::WindowedSurfaceHost mHost{kWindowWidth, kWindowHeight};
  std::unique_ptr<plat::ScopedDisplaySettings> mSettings;
  std::unique_ptr<Kit::DDInterface> mDisplay;
  std::unique_ptr<KitTest::ScriptedApp> mApp = std::make_unique<KitTest::ScriptedApp>();
  Kit::FallbackFontFactory mSavedFactory = nullptr;
};

TEST_P(WidgetSurfaceDraw, DialogWithHeaderLinesAndButtons) {
  auto canvas = SurfaceCanvas(320, 170, 0xFF2E4A3A);
  ASSERT_NE(canvas->GetSurface(), nullptr);
  Kit::WidgetManager& manager = *mApp->mWidgetManager;
  manager.Resize(320, 170);
  manager.mImage = canvas.get();
  Kit::Dialog* dialog = mApp->NewDialog(1, true, "HEADER", "two lines of body text here", "footer", 2);
  dialog->Resize(10, 5, 300, 160);
  dialog->SetColor(3, Kit::Color(0, 0, 0));
  dialog->SetColor(4, Kit::Color(0, 0, 0));
  mApp->AddDialog(1, dialog);
  EXPECT_TRUE(manager.DrawScreen());
  EXPECT_EQ(canvas->mLockCount, 0);
  EXPECT_TRUE(testsupport::MatchesGolden(Golden("widget_dialog_drawn_box"), canvas->GetBits(), 320, 170));
}

TEST_P(WidgetSurfaceDraw, ImageButtonInItsStates) {
  auto face = std::make_unique<Kit::MemoryImage>();
  auto over = std::make_unique<Kit::MemoryImage>();
  auto down = std::make_unique<Kit::MemoryImage>();
  const std::uint32_t colours[3][2] = {{0xFF3060C0, 0xC080A0E0}, {0xFFC06030, 0xC0E0A080}, {0xFF30C060, 0xC080E0A0}};
  Kit::MemoryImage* faces[3] = {face.get(), over.get(), down.get()};
  for (int i = 0; i < 3; ++i) {
    faces[i]->Create(40, 24);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 40; ++x)
        faces[i]->GetBits()[y * 40 + x] = (x < 2 || y < 2 || x >= 38 || y >= 22) ? colours[i][0] : colours[i][1];
    faces[i]->BitsChanged();
  }
  KitTest::ButtonEvents events;
  Kit::ButtonWidget button(1, &events);
  button.mFaceImage = face.get();
  button.mHoverImage = over.get();
  button.mPressedImage = down.get();
  button.mLabel = "OK";
  button.SetColor(0, Kit::Color(255, 255, 255));
  button.SetColor(1, Kit::Color(255, 255, 0));
  button.Resize(0, 0, 40, 24);

  auto canvas = SurfaceCanvas(132, 28, 0xFF101010);
  ASSERT_NE(canvas->GetSurface(), nullptr);
  for (int i = 0; i < 3; ++i) {
    button.mIsOver = i >= 1;
    button.mIsDown = i == 2;
    Kit::Graphics g(canvas.get());
    g.Translate(i * 44 + 2, 2);
    g.ClipRect(0, 0, 40, 24);
    button.Draw(&g);
  }
  EXPECT_TRUE(testsupport::MatchesGolden(Golden("widget_image_button_states"), canvas->GetBits(), 132, 28));
}

const Depth kDepths[] = {{plat::DesktopFormat::Rgb565, "rgb565"}, {plat::DesktopFormat::Xrgb8888, "xrgb8888"}};

INSTANTIATE_TEST_SUITE_P(Depths, WidgetSurfaceDraw, testing::ValuesIn(kDepths),
                         [](const testing::TestParamInfo<Depth>& info) { return std::string(info.param.name); });

}  // namespace
