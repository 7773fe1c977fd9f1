#include <gtest/gtest.h>

#include <cctype>

#include "framework/widget/EditWidget.h"
#include "framework/widget/KeyCodes.h"
#include "tests/controls/ControlsTestSupport.h"

namespace ControlsTest {
namespace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kEnd = 35;
constexpr int kHome = 36;
constexpr int kLeft = 37;
constexpr int kRight = 39;
constexpr int kDelete = 46;

// The virtual key a character is typed with on a US keyboard, and whether Shift is needed.
std::pair<int, bool> KeyOf(char c) {
  if (c >= 'a' && c <= 'z') return {std::toupper(static_cast<unsigned char>(c)), false};
  if (c >= 'A' && c <= 'Z') return {c, true};
  if ((c >= '0' && c <= '9') || c == ' ') return {c, false};
  if (c == '!') return {'1', true};
  return {0xBA, false};  // the punctuation key
}

// An edit box at (10, 10), 200 x 20, in the block font (6 pixels a character), with the focus.
class EditInput : public ControlsFixture {
 protected:
  EditInput() {
    mEdit.Resize(10, 10, 200, 20);
    mManager.AddWidget(&mEdit);
    mManager.SetFocus(&mEdit);
  }

  void Key(int keyCode) {
    mManager.KeyDown(keyCode);
    mManager.KeyUp(keyCode);
  }
  void ShiftKey(int keyCode) {
    mManager.KeyDown(Kit::KEYCODE_SHIFT);
    Key(keyCode);
    mManager.KeyUp(Kit::KEYCODE_SHIFT);
  }
  // Ctrl with a letter: the key press, then the control character the keyboard makes of it.
  void Ctrl(char letter) {
    mManager.KeyDown(Kit::KEYCODE_CONTROL);
    mManager.KeyDown(letter);
    mManager.KeyChar(static_cast<char>(letter - 'A' + 1));
    mManager.KeyUp(letter);
    mManager.KeyUp(Kit::KEYCODE_CONTROL);
  }
  void CtrlKey(int keyCode) {
    mManager.KeyDown(Kit::KEYCODE_CONTROL);
    Key(keyCode);
    mManager.KeyUp(Kit::KEYCODE_CONTROL);
  }
  // Each character as a keyboard sends it: key down, the character, key up.
  void Type(const std::string& text) {
    for (char c : text) {
      const auto [key, shift] = KeyOf(c);
      if (shift) mManager.KeyDown(Kit::KEYCODE_SHIFT);
      mManager.KeyDown(key);
      mManager.KeyChar(c);
      mManager.KeyUp(key);
      if (shift) mManager.KeyUp(Kit::KEYCODE_SHIFT);
    }
  }
  std::string Selected() {
    if (mEdit.mAnchor == -1) return "";
    const int low = std::min(mEdit.mAnchor, mEdit.mCaret);
    return mEdit.mText.substr(low, std::abs(mEdit.mAnchor - mEdit.mCaret));
  }

