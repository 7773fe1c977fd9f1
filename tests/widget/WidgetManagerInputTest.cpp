#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/widget/KeyCodes.h"
#include "tests/widget/WidgetTestSupport.h"

using KitTest::RecordingWidget;
using Log = std::vector<std::string>;

namespace {

using ManagerInput = KitTest::WidgetFixture;

TEST_F(ManagerInput, HoverFollowsTheMouseInLocalCoordinates) {
  Add("a", 10, 10, 100, 50);
  Add("b", 200, 10, 100, 50);
  mManager.MouseMoveEntry(20, 30);
  mManager.MouseMoveEntry(20, 30);  // same place: nothing new
  mManager.MouseMoveEntry(250, 20);
  mManager.MouseMoveEntry(500, 500);
  EXPECT_EQ(Take(), (Log{"a enter", "a move 10,20", "a leave", "b enter", "b move 50,10", "b leave"}));
  EXPECT_EQ(mManager.mOverWidget, nullptr);
}

TEST_F(ManagerInput, ClickCountsMapToButtonsAndCounts) {
  Add("a", 0, 0, 100, 100);
  mManager.MouseDown(5, 6, 2);
  mManager.MouseUp(5, 6, 2);
  mManager.MouseDown(5, 6, -2);
  mManager.MouseUp(5, 6, -2);
  mManager.MouseDown(5, 6, 3);
  mManager.MouseUp(5, 6, 3);
  Log log = Take();
  std::erase_if(log, [](const std::string& line) { return line.find("down") == std::string::npos; });
  EXPECT_EQ(log, (Log{"a down 5,6 b0 c2", "a down 5,6 b1 c2", "a down 5,6 b2 c1"}));
}

TEST_F(ManagerInput, PressCapturesTheMouseUntilEveryButtonIsReleased) {
  RecordingWidget* a = Add("a", 0, 0, 100, 100);
  Add("b", 200, 0, 100, 100);
  mManager.MouseMoveEntry(50, 50);
  mManager.MouseDown(50, 50, 1);
  EXPECT_TRUE(a->mIsDown);
  Take();
  mManager.MouseMoveEntry(250, 50);  // a drag: only a hears of it, b is not entered
  EXPECT_EQ(Take(), (Log{"a drag 250,50", "a leave"}));
  EXPECT_EQ(mManager.mOverWidget, nullptr);
  mManager.MouseDown(260, 60, -1);  // right press during the drag goes to the capturing widget
  Log log = Take();
  EXPECT_EQ(log.back(), "a down 260,60 b1 c1");
  mManager.MouseUp(250, 50, 1);
  EXPECT_EQ(mManager.mLastDownWidget, a);
  mManager.MouseMoveEntry(60, 50);  // still dragging: a is hovered again while over it
  EXPECT_EQ(mManager.mOverWidget, a);
  mManager.MouseUp(60, 50, -1);
  EXPECT_EQ(mManager.mLastDownWidget, nullptr);
  EXPECT_FALSE(a->mIsDown);
}

TEST_F(ManagerInput, NestedWidgetsGetEventsInTheirOwnCoordinates) {
  RecordingWidget* outer = Add("outer", 100, 100, 200, 200);
  auto inner = std::make_unique<RecordingWidget>("inner", &mLog);
  inner->Resize(10, 20, 50, 50);
  outer->AddWidget(inner.get());
  mManager.MouseDown(115, 125, 1);
  mManager.MouseMoveEntry(120, 130);
  mManager.MouseUp(120, 130, 1);
  Log log = Take();
  EXPECT_NE(std::find(log.begin(), log.end(), "inner down 5,5 b0 c1"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "inner drag 10,10"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "inner up 10,10 b0 c1"), log.end());
  outer->RemoveWidget(inner.get());
}

TEST_F(ManagerInput, TopMostVisibleWidgetWinsAndInsetsShrinkTheHitArea) {
  RecordingWidget* below = Add("below", 0, 0, 100, 100);
  RecordingWidget* above = Add("above", 50, 50, 100, 100);
  EXPECT_EQ(mManager.GetWidgetAt(60, 60, nullptr, nullptr), above);
  above->mHitInsets = Kit::Insets(20, 20, 0, 0);
  EXPECT_EQ(mManager.GetWidgetAt(60, 60, nullptr, nullptr), below);
  above->mHitInsets = Kit::Insets();
  above->SetVisible(false);
  EXPECT_EQ(mManager.GetWidgetAt(60, 60, nullptr, nullptr), below);
  below->mMouseVisible = false;
  EXPECT_EQ(mManager.GetWidgetAt(60, 60, nullptr, nullptr), nullptr);
  below->mMouseVisible = true;
  below->SetDisabled(true);
  EXPECT_EQ(mManager.GetWidgetAt(60, 60, nullptr, nullptr), nullptr);
  EXPECT_EQ(mManager.GetAnyWidgetAt(60, 60, nullptr, nullptr), below);
}

TEST_F(ManagerInput, HiddenHoveredWidgetIsLeftAtOnce) {
  RecordingWidget* a = Add("a", 0, 0, 100, 100);
  mManager.MouseMoveEntry(10, 10);
  Take();
  a->SetVisible(false);
  EXPECT_EQ(Take(), (Log{"a leave"}));
  EXPECT_FALSE(a->mIsOver);
}

TEST_F(ManagerInput, DisablingAHeldWidgetReleasesItsButtons) {
  RecordingWidget* a = Add("a", 0, 0, 100, 100);
  a->mWantsFocus = true;
  mManager.MouseDown(10, 10, 1);
  EXPECT_EQ(mManager.mFocusWidget, a);
  Take();
  a->SetDisabled(true);
  EXPECT_EQ(Take(), (Log{"a leave", "a up 10,10 b0 c1", "a lostfocus"}));
  EXPECT_EQ(mManager.mLastDownWidget, nullptr);
  mManager.MouseUp(10, 10, 1);
  EXPECT_TRUE(Take().empty());
}

TEST_F(ManagerInput, EnablingUnderThePointerHoversAtOnce) {
  RecordingWidget* a = Add("a", 0, 0, 100, 100);
  a->SetDisabled(true);
  mManager.MouseMoveEntry(10, 10);
  EXPECT_TRUE(Take().empty());
  a->SetDisabled(false);
  EXPECT_EQ(Take(), (Log{"a enter", "a move 10,10"}));
}

TEST_F(ManagerInput, KeysAndWheelGoToTheFocusWidget) {
  RecordingWidget* a = Add("a", 0, 0, 100, 100);
  Add("b", 200, 0, 100, 100);
  mManager.KeyDown(65);  // nobody has the focus: dropped
  mManager.SetFocus(a);
  mManager.MouseMoveEntry(250, 50);
  Take();
  mManager.MouseWheel(-120);
  mManager.KeyDown(65);
  mManager.KeyChar('a');
  mManager.KeyUp(65);
  EXPECT_EQ(Take(), (Log{"a wheel -120", "a keydown 65", "a char a", "a keyup 65"}));
}

TEST_F(ManagerInput, TabAndShiftTabFollowTheTabLinks) {
  RecordingWidget* a = Add("a", 0, 0, 10, 10);
  RecordingWidget* b = Add("b", 20, 0, 10, 10);
  RecordingWidget* c = Add("c", 40, 0, 10, 10);
  a->mTabNext = b;
  b->mTabNext = c;
  b->mTabPrevious = a;
  mManager.SetFocus(a);
  mManager.KeyDown(Kit::kKeyCodeTab);
  EXPECT_EQ(mManager.mFocusWidget, b);
  mManager.KeyUp(Kit::kKeyCodeTab);
  mManager.KeyDown(Kit::kKeyCodeTab);
  EXPECT_EQ(mManager.mFocusWidget, c);
  mManager.KeyDown(Kit::kKeyCodeTab);  // c has no next widget
  EXPECT_EQ(mManager.mFocusWidget, c);
  mManager.SetFocus(b);
  mManager.KeyDown(Kit::kKeyCodeShift);
  mManager.KeyDown(Kit::kKeyCodeTab);
  EXPECT_EQ(mManager.mFocusWidget, a);
  EXPECT_TRUE(a->mHasFocus);
  EXPECT_FALSE(b->mHasFocus);
}

TEST_F(ManagerInput, CtrlTabGoesToTheDefaultTabWidgetAndItsKeyUpIsSwallowed) {
  RecordingWidget* a = Add("a", 0, 0, 10, 10);
  RecordingWidget* tabTarget = Add("t", 20, 0, 10, 10);
  mManager.SetFocus(a);
  mManager.mDefaultTabWidget = tabTarget;
  mManager.KeyDown(Kit::kKeyCodeControl);
  Take();
  mManager.KeyChar('\t');
  mManager.KeyUp(Kit::kKeyCodeTab);
  EXPECT_EQ(Take(), (Log{"t char \t"}));
}

TEST_F(ManagerInput, LosingTheAppFocusReleasesHeldKeysBeforeTheFocusGoes) {
  RecordingWidget* a = Add("a", 0, 0, 10, 10);
  mManager.SetFocus(a);
  mManager.KeyDown(65);
  mManager.KeyDown(66);
  Take();
  mManager.LostFocus();
  EXPECT_EQ(Take(), (Log{"a keyup 65", "a keyup 66", "a lostfocus"}));
  EXPECT_FALSE(mManager.mKeyDownTable[65]);
  mManager.LostFocus();
  EXPECT_TRUE(Take().empty());
  mManager.GotFocus();
  EXPECT_EQ(Take(), (Log{"a gotfocus"}));
}

TEST_F(ManagerInput, MouseExitLeavesTheHoveredWidget) {
  Add("a", 0, 0, 10, 10);
  mManager.MouseMoveEntry(5, 5);
  Take();
  mManager.MouseExit(5, 5);
  EXPECT_EQ(Take(), (Log{"a leave"}));
  EXPECT_FALSE(mManager.mMouseInWindow);
}

TEST_F(ManagerInput, ModalWidgetBlocksWhatLiesBeneath) {
  RecordingWidget* under = Add("under", 0, 0, 400, 400);
  under->mWantsFocus = true;
  mManager.MouseMoveEntry(10, 10);
  mManager.MouseDown(10, 10, 1);
  EXPECT_EQ(mManager.mFocusWidget, under);
  RecordingWidget* modal = Add("modal", 100, 100, 100, 100);
  Take();
  mManager.AddBaseModalDefault(modal);
  // The hovered widget is left, the held one gets its mouse-up, the focused one loses the focus.
  EXPECT_EQ(Take(), (Log{"under leave", "under up 10,10 b0 c1", "under lostfocus"}));
  mManager.MouseUp(10, 10, 1);
  mManager.MouseDown(20, 20, 1);
  mManager.MouseUp(20, 20, 1);
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(mManager.GetWidgetAt(20, 20, nullptr, nullptr), nullptr);
  EXPECT_EQ(mManager.GetWidgetAt(150, 150, nullptr, nullptr), modal);

  mManager.RemoveBaseModal(modal);
  EXPECT_EQ(mManager.mFocusWidget, under);
  EXPECT_EQ(mManager.GetWidgetAt(20, 20, nullptr, nullptr), under);
}

TEST_F(ManagerInput, RemovedWidgetsLeaveNoReferenceBehind) {
  RecordingWidget* a = Add("a", 0, 0, 100, 100);
  auto child = std::make_unique<RecordingWidget>("child", &mLog);
  child->Resize(0, 0, 10, 10);
  a->AddWidget(child.get());
  mManager.SetFocus(child.get());
  RecordingWidget* modal = Add("modal", 0, 0, 10, 10);
  mManager.AddBaseModal(modal, Kit::FlagsModifier{0, Kit::WIDGETFLAGS_ALLOW_MOUSE});  // focus stays
  mManager.mDefaultTabWidget = child.get();
  mManager.RemoveWidget(a);
  EXPECT_EQ(mManager.mFocusWidget, nullptr);
  EXPECT_EQ(mManager.mDefaultTabWidget, nullptr);
  EXPECT_EQ(mManager.mSavedModalList.back().mPreviousFocusWidget, nullptr);
  mManager.RemoveBaseModal(modal);
  EXPECT_EQ(mManager.mFocusWidget, nullptr);
  EXPECT_EQ(child->mManager, nullptr);
  a->RemoveWidget(child.get());
}

TEST_F(ManagerInput, ClickOutsideThePopupCommandWidgetTakesItAway) {
  RecordingWidget* popup = Add("popup", 100, 100, 50, 50);
  Add("under", 0, 0, 800, 600);
  mManager.PutInFront(popup, nullptr);
  mManager.mPopupCommandWidget = popup;
  mManager.MouseDown(120, 120, 1);  // inside: it stays
  mManager.MouseUp(120, 120, 1);
  EXPECT_EQ(popup->mParent, &mManager);
  mManager.MouseDown(10, 10, 1);
  mManager.MouseUp(10, 10, 1);
  EXPECT_EQ(popup->mParent, nullptr);
  EXPECT_EQ(mManager.mPopupCommandWidget, nullptr);
}

TEST_F(ManagerInput, WidgetsMovingUnderTheStillPointerAreHovered) {
  RecordingWidget* a = Add("a", 0, 0, 50, 50);
  mManager.MouseMoveEntry(200, 200);
  EXPECT_EQ(mManager.mOverWidget, nullptr);
  a->Move(180, 180);
  EXPECT_EQ(mManager.mOverWidget, a);
  RecordingWidget* cover = Add("cover", 150, 150, 100, 100);
  EXPECT_EQ(mManager.mOverWidget, cover);
}

TEST_F(ManagerInput, FractionalUpdatesReachEveryWidgetThatMayUpdate) {
  struct Fractional : Kit::Widget {
    void UpdateF(float frac) override { mTotal += frac; }
    float mTotal = 0;
  };
  Fractional a, b, inner;
  a.AddWidget(&inner);
  mManager.AddWidget(&a);
  mManager.AddWidget(&b);
  b.mFlagsModifier.mRemoveMask = Kit::WIDGETFLAGS_UPDATE;
  mManager.UpdateFrameF(0.5f);
  mManager.UpdateFrameF(0.25f);
  EXPECT_FLOAT_EQ(a.mTotal, 0.75f);
  EXPECT_FLOAT_EQ(inner.mTotal, 0.75f);
  EXPECT_FLOAT_EQ(b.mTotal, 0.0f);
  mManager.RemoveWidget(&a);
  mManager.RemoveWidget(&b);
  a.RemoveWidget(&inner);
}

TEST_F(ManagerInput, LostFocusModifierAppliesWhileTheWindowIsInactive) {
  Add("a", 0, 0, 50, 50);
  mManager.mLostFocusModifier = Kit::FlagsModifier{0, Kit::WIDGETFLAGS_ALLOW_MOUSE};
  mManager.LostFocus();
  EXPECT_EQ(mManager.GetWidgetAt(10, 10, nullptr, nullptr), nullptr);
  mManager.GotFocus();
  EXPECT_NE(mManager.GetWidgetAt(10, 10, nullptr, nullptr), nullptr);
}

TEST_F(ManagerInput, ReleaseMouseButtonsSendsEveryHeldRelease) {
  Add("a", 0, 0, 50, 50);
  mManager.MouseDown(10, 10, 1);
  mManager.MouseDown(10, 10, 3);
  Take();
  mManager.ReleaseMouseButtons();
  EXPECT_EQ(Take(), (Log{"a up 10,10 b0 c1", "a up 10,10 b2 c1"}));
  EXPECT_EQ(mManager.mHeldButtons, 0u);
  EXPECT_EQ(mManager.mLastDownWidget, nullptr);
}

}  // namespace
