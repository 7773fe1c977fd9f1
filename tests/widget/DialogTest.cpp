#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/font/SysFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widget/Dialog.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/FallbackFont.h"
#include "tests/widget/BlockFont.h"
#include "tests/widget/WidgetTestSupport.h"

using Log = std::vector<std::string>;

namespace {

// Counts its own destruction, so tests can see when deferred deletion happened.
class CountedDialog : public Kit::Dialog {
 public:
  CountedDialog(int id, bool modal, int buttonMode, int* destroyed)
      : Dialog(nullptr, nullptr, id, modal, "Header", "Body text", "", buttonMode), mDestroyed(destroyed) {}
  ~CountedDialog() override { ++*mDestroyed; }
  int* mDestroyed;
};

class Dialogs : public KitTest::WidgetFixture {
 protected:
  static Kit::Point Centre(Kit::Widget* widget) {
    const Kit::Point pos = widget->GetAbsPos();
    return Kit::Point(pos.mX + widget->mWidth / 2, pos.mY + widget->mHeight / 2);
  }
  void QueueClickOn(Kit::Widget* widget) {
    const Kit::Point c = Centre(widget);
    mApp.QueueClick(c.mX, c.mY);
  }
  CountedDialog* AddCounted(int id, bool modal, int buttonMode) {
    auto* dialog = new CountedDialog(id, modal, buttonMode, &mDestroyed);
    mApp.AddDialog(id, dialog);
    return dialog;
  }

  int mDestroyed = 0;
};

TEST(DialogFaces, ADialogGivenNoFontsMakesSystemFontsForItsTextAndItsButton) {
  ASSERT_NE(Kit::GetFallbackFontFactory(), nullptr) << "a program's widgets start with the system face";
  Kit::Dialog dialog(nullptr, nullptr, 10, true, "Warning", "Your video card", "OK", Kit::kButtonsFooter);
  dialog.GetPreferredHeight(400);
  EXPECT_NE(dynamic_cast<Kit::SysFont*>(dialog.mHeaderFont), nullptr);
  EXPECT_NE(dynamic_cast<Kit::SysFont*>(dialog.mBodyFont), nullptr);
  std::unique_ptr<Kit::Font> label(Kit::MakeFallbackFont(nullptr, 12, 1));
  EXPECT_NE(dynamic_cast<Kit::SysFont*>(label.get()), nullptr);
}

TEST_F(Dialogs, TwoButtonsShareTheWidthBetweenTheInsets) {
  Kit::Dialog dialog(nullptr, nullptr, 1, false, "", "", "", Kit::kButtonsOkCancel);
  dialog.Resize(50, 60, 300, 200);
  EXPECT_EQ(dialog.mYesButton->GetRect(), Kit::Rect(74, 60 + 200 - 24 - 24, 122, 24));
  EXPECT_EQ(dialog.mNoButton->mX - dialog.mYesButton->mX, 130);
  EXPECT_EQ(dialog.mYesButton->mLabel, "OK");
  EXPECT_EQ(dialog.mNoButton->mLabel, "CANCEL");
  EXPECT_EQ(dialog.mNoButton->mId, Kit::kIdCancel);
}

TEST_F(Dialogs, FooterModeShowsTheFooterOnlyOnItsButton) {
  Kit::Dialog withFooterButton(nullptr, nullptr, 1, false, "", "", "Close", Kit::kButtonsFooter);
  Kit::Dialog withFooterLine(nullptr, nullptr, 2, false, "", "", "Close", Kit::kButtonsNone);
  EXPECT_EQ(withFooterButton.mYesButton->mLabel, "Close");
  EXPECT_EQ(withFooterButton.mNoButton, nullptr);
  EXPECT_EQ(withFooterLine.mYesButton, nullptr);
  // insets 48, then 8 + 24 for the button; the footer line is not counted
  EXPECT_EQ(withFooterButton.GetPreferredHeight(300), 48 + 8 + 24);
  // insets 48, then the header font's line spacing (10) for the footer line
  EXPECT_EQ(withFooterLine.GetPreferredHeight(300), 48 + 10);
  withFooterButton.Resize(0, 0, 300, 100);
  EXPECT_EQ(withFooterButton.mYesButton->GetRect(), Kit::Rect(24, 52, 252, 24));
}

TEST_F(Dialogs, PreferredHeightCountsHeaderGapAndBody) {
  Kit::Dialog dialog(nullptr, nullptr, 1, false, "Head", "Body", "", Kit::kButtonsYesNo);
  // 48 insets + header 10 + gap 10 + body (one line of the 10-high face) + 8 + 8 + 24
  const int body = [] {
    Kit::Graphics measure(nullptr);
    KitTest::BlockFont font;
    measure.SetFont(&font);
    return measure.GetWordWrappedHeight(300 - 48 - 4, "Body", font.GetLineSpacing());
  }();
  EXPECT_EQ(dialog.GetPreferredHeight(300), 48 + 10 + 10 + body + 8 + 8 + 24);
}

TEST_F(Dialogs, DraggingStopsEightPixelsPastTheScreenEdgeAndTakesTheButtonsAlong) {
  Kit::Dialog* dialog = mApp.DoDialog(3, false, "Drag me", "", "", Kit::kButtonsYesNo);
  const int offset = dialog->mYesButton->mX - dialog->mX;
  const Kit::Point grab(dialog->mX + 30, dialog->mY + 30);
  mManager.MouseDown(grab.mX, grab.mY, 1);
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_DRAGGING);
  mManager.MouseMoveEntry(grab.mX - 1000, grab.mY);
  EXPECT_EQ(dialog->mX, -8);
  mManager.MouseMoveEntry(grab.mX + 5000, grab.mY + 5000);
  EXPECT_EQ(dialog->mX, 800 - dialog->mWidth + 8);
  EXPECT_EQ(dialog->mY, 600 - dialog->mHeight + 8);
  EXPECT_EQ(dialog->mYesButton->mX - dialog->mX, offset);
  mManager.MouseUp(grab.mX, grab.mY, 1);
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_POINTER);
  EXPECT_FALSE(dialog->mDragging);
}

