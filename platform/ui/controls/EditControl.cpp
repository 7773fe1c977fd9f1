// EDIT: single-line (scrolled sideways to keep the caret in view) or multi-line (lines broken at
// "\r\n", wrapped at words unless ES_AUTOHSCROLL, with a vertical scroll bar for WS_VSCROLL) text,
// read-only or editable, with a selection made by keys (Shift with the arrows, Home, End, pages;
// Ctrl for words and the whole text) or by mouse (drag, double click for a word), and the clipboard
// (Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+Insert, Shift+Insert, Shift+Delete). The parent hears EN_CHANGE after
// every change the user makes.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/GdiFont.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/ScrollBar.h"
#include "platform/ui/controls/TextWrap.h"
#include "platform/win/input/Clipboard.h"
#include "platform/win/input/VirtualKeys.h"
#include "platform/win/window/WindowTable.h"

namespace plat {
namespace {

constexpr int kMargin = 2;
constexpr int kTextLimit = 30000;  // characters an edit control takes

bool IsWordCharacter(char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; }

class Edit final : public Control {
 public:
  explicit Edit(HWND window) : Control(window) {}

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_CREATE: {
        auto record = WindowTable::Instance().Find(Window());
        if (record) mText = Accept(record->title);
        return 0;
      }
      case WM_GETDLGCODE:
        // Enter reaches a multi-line edit that asks for it; Tab and Escape stay the dialog's.
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS |
               (Multiline() && (Style() & ES_WANTRETURN) && wParam == VK_RETURN ? DLGC_WANTALLKEYS : 0);
      case WM_SETTEXT:
        mText = Accept(lParam ? reinterpret_cast<const char*>(lParam) : "");
        mAnchor = mCaret = 0;
        mTop = 0;
        mScrollX = 0;
        Mirror();
        Invalidate();
        return TRUE;
      case WM_GETTEXT: {
        if (!lParam || wParam == 0) return 0;
        const std::size_t count = std::min(mText.size(), static_cast<std::size_t>(wParam) - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), mText.data(), count);
        reinterpret_cast<char*>(lParam)[count] = '\0';
        return static_cast<LRESULT>(count);
      }
      case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(mText.size());
      case EM_GETSEL: {
        const DWORD start = static_cast<DWORD>(SelectionStart()), end = static_cast<DWORD>(SelectionEnd());
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = start;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = end;
        return static_cast<LRESULT>(MAKELONG(std::min<DWORD>(start, 0xFFFF), std::min<DWORD>(end, 0xFFFF)));
      }
      case EM_SETSEL: {
        const int size = static_cast<int>(mText.size());
        const auto start = static_cast<int>(static_cast<INT_PTR>(wParam));
        const auto end = static_cast<int>(lParam);
        if (start == -1) {
          mAnchor = mCaret;  // the selection goes, the caret stays
        } else {
          mAnchor = std::clamp(start, 0, size);
          mCaret = end < 0 ? size : std::clamp(end, 0, size);
        }
        ScrollToCaret();
        Invalidate();
        return 0;
      }
      case EM_REPLACESEL:
        ReplaceSelection(lParam ? reinterpret_cast<const char*>(lParam) : "", false);
        return 0;
      case EM_SETREADONLY: {
        const DWORD style = Style();
        SetWindowLongPtr(Window(), GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
        Invalidate();
        return TRUE;
      }
      case EM_GETLINECOUNT:
        return static_cast<LRESULT>(Lines().size());
      case EM_GETFIRSTVISIBLELINE:
        return Multiline() ? mTop : 0;
      case EM_SCROLLCARET:
        ScrollToCaret();
        Invalidate();
        return TRUE;
      case WM_COPY:
        Copy();
        return 0;
      case WM_CUT:
        Cut();
        return 0;
      case WM_PASTE:
        Paste();
        return 0;
      case WM_CLEAR:
        if (!ReadOnly()) ReplaceSelection("", true);
        return 0;
      case WM_SETFOCUS:
        Notify(EN_SETFOCUS);
        return Control::Handle(message, wParam, lParam);
      case WM_KILLFOCUS:
        Notify(EN_KILLFOCUS);
        return Control::Handle(message, wParam, lParam);
      case WM_KEYDOWN:
        Key(static_cast<int>(wParam));
        return 0;
      case WM_CHAR:
        Character(static_cast<unsigned char>(wParam));
        return 0;
      case WM_LBUTTONDOWN:
        MouseDown(Point(lParam));
        return 0;
      case WM_LBUTTONDBLCLK:
        SelectWordAt(Point(lParam));
        return 0;
      case WM_MOUSEMOVE:
        if (GetCapture() != Window()) return 0;
        if (mBar.Dragging()) {
          if (mBar.Drag(Point(lParam))) {
            mTop = mBar.Position();
            Invalidate();
          }
        } else {
          MoveCaret(CaretAt(Point(lParam)), true);
        }
        return 0;
      case WM_LBUTTONUP:
      case WM_CAPTURECHANGED:
        mBar.Release();
        if (message == WM_LBUTTONUP && GetCapture() == Window()) ReleaseCapture();
        return 0;
      case WM_MOUSEWHEEL:
        if (Multiline()) ScrollLines(-3 * GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
        return 0;
      default:
        return Control::Handle(message, wParam, lParam);
    }
  }

