#include <gtest/gtest.h>

#include <cmath>

#include "framework/widget/Slider.h"
#include "tests/controls/ControlsTestSupport.h"

namespace ControlsTest {
namespace {

class SliderInput : public ControlsFixture {
 protected:
  SliderInput() {
    // A 110-pixel track and a 10-pixel thumb: 100 pixels of travel, the thumb's left edge at 100 x value.
    mSlider.Resize(50, 50, 110, 20);
    mManager.AddWidget(&mSlider);
  }

  std::unique_ptr<Kit::MemoryImage> mTrack = SolidImage(30, 6, 0xFF808080);
  std::unique_ptr<Kit::MemoryImage> mThumb = SolidImage(10, 16, 0xFF2040C0);
  SliderEvents mEvents;
  Kit::Slider mSlider{mTrack.get(), mThumb.get(), 4, &mEvents};
};

TEST_F(SliderInput, DraggingPastBothEndsReportsOnlyZeroToOneAndReleaseReportsAgain) {
  Press(55, 60);  // 5 pixels into the thumb at value 0
  ASSERT_TRUE(mSlider.mDragging);
  MoveTo(-300, 60);  // still 0: nothing to report
  EXPECT_TRUE(mEvents.values.empty());
  MoveTo(105, 60);  // thumb edge at 50 - 5 ... 100 - 55 + 5
  ASSERT_EQ(mEvents.values.size(), 1u);
  EXPECT_DOUBLE_EQ(mEvents.values.back().second, 0.5);
  MoveTo(900, 60);
  MoveTo(1200, 60);  // held at 1: reported once
  ASSERT_EQ(mEvents.values.size(), 2u);
  EXPECT_DOUBLE_EQ(mEvents.values.back().second, 1.0);
  Release(1200, 60);
  ASSERT_EQ(mEvents.values.size(), 3u);
  EXPECT_EQ(mEvents.values.back(), std::make_pair(4, 1.0));
  EXPECT_FALSE(mSlider.mDragging);

  Press(155, 60);  // the thumb now sits at the right end
  MoveTo(-50, 60);
  Release(-50, 60);
  ASSERT_EQ(mEvents.values.size(), 5u);
  EXPECT_DOUBLE_EQ(mEvents.values[3].second, 0.0);
  EXPECT_DOUBLE_EQ(mEvents.values[4].second, 0.0);
}

TEST_F(SliderInput, APressBesideTheThumbDoesNothingButTheReleaseStillReports) {
  mSlider.SetValue(0.5);
  Press(52, 60);
  EXPECT_FALSE(mSlider.mDragging);
  MoveTo(150, 60);
  EXPECT_TRUE(mEvents.values.empty());
  EXPECT_DOUBLE_EQ(mSlider.mValue, 0.5);
  Release(150, 60);
  ASSERT_EQ(mEvents.values.size(), 1u);
  EXPECT_DOUBLE_EQ(mEvents.values[0].second, 0.5);
}

TEST_F(SliderInput, CursorShowsDraggingOverTheThumbOnly) {
  MoveTo(53, 60);
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_DRAGGING);
  MoveTo(80, 60);
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_POINTER);
  Press(80, 60);
  Release(80, 60);
  Press(53, 60);
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_DRAGGING);
  mSlider.MouseLeave();  // leaving while dragging keeps the dragging cursor
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_DRAGGING);
  Release(53, 60);
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_POINTER);
}

TEST_F(SliderInput, SetValueNeitherClampsNorReports) {
  mSlider.SetValue(1.5);
  EXPECT_DOUBLE_EQ(mSlider.mValue, 1.5);
  EXPECT_TRUE(mEvents.values.empty());
}

TEST_F(SliderInput, AThumbAsWideAsTheTrackStaysAtZeroInsteadOfDividingByZero) {
  mSlider.Resize(50, 50, 10, 20);
  Press(55, 60);
  MoveTo(300, 60);
  Release(300, 60);
  ASSERT_FALSE(mEvents.values.empty());
  EXPECT_FALSE(std::isnan(mSlider.mValue));
  EXPECT_DOUBLE_EQ(mSlider.mValue, 0.0);
}

}  // namespace
}  // namespace ControlsTest
