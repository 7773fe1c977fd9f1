#include <gtest/gtest.h>

#include <string>

#include "framework/font/ImageFont.h"
#include "framework/graphics/Graphics.h"
#include "framework/widget/ListWidget.h"
#include "framework/widget/ScrollbarWidget.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/Canvas.h"
#include "tests/support/TempDir.h"

namespace ControlsTest {
namespace {

using Lines = std::vector<std::string>;

// A list at (100, 100), 120 x 108: rows of the block font's 10 pixels, 10 of them visible, with its
// scroll bar to the right and a second column chained to it.
class ListInput : public ControlsFixture {
 protected:
  ListInput() {
    mList.mScrollbar = &mBar;
    mList.mNextColumn = &mSecond;
    mSecond.mPrevColumn = &mList;
    mList.Resize(100, 100, 120, 108);
    mSecond.Resize(220, 100, 60, 108);
    mBar.ResizeScrollbar(280, 100, 16, 108);
    mManager.AddWidget(&mList);
    mManager.AddWidget(&mSecond);
    mManager.AddWidget(&mBar);
  }
  void Fill(int count) {
    for (int i = 0; i < count; ++i) mList.AddLine("line " + std::to_string(i), false);
  }

  KitTest::BlockFont mFont;
  ListEvents mEvents;
  Kit::ListWidget mList{3, &mFont, &mEvents};
  Kit::ListWidget mSecond{4, &mFont, nullptr};
  Kit::ScrollbarWidget mBar{0, &mList};
};

TEST_F(ListInput, AlphabeticalAddGoesBeforeTheFirstGreaterLineIgnoringCaseAndFillsTheOtherColumn) {
  mList.AddLine("a", false);
  mList.AddLine("C", false);
  mSecond.SetLine(0, "x");
  mSecond.SetLine(1, "y");
  EXPECT_EQ(mList.AddLine("b", true), 1);
  EXPECT_EQ(mList.mRows, (Lines{"a", "b", "C"}));
  EXPECT_EQ(mSecond.mRows, (Lines{"x", "-", "y"}));
  EXPECT_EQ(mSecond.mRowColors.size(), 3u);
  EXPECT_DOUBLE_EQ(mBar.mMaxValue, 3);
  EXPECT_EQ(mList.AddLine("zz", true), 3);
}

TEST_F(ListInput, SortingByPaddedKeysPutsNumbersInOrderAndCarriesTheChain) {
  mList.mKeyPadWidth = 3;
  for (const char* text : {"12", "7", "100"}) mList.AddLine(text, false);
  mSecond.SetLine(0, "twelve");
  mSecond.SetLine(1, "seven");
  mSecond.SetLine(2, "hundred");
  mList.SetLineColor("7", Kit::Color(200, 0, 0));
  EXPECT_EQ(mList.GetSortKey(1), "007seven");
  mList.Sort(true);
  EXPECT_EQ(mList.mRows, (Lines{"7", "12", "100"}));
  EXPECT_EQ(mSecond.mRows, (Lines{"seven", "twelve", "hundred"}));
  EXPECT_EQ(mList.mRowColors[0], Kit::Color(200, 0, 0));
  EXPECT_EQ(mSecond.mRowColors[0], Kit::Color(200, 0, 0));
  mList.Sort(false);
  EXPECT_EQ(mList.mRows, (Lines{"100", "12", "7"}));
}

TEST_F(ListInput, SortKeepsTheOrderOfEqualKeysAndCanLeadWithTheNextColumn) {
  for (const char* text : {"b", "a", "b", "a"}) mList.AddLine(text, false);
  for (int i = 0; i < 4; ++i) mSecond.SetLine(i, std::to_string(i));
  mSecond.mKeyPadWidth = 0;
  mList.Sort(true);
  EXPECT_EQ(mList.mRows, (Lines{"a", "a", "b", "b"}));
  EXPECT_EQ(mSecond.mRows, (Lines{"1", "3", "0", "2"}));
  mList.mChildKeyFirst = true;
  mList.Sort(false);  // by the second column first: 3, 2, 1, 0
  EXPECT_EQ(mSecond.mRows, (Lines{"3", "2", "1", "0"}));
  EXPECT_EQ(mList.mRows, (Lines{"a", "b", "a", "b"}));
}

TEST_F(ListInput, HoverFollowsThePointerInEveryColumnAndTheTopMarginIsRowZero) {
  Fill(5);
  mEvents.log.clear();
  MoveTo(150, 101);
  EXPECT_EQ(mList.mHoverRow, 0);
  EXPECT_EQ(mSecond.mHoverRow, 0);
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_HAND);
  MoveTo(150, 100 + 4 + 25);
  EXPECT_EQ(mList.mHoverRow, 2);
  MoveTo(150, 100 + 4 + 60);  // below the last line
  EXPECT_EQ(mList.mHoverRow, -1);
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_POINTER);
  EXPECT_EQ(mEvents.log, (Log{"hilite 3 -1>0", "hilite 3 0>2", "hilite 3 2>-1"}));
  MoveTo(150, 105);
  MoveTo(10, 10);  // leaving clears the hover everywhere
  EXPECT_EQ(mList.mHoverRow, -1);
  EXPECT_EQ(mSecond.mHoverRow, -1);
}