TEST_F(Dialogs, UnsizedDialogIsCentredAtAFifthOfTheHeight) {
  Kit::Dialog* dialog = mApp.DoDialog(5, false, "Hello", "World", "", Kit::kButtonsOkCancel);
  EXPECT_EQ(dialog->mX, 200);
  EXPECT_EQ(dialog->mY, 120);
  EXPECT_EQ(dialog->mWidth, 400);
  EXPECT_EQ(dialog->mHeight, dialog->GetPreferredHeight(400));
  EXPECT_EQ(mApp.GetDialog(5), dialog);
  EXPECT_EQ(mApp.GetDialogCount(), 1);
}

TEST_F(Dialogs, CompanionButtonsStayDirectlyAboveTheirDialog) {
  Kit::Dialog* dialog = mApp.DoDialog(5, false, "Hello", "", "", Kit::kButtonsYesNo);
  Kit::Widget other;
  mManager.AddWidget(&other);
  mManager.PutInFront(dialog, &other);
  auto it = std::find(mManager.mChildren.begin(), mManager.mChildren.end(), dialog);
  ASSERT_NE(it, mManager.mChildren.end());
  std::vector<Kit::Widget*> aboveDialog(std::next(it), mManager.mChildren.end());
  ASSERT_EQ(aboveDialog.size(), 2u);
  EXPECT_TRUE((aboveDialog[0] == dialog->mYesButton || aboveDialog[0] == dialog->mNoButton));
  EXPECT_TRUE((aboveDialog[1] == dialog->mYesButton || aboveDialog[1] == dialog->mNoButton));
  EXPECT_EQ(dialog->mYesButton->mParent, &mManager);
  mApp.KillDialog(5);
  EXPECT_EQ(mManager.mChildren, (std::list<Kit::Widget*>{&other}));
  mManager.RemoveWidget(&other);
}

TEST_F(Dialogs, ModalDialogBlocksTheScreenBeneathUntilKilled) {
  KitTest::ButtonEvents events;
  Kit::ButtonWidget below(1, &events);
  below.Resize(0, 0, 800, 600);
  mManager.AddWidget(&below);
  CountedDialog* dialog = AddCounted(9, true, Kit::kButtonsYesNo);
  EXPECT_EQ(mApp.mModalOpens, 1);
  EXPECT_EQ(mManager.mBaseModalWidget, dialog);
  mManager.MouseDown(5, 5, 1);
  mManager.MouseUp(5, 5, 1);
  EXPECT_TRUE(events.log.empty());
  EXPECT_TRUE(mApp.KillDialog(9));
  EXPECT_FALSE(mApp.KillDialog(9));
  EXPECT_EQ(mApp.mModalCloses, 1);
  EXPECT_EQ(mManager.mBaseModalWidget, nullptr);
  mManager.MouseDown(5, 5, 1);
  mManager.MouseUp(5, 5, 1);
  EXPECT_FALSE(events.log.empty());
  mApp.ProcessSafeDeleteList();
  EXPECT_EQ(mDestroyed, 1);
  mManager.RemoveWidget(&below);
}

