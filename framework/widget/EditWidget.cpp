#include "framework/widget/EditWidget.h"

#include <algorithm>
#include <cstdlib>

#include "framework/app/KitAppBase.h"
#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/widget/FallbackFont.h"
#include "framework/widget/KeyCodes.h"
#include "framework/widget/WidgetManager.h"

namespace Kit {

namespace {

constexpr int kEditColorCount = 5;
constexpr int kEditColors[kEditColorCount][3] = {
    {255, 255, 255}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255},
};
constexpr int kTextInset = 4;
constexpr int kCaretWidth = 2;

constexpr char kCharCopy = 3;    // Ctrl+C
constexpr char kCharCut = 24;    // Ctrl+X
constexpr char kCharPaste = 22;  // Ctrl+V
constexpr char kCharUndo = 26;   // Ctrl+Z

constexpr int kKeyBackspace = 8;
constexpr int kKeyEnter = 13;
constexpr int kKeyEnd = 35;
constexpr int kKeyHome = 36;
constexpr int kKeyLeft = 37;
constexpr int kKeyRight = 39;
constexpr int kKeyDelete = 46;
constexpr int kKeyFirstLetter = 65;  // A
constexpr int kKeyLastLetter = 90;   // Z

}  // namespace

EditWidget::EditWidget(int id, EditListener* listener) : mId(id), mListener(listener) {
  SetColorsRGB(kEditColors, kEditColorCount);
}

EditWidget::~EditWidget() = default;

bool EditWidget::WantsFocus() { return true; }

KitAppBase* EditWidget::App() { return mManager != nullptr ? mManager->mApp : gKitApp; }

bool EditWidget::KeyHeld(int keyCode) { return mManager != nullptr && mManager->mKeyDownTable[keyCode]; }

void EditWidget::EnsureFont() {
  if (mFont == nullptr) mFont.reset(MakeFallbackFont(App(), 10, 0));
}

void EditWidget::SetFont(Font* font, Font* widthCheckFont) {
  mFont.reset(font != nullptr ? font->Duplicate() : nullptr);
  mWidthChecks.clear();
  if (widthCheckFont != nullptr) AddWidthCheckFont(widthCheckFont, -1);
  FocusCursor(false);
  MarkDirty();
}

void EditWidget::AddWidthCheckFont(Font* font, int maxPixels) {
  if (font == nullptr) return;
  mWidthChecks.push_back(WidthCheck{std::unique_ptr<Font>(font->Duplicate()), maxPixels});
}

void EditWidget::SetText(const std::string& text, bool leftPosToZero) {
  mText = text;
  mCaret = static_cast<int>(mText.size());
  mAnchor = 0;
  if (leftPosToZero)
    mScrollChar = 0;
  else
    FocusCursor(true);
  MarkDirty();
}

const std::string& EditWidget::GetDisplayString() {
  if (mMaskChar == 0) return mText;
  mMaskedText.assign(mText.size(), mMaskChar);
  return mMaskedText;
}

