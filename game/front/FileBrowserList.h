// FileBrowserList: a scrollable list of one folder's contents: a first row "UP" to the parent folder,
// then the sub-folders, then the files of the filter extension, each group sorted by name. A click on
// a file selects or deselects it (any number at once); a double click on "UP" goes up, on a folder goes
// in, but never above the folder the list was first given (its root). Names are wide text drawn with
// the game's glyph font; the folder is read through the system's ANSI file functions, either separator
// joining and cutting its paths. The list owns its rows, not its scroll bar, font or icon strip. Main
// thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/widget/ListWidgetListener.h"
#include "framework/widget/ScrollListener.h"
#include "framework/widget/Widget.h"

class GlyphFont;
namespace Kit {
class ScrollbarWidget;
}

struct FileBrowserEntry {
  enum Kind : int { kUpRow = 1, kFolderRow = 2, kFileRow = 3 };

  std::u16string mName;  // the bare name shown; no path
  bool mSelected = false;
  int mKind = kFileRow;
};

class FileBrowserList : public Kit::Widget, public Kit::ScrollListener {
 public:
  // Widget colour indexes.
  enum ListColor : int {
    kBackgroundColor = 0,
    kOutlineColor = 1,
    kTextColor = 2,
    kHoverTextColor = 3,
    kSelectedFillColor = 4,
    kSelectedTextColor = 5,
  };

  FileBrowserList(int id, ListWidgetListener* listener, GlyphFont* font);
  ~FileBrowserList() override;

  void SetIcon(Kit::Image* image);
  // The first call sets the whole folder (and the root); later ones go into a sub-folder of that name.
  void EnterFolder(std::u16string name);
  // To the parent folder, unless the list is at its root or the folder has no separator.
  void GoUp();
  // Rebuilds the rows from the folder; every selection goes.
  void Refresh();

  virtual std::u16string GetRowName(int index);
  virtual int AddRow(std::u16string name, bool selected, int kind);
  virtual void SetRowName(int index, std::u16string name);
  virtual int GetRowCount();
  virtual int FindRow(const std::u16string& name);
  virtual void RemoveRow(int index);
  virtual void RemoveAllRows();
  virtual void SetRowSelected(int index, bool selected);
  bool IsRowSelected(int index);
  virtual int GetRowKind(int index);
  void SetHoverRow(int row, bool notify);

  void ScrollPosition(int scrollbarId, double position) override;
  void RemovedFromManager(Kit::WidgetManager* manager) override;
  void Draw(Kit::Graphics* g) override;
  void Resize(int x, int y, int width, int height) override;
  using Kit::Widget::Resize;
  void MouseLeave() override;
  void MouseMove(int x, int y) override;
  void MouseDown(int x, int y, int clickCount) override;
  void MouseWheel(int delta) override;

  int mId;
  Kit::ScrollbarWidget* mScrollbar = nullptr;  // set by the owner, which keeps it alive
  std::vector<std::unique_ptr<FileBrowserEntry>> mRows;
  double mScrollPos = 0.0;  // first visible row, fractional
  double mPageSize = 0.0;   // rows that fit
  int mHoverRow = -1;
  int mSelectedRow = -1;          // the row selected last; -1 after a deselection
  ListWidgetListener* mListener;  // may be null; without one, clicks are ignored
  bool mOutline = true;
  int mRowHeight = 16;
  bool mHoverFill = false;
  bool mHandCursor = true;
  GlyphFont* mFont;             // the game's glyph font, which outlives the list
  Kit::Image* mIcon = nullptr;  // a loaded resource
  std::u16string mFolder;       // without a trailing separator
  std::u16string mRoot;         // the first folder given; the list never goes above it
  std::u16string mExtension;    // without the dot; empty shows every file

 private:
  void ListFolder(const std::string& pattern, int kind);
  bool PassesFilter(const std::u16string& name) const;
  int RowAt(int y) const;
  void TellScrollbarRowCount();
  void DrawRow(Kit::Graphics* g, Kit::Graphics* text, Kit::Graphics* fill, int index);
};

// Wide text and the system's ANSI code page, through the glyph font's conversions.
std::u16string WideFromAnsi(const std::string& text);
std::string AnsiFromWide(const std::u16string& text);