  EditEvents mEvents;
  Kit::EditWidget mEdit{5, &mEvents};
};

TEST_F(EditInput, TypedCharactersUndoAsOneStepAndASecondUndoRedoes) {
  Type("abc");
  EXPECT_EQ(mEdit.mText, "abc");
  EXPECT_EQ(mEdit.mCaret, 3);
  Ctrl('Z');
  EXPECT_EQ(mEdit.mText, "");
  Ctrl('Z');
  EXPECT_EQ(mEdit.mText, "abc");
}

TEST_F(EditInput, ARunOfBackspacesIsOneUndoStep) {
  mEdit.SetText("hello", true);
  Key(kEnd);
  Key(kBackspace);
  Key(kBackspace);
  Key(kBackspace);
  EXPECT_EQ(mEdit.mText, "he");
  Ctrl('Z');
  EXPECT_EQ(mEdit.mText, "hello");
}

TEST_F(EditInput, BackspaceAtTheStartChangesNothing) {
  Type("ab");
  Key(kHome);
  Key(kBackspace);
  EXPECT_EQ(mEdit.mText, "ab");
  EXPECT_EQ(mEdit.mCaret, 0);
  Key(kDelete);
  EXPECT_EQ(mEdit.mText, "b");
  Key(kEnd);
  Key(kDelete);
  EXPECT_EQ(mEdit.mText, "b");
}

TEST_F(EditInput, ShiftWithArrowsSelectsAndATypedKeyReplacesTheSelection) {
  Type("hello world");
  Key(kHome);
  for (int i = 0; i < 5; ++i) ShiftKey(kRight);
  EXPECT_EQ(Selected(), "hello");
  // A digit's key press arrives before its character; it must not drop the selection.
  Type("5");
  EXPECT_EQ(mEdit.mText, "5 world");
  EXPECT_EQ(mEdit.mAnchor, -1);

  ShiftKey(kEnd);
  Type("z");  // the last letter of the alphabet is a letter key too
  EXPECT_EQ(mEdit.mText, "5z");
  for (int i = 0; i < 2; ++i) ShiftKey(kLeft);
  Type(" ");
  EXPECT_EQ(mEdit.mText, " ");
}

TEST_F(EditInput, CapitalsTypedWithShiftHeldAreJustCharacters) {
  Type("HI there!");
  EXPECT_EQ(mEdit.mText, "HI there!");
  EXPECT_EQ(mEdit.mAnchor, -1);
}

TEST_F(EditInput, ArrowsWithoutShiftCollapseTheSelectionToItsEnds) {
  Type("abcdef");
  Key(kHome);
  Key(kRight);
  ShiftKey(kRight);
  ShiftKey(kRight);
  Key(kLeft);
  EXPECT_EQ(mEdit.mCaret, 1);
  EXPECT_EQ(mEdit.mAnchor, -1);
  ShiftKey(kRight);
  ShiftKey(kRight);
  Key(kRight);
  EXPECT_EQ(mEdit.mCaret, 3);
}

TEST_F(EditInput, ControlArrowsJumpByWords) {
  Type("hello big_world, x");
  Key(kHome);
  CtrlKey(kRight);
  EXPECT_EQ(mEdit.mCaret, 6);
  CtrlKey(kRight);
  EXPECT_EQ(mEdit.mCaret, 17);
  CtrlKey(kRight);
  EXPECT_EQ(mEdit.mCaret, 18);
  CtrlKey(kLeft);
  EXPECT_EQ(mEdit.mCaret, 17);
  CtrlKey(kLeft);
  EXPECT_EQ(mEdit.mCaret, 6);
  CtrlKey(kLeft);
  EXPECT_EQ(mEdit.mCaret, 0);
}

TEST_F(EditInput, CutCopyAndPasteGoThroughTheClipboard) {
  Type("copy me");
  Key(kHome);
  for (int i = 0; i < 4; ++i) ShiftKey(kRight);
  Ctrl('C');
  EXPECT_EQ(mApp.GetClipboard(), "copy");
  EXPECT_EQ(Selected(), "copy");  // copying keeps the selection
  Ctrl('X');
  EXPECT_EQ(mEdit.mText, " me");
  EXPECT_EQ(mApp.GetClipboard(), "copy");
  Key(kEnd);
  Ctrl('V');
  EXPECT_EQ(mEdit.mText, " mecopy");
  EXPECT_EQ(mEdit.mCaret, 7);
  Ctrl('Z');
  EXPECT_EQ(mEdit.mText, " me");
}

TEST_F(EditInput, PasteStopsAtTheFirstLineEndAndDropsCharactersThatCannotBeTyped) {
  mApp.CopyToClipboard("ab\r\ncd");
  Ctrl('V');
  EXPECT_EQ(mEdit.mText, "ab");
  mApp.CopyToClipboard("x\ty\x7F\xE9z\x01!");
  Ctrl('V');
  EXPECT_EQ(mEdit.mText, "abxyz!");
  mEvents.refusedChar = 'q';
  mApp.CopyToClipboard("qqq");
  Ctrl('V');  // nothing left to paste: nothing changes
  EXPECT_EQ(mEdit.mText, "abxyz!");
}

TEST_F(EditInput, PastingIntoASelectionReplacesIt) {
  mEdit.SetText("old text", true);
  mApp.CopyToClipboard("new");
  Ctrl('V');
  EXPECT_EQ(mEdit.mText, "new");
}

TEST_F(EditInput, TheCharacterLimitKeepsTheStartOfAPasteAndNeverCutsWhatIsThere) {
  mEdit.mMaxLength = 14;
  mApp.CopyToClipboard("0123456789abcdefghij");
  Ctrl('V');
  EXPECT_EQ(mEdit.mText, "0123456789abcd");
  Key(kHome);
  Type("X");  // a full box ignores the typed character rather than losing its last one
  EXPECT_EQ(mEdit.mText, "0123456789abcd");
  EXPECT_EQ(mEdit.mCaret, 0);
  ShiftKey(kRight);
  Type("X");  // replacing one character fits
  EXPECT_EQ(mEdit.mText, "X123456789abcd");
  mEdit.mMaxLength = 16;
  Key(kHome);
  mApp.CopyToClipboard("pqrs");
  Ctrl('V');  // two of the four fit, at the caret
  EXPECT_EQ(mEdit.mText, "pqX123456789abcd");
  EXPECT_EQ(mEdit.mCaret, 2);
}

TEST_F(EditInput, ThePixelLimitKeepsWhatIsThereAndChecksEveryWidthFont) {
  mEdit.mMaxWidth = 30;  // five block characters
  Type("abcdef");
  EXPECT_EQ(mEdit.mText, "abcde");
  Key(kHome);
  Type("Z");
  EXPECT_EQ(mEdit.mText, "abcde");

  KitTest::BlockFont font;
  mEdit.SetText("", true);
  mEdit.AddWidthCheckFont(&font, 18);
  Type("abcdef");
  EXPECT_EQ(mEdit.mText, "abc");
}

TEST_F(EditInput, ALongerTextSetEarlierIsCutToTheLimitAtItsEnd) {
  mEdit.SetText("0123456789", true);
  mEdit.mMaxLength = 4;
  Key(kEnd);
  EXPECT_EQ(mEdit.mText, "0123");
  EXPECT_EQ(mEdit.mCaret, 4);
}

TEST_F(EditInput, SetTextSelectsEverythingSoTheNextCharacterReplacesIt) {
  mEdit.SetText("name", true);
  EXPECT_EQ(Selected(), "name");
  Type("J");
  EXPECT_EQ(mEdit.mText, "J");
}

TEST_F(EditInput, AMaskedBoxCopiesItsMaskNotItsText) {
  mEdit.mMaskChar = '*';
  Type("secret");
  EXPECT_EQ(mEdit.GetDisplayString(), "******");
  Key(kHome);
  ShiftKey(kEnd);
  Ctrl('C');
  EXPECT_EQ(mApp.GetClipboard(), "******");
  EXPECT_EQ(mEdit.mText, "secret");
}

TEST_F(EditInput, ListenerRefusalsLeaveTextCaretAndSelectionAlone) {
  Type("abc");
  Key(kHome);
  ShiftKey(kRight);
  mEvents.refusedChar = 'x';
  Type("x");
  EXPECT_EQ(mEdit.mText, "abc");
  EXPECT_EQ(Selected(), "a");
  mEvents.refusedText = "bc";
  Key(kDelete);
  EXPECT_EQ(mEdit.mText, "abc");
  EXPECT_EQ(Selected(), "a");
  mEvents.refusedKey = kEnd;
  Key(kEnd);
  EXPECT_EQ(mEdit.mCaret, 1);
  Key(kEnter);
  EXPECT_EQ(mEvents.entered, (Log{"abc"}));
}

TEST_F(EditInput, ClickingPlacesTheCaretAtTheNearestGap) {
  Type("abcdef");
  // Character i spans 4 + 6i .. 4 + 6i + 5 inside the box; the hit test counts a character as passed
  // once x reaches its middle plus 5.
  Press(10 + 7, 20);
  Release(10 + 7, 20);
  EXPECT_EQ(mEdit.mCaret, 0);
  EXPECT_EQ(mEdit.mAnchor, -1);
  Press(10 + 8, 20);
  Release(10 + 8, 20);
  EXPECT_EQ(mEdit.mCaret, 1);
  Press(10 + 190, 20);
  Release(10 + 190, 20);
  EXPECT_EQ(mEdit.mCaret, 6);
}

TEST_F(EditInput, DraggingSelectsAndADoubleClickSelectsAWord) {
  Type("hello world");
  Press(10 + 8, 20);
  MoveTo(10 + 32, 20);
  Release(10 + 32, 20);
  EXPECT_EQ(Selected(), "ello");
  const int onTheR = 10 + 6 * 8 + 2;
  Press(onTheR, 20, 1);
  Release(onTheR, 20, 1);
  Press(onTheR, 20, 2);
  Release(onTheR, 20, 2);
  EXPECT_EQ(mEdit.mAnchor, 6);
  EXPECT_EQ(mEdit.mCaret, 11);
  Press(10 + 8, 20, 2);  // on the e of hello
  EXPECT_EQ(Selected(), "hello");
  Release(10 + 8, 20, 2);
}

TEST_F(EditInput, TheCaretBlinksOnlyWhileFocused) {
  EXPECT_TRUE(mEdit.mCaretVisible);
  Ticks(40);
  EXPECT_TRUE(mEdit.mCaretVisible);
  Ticks(1);
  EXPECT_FALSE(mEdit.mCaretVisible);
  Type("a");  // a caret move shows it at once
  EXPECT_TRUE(mEdit.mCaretVisible);
  mManager.SetFocus(nullptr);
  EXPECT_FALSE(mEdit.mCaretVisible);
  Ticks(100);
  EXPECT_FALSE(mEdit.mCaretVisible);
}

TEST_F(EditInput, TextCursorOverTheBox) {
  MoveTo(50, 20);
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_TEXT);
  MoveTo(500, 500);
  EXPECT_EQ(mApp.GetCursor(), Kit::CURSOR_POINTER);
}