TEST_F(Dialogs, ButtonsReachTheApplicationAsDialogIdPlus2000And3000) {
  Kit::Dialog* dialog = mApp.DoDialog(7, true, "Quit?", "Really?", "", Kit::kButtonsYesNo);
  QueueClickOn(dialog->mYesButton);
  QueueClickOn(dialog->mNoButton);
  for (int i = 0; i < 8; ++i) mApp.UpdateAppStep(nullptr);
  EXPECT_EQ(mApp.mButtonLog, (Log{"press 2007", "depress 2007", "press 3007", "depress 3007"}));
  EXPECT_EQ(dialog->mResult, Kit::kIdNo);
}

TEST_F(Dialogs, AOneButtonBoxOfDoDialogClosesOnItsButtonOnceTheApplicationHeardOfIt) {
  Kit::Dialog* box = mApp.DoDialog(10, true, "Warning", "Your video card", "OK", Kit::kButtonsFooter);
  QueueClickOn(box->mYesButton);
  for (int i = 0; i < 4; ++i) mApp.UpdateAppStep(nullptr);
  EXPECT_EQ(mApp.mButtonLog, (Log{"press 2010", "depress 2010"}));
  EXPECT_EQ(mApp.GetDialog(10), nullptr) << "closed, and deleted at the loop's next safe point";
  EXPECT_EQ(mApp.mModalCloses, 1);
  EXPECT_EQ(mManager.mBaseModalWidget, nullptr) << "the screen below takes input again";

  // A listener that answers with the next box under the same id keeps that one open.
  Kit::Dialog* first = mApp.DoDialog(10, true, "Not Supported", "", "OK", Kit::kButtonsFooter);
  Kit::Dialog* next = nullptr;
  mApp.mOnDepress = [&](int) { next = mApp.DoDialog(10, true, "Warning", "", "OK", Kit::kButtonsFooter); };
  QueueClickOn(first->mYesButton);
  for (int i = 0; i < 4; ++i) mApp.UpdateAppStep(nullptr);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(mApp.GetDialog(10), next);
  mApp.mOnDepress = nullptr;

  // Boxes with two buttons are the application's to close.
  Kit::Dialog* question = mApp.DoDialog(7, true, "Quit?", "Really?", "", Kit::kButtonsYesNo);
  QueueClickOn(question->mYesButton);
  for (int i = 0; i < 4; ++i) mApp.UpdateAppStep(nullptr);
  EXPECT_EQ(mApp.GetDialog(7), question);
}

TEST_F(Dialogs, WaitForResultRunsTheLoopUntilAButtonIsReleased) {
  CountedDialog* dialog = AddCounted(4, true, Kit::kButtonsOkCancel);
  int result = 0;
  // A handler of the outer loop waits; the nested loop takes the click that follows in the queue.
  mApp.mInput.push_back([&](Kit::WidgetManager&) {
    result = dialog->WaitForResult(true);
    EXPECT_EQ(mDestroyed, 0);
  });
  QueueClickOn(dialog->mYesButton);
  mApp.UpdateAppStep(nullptr);
  EXPECT_EQ(result, Kit::kIdOk);
  EXPECT_EQ(mApp.GetDialog(4), nullptr);
  EXPECT_EQ(mDestroyed, 0);
  mApp.UpdateAppStep(nullptr);
  mApp.UpdateAppStep(nullptr);
  EXPECT_EQ(mDestroyed, 1);
}

TEST_F(Dialogs, WaitEndsWithNoResultWhenTheDialogIsRemoved) {
  CountedDialog* dialog = AddCounted(4, true, Kit::kButtonsOkCancel);
  mApp.mInput.push_back([this](Kit::WidgetManager&) { mApp.KillDialog(4); });
  EXPECT_EQ(dialog->WaitForResult(false), Kit::kNoDialogResult);
  EXPECT_EQ(mDestroyed, 0);  // still alive for the caller of the wait
  mApp.ProcessSafeDeleteList();
  EXPECT_EQ(mDestroyed, 1);
}

TEST_F(Dialogs, DialogClosedFromItsOwnButtonHandlerInsideItsWaitStaysAliveUntilTheWaitReturns) {
  CountedDialog* dialog = AddCounted(4, true, Kit::kButtonsOkCancel);
  mApp.mOnDepress = [this](int id) {
    EXPECT_TRUE(mApp.KillDialog(id - 2000));
    EXPECT_EQ(mDestroyed, 0);
  };
  QueueClickOn(dialog->mYesButton);
  // An outer step is running, as when a screen's handler opens the dialog and waits.
  ++mApp.mUpdateDepth;
  const int result = dialog->WaitForResult(true);
  EXPECT_EQ(result, Kit::kIdOk);
  EXPECT_EQ(mDestroyed, 0);
  mApp.ProcessSafeDeleteList();
  EXPECT_EQ(mDestroyed, 1);
  --mApp.mUpdateDepth;
}