TEST_F(ListInput, APressReportsTheHoveredLineButDoesNotSelectIt) {
  Fill(5);
  mEvents.log.clear();
  MoveTo(150, 100 + 4 + 15);
  Press(150, 100 + 4 + 15, 2);
  Release(150, 100 + 4 + 15, 2);
  EXPECT_EQ(mEvents.log.back(), "clicked 3 1 2");
  EXPECT_EQ(mList.mSelectedRow, -1);
  mList.SetSelect(1);
  EXPECT_EQ(mSecond.mSelectedRow, 1);
}

TEST_F(ListInput, TheWheelScrollsFiveLinesPerNotchAndTheColumnsScrollTogether) {
  Fill(30);  // 10 visible, 20 to scroll
  EXPECT_DOUBLE_EQ(mBar.mPageSize, 10);
  mManager.SetFocus(&mList);
  mManager.MouseWheel(-1);
  EXPECT_DOUBLE_EQ(mList.mScrollPos, 5);
  EXPECT_DOUBLE_EQ(mSecond.mScrollPos, 5);
  mManager.MouseWheel(-360);
  mManager.MouseWheel(-120);
  mManager.MouseWheel(-120);
  EXPECT_DOUBLE_EQ(mList.mScrollPos, 20);  // held at the end
  mManager.MouseWheel(120);
  EXPECT_DOUBLE_EQ(mList.mScrollPos, 15);
  MoveTo(150, 100 + 4 + 5);
  EXPECT_EQ(mList.mHoverRow, 15);
}

TEST_F(ListInput, RemovingLines) {
  Fill(4);
  mList.SetSelect(2);
  MoveTo(150, 105);
  mList.RemoveLine(-1);
  mList.RemoveLine(99);
  EXPECT_EQ(mList.GetLineCount(), 4);
  mList.RemoveLine(1);
  EXPECT_EQ(mList.mRows, (Lines{"line 0", "line 2", "line 3"}));
  EXPECT_EQ(mSecond.GetLineCount(), 3);
  EXPECT_DOUBLE_EQ(mBar.mMaxValue, 3);
  mList.RemoveAll();
  for (Kit::ListWidget* list : {&mList, &mSecond}) {
    EXPECT_EQ(list->GetLineCount(), 0);
    EXPECT_EQ(list->mHoverRow, -1);
    EXPECT_EQ(list->mSelectedRow, -1);
  }
  EXPECT_DOUBLE_EQ(mBar.mMaxValue, 0);
  EXPECT_EQ(mList.GetStringAt(0), "");
}

TEST_F(ListInput, LookupsAndSizes) {
  Fill(3);
  EXPECT_EQ(mList.GetLineIdx("line 2"), 2);
  EXPECT_EQ(mList.GetLineIdx("nope"), -1);
  EXPECT_EQ(mList.GetOptimalWidth(), 6 * 6 + 16);
  EXPECT_EQ(mList.GetOptimalHeight(), 3 * 10 + 8);
  mList.RemoveAll();
  EXPECT_EQ(mList.GetOptimalHeight(), 8);
  mList.Resize(100, 100, 120, 12);  // shorter than a row and its margins: one row
  EXPECT_DOUBLE_EQ(mList.mVisibleRows, 1.0);
}

TEST_F(ListInput, BroughtToTheFrontItKeepsItsColumnAndScrollBarDirectlyAbove) {
  Kit::Widget other;
  other.Resize(0, 0, 10, 10);
  mManager.AddWidget(&other);
  mManager.PutInFront(&mList, &other);
  std::vector<Kit::Widget*> order(mManager.mChildren.begin(), mManager.mChildren.end());
  EXPECT_EQ(order, (std::vector<Kit::Widget*>{&other, &mList, &mBar, &mSecond}));
  mManager.RemoveWidget(&other);
}