  void Paint(ControlCanvas& canvas, int width, int height) override {
    const bool editable = Enabled() && !ReadOnly();
    const COLORREF background = editable ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE);
    canvas.Fill(RECT{0, 0, width, height}, background);
    if (Style() & WS_BORDER) canvas.Outline(RECT{0, 0, width, height}, GetSysColor(COLOR_WINDOWFRAME));
    if (GetWindowLongPtr(Window(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) canvas.SunkenEdge(RECT{0, 0, width, height});
    const RECT area = TextArea();
    auto font = Font();
    const int lineHeight = LineHeight();
    const auto lines = Lines();
    const int selStart = SelectionStart(), selEnd = SelectionEnd();
    const COLORREF textColor = Enabled() ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    ControlCanvas inside = canvas.Inside(POINT{area.left, area.top}, area.right - area.left, area.bottom - area.top);
    const int first = Multiline() ? mTop : 0;
    int y = Multiline() ? 0 : std::max(0, static_cast<int>(area.bottom - area.top - lineHeight) / 2);
    for (int index = first; index < static_cast<int>(lines.size()); ++index, y += lineHeight) {
      if (y >= area.bottom - area.top) break;
      const TextLine& line = lines[index];
      const std::string_view shown = std::string_view(mText).substr(line.start, line.length);
      const int x = LineX(line) - mScrollX;
      inside.Text(x, y, shown, *font, textColor);
      // The selected part of the line, inverted.
      const int from = std::clamp(selStart, line.start, line.start + line.length);
      const int to = std::clamp(selEnd, line.start, line.start + line.length);
      if (from < to && Focused()) {
        const int left = x + TextWidthOf(*font, std::string_view(mText).substr(line.start, from - line.start));
        const int right = left + TextWidthOf(*font, std::string_view(mText).substr(from, to - from));
        inside.Fill(RECT{left, y, right, y + lineHeight}, GetSysColor(COLOR_HIGHLIGHT));
        inside.Text(left, y, std::string_view(mText).substr(from, to - from), *font, GetSysColor(COLOR_HIGHLIGHTTEXT));
      }
    }
    if (Focused()) {
      const POINT caret = CaretPoint();
      inside.Fill(RECT{caret.x, caret.y, caret.x + 1, caret.y + lineHeight}, GetSysColor(COLOR_WINDOWTEXT));
    }
    if (ShowsBar()) {
      Layout();
      mBar.Paint(canvas);
    }
  }

 private:
  static POINT Point(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
  bool Multiline() const { return (Style() & ES_MULTILINE) != 0; }
  bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
  bool Wraps() const { return Multiline() && !(Style() & ES_AUTOHSCROLL); }
  bool ShowsBar() const { return Multiline() && (Style() & WS_VSCROLL); }
  int SelectionStart() const { return std::min(mAnchor, mCaret); }
  int SelectionEnd() const { return std::max(mAnchor, mCaret); }
  int LineHeight() const { return std::max(1, static_cast<int>(Font()->Metrics().tmHeight)); }

  int Inset() const {
    if (GetWindowLongPtr(Window(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) return 2;
    return (Style() & WS_BORDER) ? 1 : 0;
  }

  RECT Bounds() const {
    RECT rect;
    GetWindowRect(Window(), &rect);
    return RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top};
  }

  // Where the text lies in the window, inside border, margins and scroll bar.
  RECT TextArea() const {
    const RECT bounds = Bounds();
    const int inset = Inset();
    RECT area{inset + kMargin, inset, bounds.right - inset - kMargin, bounds.bottom - inset};
    if (ShowsBar()) area.right -= GetSystemMetrics(SM_CXVSCROLL);
    area.right = std::max(area.right, area.left);
    area.bottom = std::max(area.bottom, area.top);
    return area;
  }

  int VisibleLines() const {
    const RECT area = TextArea();
    return std::max(1, static_cast<int>((area.bottom - area.top) / LineHeight()));
  }

  void Layout() {
    const RECT bounds = Bounds();
    const int inset = Inset();
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    mBar.Place(RECT{bounds.right - inset - bar, inset, bounds.right - inset, bounds.bottom - inset});
    mBar.SetRange(static_cast<int>(Lines().size()), VisibleLines(), 1);
    mBar.SetPosition(mTop);
  }

  std::vector<TextLine> Lines() const {
    auto font = Font();
    if (!Multiline()) return {TextLine{0, static_cast<int>(mText.size()), static_cast<int>(mText.size())}};
    const RECT area = TextArea();
    return WrapText(*font, mText, Wraps() ? std::max(1, static_cast<int>(area.right - area.left)) : 0);
  }

  int LineX(const TextLine& line) const {
    const DWORD align = Style() & 0x3;
    if (align == ES_LEFT) return 0;
    const RECT area = TextArea();
    auto font = Font();
    const int room =
        (area.right - area.left) - TextWidthOf(*font, std::string_view(mText).substr(line.start, line.length));
    return align == ES_CENTER ? room / 2 : room;
  }

  // The line the caret shows on: a caret at a wrapped line's end belongs to the next line.
  static int LineOf(const std::vector<TextLine>& lines, int position) {
    for (int index = 0; index < static_cast<int>(lines.size()); ++index) {
      const TextLine& line = lines[index];
      const bool last = index + 1 == static_cast<int>(lines.size());
      if (position < line.next || last) return index;
      if (position <= line.start + line.length && line.next == line.start + line.length) return index;
    }
    return 0;
  }

  // The caret's top in the text area's coordinates.
  POINT CaretPoint() const {
    const auto lines = Lines();
    const int index = LineOf(lines, mCaret);
    const TextLine& line = lines[index];
    auto font = Font();
    const int offset = std::min(mCaret, line.start + line.length) - line.start;
    const int x = LineX(line) + TextWidthOf(*font, std::string_view(mText).substr(line.start, offset)) - mScrollX;
    const RECT area = TextArea();
    const int y = Multiline() ? (index - mTop) * LineHeight()
                              : std::max(0, static_cast<int>(area.bottom - area.top - LineHeight()) / 2);
    return POINT{x, y};
  }

  // The text position nearest to a point of the window.
  int CaretAt(POINT point) const {
    const auto lines = Lines();
    const RECT area = TextArea();
    int index = 0;
    if (Multiline()) {
      const int offset = static_cast<int>(point.y - area.top), height = LineHeight();
      const int row = offset >= 0 ? offset / height : -((height - 1 - offset) / height);  // rounded down
      index = std::clamp(mTop + row, 0, static_cast<int>(lines.size()) - 1);
    }
    const TextLine& line = lines[index];
    auto font = Font();
    const int target = point.x - area.left + mScrollX - LineX(line);
    int x = 0;
    for (int i = 0; i < line.length; ++i) {
      const int advance = font->GlyphOf(static_cast<unsigned char>(mText[line.start + i])).advance;
      if (target < x + advance / 2) return line.start + i;
      x += advance;
    }
    return line.start + line.length;
  }

  void ScrollToCaret() {
    const RECT area = TextArea();
    const int width = area.right - area.left;
    if (Multiline()) {
      const int index = LineOf(Lines(), mCaret);
      if (index < mTop) mTop = index;
      if (index >= mTop + VisibleLines()) mTop = index - VisibleLines() + 1;
    }
    if (!Wraps()) {
      const POINT caret = CaretPoint();
      const int x = caret.x + mScrollX;
      if (x < mScrollX) mScrollX = std::max(0, x - width / 4);
      if (x >= mScrollX + width) mScrollX = x - width + width / 4;
    } else {
      mScrollX = 0;
    }
  }

  void ScrollLines(int count) {
    Layout();
    mBar.SetPosition(mTop + count);
    if (mBar.Position() != mTop) {
      mTop = mBar.Position();
      Invalidate();
    }
  }

  // Text as the control keeps it: a single-line edit keeps what comes before the first line break.
  std::string Accept(std::string text) const {
    if (!Multiline()) {
      const std::size_t end = text.find_first_of("\r\n");
      if (end != std::string::npos) text.resize(end);
    }
    return text;
  }

  // The window's text follows the control's, so that other threads read it with GetWindowText.
  void Mirror() {
    WindowTable::Instance().Update(Window(), [&](WindowRecord& record) { record.title = mText; });
  }

  void ReplaceSelection(const std::string& insert, bool byUser) {
    std::string text = Accept(insert);
    const int start = SelectionStart(), end = SelectionEnd();
    const int room = kTextLimit - (static_cast<int>(mText.size()) - (end - start));
    if (room < static_cast<int>(text.size())) {
      text.resize(static_cast<std::size_t>(std::max(room, 0)));
      if (byUser) Notify(EN_MAXTEXT);
    }
    if (text.empty() && start == end) return;
    mText.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), text);
    mAnchor = mCaret = start + static_cast<int>(text.size());
    Mirror();
    ScrollToCaret();
    Invalidate();
    if (byUser) Notify(EN_CHANGE);
  }

  void MoveCaret(int position, bool extend) {
    mCaret = std::clamp(position, 0, static_cast<int>(mText.size()));
    if (!extend) mAnchor = mCaret;
    ScrollToCaret();
    Invalidate();
  }

  // One character left or right; a "\r\n" counts as one.
  int Step(int position, int direction) const {
    const int size = static_cast<int>(mText.size());
    if (direction < 0) {
      if (position <= 0) return 0;
      if (position >= 2 && mText[position - 1] == '\n' && mText[position - 2] == '\r') return position - 2;
      return position - 1;
    }
    if (position >= size) return size;
    if (mText[position] == '\r' && position + 1 < size && mText[position + 1] == '\n') return position + 2;
    return position + 1;
  }

  int WordStep(int position, int direction) const {
    const int size = static_cast<int>(mText.size());
    if (direction < 0) {
      while (position > 0 && !IsWordCharacter(mText[position - 1])) --position;
      while (position > 0 && IsWordCharacter(mText[position - 1])) --position;
      return position;
    }
    while (position < size && IsWordCharacter(mText[position])) ++position;
    while (position < size && !IsWordCharacter(mText[position])) ++position;
    return position;
  }

  // The caret moved by whole lines, keeping its column as near as the text allows.
  int LineStep(int count) const {
    const auto lines = Lines();
    const int index = std::clamp(LineOf(lines, mCaret) + count, 0, static_cast<int>(lines.size()) - 1);
    const POINT caret = CaretPoint();
    const RECT area = TextArea();
    return CaretAt(POINT{area.left + caret.x, area.top + (index - mTop) * LineHeight()});
  }

  void Key(int key) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const auto lines = Lines();
    const TextLine& line = lines[LineOf(lines, mCaret)];
    switch (key) {
      case VK_LEFT:
        if (!shift && mAnchor != mCaret)
          MoveCaret(SelectionStart(), false);
        else
          MoveCaret(ctrl ? WordStep(mCaret, -1) : Step(mCaret, -1), shift);
        break;
      case VK_RIGHT:
        if (!shift && mAnchor != mCaret)
          MoveCaret(SelectionEnd(), false);
        else
          MoveCaret(ctrl ? WordStep(mCaret, 1) : Step(mCaret, 1), shift);
        break;
      case VK_UP:
        if (Multiline()) MoveCaret(LineStep(-1), shift);
        break;
      case VK_DOWN:
        if (Multiline()) MoveCaret(LineStep(1), shift);
        break;
      case VK_PRIOR:
        if (Multiline()) MoveCaret(LineStep(-VisibleLines()), shift);
        break;
      case VK_NEXT:
        if (Multiline()) MoveCaret(LineStep(VisibleLines()), shift);
        break;
      case VK_HOME:
        MoveCaret(ctrl ? 0 : line.start, shift);
        break;
      case VK_END:
        MoveCaret(ctrl ? static_cast<int>(mText.size()) : line.start + line.length, shift);
        break;
      case VK_DELETE:
        if (shift) {
          Cut();
        } else if (!ReadOnly()) {
          if (mAnchor == mCaret) mCaret = Step(mCaret, 1);
          ReplaceSelection("", true);
        }
        break;
      case VK_INSERT:
        if (ctrl) Copy();
        if (shift) Paste();
        break;
      default:
        break;
    }
  }

