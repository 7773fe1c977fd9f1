// Lines of text in one font with an optional companion scroll bar, a hovered line and a selected line.
// Lists can be chained side by side as the columns of one table (prevColumn / nextColumn): adding,
// removing, colouring, selecting, hovering, scrolling and sorting act on every column at the same line.
#pragma once

#include <string>
#include <vector>

#include "framework/graphics/Color.h"
#include "framework/widget/ListWidgetListener.h"
#include "framework/widget/ScrollListener.h"
#include "framework/widget/Widget.h"

namespace Kit {

class Font;
class ScrollbarWidget;

class ListWidget : public Widget, public ScrollListener {
 public:
  enum Justification { JUSTIFY_LEFT = 0, JUSTIFY_CENTER = 1, JUSTIFY_RIGHT = 2 };

  // The font is not owned; the listener may be null.
  ListWidget(int id, Font* font, ListWidgetListener* listener);

  virtual std::string GetSortKey(int index);
  virtual void Sort(bool ascending);
  // Empty for an index that names no line.
  virtual std::string GetStringAt(int index);
  virtual int AddLine(const std::string& text, bool alphabetical);
  virtual void SetLine(int index, const std::string& text);
  virtual int GetLineCount();
  virtual int GetLineIdx(const std::string& text);
  virtual void SetLineColor(const std::string& text, const Color& color);
  virtual void RemoveLine(int index);
  virtual void RemoveAll();
  virtual int GetOptimalWidth();
  virtual int GetOptimalHeight();
  virtual void SetSelect(int index);
  virtual void SetHilite(int index, bool notify);

  void ScrollPosition(int scrollbarId, double position) override;
  void OrderInManagerChanged() override;
  void RemovedFromManager(WidgetManager* manager) override;
  void Resize(int x, int y, int width, int height) override;
  using Widget::Resize;
  void Draw(Graphics* g) override;
  void MouseMove(int x, int y) override;
  void MouseDown(int x, int y, int clickCount) override;
  void MouseLeave() override;
  void MouseWheel(int delta) override;

  int mId = 0;
  Font* mFont = nullptr;
  ScrollbarWidget* mScrollbar = nullptr;
  int mTextAlign = JUSTIFY_LEFT;
  std::vector<std::string> mRows;
  std::vector<Color> mRowColors;
  double mScrollPos = 0;    // first visible line, fractional
  double mVisibleRows = 0;  // lines that fit
  int mHoverRow = -1;
  int mSelectedRow = -1;
  ListWidgetListener* mListener = nullptr;
  ListWidget* mPrevColumn = nullptr;
  ListWidget* mNextColumn = nullptr;
  bool mChildKeyFirst = false;  // the next column's sort key comes first
  bool mShowBorder = true;
  int mKeyPadWidth = 0;  // sort keys are left-padded with "0" to this length
  int mRowHeight = -1;   // -1: the font's height
  bool mFillHoveredRow = false;
  bool mFingerOnHover = true;

 private:
  // The columns of the chain from its root, each once (a mislinked chain that loops is cut).
  std::vector<ListWidget*> Chain();
  // The next column is linked on properly (not back into the chain), so passing work to it ends.
  bool NextColumnFollows();
  int RowHeight();
  void SetAppCursor(int cursor);
};

}  // namespace Kit
