#include <gtest/gtest.h>

#include "framework/widget/ScrollbarWidget.h"
#include "tests/controls/ControlsTestSupport.h"

namespace ControlsTest {
namespace {

// A vertical bar at (200, 100), 16 wide and 132 high: 16-pixel arrows and a 100-pixel track.
class ScrollbarInput : public ControlsFixture {
 protected:
  ScrollbarInput() {
    mBar.ResizeScrollbar(200, 100, 16, 132);
    mManager.AddWidget(&mBar);
  }
  void Limits(double maxValue, double pageSize) {
    mBar.SetMaxValue(maxValue);
    mBar.SetPageSize(pageSize);
    mEvents.values.clear();
  }

  ScrollEvents mEvents;
  Kit::ScrollbarWidget mBar{9, &mEvents};
};

TEST_F(ScrollbarInput, ThumbSizeAndPositionFollowTheValue) {
  Limits(50, 10);
  EXPECT_EQ(mBar.GetTrackSize(), 100);
  EXPECT_EQ(mBar.GetThumbSize(), 20);
  mBar.SetValue(40);
  EXPECT_EQ(mBar.GetThumbPosition(), 80 + 16);
  Limits(10000, 10);
  EXPECT_EQ(mBar.GetThumbSize(), 8);  // never thinner than 8
}

TEST_F(ScrollbarInput, NothingToScrollDisablesTheBarAndItsArrowsAndPinsTheValue) {
  Limits(10, 10);
  EXPECT_TRUE(mBar.mDisabled);
  EXPECT_TRUE(mBar.mUpButton->mDisabled);
  EXPECT_TRUE(mBar.mDownButton->mDisabled);
  EXPECT_EQ(mBar.GetThumbSize(), 0);
  mBar.SetValue(5);
  EXPECT_DOUBLE_EQ(mBar.mValue, 0);
  Press(208, 180);  // a press on the track of a disabled bar pages nowhere
  Release(208, 180);
  EXPECT_DOUBLE_EQ(mBar.mValue, 0);
  Limits(11, 10);
  EXPECT_FALSE(mBar.mDisabled);
  EXPECT_FALSE(mBar.mDownButton->mDisabled);
}

TEST_F(ScrollbarInput, ShrinkingTheMaximumPullsTheValueBackAndReportsIt) {
  Limits(100, 10);
  mBar.SetValue(80);
  mEvents.values.clear();
  mBar.SetMaxValue(50);
  ASSERT_EQ(mEvents.values.size(), 1u);
  EXPECT_DOUBLE_EQ(mEvents.values[0].second, 40);
}

TEST_F(ScrollbarInput, HoldingAnArrowStepsOnPressThenFromThe25thHeldTickEveryTick) {
  Limits(100, 10);
  Press(208, 100 + 132 - 8);  // the down arrow
  EXPECT_DOUBLE_EQ(mBar.mValue, 1);
  Ticks(24);
  EXPECT_DOUBLE_EQ(mBar.mValue, 1);
  Ticks(1);
  EXPECT_DOUBLE_EQ(mBar.mValue, 2);
  Ticks(3);
  EXPECT_DOUBLE_EQ(mBar.mValue, 5);
  Release(208, 100 + 132 - 8);
  Ticks(30);
  EXPECT_DOUBLE_EQ(mBar.mValue, 5);

  Press(208, 104);  // the up arrow
  EXPECT_DOUBLE_EQ(mBar.mValue, 4);
  Ticks(40);
  EXPECT_DOUBLE_EQ(mBar.mValue, 0);  // held past the start: stays at 0
  Release(208, 104);
}

TEST_F(ScrollbarInput, HoldingTheTrackPagesUntilTheThumbReachesThePointer) {
  Limits(100, 10);  // thumb 10 long at value + 16 (bar coordinates)
  const int pointerY = 100 + 111;
  Press(208, pointerY);
  EXPECT_DOUBLE_EQ(mBar.mValue, 10);
  EXPECT_EQ(mBar.mPagingMode, 2);
  Ticks(24);
  EXPECT_DOUBLE_EQ(mBar.mValue, 10);
  Ticks(1);
  EXPECT_DOUBLE_EQ(mBar.mValue, 20);
  Ticks(4);
  EXPECT_DOUBLE_EQ(mBar.mValue, 20);
  Ticks(1);
  EXPECT_DOUBLE_EQ(mBar.mValue, 30);
  Ticks(200);
  EXPECT_DOUBLE_EQ(mBar.mValue, 90);  // thumb at 106..115 covers the pointer at 111
  EXPECT_EQ(mBar.mPagingMode, 0);
  Release(208, pointerY);

  Press(208, 100 + 20);  // above the thumb: pages back
  EXPECT_DOUBLE_EQ(mBar.mValue, 80);
  EXPECT_EQ(mBar.mPagingMode, 1);
  Release(208, 100 + 20);
  EXPECT_EQ(mBar.mPagingMode, 0);
  Ticks(50);
  EXPECT_DOUBLE_EQ(mBar.mValue, 80);
}

TEST_F(ScrollbarInput, DraggingTheThumbPastBothEndsStopsAtTheLimits) {
  Limits(50, 10);  // thumb 20 long, 80 pixels of travel for 40 values
  Press(208, 100 + 16 + 5);
  EXPECT_TRUE(mBar.mThumbDragging);
  MoveTo(208, 100 + 16 + 5 + 40);
  EXPECT_DOUBLE_EQ(mBar.mValue, 20);
  MoveTo(208, 900);
  EXPECT_DOUBLE_EQ(mBar.mValue, 40);
  MoveTo(208, -900);
  EXPECT_DOUBLE_EQ(mBar.mValue, 0);
  Release(208, -900);
  EXPECT_FALSE(mBar.mThumbDragging);
  ASSERT_FALSE(mEvents.values.empty());
  EXPECT_DOUBLE_EQ(mEvents.values.back().second, 0);
  for (const auto& [id, value] : mEvents.values) {
    EXPECT_EQ(id, 9);
    EXPECT_GE(value, 0);
    EXPECT_LE(value, 40);
  }
}

TEST_F(ScrollbarInput, ATooShortBarDoesNotDivideByZeroWhenItsThumbIsDragged) {
  mBar.ResizeScrollbar(200, 100, 16, 40);  // track 8, thumb at least 8: no travel
  Limits(50, 10);
  Press(208, 100 + 20);
  MoveTo(208, 300);
  Release(208, 300);
  EXPECT_DOUBLE_EQ(mBar.mValue, 0);
}

TEST_F(ScrollbarInput, HiddenWhileThereIsNothingToScroll) {
  mBar.SetHideWhenNoScroll(true);
  EXPECT_FALSE(mBar.mVisible);
  EXPECT_FALSE(mBar.mUpButton->mVisible);
  Limits(30, 10);
  EXPECT_TRUE(mBar.mVisible);
  EXPECT_TRUE(mBar.mDownButton->mVisible);
  Limits(5, 10);
  EXPECT_FALSE(mBar.mVisible);
}

TEST_F(ScrollbarInput, BottomIsWithinOneOfTheEnd) {
  Limits(100, 10);
  mBar.SetValue(89.5);
  EXPECT_TRUE(mBar.AtBottom());
  mBar.SetValue(88.5);
  EXPECT_FALSE(mBar.AtBottom());
  mEvents.values.clear();
  mBar.GoToBottom();
  EXPECT_DOUBLE_EQ(mBar.mValue, 90);
  ASSERT_FALSE(mEvents.values.empty());
  EXPECT_DOUBLE_EQ(mEvents.values.back().second, 90);
}

TEST_F(ScrollbarInput, AHorizontalBarPlacesItsArrowsAtTheEndsAndPagesAlongX) {
  mBar.SetHorizontal(true);
  mBar.ResizeScrollbar(100, 300, 132, 16);
  EXPECT_TRUE(mBar.mUpButton->mHorizontal);
  EXPECT_EQ(mBar.mUpButton->GetRect(), Kit::Rect(0, 0, 16, 16));
  EXPECT_EQ(mBar.mDownButton->GetRect(), Kit::Rect(116, 0, 16, 16));
  Limits(100, 10);
  Press(100 + 111, 308);
  EXPECT_DOUBLE_EQ(mBar.mValue, 10);
  Release(100 + 111, 308);
  Press(100 + 124, 308);  // the right arrow
  Release(100 + 124, 308);
  EXPECT_DOUBLE_EQ(mBar.mValue, 11);
}

}  // namespace
}  // namespace ControlsTest