  void Character(unsigned char c) {
    switch (c) {
      case 1:  // Ctrl+A
        mAnchor = 0;
        MoveCaret(static_cast<int>(mText.size()), true);
        return;
      case 3:  // Ctrl+C
        Copy();
        return;
      case 22:  // Ctrl+V
        Paste();
        return;
      case 24:  // Ctrl+X
        Cut();
        return;
      default:
        break;
    }
    if (ReadOnly()) return;
    if (c == 8) {
      if (mAnchor == mCaret) mCaret = Step(mCaret, -1);
      ReplaceSelection("", true);
    } else if (c == 13 || c == 10) {
      if (Multiline()) ReplaceSelection("\r\n", true);
    } else if (c == 9) {
      if (Multiline()) ReplaceSelection("\t", true);
    } else if (c >= 32 && c != 127) {
      ReplaceSelection(std::string(1, static_cast<char>(c)), true);
    }
  }

  void Copy() {
    if (mAnchor == mCaret || !OpenClipboard(Window())) return;
    const std::string text = mText.substr(SelectionStart(), SelectionEnd() - SelectionStart());
    EmptyClipboard();
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
      std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
      GlobalUnlock(block);
      if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
    }
    CloseClipboard();
  }

  void Cut() {
    if (ReadOnly() || mAnchor == mCaret) return;
    Copy();
    ReplaceSelection("", true);
  }