bool EditWidget::IsPartOfWord(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

int EditWidget::DisplayWidth(int from, int to) {
  if (mFont == nullptr || to <= from) return 0;
  return mFont->StringWidth(GetDisplayString().substr(from, to - from));
}

void EditWidget::MarkDirty() {
  // A see-through box shows what lies under it, which must be redrawn as well.
  if (GetColorRef(0).mAlpha == 255)
    Widget::MarkDirty();
  else
    Widget::MarkDirtyFull();
}

// --- limits ---------------------------------------------------------------------------------------

bool EditWidget::FitsLimits(const std::string& text) {
  if (mMaxLength != -1 && static_cast<int>(text.size()) > mMaxLength) return false;
  if (mWidthChecks.empty()) return mMaxWidth <= 0 || mFont == nullptr || mFont->StringWidth(text) <= mMaxWidth;
  for (const WidthCheck& check : mWidthChecks) {
    const int limit = check.mMaxPixels > 0 ? check.mMaxPixels : mMaxWidth;
    if (limit > 0 && check.mFont->StringWidth(text) > limit) return false;
  }
  return true;
}

// Widths only grow as characters are added, so the fitting prefixes are the ones up to some length.
int EditWidget::LongestFittingPrefix(const std::string& text) {
  int low = 0;
  int high = static_cast<int>(text.size());
  if (FitsLimits(text)) return high;
  while (low < high) {
    const int middle = low + (high - low + 1) / 2;
    if (FitsLimits(text.substr(0, middle)))
      low = middle;
    else
      high = middle - 1;
  }
  return low;
}

void EditWidget::EnforceMaxPixels() {
  if (!FitsLimits(mText)) mText.resize(LongestFittingPrefix(mText));
}

// --- editing --------------------------------------------------------------------------------------

void EditWidget::DeleteSelection() {
  const int low = std::min(mCaret, mAnchor);
  const int high = std::max(mCaret, mAnchor);
  mText.erase(low, high - low);
  mCaret = low;
  mAnchor = -1;
}

bool EditWidget::Insert(const std::string& inserted) {
  const bool hasSelection = mAnchor != -1 && mAnchor != mCaret;
  const int low = hasSelection ? std::min(mCaret, mAnchor) : mCaret;
  const int high = hasSelection ? std::max(mCaret, mAnchor) : mCaret;
  const std::string before = mText.substr(0, low);
  const std::string after = mText.substr(high);
  // What does not fit is dropped from the inserted text, never from what the box already holds.
  int low2 = 0;
  int high2 = static_cast<int>(inserted.size());
  while (low2 < high2) {
    const int middle = low2 + (high2 - low2 + 1) / 2;
    if (FitsLimits(before + inserted.substr(0, middle) + after))
      low2 = middle;
    else
      high2 = middle - 1;
  }
  if (low2 == 0) return false;
  mText = before + inserted.substr(0, low2) + after;
  mCaret = low + low2;
  mAnchor = -1;
  return true;
}

bool EditWidget::AcceptsChar(char c) {
  const auto code = static_cast<unsigned char>(c);
  if (code < 32 || code > 126) return false;
  if (mFont != nullptr && mFont->CharWidth(c) == 0) return false;
  return mListener == nullptr || mListener->EditAllowChar(mId, c);
}

EditWidget::Action EditWidget::Classify(int keyCode, char c) {
  if (keyCode == 0) {
    switch (c) {
      case kCharCopy:
        return Action::Copy;
      case kCharCut:
        return Action::Cut;
      case kCharPaste:
        return Action::Paste;
      case kCharUndo:
        return Action::Undo;
      default:
        return AcceptsChar(c) ? Action::Type : Action::None;
    }
  }
  switch (keyCode) {
    case kKeyLeft:
      return Action::Left;
    case kKeyRight:
      return Action::Right;
    case kKeyBackspace:
      return Action::Backspace;
    case kKeyDelete:
      return Action::Delete;
    case kKeyHome:
      return Action::Home;
    case kKeyEnd:
      return Action::End;
    case kKeyEnter:
      return Action::Enter;
    default:
      return Action::None;
  }
}

void EditWidget::ProcessKey(int keyCode, char c) {
  if (keyCode == kKeyCodeShift || keyCode == kKeyCodeControl) return;
  EnsureFont();
  const Action action = Classify(keyCode, c);
  // A key the box does not use (a character key whose character follows, a function key) and a refused
  // character leave everything as it was, the selection included: the character that follows a key
  // press must still replace the selection.
  if (action == Action::None) return;

  const bool shift = KeyHeld(kKeyCodeShift);
  const bool control = KeyHeld(kKeyCodeControl);
  const bool moves =
      action == Action::Left || action == Action::Right || action == Action::Home || action == Action::End;
  // Shift extends a selection only by moving the caret; a capital letter typed with Shift held is just
  // a character.
  if (moves && shift && mAnchor == -1) mAnchor = mCaret;

  const std::string oldText = mText;
  const int oldCaret = mCaret;
  const int oldAnchor = mAnchor;
  const bool hasSelection = mAnchor != -1 && mAnchor != mCaret;
  const int low = hasSelection ? std::min(mCaret, mAnchor) : mCaret;
  const int high = hasSelection ? std::max(mCaret, mAnchor) : mCaret;
  const std::string& display = GetDisplayString();
  const int length = static_cast<int>(mText.size());
  bool undoPoint = false;

  switch (action) {
    case Action::Copy:
      if (hasSelection && App() != nullptr) App()->CopyToClipboard(display.substr(low, high - low));
      break;
    case Action::Cut:
      if (hasSelection) {
        if (App() != nullptr) App()->CopyToClipboard(display.substr(low, high - low));
        DeleteSelection();
        undoPoint = true;
      }
      break;
    case Action::Paste: {
      const std::string clipboard = App() != nullptr ? App()->GetClipboard() : std::string();
      std::string pasted;
      for (char ch : clipboard) {
        if (ch == '\r' || ch == '\n') break;
        // Pasted text passes the same test as typed text: a tab or a byte outside printable ASCII
        // would otherwise get into a field that cannot be typed into.
        if (AcceptsChar(ch)) pasted += ch;
      }
      if (!pasted.empty() && Insert(pasted)) undoPoint = true;
      break;
    }
    case Action::Undo:
      mLastEditPos = -1;
      std::swap(mText, mUndoText);
      std::swap(mCaret, mUndoCaret);
      std::swap(mAnchor, mUndoAnchor);
      break;
    case Action::Left:
      if (control) {
        while (mCaret > 0 && !IsPartOfWord(display[mCaret - 1])) --mCaret;
        while (mCaret > 0 && IsPartOfWord(display[mCaret - 1])) --mCaret;
      } else if (!shift && mAnchor != -1) {
        mCaret = low;
      } else {
        --mCaret;
      }
      break;
    case Action::Right:
      if (control) {
        while (mCaret + 1 < length && IsPartOfWord(display[mCaret + 1])) ++mCaret;
        while (mCaret + 1 < length && !IsPartOfWord(display[mCaret + 1])) ++mCaret;
      }
      if (!shift && mAnchor != -1)
        mCaret = high;
      else
        ++mCaret;
      break;
    case Action::Backspace:
      if (hasSelection) {
        DeleteSelection();
        undoPoint = true;
      } else if (mCaret > 0) {
        mText.erase(mCaret - 1, 1);
        mAnchor = -1;
        --mCaret;
        undoPoint = mCaret != mLastEditPos;
        mLastEditPos = mCaret - 1;
      }
      break;
    case Action::Delete:
      if (hasSelection) {
        DeleteSelection();
        undoPoint = true;
      } else if (mCaret < length) {
        mText.erase(mCaret, 1);
        undoPoint = mCaret != mLastEditPos;
        mLastEditPos = mCaret;
      }
      break;
    case Action::Home:
      mCaret = 0;
      break;
    case Action::End:
      mCaret = length;
      break;
    case Action::Enter:
      if (mListener != nullptr) mListener->EditTextEntered(mId, mText);
      break;
    case Action::Type: {
      const int at = mCaret;
      if (!Insert(std::string(1, c))) return;  // a full box ignores the character
      if (hasSelection) {
        undoPoint = true;
      } else {
        undoPoint = at != mLastEditPos + 1;
        mLastEditPos = at;
      }
      FocusCursor(false);
      break;
    }
    case Action::None:
      break;
  }

  // A text longer than the limits allow (set before they were) is cut to what fits.
  if (mMaxLength != -1 && static_cast<int>(mText.size()) > mMaxLength) mText.resize(mMaxLength);
  EnforceMaxPixels();

  mCaret = std::clamp(mCaret, 0, static_cast<int>(mText.size()));
  if (mAnchor > static_cast<int>(mText.size())) mAnchor = static_cast<int>(mText.size());
  if (mCaret != oldCaret) {
    mBlinkCount = 0;
    mCaretVisible = true;
  }
  FocusCursor(true);
  if ((moves && !shift) || mAnchor == mCaret) mAnchor = -1;

  if (mListener != nullptr && !mListener->EditAllowText(mId, mText)) {
    mText = oldText;
    mCaret = oldCaret;
    mAnchor = oldAnchor;
    FocusCursor(true);
  } else if (undoPoint) {
    mUndoText = oldText;
    mUndoCaret = oldCaret;
    mUndoAnchor = oldAnchor;
  }
  MarkDirty();
}

// --- caret and scrolling --------------------------------------------------------------------------

int EditWidget::GetCharAt(int x, int) {
  const int length = static_cast<int>(GetDisplayString().size());
  const int first = std::clamp(mScrollChar, 0, length);
  // The middles of the visible characters only grow from left to right: the characters whose middle
  // lies left of x (+5) are the ones up to some index, found by halving.
  auto leftOfPoint = [&](int i) {
    const int w1 = DisplayWidth(first, i);
    const int w2 = DisplayWidth(first, i + 1);
    return x >= (w1 + w2) / 2 + 5;
  };
  int low = first;
  int high = length;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (leftOfPoint(middle))
      low = middle + 1;
    else
      high = middle;
  }
  return low > first ? low : 0;
}

