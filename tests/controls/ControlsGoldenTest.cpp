// Every control drawn through the widget manager, compared with a golden picture. Surface-backed
// images draw as software images do; the display's own tests judge that.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/widget/EditWidget.h"
#include "framework/widget/ListWidget.h"
#include "framework/widget/ScrollbarWidget.h"
#include "framework/widget/Slider.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/GoldenImage.h"

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

}  // namespace
}  // namespace ControlsTest