TEST_F(Dialogs, ReplacingADialogDeletesTheOldOneAtTheNextSafePoint) {
  AddCounted(2, false, Kit::kButtonsNone);
  CountedDialog* second = AddCounted(2, false, Kit::kButtonsNone);
  EXPECT_EQ(mApp.GetDialog(2), second);
  EXPECT_EQ(mApp.GetDialogCount(), 1);
  EXPECT_EQ(mDestroyed, 0);
  mApp.ProcessSafeDeleteList();
  EXPECT_EQ(mDestroyed, 1);
  mApp.AddDialog(2, second);  // the same dialog again is not replaced by itself
  mApp.ProcessSafeDeleteList();
  EXPECT_EQ(mDestroyed, 1);
  EXPECT_EQ(mApp.GetDialog(2), second);
}

TEST_F(Dialogs, ApplicationDeletesTheDialogsStillOpen) {
  int destroyed = 0;
  {
    KitTest::ScriptedApp app;
    app.AddDialog(1, new CountedDialog(1, true, Kit::kButtonsYesNo, &destroyed));
    app.AddDialog(2, new CountedDialog(2, false, Kit::kButtonsNone, &destroyed));
  }
  EXPECT_EQ(destroyed, 2);
}

TEST_F(Dialogs, SetColourPassesButtonColoursOnAndFontsAreCopies) {
  Kit::Dialog dialog(nullptr, nullptr, 1, false, "", "", "", Kit::kButtonsYesNo);
  dialog.SetColor(3, Kit::Color(1, 2, 3));
  dialog.SetColor(4, Kit::Color(4, 5, 6));
  EXPECT_EQ(dialog.mNoButton->GetColorRef(0), Kit::Color(1, 2, 3));
  EXPECT_EQ(dialog.mYesButton->GetColorRef(1), Kit::Color(4, 5, 6));
  KitTest::BlockFont font;
  dialog.SetHeaderFont(&font);
  dialog.SetLinesFont(&font);
  dialog.SetButtonFont(&font);
  EXPECT_NE(dialog.mHeaderFont, &font);
  EXPECT_NE(dialog.mBodyFont, &font);
  EXPECT_NE(dialog.mYesButton->mFont, &font);
  EXPECT_NE(dialog.mYesButton->mFont, dialog.mNoButton->mFont);
}

TEST_F(Dialogs, ADialogWithoutButtonImageTurnsLaterDefaultButtonLabelsBlack) {
  Kit::MemoryImage buttonImage;
  Kit::Dialog first(nullptr, nullptr, 1, false, "", "", "", Kit::kButtonsYesNo);
  EXPECT_EQ(first.GetColorRef(3), Kit::Color(0, 0, 0));
  Kit::Dialog second(nullptr, &buttonImage, 2, false, "", "", "", Kit::kButtonsYesNo);
  EXPECT_EQ(second.GetColorRef(3), Kit::Color(0, 0, 0));
  EXPECT_EQ(second.GetColorRef(4), Kit::Color(0, 0, 0));
  EXPECT_EQ(second.GetColorRef(1), Kit::Color(255, 255, 0));
}

TEST_F(Dialogs, WidgetsQueuedWhileStillInTheTreeOrRegistryLeaveBeforeTheyGo) {
  CountedDialog* dialog = AddCounted(6, true, Kit::kButtonsYesNo);
  Kit::Widget* screen = new Kit::Widget();
  mManager.AddWidget(screen);
  mManager.SetFocus(screen);
  mApp.SafeDeleteWidget(dialog);  // without KillDialog first
  mApp.SafeDeleteWidget(screen);  // without removing it first
  mApp.SafeDeleteWidget(screen);  // twice
  mApp.ProcessSafeDeleteList();
  EXPECT_EQ(mDestroyed, 1);
  EXPECT_EQ(mApp.GetDialog(6), nullptr);
  EXPECT_EQ(mApp.mModalCloses, 1);
  EXPECT_EQ(mManager.mBaseModalWidget, nullptr);
  EXPECT_TRUE(mManager.mSavedModalList.empty());
  EXPECT_TRUE(mManager.mChildren.empty());
  EXPECT_EQ(mManager.mFocusWidget, nullptr);
}

}  // namespace
