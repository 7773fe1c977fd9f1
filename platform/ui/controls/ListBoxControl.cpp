// LISTBOX: a single-selection list of text items with item data; the
// selection moves by click and by the arrow, page, Home and End keys; LBS_NOTIFY tells the parent of
// selection changes and double clicks. A vertical scroll bar appears when the items do not fit and,
// with WS_HSCROLL, a horizontal one when the horizontal extent is wider than the list.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/GdiFont.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/ScrollBar.h"
#include "platform/win/input/VirtualKeys.h"

namespace plat {
namespace {

struct Item {
  std::string text;
  LONG_PTR data = 0;
};

class ListBox final : public Control {
 public:
  using Control::Control;

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
      case LB_ADDSTRING:
        return Insert(-1, lParam);
      case LB_INSERTSTRING:
        return Insert(static_cast<int>(wParam), lParam);
      case LB_RESETCONTENT:
        mItems.clear();
        mSelected = -1;
        mVertical.SetPosition(0);
        Changed();
        return 0;
      case LB_GETCURSEL:
        return mSelected;
      case LB_SETCURSEL: {
        const int index = static_cast<int>(wParam);
        Select(Valid(index) ? index : -1, false);
        return Valid(index) ? index : LB_ERR;
      }
      case LB_GETTEXTLEN:
        return Valid(static_cast<int>(wParam)) ? static_cast<LRESULT>(mItems[wParam].text.size()) : LB_ERR;
      case LB_GETTEXT: {
        if (!Valid(static_cast<int>(wParam)) || !lParam) return LB_ERR;
        const std::string& text = mItems[wParam].text;
        std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
      }
      case LB_GETITEMDATA:
        return Valid(static_cast<int>(wParam)) ? mItems[wParam].data : LB_ERR;
      case LB_SETITEMDATA:
        if (!Valid(static_cast<int>(wParam))) return LB_ERR;
        mItems[wParam].data = lParam;
        return 0;
      case LB_GETHORIZONTALEXTENT:
        return mExtent;
      case LB_SETHORIZONTALEXTENT:
        mExtent = static_cast<int>(wParam);
        Changed();
        return 0;
      case LB_GETTOPINDEX:
        return mVertical.Position();
      case LB_SETTOPINDEX:
        if (!Valid(static_cast<int>(wParam))) return LB_ERR;
        Layout();
        mVertical.SetPosition(static_cast<int>(wParam));
        Invalidate();
        return 0;
      case LB_GETITEMHEIGHT:
        return ItemHeight();
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        return MouseDown(Point(lParam), message == WM_LBUTTONDBLCLK);
      case WM_MOUSEMOVE:
        if (GetCapture() != Window()) return 0;
        if (mDragBar) {
          if (mDragBar->Drag(Point(lParam))) Invalidate();
        } else {
          SelectAt(Point(lParam), true);
        }
        return 0;
      case WM_LBUTTONUP:
      case WM_CAPTURECHANGED:
        if (mDragBar) mDragBar->Release();
        mDragBar = nullptr;
        if (message == WM_LBUTTONUP && GetCapture() == Window()) ReleaseCapture();
        return 0;
      case WM_MOUSEWHEEL:
        Layout();
        if (mVertical.SetPosition(mVertical.Position() - 3 * GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA))
          Invalidate();
        return 0;
      case WM_KEYDOWN:
        return Key(static_cast<int>(wParam));
      default:
        return Control::Handle(message, wParam, lParam);
    }
  }