void EditWidget::FocusCursor(bool bigJump) {
  const int step = bigJump ? 10 : 1;
  const int length = static_cast<int>(mText.size());
  mScrollChar = std::clamp(mScrollChar, 0, std::max(length - 1, 0));
  while (mCaret < mScrollChar) {
    mScrollChar = std::max(mScrollChar - step, 0);
    MarkDirty();
  }
  if (mFont == nullptr || mWidth <= 8) return;
  const int caretWidth = DisplayWidth(0, mCaret);
  auto caretOutOfView = [&](int scrollChar) { return caretWidth - DisplayWidth(0, scrollChar) >= mWidth - 8; };
  if (!caretOutOfView(mScrollChar)) return;
  // Scrolling stops at the last character even when the caret is still out of view there (a box
  // narrower than one character): it cannot scroll further, so it does not loop.
  auto scrolledBy = [&](int steps) { return std::min(mScrollChar + steps * step, std::max(length - 1, 0)); };
  int low = 1;
  int high = (length + step - 1) / step + 1;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (caretOutOfView(scrolledBy(middle)))
      low = middle + 1;
    else
      high = middle;
  }
  mScrollChar = scrolledBy(low);
  MarkDirty();
}

// --- events ---------------------------------------------------------------------------------------

void EditWidget::Resize(int x, int y, int width, int height) {
  Widget::Resize(x, y, width, height);
  FocusCursor(false);
}

