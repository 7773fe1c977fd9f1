// A one-line text box: a caret that blinks while focused, a selection (Shift with the arrows, dragging,
// or a double click on a word), horizontal scrolling that keeps the caret in view, clipboard copy, cut
// and paste, a one-step undo that alternates with redo, an optional password mask, and limits on the
// number of characters and on the pixel width in one or more fonts. The listener vets every key,
// character and resulting text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/widget/EditListener.h"
#include "framework/widget/Widget.h"

namespace Kit {

class Font;
class KitAppBase;

class EditWidget : public Widget {
 public:
  EditWidget(int id, EditListener* listener);
  ~EditWidget() override;

  virtual void ProcessKey(int keyCode, char c);
  // Keeps copies of the fonts. The width-check font limits the text to mMaxWidth pixels in it.
  virtual void SetFont(Font* font, Font* widthCheckFont = nullptr);
  // Selects the whole new text, so that the next typed character replaces it.
  virtual void SetText(const std::string& text, bool leftPosToZero = true);
  virtual bool IsPartOfWord(char c);
  // The caret position a press at (x, y) puts the caret at.
  virtual int GetCharAt(int x, int y);
  virtual void FocusCursor(bool bigJump);

  // A further font in which the text must fit maxPixels wide (or mMaxWidth when maxPixels is not
  // positive); a copy of the font is kept.
  void AddWidthCheckFont(Font* font, int maxPixels = -1);
  // The text as shown: the text itself, or the mask character repeated.
  const std::string& GetDisplayString();

  bool WantsFocus() override;
  void MarkDirty() override;
  void Resize(int x, int y, int width, int height) override;
  using Widget::Resize;
  void Update() override;
  void Draw(Graphics* g) override;
  void GotFocus() override;
  void LostFocus() override;
  void KeyDown(int keyCode) override;
  void KeyChar(char c) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(int x, int y, int clickCount) override;
  void MouseDrag(int x, int y) override;
  void MouseUp(int x, int y, int clickCount) override;

  struct WidthCheck {
    std::unique_ptr<Font> mFont;
    int mMaxPixels = -1;
  };

  int mId = 0;
  std::string mText;
  std::string mMaskedText;
  std::unique_ptr<Font> mFont;
  std::vector<WidthCheck> mWidthChecks;
  EditListener* mListener = nullptr;
  bool mCaretVisible = false;
  bool mForceSelectionDraw = false;
  int mCaret = 0;
  int mAnchor = -1;
  int mBlinkCount = 0;
  int mBlinkPeriod = 40;
  int mScrollChar = 0;
  int mMaxLength = -1;
  int mMaxWidth = -1;
  char mMaskChar = 0;
  std::string mUndoText;
  int mUndoCaret = 0;
  int mUndoAnchor = 0;
  int mLastEditPos = 0;

 private:
  enum class Action { None, Copy, Cut, Paste, Undo, Left, Right, Backspace, Delete, Home, End, Enter, Type };

  Action Classify(int keyCode, char c);
  bool KeyHeld(int keyCode);
  bool AcceptsChar(char c);
  KitAppBase* App();
  void EnsureFont();
  int DisplayWidth(int from, int to);
  bool FitsLimits(const std::string& text);
  int LongestFittingPrefix(const std::string& text);
  // Puts inserted in place of the selection (or at the caret), shortened from its own end as far as
  // the limits need; false when none of it fits. The caret ends after what went in.
  bool Insert(const std::string& inserted);
  void DeleteSelection();
  // Drops characters from the end until the text fits every width limit.
  void EnforceMaxPixels();
};

}  // namespace Kit