TEST_F(EditInput, ScrollingKeepsTheCaretInView) {
  Type(std::string(40, 'a'));  // 240 pixels in a 200-pixel box
  EXPECT_GT(mEdit.mScrollChar, 0);
  const int caretX = 6 * mEdit.mCaret - 6 * mEdit.mScrollChar;
  EXPECT_LT(caretX, 200 - 8);
  Key(kHome);
  EXPECT_EQ(mEdit.mScrollChar, 0);
}

// Every character as wide as the box: no scroll position shows the caret at the end.
class WideFont : public KitTest::BlockFont {
 public:
  int StringWidth(const std::string& text) override { return 300 * static_cast<int>(text.size()); }
  Kit::Font* Duplicate() override { return new WideFont(*this); }
};

TEST_F(EditInput, ABoxNarrowerThanOneCharacterStillStopsScrolling) {
  WideFont wide;
  mEdit.SetFont(&wide);
  mEdit.SetText("abcdef", false);
  EXPECT_EQ(mEdit.mScrollChar, 5);
  Key(kEnd);
  Type("g");
  EXPECT_EQ(mEdit.mScrollChar, 6);
  mEdit.SetText("", false);
  Key(kEnd);
  EXPECT_EQ(mEdit.mScrollChar, 0);
}

TEST_F(EditInput, AHugePasteStaysQuick) {
  mApp.CopyToClipboard(std::string(200000, 'w'));
  Ctrl('V');
  EXPECT_EQ(mEdit.mText.size(), 200000u);
  Press(100, 20);
  MoveTo(300, 20);
  Release(300, 20);
  EXPECT_EQ(mEdit.mCaret, 200000);
  Kit::MemoryImage canvas;
  canvas.Create(220, 40);
  Kit::Graphics g(&canvas);
  mEdit.Draw(&g);
}

}  // namespace
}  // namespace ControlsTest