void EditWidget::Update() {
  Widget::Update();
  if (!mHasFocus) return;
  if (++mBlinkCount > mBlinkPeriod) {
    MarkDirty();
    mBlinkCount = 0;
    mCaretVisible = !mCaretVisible;
  }
}

void EditWidget::GotFocus() {
  Widget::GotFocus();
  mCaretVisible = true;
  mBlinkCount = 0;
  MarkDirty();
}

void EditWidget::LostFocus() {
  Widget::LostFocus();
  mCaretVisible = false;
  MarkDirty();
}

void EditWidget::KeyDown(int keyCode) {
  // Letters arrive as characters too; their key presses only reach the Tab handling.
  const bool letter = keyCode >= kKeyFirstLetter && keyCode <= kKeyLastLetter;
  if (!letter && (mListener == nullptr || mListener->EditAllowKey(mId, keyCode))) ProcessKey(keyCode, 0);
  Widget::KeyDown(keyCode);
}

void EditWidget::KeyChar(char c) { ProcessKey(0, c); }

void EditWidget::MouseEnter() {
  if (App() != nullptr) App()->SetCursor(CURSOR_TEXT);
}

void EditWidget::MouseLeave() {
  if (App() != nullptr) App()->SetCursor(CURSOR_POINTER);
}

void EditWidget::MouseDown(int x, int y, int clickCount) {
  Widget::MouseDown(x, y, clickCount);
  mAnchor = -1;
  mCaret = GetCharAt(x, y);
  const std::string& display = GetDisplayString();
  const int length = static_cast<int>(display.size());
  if (clickCount > 1 && mCaret < length) {
    mAnchor = mCaret;
    while (mAnchor > 0 && IsPartOfWord(display[mAnchor - 1])) --mAnchor;
    while (mCaret + 1 < length && IsPartOfWord(display[mCaret + 1])) ++mCaret;
    ++mCaret;
  }
  MarkDirty();
  FocusCursor(false);
}

void EditWidget::MouseDrag(int x, int y) {
  if (mAnchor == -1) mAnchor = mCaret;
  mCaret = GetCharAt(x, y);
  MarkDirty();
  FocusCursor(false);
}

void EditWidget::MouseUp(int x, int y, int clickCount) {
  Widget::MouseUp(x, y, clickCount);
  if (mAnchor == mCaret) mAnchor = -1;
}

// --- drawing --------------------------------------------------------------------------------------

void EditWidget::Draw(Graphics* g) {
  EnsureFont();
  g->SetColor(GetColorRef(0));
  g->FillRect(0, 0, mWidth, mHeight);

  if (mFont != nullptr) {
    const std::string& display = GetDisplayString();
    const int length = static_cast<int>(display.size());
    const int first = std::clamp(mScrollChar, 0, length);
    // Only what can show is handed to the font; the rest lies beyond the right edge anyway.
    int visibleEnd = first;
    for (int room = mWidth; visibleEnd < length && room >= 0; ++visibleEnd)
      room -= mFont->CharWidth(display[visibleEnd]);
    const std::string shown = display.substr(first, visibleEnd - first);
    const int fontHeight = mFont->GetHeight();
    const int textY = (mHeight - fontHeight) / 2 + mFont->GetAscent();

    Graphics plain(*g);
    plain.SetFont(mFont.get());
    plain.ClipRect(kTextInset, 0, mWidth - 2 * kTextInset, mHeight);
    plain.SetColor(GetColorRef(2));
    plain.DrawString(shown, kTextInset, textY);

    const int scrolled = DisplayWidth(0, first);
    int cx = DisplayWidth(0, mCaret) - scrolled;
    int hx = mAnchor != -1 ? DisplayWidth(0, mAnchor) - scrolled : cx + kCaretWidth;
    if (!mCaretVisible) cx += kCaretWidth;
    const int limit = std::max(mWidth - 8, 0);
    cx = std::clamp(cx, 0, limit);
    hx = std::clamp(hx, 0, limit);
    Graphics strip(*g);
    strip.SetFont(mFont.get());
    strip.ClipRect(std::min(cx, hx) + kTextInset, (mHeight - fontHeight) / 2, std::abs(hx - cx), fontHeight);
    if (mHasFocus || mForceSelectionDraw) {
      strip.SetColor(GetColorRef(3));
      strip.FillRect(0, 0, mWidth, mHeight);
      strip.SetColor(GetColorRef(4));
    } else {
      strip.SetColor(GetColorRef(2));
    }
    strip.DrawString(shown, kTextInset, textY);
  }

  g->SetColor(GetColorRef(1));
  g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
}

}  // namespace Kit
