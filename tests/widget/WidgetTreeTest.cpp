#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/widget/WidgetTestSupport.h"

using KitTest::RecordingWidget;
using Log = std::vector<std::string>;

namespace {

class WidgetTree : public KitTest::WidgetFixture {
 protected:
  void ClearDirty() {
    mManager.mDirty = false;
    for (auto& widget : mWidgets) widget->mDirty = false;
  }
};

TEST_F(WidgetTree, OpaqueChildMarksOverlappingSiblingsAboveOnly) {
  RecordingWidget* below = Add("below", 0, 0, 100, 100);
  RecordingWidget* child = Add("child", 50, 50, 100, 100);
  RecordingWidget* aboveOverlapping = Add("over", 120, 120, 50, 50);
  RecordingWidget* aboveApart = Add("apart", 300, 300, 50, 50);
  RecordingWidget* aboveTouching = Add("touch", 150, 0, 50, 50);  // edges touch: no overlap
  ClearDirty();
  child->MarkDirty();
  EXPECT_TRUE(child->mDirty);
  EXPECT_TRUE(aboveOverlapping->mDirty);
  EXPECT_FALSE(below->mDirty);
  EXPECT_FALSE(aboveApart->mDirty);
  EXPECT_FALSE(aboveTouching->mDirty);
  EXPECT_TRUE(mManager.mDirty);

  aboveOverlapping->mDirty = false;
  child->MarkDirty();  // already dirty: ends at once
  EXPECT_FALSE(aboveOverlapping->mDirty);
}

TEST_F(WidgetTree, TranslucentChildMarksDownToTheFirstCoveringOpaqueSibling) {
  RecordingWidget* bottom = Add("bottom", 0, 0, 800, 600);
  RecordingWidget* cover = Add("cover", 0, 0, 400, 400);
  RecordingWidget* partial = Add("partial", 100, 100, 20, 20);
  RecordingWidget* child = Add("child", 50, 50, 100, 100);
  child->mHasAlpha = true;
  ClearDirty();
  child->MarkDirty();
  EXPECT_TRUE(partial->mDirty);
  EXPECT_TRUE(cover->mDirty);
  EXPECT_FALSE(bottom->mDirty);  // the cover hides it

  ClearDirty();
  cover->mTransparent = true;  // a transparent cover does not end the pass
  child->MarkDirty();
  EXPECT_TRUE(cover->mDirty);
  EXPECT_TRUE(bottom->mDirty);
}

TEST_F(WidgetTree, MarksReachTheManagerOnlyThroughTopLevelWidgets) {
  RecordingWidget* top = Add("top", 0, 0, 100, 100);
  RecordingWidget* inner = Make("inner", 10, 10, 10, 10);
  top->AddWidget(inner);
  RecordingWidget* sibling = Add("sibling", 0, 0, 100, 100);
  ClearDirty();
  inner->MarkDirty();
  EXPECT_TRUE(inner->mDirty);
  EXPECT_TRUE(top->mDirty);
  EXPECT_TRUE(sibling->mDirty);  // above top and overlapping it
  EXPECT_TRUE(mManager.mDirty);
}

TEST_F(WidgetTree, ResizeMarksOnlyOnChangeAndMoveKeepsTheSize) {
  RecordingWidget* a = Add("a", 0, 0, 100, 50);
  ClearDirty();
  a->Resize(0, 0, 100, 50);
  EXPECT_FALSE(a->mDirty);
  a->Move(7, 9);
  EXPECT_TRUE(a->mDirty);
  EXPECT_EQ(a->GetRect(), Kit::Rect(7, 9, 100, 50));
}

TEST_F(WidgetTree, EachWidgetUpdatesOncePerManagerUpdateDepthFirst) {
  RecordingWidget* a = Add("a", 0, 0, 10, 10);
  RecordingWidget* b = Add("b", 0, 0, 10, 10);
  RecordingWidget* inner = Make("inner", 0, 0, 5, 5);
  a->AddWidget(inner);
  Log order;
  a->mOnUpdate = [&] { order.push_back("a"); };
  b->mOnUpdate = [&] { order.push_back("b"); };
  inner->mOnUpdate = [&] { order.push_back("inner"); };
  mManager.UpdateFrame();
  EXPECT_EQ(order, (Log{"a", "inner", "b"}));
  Kit::ModalFlags flags;
  mManager.InitModalFlags(flags);
  mManager.UpdateAll(flags);  // walked twice in one manager update: no second Update
  EXPECT_EQ(a->mUpdateCount, 1);
  a->RemoveWidget(inner);
}

TEST_F(WidgetTree, RemovingAWidgetDuringItsOwnUpdateSkipsNoSibling) {
  RecordingWidget* a = Add("a", 0, 0, 10, 10);
  RecordingWidget* b = Add("b", 0, 0, 10, 10);
  RecordingWidget* c = Add("c", 0, 0, 10, 10);
  a->mOnUpdate = [&] { mManager.RemoveWidget(a); };
  b->mOnUpdate = [&] { mManager.RemoveWidget(b); };
  mManager.UpdateFrame();
  EXPECT_EQ(c->mUpdateCount, 1);
  EXPECT_EQ(mManager.mChildren.size(), 1u);
}

TEST_F(WidgetTree, ReorderingDuringTheWalkNeitherSkipsNorRevisits) {
  RecordingWidget* a = Add("a", 0, 0, 10, 10);
  RecordingWidget* b = Add("b", 0, 0, 10, 10);
  RecordingWidget* c = Add("c", 0, 0, 10, 10);
  Log order;
  a->mOnUpdate = [&] {
    order.push_back("a");
    mManager.PutInFront(a, nullptr);  // to the top
  };
  b->mOnUpdate = [&] { order.push_back("b"); };
  c->mOnUpdate = [&] { order.push_back("c"); };
  mManager.UpdateFrame();
  EXPECT_EQ(order, (Log{"a", "b", "c"}));
  EXPECT_EQ(mManager.mChildren.back(), a);
}

TEST_F(WidgetTree, ModalFlagsStopUpdatesBelowTheModalWidget) {
  RecordingWidget* under = Add("under", 0, 0, 10, 10);
  RecordingWidget* modal = Add("modal", 0, 0, 10, 10);
  mManager.AddBaseModal(modal, Kit::FlagsModifier{0, Kit::WIDGETFLAGS_UPDATE});
  mManager.UpdateFrame();
  EXPECT_EQ(under->mUpdateCount, 0);
  EXPECT_EQ(modal->mUpdateCount, 1);
  mManager.RemoveBaseModal(modal);
  mManager.UpdateFrame();
  EXPECT_EQ(under->mUpdateCount, 1);
}

TEST_F(WidgetTree, MarkDirtyFlagRedrawsEveryUpdate) {
  RecordingWidget* a = Add("a", 0, 0, 10, 10);
  a->mFlagsModifier.mAddMask = Kit::WIDGETFLAGS_MARK_DIRTY;
  ClearDirty();
  mManager.UpdateFrame();
  EXPECT_TRUE(a->mDirty);
}

TEST_F(WidgetTree, AddingTwiceAndRemovingStrangersAreNoOps) {
  RecordingWidget* a = Add("a", 0, 0, 10, 10);
  RecordingWidget* stranger = Make("s", 0, 0, 10, 10);
  mManager.AddWidget(a);
  EXPECT_EQ(mManager.mChildren.size(), 1u);
  mManager.RemoveWidget(stranger);
  mManager.PutInFront(stranger, a);
  EXPECT_EQ(mManager.mChildren.size(), 1u);
  EXPECT_EQ(stranger->mManager, nullptr);
}

TEST_F(WidgetTree, PutInFrontAndIsBelowFollowTheDrawingOrder) {
  RecordingWidget* a = Add("a", 0, 0, 10, 10);
  RecordingWidget* b = Add("b", 0, 0, 10, 10);
  RecordingWidget* c = Add("c", 0, 0, 10, 10);
  RecordingWidget* aChild = Make("ac", 0, 0, 1, 1);
  a->AddWidget(aChild);
  EXPECT_TRUE(mManager.IsBelow(a, c));
  EXPECT_TRUE(mManager.IsBelow(aChild, b));
  EXPECT_FALSE(mManager.IsBelow(c, a));
  EXPECT_FALSE(mManager.IsBelow(Make("x", 0, 0, 1, 1), Make("y", 0, 0, 1, 1)));
  mManager.PutInFront(c, a);
  EXPECT_EQ(mManager.mChildren, (std::list<Kit::Widget*>{a, c, b}));
  a->RemoveWidget(aChild);
}

TEST_F(WidgetTree, RemoveAllWidgetsCanDeleteWholeSubtrees) {
  int destroyed = 0;
  struct Counted : Kit::Widget {
    explicit Counted(int* counter) : mCounter(counter) {}
    ~Counted() override { ++*mCounter; }
    int* mCounter;
  };
  auto* parent = new Counted(&destroyed);
  parent->AddWidget(new Counted(&destroyed));
  mManager.AddWidget(parent);
  mManager.AddWidget(new Counted(&destroyed));
  mManager.RemoveAllWidgets(true, true);
  EXPECT_EQ(destroyed, 3);
  EXPECT_TRUE(mManager.mChildren.empty());
}

TEST(WidgetBasics, LayoutPlacesRelativeToAnotherWidget) {
  Kit::Widget reference;
  reference.Resize(100, 50, 25, 40);
  Kit::Widget widget;
  widget.Resize(0, 0, 10, 10);
  widget.Layout(Kit::LAY_HCenter, &reference, 0, 0, 0, 0);
  EXPECT_EQ(widget.mX, 107);
  widget.Layout(0x1200, &reference, 3, 4, 0, 0);  // below, same left
  EXPECT_EQ(widget.GetRect(), Kit::Rect(103, 94, 10, 10));
  widget.Layout(0x5003, &reference, 1, 2, 5, 6);  // same left, same top, same width and height
  EXPECT_EQ(widget.GetRect(), Kit::Rect(101, 52, 30, 46));
  widget.Layout(Kit::LAY_Right | Kit::LAY_SameTop | Kit::LAY_SameWidth | Kit::LAY_SameHeight, &reference, 5, 0, 0, 0);
  EXPECT_EQ(widget.GetRect(), Kit::Rect(130, 50, 25, 40));
  widget.Layout(Kit::LAY_GrowToRight, &reference, 0, 0, 0, 0);  // later bits see earlier results
  EXPECT_EQ(widget.mWidth, 100 + 25 - 130);
}

TEST(WidgetBasics, LayoutRelativeToTheParentUsesItsOrigin) {
  Kit::Widget parent;
  parent.Resize(300, 200, 100, 80);
  Kit::Widget child;
  child.Resize(0, 0, 20, 20);
  parent.AddWidget(&child);
  child.Layout(Kit::LAY_HCenter | Kit::LAY_VCenter, &parent, 0, 0, 0, 0);
  EXPECT_EQ(child.GetRect(), Kit::Rect(40, 30, 20, 20));
  parent.RemoveWidget(&child);
}

TEST(WidgetBasics, ContainsAndInsetRectUseParentCoordinates) {
  Kit::Widget widget;
  widget.Resize(10, 20, 30, 40);
  EXPECT_TRUE(widget.Contains(10, 20));
  EXPECT_FALSE(widget.Contains(40, 20));
  EXPECT_FALSE(widget.Contains(10, 60));
  widget.mHitInsets = Kit::Insets(1, 2, 3, 4);
  EXPECT_EQ(widget.GetInsetRect(), Kit::Rect(11, 22, 26, 34));
}

TEST_F(WidgetTree, AWidgetDeletedInTheTreeLeavesItFirst) {
  auto* doomed = new RecordingWidget("d", &mLog);
  doomed->Resize(0, 0, 50, 50);
  doomed->mWantsFocus = true;
  mManager.AddWidget(doomed);
  auto child = std::make_unique<RecordingWidget>("c", &mLog);
  doomed->AddWidget(child.get());
  mManager.MouseMoveEntry(10, 10);
  mManager.MouseDown(10, 10, 1);
  ASSERT_EQ(mManager.mFocusWidget, doomed);
  delete doomed;
  EXPECT_TRUE(mManager.mChildren.empty());
  EXPECT_EQ(mManager.mFocusWidget, nullptr);
  EXPECT_EQ(mManager.mOverWidget, nullptr);
  EXPECT_EQ(mManager.mLastDownWidget, nullptr);
  EXPECT_EQ(child->mParent, nullptr);
  EXPECT_EQ(child->mManager, nullptr);
  mManager.MouseUp(10, 10, 1);
  mManager.UpdateFrame();
}

TEST(WidgetLifetime, ManagerGoingFirstDetachesWhatItHeld) {
  Kit::Widget top;
  Kit::Widget inner;
  top.AddWidget(&inner);
  {
    Kit::WidgetManager manager(nullptr);
    manager.AddWidget(&top);
  }
  EXPECT_EQ(top.mParent, nullptr);
  EXPECT_EQ(top.mManager, nullptr);
  EXPECT_EQ(inner.mManager, nullptr);
  top.RemoveWidget(&inner);
}

}  // namespace
