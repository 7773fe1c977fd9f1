// The control classes and what all controls share: the control table, fonts and the system colours.
#include <map>
#include <mutex>

#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/WindowComposition.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/window/PaintedWindows.h"
#include "platform/win/window/WindowTable.h"

namespace plat {
namespace {

struct ControlTable {
  std::mutex lock;
  std::map<HWND, std::unique_ptr<Control>> controls;
};

ControlTable& Controls() {
  static ControlTable table;
  return table;
}

std::unique_ptr<Control> MakeControl(const WindowRecord& record) {
  if (IsOfClass(record, "BUTTON")) return MakeButton(record.handle);
  if (IsOfClass(record, "EDIT")) return MakeEdit(record.handle);
  if (IsOfClass(record, "LISTBOX")) return MakeListBox(record.handle);
  return MakeStatic(record.handle);
}

LRESULT ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto record = WindowTable::Instance().Find(window);
    if (!record) return FALSE;
    auto control = MakeControl(*record);
    ControlTable& table = Controls();
    std::lock_guard guard(table.lock);
    table.controls[window] = std::move(control);
  }
  Control* control = FindControl(window);
  if (!control) return DefWindowProc(window, message, wParam, lParam);
  LRESULT result = control->Handle(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ControlTable& table = Controls();
    std::unique_ptr<Control> gone;
    std::lock_guard guard(table.lock);
    auto it = table.controls.find(window);
    if (it != table.controls.end()) {
      gone = std::move(it->second);
      table.controls.erase(it);
    }
  }
  return result;
}

}  // namespace

Control* FindControl(HWND window) {
  ControlTable& table = Controls();
  std::lock_guard guard(table.lock);
  auto it = table.controls.find(window);
  return it == table.controls.end() ? nullptr : it->second.get();
}

void RegisterControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    SetWindowComposer(ComposeWindow);
    struct Kind {
      const char* name;
      UINT style;
      LPCSTR cursor;
    };
    for (const Kind& kind : {Kind{"BUTTON", CS_DBLCLKS, IDC_ARROW}, Kind{"EDIT", CS_DBLCLKS, IDC_IBEAM},
                             Kind{"LISTBOX", CS_DBLCLKS, IDC_ARROW}, Kind{"STATIC", 0, IDC_ARROW}}) {
      WindowClassRecord record;
      record.name = kind.name;
      record.style = kind.style;
      record.proc = ControlProc;
      record.cursor = LoadCursor(nullptr, kind.cursor);
      WindowTable::Instance().RegisterClass(record);
    }
  });
}

LRESULT Control::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFONT:
      mFont = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) Invalidate();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(mFont);
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      return 0;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProc(mWindow, message, wParam, lParam);
      Invalidate();
      return result;
    }
    default:
      return DefWindowProc(mWindow, message, wParam, lParam);
  }
}

DWORD Control::Style() const { return static_cast<DWORD>(GetWindowLongPtr(mWindow, GWL_STYLE)); }

bool Control::Enabled() const { return IsWindowEnabled(mWindow) != FALSE; }

bool Control::Focused() const { return GetFocus() == mWindow; }

std::string Control::Text() const {
  auto record = WindowTable::Instance().Find(mWindow);
  return record ? record->title : std::string();
}

void Control::Notify(WORD code) {
  HWND parent = GetParent(mWindow);
  if (parent)
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(mWindow), code), reinterpret_cast<LPARAM>(mWindow));
}

void Control::Invalidate() { InvalidateRect(mWindow, nullptr, TRUE); }

}  // namespace plat

DWORD GetSysColor(int index) {
  switch (index) {
    case COLOR_WINDOW:
    case COLOR_BTNHIGHLIGHT:
    case COLOR_HIGHLIGHTTEXT:
      return RGB(255, 255, 255);
    case COLOR_SCROLLBAR:
    case COLOR_BTNFACE:
    case COLOR_3DLIGHT:
      return RGB(212, 208, 200);
    case COLOR_BTNSHADOW:
    case COLOR_GRAYTEXT:
      return RGB(128, 128, 128);
    case COLOR_3DDKSHADOW:
      return RGB(64, 64, 64);
    case COLOR_HIGHLIGHT:
      return RGB(10, 36, 106);
    default:
      return RGB(0, 0, 0);
  }
}

HBRUSH GetSysColorBrush(int index) { return reinterpret_cast<HBRUSH>(static_cast<LONG_PTR>(index + 1)); }