  void Paint(ControlCanvas& canvas, int width, int height) override {
    Layout();
    canvas.Fill(RECT{0, 0, width, height}, GetSysColor(COLOR_WINDOW));
    if (Style() & WS_BORDER) canvas.Outline(RECT{0, 0, width, height}, GetSysColor(COLOR_WINDOWFRAME));
    if (GetWindowLongPtr(Window(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) canvas.SunkenEdge(RECT{0, 0, width, height});
    auto font = Font();
    const int itemHeight = ItemHeight();
    const RECT list = mList;
    ControlCanvas inside = canvas.Inside(POINT{list.left, list.top}, list.right - list.left, list.bottom - list.top);
    const int listWidth = list.right - list.left;
    const int rowWidth = std::max(listWidth, mExtent);
    const int shift = mHorizontal.Position();
    for (int index = mVertical.Position(), y = 0; index < static_cast<int>(mItems.size()); ++index, y += itemHeight) {
      if (y >= list.bottom - list.top) break;
      const bool selected = index == mSelected;
      const RECT row{-shift, y, rowWidth - shift, y + itemHeight};
      COLORREF textColor = Enabled() ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
      if (selected) {
        inside.Fill(RECT{0, y, listWidth, y + itemHeight}, GetSysColor(COLOR_HIGHLIGHT));
        textColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
      }
      inside.Text(row.left + 2, y, mItems[index].text, *font, textColor);
      if (selected && Focused()) inside.FocusRect(RECT{0, y, listWidth, y + itemHeight});
    }
    if (mShowVertical) mVertical.Paint(canvas);
    if (mShowHorizontal) mHorizontal.Paint(canvas);
    if (mShowVertical && mShowHorizontal)
      canvas.Fill(
          RECT{mVertical.Area().left, mHorizontal.Area().top, mVertical.Area().right, mHorizontal.Area().bottom},
          GetSysColor(COLOR_BTNFACE));
  }

 private:
  static POINT Point(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
  bool Valid(int index) const { return index >= 0 && index < static_cast<int>(mItems.size()); }
  int ItemHeight() const { return std::max(1, static_cast<int>(Font()->Metrics().tmHeight)); }

  // The list's area and the scroll bars from the window's size, items and extent.
  void Layout() {
    RECT rect;
    GetWindowRect(Window(), &rect);
    mWidth = rect.right - rect.left;
    mHeight = rect.bottom - rect.top;
    int inset = 0;
    if (Style() & WS_BORDER) inset = 1;
    if (GetWindowLongPtr(Window(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) inset = 2;
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    const int itemHeight = ItemHeight();
    const int count = static_cast<int>(mItems.size());
    RECT list{inset, inset, mWidth - inset, mHeight - inset};
    mShowVertical = mShowHorizontal = false;
    for (int pass = 0; pass < 2; ++pass) {
      if ((Style() & WS_VSCROLL) && !mShowVertical && count * itemHeight > list.bottom - list.top) {
        mShowVertical = true;
        list.right -= bar;
      }
      if ((Style() & WS_HSCROLL) && !mShowHorizontal && mExtent > list.right - list.left) {
        mShowHorizontal = true;
        list.bottom -= bar;
      }
    }
    list.right = std::max(list.right, list.left);
    list.bottom = std::max(list.bottom, list.top);
    mList = list;
    const int visible = std::max(1, static_cast<int>((list.bottom - list.top) / itemHeight));
    mVertical.Place(mShowVertical ? RECT{list.right, inset, list.right + bar, list.bottom} : RECT{});
    mVertical.SetRange(count, visible, 1);
    mHorizontal.Place(mShowHorizontal ? RECT{inset, list.bottom, list.right, list.bottom + bar} : RECT{});
    const int listWidth = static_cast<int>(list.right - list.left);
    mHorizontal.SetRange(mShowHorizontal ? mExtent : 0, std::max(1, listWidth), 8);
  }

  int Visible() {
    Layout();
    return std::max(1, static_cast<int>((mList.bottom - mList.top) / ItemHeight()));
  }

  void Changed() {
    Layout();
    Invalidate();
  }

  LRESULT Insert(int index, LPARAM lParam) {
    Item item{lParam ? reinterpret_cast<const char*>(lParam) : "", 0};
    if (index < -1 || index > static_cast<int>(mItems.size())) return LB_ERR;
    if (index == -1) index = static_cast<int>(mItems.size());
    mItems.insert(mItems.begin() + index, std::move(item));
    if (mSelected >= index) ++mSelected;
    Changed();
    return index;
  }

  // Makes index the selection, scrolled into view; the parent hears of a change made by the user.
  void Select(int index, bool byUser) {
    const bool changed = index != mSelected;
    mSelected = index;
    if (index >= 0) {
      const int visible = Visible();
      if (index < mVertical.Position()) mVertical.SetPosition(index);
      if (index >= mVertical.Position() + visible) mVertical.SetPosition(index - visible + 1);
    }
    Invalidate();
    if (changed && byUser && (Style() & LBS_NOTIFY)) Notify(LBN_SELCHANGE);
  }

  // The item under a point of the list; -1 when none.
  int ItemAt(POINT point) {
    Layout();
    const LONG y = std::clamp(point.y, mList.top, std::max(mList.top, mList.bottom - 1));
    const int index = mVertical.Position() + static_cast<int>((y - mList.top) / ItemHeight());
    return Valid(index) ? index : -1;
  }

  void SelectAt(POINT point, bool dragging) {
    if (!dragging && !PtInRect(&mList, point)) return;
    const int index = ItemAt(point);
    if (index >= 0) Select(index, true);
  }

  LRESULT MouseDown(POINT point, bool doubleClick) {
    SetFocus(Window());
    Layout();
    for (ScrollBar* bar : {&mVertical, &mHorizontal}) {
      const bool shown = bar == &mVertical ? mShowVertical : mShowHorizontal;
      if (shown && bar->Press(point)) {
        if (bar->Dragging()) {
          mDragBar = bar;
          SetCapture(Window());
        }
        Invalidate();
        return 0;
      }
    }
    if (!PtInRect(&mList, point)) return 0;
    const int index = ItemAt(point);
    if (index < 0) return 0;
    Select(index, true);
    if (doubleClick) {
      if (Style() & LBS_NOTIFY) Notify(LBN_DBLCLK);
      return 0;
    }
    SetCapture(Window());
    return 0;
  }

  LRESULT Key(int key) {
    if (mItems.empty()) return 0;
    const int last = static_cast<int>(mItems.size()) - 1;
    const int from = mSelected < 0 ? 0 : mSelected;
    int to = from;
    switch (key) {
      case VK_UP:
        to = mSelected < 0 ? 0 : from - 1;
        break;
      case VK_DOWN:
        to = mSelected < 0 ? 0 : from + 1;
        break;
      case VK_PRIOR:
        to = from - (Visible() - 1);
        break;
      case VK_NEXT:
        to = from + (Visible() - 1);
        break;
      case VK_HOME:
        to = 0;
        break;
      case VK_END:
        to = last;
        break;
      default:
        return 0;
    }
    Select(std::clamp(to, 0, last), true);
    return 0;
  }

  std::vector<Item> mItems;
  int mSelected = -1;
  int mExtent = 0;
  int mWidth = 0;
  int mHeight = 0;
  RECT mList{};
  bool mShowVertical = false;
  bool mShowHorizontal = false;
  ScrollBar mVertical{true};
  ScrollBar mHorizontal{false};
  ScrollBar* mDragBar = nullptr;
};

}  // namespace

std::unique_ptr<Control> MakeListBox(HWND window) { return std::make_unique<ListBox>(window); }

}  // namespace plat
