#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <ostream>

#include "framework/widget/EditWidget.h"
#include "framework/widget/KeyCodes.h"
#include "tests/controls/ControlsTestSupport.h"

namespace ControlsTest {
namespace {

constexpr int kEnd = 35;
constexpr int kHome = 36;
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
  void Held(int modifier, int keyCode) {
    mManager.KeyDown(modifier);
    Key(keyCode);
    mManager.KeyUp(modifier);
  }
  void ShiftKey(int keyCode) { Held(Kit::kKeyCodeShift, keyCode); }
  // Ctrl with a letter: the key press, then the control character the keyboard makes of it.
  void Ctrl(char letter) {
    mManager.KeyDown(Kit::kKeyCodeControl);
    mManager.KeyDown(letter);
    mManager.KeyChar(static_cast<char>(letter - 'A' + 1));
    mManager.KeyUp(letter);
    mManager.KeyUp(Kit::kKeyCodeControl);
  }
  // Each character as a keyboard sends it: key down, the character, key up.
  void Type(const std::string& text) {
    for (char c : text) {
      const auto [key, shift] = KeyOf(c);
      if (shift) mManager.KeyDown(Kit::kKeyCodeShift);
      mManager.KeyDown(key);
      mManager.KeyChar(c);
      mManager.KeyUp(key);
      if (shift) mManager.KeyUp(Kit::kKeyCodeShift);
    }
  }
  // Typed text with keys in angle brackets: <Home>, <End>, <Left>, <Right>, <Back>, <Del>, each
  // optionally with S- (Shift) or C- (Ctrl) before it, and ^Z, ^C, ^X, ^V.
  void Play(const std::string& script) {
    static const std::map<std::string, int> kKeys{{"Home", kHome},   {"End", kEnd}, {"Left", 37},
                                                  {"Right", kRight}, {"Back", 8},   {"Del", kDelete}};
    for (std::size_t i = 0; i < script.size(); ++i) {
      if (script[i] == '^') {
        Ctrl(script[++i]);
      } else if (script[i] == '<') {
        const std::size_t end = script.find('>', i);
        std::string name = script.substr(i + 1, end - i - 1);
        const int modifier = name[1] != '-' ? 0 : name[0] == 'S' ? Kit::kKeyCodeShift : Kit::kKeyCodeControl;
        if (modifier) name = name.substr(2);
        modifier ? Held(modifier, kKeys.at(name)) : Key(kKeys.at(name));
        i = end;
      } else {
        Type(std::string(1, script[i]));
      }
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

// Keyboard editing: from a text set with SetText (selected whole) and a clipboard, a script gives
// the text, the caret (-1: not checked), the selection and the clipboard (null: not checked).
struct Editing {
  const char* name;
  const char* start;
  const char* clipboard;
  int maxLength;
  const char* script;
  const char* text;
  int caret;
  const char* selected;
  const char* clipboardAfter;
};

void PrintTo(const Editing& c, std::ostream* out) { *out << c.name; }

class EditKeys : public EditInput, public testing::WithParamInterface<Editing> {};

TEST_P(EditKeys, GiveTheTextCaretAndSelection) {
  const Editing& c = GetParam();
  if (*c.start) mEdit.SetText(c.start, true);
  if (c.clipboard) mApp.CopyToClipboard(c.clipboard);
  if (c.maxLength) mEdit.mMaxLength = c.maxLength;
  Play(c.script);
  EXPECT_EQ(mEdit.mText, c.text);
  EXPECT_TRUE(c.caret < 0 || mEdit.mCaret == c.caret) << mEdit.mCaret;
  EXPECT_EQ(Selected(), c.selected);
  EXPECT_TRUE(!c.clipboardAfter || mApp.GetClipboard() == c.clipboardAfter) << mApp.GetClipboard();
}

const Editing kEditing[] = {
    {"TypingUndoesAsOneStep", "", nullptr, 0, "abc^Z", "", -1, "", nullptr},
    {"ASecondUndoRedoes", "", nullptr, 0, "abc^Z^Z", "abc", 3, "", nullptr},
    {"ARunOfBackspacesIsOneUndoStep", "hello", nullptr, 0, "<End><Back><Back><Back>^Z", "hello", -1, "", nullptr},
    {"BackspaceAtTheStartDoesNothing", "", nullptr, 0, "ab<Home><Back>", "ab", 0, "", nullptr},
    {"DeleteAtTheEndDoesNothing", "", nullptr, 0, "ab<Home><Del><End><Del>", "b", -1, "", nullptr},
    {"ShiftArrowsSelect", "", nullptr, 0, "hello world<Home><S-Right><S-Right><S-Right><S-Right><S-Right>",
     "hello world", 5, "hello", nullptr},
    // A digit's key press arrives before its character; it must not drop the selection.
    {"ADigitReplacesTheSelection", "", nullptr, 0, "hello world<Home><S-Right><S-Right><S-Right><S-Right><S-Right>5",
     "5 world", 1, "", nullptr},
    {"ALetterReplacesTheSelection", "", nullptr, 0, "5 world<Home><Right><S-End>z", "5z", 2, "", nullptr},
    {"ASpaceReplacesTheSelection", "", nullptr, 0, "5z<S-Left><S-Left> ", " ", -1, "", nullptr},
    {"CapitalsWithShiftAreJustCharacters", "", nullptr, 0, "HI there!", "HI there!", 9, "", nullptr},
    {"LeftCollapsesTheSelectionToItsStart", "", nullptr, 0, "abcdef<Home><Right><S-Right><S-Right><Left>", "abcdef", 1,
     "", nullptr},
    {"RightCollapsesTheSelectionToItsEnd", "", nullptr, 0, "abcdef<Home><Right><S-Right><S-Right><Right>", "abcdef", 3,
     "", nullptr},
    {"CtrlRightJumpsToTheNextWord", "", nullptr, 0, "hello big_world, x<Home><C-Right>", "hello big_world, x", 6, "",
     nullptr},
    {"CtrlRightSkipsPunctuation", "", nullptr, 0, "hello big_world, x<Home><C-Right><C-Right>", "hello big_world, x",
     17, "", nullptr},
    {"CtrlRightStopsAtTheEnd", "", nullptr, 0, "hello big_world, x<C-Left><C-Right><C-Right>", "hello big_world, x", 18,
     "", nullptr},
    {"CtrlLeftJumpsBackByWords", "", nullptr, 0, "hello big_world, x<C-Left><C-Left>", "hello big_world, x", 6, "",
     nullptr},
    {"CtrlLeftStopsAtTheStart", "", nullptr, 0, "hello big_world, x<C-Left><C-Left><C-Left><C-Left>",
     "hello big_world, x", 0, "", nullptr},
    {"CopyKeepsTheSelection", "", nullptr, 0, "copy me<Home><S-Right><S-Right><S-Right><S-Right>^C", "copy me", 4,
     "copy", "copy"},
    {"CutTakesIt", "", nullptr, 0, "copy me<Home><S-Right><S-Right><S-Right><S-Right>^X", " me", 0, "", "copy"},
    {"PasteInsertsAtTheCaret", "", nullptr, 0, "copy me<Home><S-Right><S-Right><S-Right><S-Right>^X<End>^V", " mecopy",
     7, "", "copy"},
    {"APasteUndoes", "", nullptr, 0, "copy me<Home><S-Right><S-Right><S-Right><S-Right>^X<End>^V^Z", " me", -1, "",
     nullptr},
    {"PasteStopsAtTheFirstLineEnd", "", "ab\r\ncd", 0, "^V", "ab", 2, "", nullptr},
    {"PasteDropsWhatCannotBeTyped", "", "x\ty\x7F\xE9z\x01!", 0, "^V", "xyz!", 4, "", nullptr},
    {"PastingIntoASelectionReplacesIt", "old text", "new", 0, "^V", "new", 3, "", nullptr},
    {"TheLimitKeepsTheStartOfAPaste", "", "0123456789abcdefghij", 14, "^V", "0123456789abcd", 14, "", nullptr},
    // A full box ignores the typed character rather than losing its last one.
    {"AFullBoxIgnoresATypedCharacter", "", "0123456789abcdefghij", 14, "^V<Home>X", "0123456789abcd", 0, "", nullptr},
    {"ReplacingOneCharacterFits", "", "0123456789abcdefghij", 14, "^V<Home><S-Right>X", "X123456789abcd", 1, "",
     nullptr},
    {"APasteIsCutToWhatFits", "", "0123456789ab", 14, "^V<Home>^V", "010123456789ab", 2, "", nullptr},
    {"ALongerTextSetEarlierIsCutAtItsEnd", "0123456789", nullptr, 4, "<End>", "0123", 4, "", nullptr},
    {"SetTextSelectsEverything", "name", nullptr, 0, "", "name", -1, "name", nullptr},
    {"SoTheNextCharacterReplacesIt", "name", nullptr, 0, "J", "J", 1, "", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Scripts, EditKeys, testing::ValuesIn(kEditing), testing::PrintToStringParamName());

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
  Key(13);
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