TEST_F(ListInput, LeavingTheManagerTellsTheListener) {
  mManager.RemoveWidget(&mList);
  EXPECT_EQ(mEvents.log.back(), "removed 3");
}

TEST(ListChain, ALongListSortsStablyInOrder) {
  KitTest::BlockFont font;
  Kit::ListWidget list(1, &font, nullptr);
  Kit::ListWidget column(2, &font, nullptr);
  list.mNextColumn = &column;
  column.mPrevColumn = &list;
  list.mChildKeyFirst = true;
  constexpr int kCount = 20000;
  for (int i = 0; i < kCount; ++i) list.AddLine(std::to_string(i), false);
  for (int i = 0; i < kCount; ++i) column.SetLine(i, std::string(1, static_cast<char>('a' + i % 3)));
  list.mKeyPadWidth = 5;
  list.Sort(true);
  for (int i = 1; i < kCount; ++i) {
    const bool ordered =
        column.mRows[i - 1] < column.mRows[i] ||
        (column.mRows[i - 1] == column.mRows[i] && std::stoi(list.mRows[i - 1]) < std::stoi(list.mRows[i]));
    ASSERT_TRUE(ordered) << i;
  }
}

TEST(ListChain, AChainLinkedInACircleStillEnds) {
  KitTest::BlockFont font;
  Kit::ListWidget a(1, &font, nullptr);
  Kit::ListWidget b(2, &font, nullptr);
  a.mNextColumn = &b;
  b.mNextColumn = &a;
  a.mPrevColumn = &b;
  b.mPrevColumn = &a;
  a.AddLine("x", false);
  EXPECT_EQ(a.GetLineCount(), 1);
  EXPECT_EQ(b.GetLineCount(), 1);
  a.ScrollPosition(0, 2);
  a.Sort(true);
  EXPECT_FALSE(a.GetSortKey(0).empty());
}

TEST(ListChain, AListWithoutAFontHasRowsOfOnePixelRatherThanNone) {
  Kit::ListWidget list(1, nullptr, nullptr);
  list.AddLine("x", false);
  list.Resize(0, 0, 50, 50);
  EXPECT_DOUBLE_EQ(list.mVisibleRows, 42.0);
  list.MouseMove(5, 4);
  EXPECT_EQ(list.mHoverRow, 0);
}

// A line far longer than the list (65,535 letters, the longest name a player file holds) shows the
// letters that fall inside the list. The image font's 'a' is 3 lit columns on an advance of 4, so the
// row's pattern also tells that each letter is where the whole line puts it.
class ListLongLine : public ::testing::TestWithParam<int> {};  // the line's alignment

TEST_P(ListLongLine, ShowsTheLettersThatFallInsideTheList) {
  constexpr int kWidth = 200, kMargin = 4, kAdvance = 4, kLength = 65535;
  auto sheet = testsupport::Canvas(kAdvance, 8, 0xFFFFFFFF);
  for (int y = 0; y < 8; ++y) sheet->GetBits()[y * kAdvance + kAdvance - 1] = 0;
  sheet->BitsChanged();
  const testsupport::TempDir dir;
  Kit::ImageFont font(sheet.get(), dir.Write("widths.txt", "4 8 a 4"));  // space, ascent, 'a' and its width
  Kit::ListWidget list(1, &font, nullptr);
  list.mTextAlign = GetParam();
  list.Resize(0, 0, kWidth, 30);
  list.AddLine(std::string(kLength, 'a'), false);
  auto canvas = testsupport::Canvas(kWidth, 30, 0);
  Kit::Graphics g(canvas.get());
  list.Draw(&g);
  const int lineX = GetParam() == Kit::ListWidget::JUSTIFY_CENTER ? (kWidth - kAdvance * kLength) / 2
                                                                  : kWidth - kAdvance * kLength - kMargin;
  for (int x = kMargin; x < kWidth - kMargin; ++x) {  // halfway down the glyphs of the first row
    const bool lit = (x - lineX) % kAdvance < kAdvance - 1;
    ASSERT_EQ(canvas->GetBits()[(kMargin + 4) * kWidth + x], lit ? 0xFF000000u : 0xFFFFFFFFu) << "x " << x;
  }
}

INSTANTIATE_TEST_SUITE_P(Aligned, ListLongLine,
                         ::testing::Values(Kit::ListWidget::JUSTIFY_CENTER, Kit::ListWidget::JUSTIFY_RIGHT),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == Kit::ListWidget::JUSTIFY_CENTER ? "Centred" : "Right");
                         });

}  // namespace
}  // namespace ControlsTest
