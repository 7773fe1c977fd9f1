// Every control drawn through the widget manager, compared with golden pictures: on a software image
// and on surface-backed images of a running display on a 16-bit and a 32-bit desktop.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageHost.h"
#include "framework/widget/EditWidget.h"
#include "framework/widget/ListWidget.h"
#include "framework/widget/ScrollbarWidget.h"
#include "framework/widget/Slider.h"
#include "platform/ddraw/DisplaySettings.h"
#include "platform/win/Window.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/ScreenHost.h"
#include "tests/support/TestWindow.h"

namespace ControlsTest {
namespace {

constexpr int kCanvasWidth = 300;
constexpr int kCanvasHeight = 200;
constexpr std::uint32_t kBackdrop = 0xFF304050;

// A track of three parts (ends darker than the middle) and a thumb with a light border.
std::unique_ptr<Kit::MemoryImage> TrackImage() {
  auto image = SolidImage(30, 8, 0xFF606060);
  for (int y = 0; y < 8; ++y)
    for (int x = 10; x < 20; ++x) image->GetBits()[y * 30 + x] = (y == 0 || y == 7) ? 0xFF202020 : 0xFFA0A0A0;
  image->BitsChanged();
  return image;
}

std::unique_ptr<Kit::MemoryImage> ThumbImage() {
  auto image = SolidImage(12, 18, 0xFF2050D0);
  for (int y = 0; y < 18; ++y)
    for (int x = 0; x < 12; ++x)
      if (x == 0 || y == 0 || x == 11 || y == 17) image->GetBits()[y * 12 + x] = 0xFFE0E0FF;
  image->BitsChanged();
  return image;
}

// The controls in a fixed state: a slider at 0.25, a list of 12 lines with its scroll bar scrolled by
// 2 and its down arrow held, a line selected and another hovered, a horizontal bar, and a focused edit
// box with part of its text selected.
class ControlsScene : public ControlsFixture {
 protected:
  void Build(Kit::Image* canvas) {
    mManager.Resize(kCanvasWidth, kCanvasHeight);
    mManager.mImage = canvas;

    mSlider.Resize(10, 10, 130, 24);
    mSlider.SetValue(0.25);
    mManager.AddWidget(&mSlider);

    mList.mScrollbar = &mBar;
    mList.Resize(10, 44, 150, 98);
    mBar.ResizeScrollbar(160, 44, 16, 98);
    for (int i = 0; i < 12; ++i) mList.AddLine("row " + std::to_string(i), false);
    mList.mTextAlign = Kit::ListWidget::JUSTIFY_CENTER;
    mList.SetColor(1, Kit::Color(90, 90, 90));
    mManager.AddWidget(&mList);
    mManager.AddWidget(&mBar);
    mBar.SetValue(1);
    mList.SetSelect(4);
    Press(168, 44 + 98 - 6);    // holds the down arrow: value 2
    mList.SetHilite(4, false);  // as the pointer left it

    mHorizontal.SetHorizontal(true);
    mHorizontal.ResizeScrollbar(190, 10, 100, 14);
    mHorizontal.SetMaxValue(40);
    mHorizontal.SetPageSize(10);
    mHorizontal.SetValue(20);
    mManager.AddWidget(&mHorizontal);

    mEdit.Resize(10, 160, 160, 22);
    mManager.AddWidget(&mEdit);
    mEdit.SetText("edit field text", true);
    mManager.SetFocus(&mEdit);
    mEdit.mAnchor = 5;
    mEdit.mCaret = 10;
  }

  std::unique_ptr<Kit::MemoryImage> mTrack = TrackImage();
  std::unique_ptr<Kit::MemoryImage> mThumb = ThumbImage();
  KitTest::BlockFont mFont;
  SliderEvents mSliderEvents;
  ScrollEvents mScrollEvents;
  Kit::Slider mSlider{mTrack.get(), mThumb.get(), 1, &mSliderEvents};
  Kit::ListWidget mList{2, &mFont, nullptr};
  Kit::ScrollbarWidget mBar{3, &mList};
  Kit::ScrollbarWidget mHorizontal{4, &mScrollEvents};
  EditEvents mEditEvents;
  Kit::EditWidget mEdit{5, &mEditEvents};
};

TEST_F(ControlsScene, OnASoftwareImage) {
  auto canvas = SolidImage(kCanvasWidth, kCanvasHeight, kBackdrop);
  Build(canvas.get());
  EXPECT_DOUBLE_EQ(mBar.mValue, 2);
  EXPECT_EQ(mList.mHoverRow, 4);
  EXPECT_TRUE(mManager.DrawScreen());
  EXPECT_TRUE(testsupport::MatchesGolden("controls_memory", canvas->GetBits(), kCanvasWidth, kCanvasHeight));
  Release(168, 44 + 98 - 6);
}

HWND SceneWindow() {
  static HWND window =
      testsupport::CreateTestWindow("ControlsSurfaceTest", "controls", 0, 0, kCanvasWidth, kCanvasHeight);
  return window;
}

using Depth = testsupport::ScreenFormat;

class ControlsOnSurfaces : public ControlsScene, public testing::WithParamInterface<Depth> {
 protected:
  void SetUp() override {
    mSettings = testsupport::UseTestDesktop(GetParam().format);
    ASSERT_NE(SceneWindow(), nullptr);
    mDisplay = std::make_unique<Kit::DDInterface>(&mHost);
    mHost.display = mDisplay.get();
    ASSERT_EQ(mDisplay->Init(SceneWindow(), true), Kit::DDInterface::RESULT_OK) << mDisplay->mErrorString;
  }
  void TearDown() override {
    ControlsScene::TearDown();
    mCanvas.reset();
    mDisplay.reset();
    mHost.display = nullptr;
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&message);
    mSettings.reset();
  }

  testsupport::ScreenHost mHost{kCanvasWidth, kCanvasHeight};
  std::unique_ptr<plat::ScopedDisplaySettings> mSettings;
  std::unique_ptr<Kit::DDInterface> mDisplay;
  std::unique_ptr<Kit::DDImage> mCanvas;
};

TEST_P(ControlsOnSurfaces, AsOnASoftwareImage) {
  mCanvas = std::make_unique<Kit::DDImage>(mDisplay.get());
  const std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kCanvasWidth) * kCanvasHeight, kBackdrop);
  mCanvas->SetBits(pixels.data(), kCanvasWidth, kCanvasHeight);
  ASSERT_NE(mCanvas->GetSurface(), nullptr);
  Build(mCanvas.get());
  EXPECT_TRUE(mManager.DrawScreen());
  EXPECT_EQ(mCanvas->mLockCount, 0);
  EXPECT_TRUE(testsupport::MatchesGolden(std::string("controls_") + GetParam().name, mCanvas->GetBits(), kCanvasWidth,
                                         kCanvasHeight));
  Release(168, 44 + 98 - 6);
}

const Depth kDepths[] = {{plat::DesktopFormat::Rgb565, "rgb565"}, {plat::DesktopFormat::Xrgb8888, "xrgb8888"}};

INSTANTIATE_TEST_SUITE_P(Depths, ControlsOnSurfaces, testing::ValuesIn(kDepths),
                         [](const testing::TestParamInfo<Depth>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ControlsTest