  void Paste() {
    if (ReadOnly() || !OpenClipboard(Window())) return;
    std::string text;
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
      if (const char* data = static_cast<const char*>(GlobalLock(block))) {
        text.assign(data, strnlen(data, GlobalSize(block)));
        GlobalUnlock(block);
      }
    }
    CloseClipboard();
    ReplaceSelection(text, true);
  }

  void MouseDown(POINT point) {
    SetFocus(Window());
    if (ShowsBar()) {
      Layout();
      if (mBar.Press(point)) {
        mTop = mBar.Position();
        if (mBar.Dragging()) SetCapture(Window());
        Invalidate();
        return;
      }
    }
    MoveCaret(CaretAt(point), GetKeyState(VK_SHIFT) < 0);
    SetCapture(Window());
  }

  void SelectWordAt(POINT point) {
    const int at = CaretAt(point);
    int start = at, end = at;
    const int size = static_cast<int>(mText.size());
    while (start > 0 && IsWordCharacter(mText[start - 1])) --start;
    while (end < size && IsWordCharacter(mText[end])) ++end;
    mAnchor = start;
    MoveCaret(end, true);
  }

  std::string mText;
  int mAnchor = 0;
  int mCaret = 0;
  int mTop = 0;      // first line shown (multi-line)
  int mScrollX = 0;  // pixels scrolled sideways (lines that do not wrap)
  ScrollBar mBar{true};
};

}  // namespace

std::unique_ptr<Control> MakeEdit(HWND window) { return std::make_unique<Edit>(window); }

}  // namespace plat
