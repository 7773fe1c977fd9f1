// Modal dialogs from templates in memory: the layer's dialog class, the dialog units of the
// template's font, the dialog procedure with the default handling behind it, the dialog manager's
// keys and the modal loop.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/gdi/GdiFont.h"
#include "platform/ui/controls/ControlCanvas.h"
#include "platform/ui/dialogs/DialogTemplate.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/input/VirtualKeys.h"
#include "platform/win/process/Memory.h"
#include "platform/win/window/WindowTable.h"

namespace plat {
namespace {

constexpr const char* kDialogClass = "#32770";
// A template that is not in a global memory block is read as far as a template can reach.
constexpr std::size_t kLongestTemplate = 0x10000;

struct DialogState {
  DLGPROC proc = nullptr;
  HFONT font = nullptr;  // made from the template, deleted with the dialog
  int baseX = 4;         // dialog base units in pixels
  int baseY = 8;
  bool ended = false;
  INT_PTR result = 0;
  HWND lastFocus = nullptr;
};

struct DialogTable {
  std::mutex lock;
  std::map<HWND, DialogState> dialogs;
};

DialogTable& Dialogs() {
  static DialogTable table;
  return table;
}

// A copy of the dialog's state; false for a window that is no dialog.
bool StateOf(HWND dialog, DialogState* state) {
  DialogTable& table = Dialogs();
  std::lock_guard guard(table.lock);
  auto it = table.dialogs.find(dialog);
  if (it == table.dialogs.end()) return false;
  *state = it->second;
  return true;
}

template <typename Change>
bool ChangeState(HWND dialog, Change change) {
  DialogTable& table = Dialogs();
  std::lock_guard guard(table.lock);
  auto it = table.dialogs.find(dialog);
  if (it == table.dialogs.end()) return false;
  change(it->second);
  return true;
}

bool IsPushButton(const WindowRecord& record) {
  return IsOfClass(record, "BUTTON") && (record.style & 0xF) <= BS_DEFPUSHBUTTON;
}

// The next (or previous) control that Tab stops at, after `from`, wrapping around. In a dialog
// without tab stops every visible, enabled control but labels is one.
HWND NextTabStop(HWND dialog, HWND from, bool backwards) {
  auto children = WindowTable::Instance().ChildrenOf(dialog);
  const bool anyTabStop =
      std::any_of(children.begin(), children.end(), [](const WindowRecord& r) { return r.style & WS_TABSTOP; });
  auto stops = [anyTabStop](const WindowRecord& r) {
    return r.visible && !(r.style & WS_DISABLED) &&
           (anyTabStop ? (r.style & WS_TABSTOP) != 0 : !IsOfClass(r, "STATIC"));
  };
  if (children.empty()) return nullptr;
  if (backwards) std::reverse(children.begin(), children.end());
  auto at = std::find_if(children.begin(), children.end(), [&](const WindowRecord& r) { return r.handle == from; });
  // Without a control to start from, the search starts at the first.
  const std::size_t start =
      at == children.end() ? children.size() - 1 : static_cast<std::size_t>(at - children.begin());
  for (std::size_t step = 1; step <= children.size(); ++step) {
    const WindowRecord& candidate = children[(start + step) % children.size()];
    if (stops(candidate)) return candidate.handle;
  }
  return nullptr;
}

HWND FirstTabStop(HWND dialog) { return NextTabStop(dialog, nullptr, false); }

// The button that Enter presses: the focused push button, else the default push button; its id.
int DefaultButtonId(HWND dialog, HWND* button) {
  *button = nullptr;
  HWND focus = GetFocus();
  auto children = WindowTable::Instance().ChildrenOf(dialog);
  for (const WindowRecord& child : children) {
    if (child.handle == focus && IsPushButton(child)) {
      *button = child.handle;
      return static_cast<int>(child.id);
    }
  }
  for (const WindowRecord& child : children) {
    if (IsPushButton(child) && (child.style & 0xF) == BS_DEFPUSHBUTTON) {
      *button = child.handle;
      return static_cast<int>(child.id);
    }
  }
  *button = GetDlgItem(dialog, IDOK);
  return IDOK;
}

void Command(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button && !IsWindowEnabled(button)) return;
  SendMessage(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

LRESULT DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogState state;
  const bool known = StateOf(dialog, &state);
  if (known && state.proc) {
    if (INT_PTR answer = state.proc(dialog, message, wParam, lParam)) return answer;
  }
  switch (message) {
    case WM_CLOSE:
      // A dialog is not destroyed by closing it: it hears Cancel.
      Command(dialog, IDCANCEL);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state.font);
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && known) {
        HWND focus = GetFocus();
        if (!focus || !WindowTable::Instance().IsWithin(focus, dialog) || focus == dialog) {
          HWND target = state.lastFocus && IsWindow(state.lastFocus) ? state.lastFocus : FirstTabStop(dialog);
          if (target) SetFocus(target);
        }
      }
      return 0;
    default:
      return DefWindowProc(dialog, message, wParam, lParam);
  }
}

void RegisterDialogClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASS dialogClass{};
    dialogClass.lpfnWndProc = DialogProc;
    dialogClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    dialogClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    dialogClass.lpszClassName = kDialogClass;
    RegisterClass(&dialogClass);
  });
}

HFONT MakeTemplateFont(const DialogTemplateData& data) {
  if (!data.hasFont) return nullptr;
  return CreateFontA(-MulDiv(data.pointSize, 96, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     data.faceName.c_str());
}

// Dialog base units: the font's average letter width and its height.
void BaseUnits(HFONT font, int* baseX, int* baseY) {
  auto face = ControlFont(font);
  static constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const int width = TextWidthOf(*face, kLetters);
  *baseX = std::max(1, (width / 26 + 1) / 2);
  *baseY = std::max(1, static_cast<int>(face->Metrics().tmHeight));
}

RECT ToPixels(int baseX, int baseY, short x, short y, short cx, short cy) {
  const int left = MulDiv(x, baseX, 4), top = MulDiv(y, baseY, 8);
  return RECT{left, top, left + MulDiv(cx, baseX, 4), top + MulDiv(cy, baseY, 8)};
}

// Whether a template's dialog class makes a window whose procedure is the dialog procedure: only such a
// window passes WM_INITDIALOG, the commands and the rest to the procedure of the dialog. The window
// procedure of any other class (a control's, the program's own) never does, and its modal loop would
// wait for an EndDialog that cannot come.
bool IsDialogClass(const std::string& className) {
  if (className.empty()) return true;
  auto windowClass = WindowTable::Instance().FindClass(className);
  return windowClass && windowClass->proc == DialogProc;
}

// Makes the dialog window and its controls; null when one of them cannot be made or the template names
// a window class that is no dialog class.
HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplateData& data, HWND owner, DLGPROC proc) {
  RegisterDialogClass();
  if (!IsDialogClass(data.className)) return nullptr;
  DialogState state;
  state.proc = proc;
  state.font = MakeTemplateFont(data);
  BaseUnits(state.font, &state.baseX, &state.baseY);

  const DWORD style = data.style & ~WS_VISIBLE & ~WS_CHILD;
  RECT client = ToPixels(state.baseX, state.baseY, data.x, data.y, data.cx, data.cy);
  POINT origin{0, 0};
  if (owner) ClientToScreen(owner, &origin);
  OffsetRect(&client, origin.x, origin.y);
  RECT outer{0, 0, client.right - client.left, client.bottom - client.top};
  AdjustWindowRectEx(&outer, style, data.hasMenu, data.exStyle);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  int x = client.left, y = client.top;
  if (data.style & DS_CENTER) {
    x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  }
  const char* className = data.className.empty() ? kDialogClass : data.className.c_str();
  HWND dialog = CreateWindowEx(data.exStyle, className, data.title.c_str(), style, x, y, width, height, owner, nullptr,
                               instance, nullptr);
  if (!dialog) {
    if (state.font) DeleteObject(state.font);
    return nullptr;
  }
  {
    DialogTable& table = Dialogs();
    std::lock_guard guard(table.lock);
    table.dialogs[dialog] = state;
  }
  for (const DialogItem& item : data.items) {
    const RECT rect = ToPixels(state.baseX, state.baseY, item.x, item.y, item.cx, item.cy);
    HWND control = CreateWindowEx(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, dialog,
                                  reinterpret_cast<HMENU>(static_cast<LONG_PTR>(item.id)), instance, nullptr);
    if (!control) return dialog;  // the caller sees the missing control count and gives up
    if (state.font) SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
  }
  return dialog;
}

void DestroyDialog(HWND dialog) {
  DialogState state;
  if (!StateOf(dialog, &state)) return;
  DestroyWindow(dialog);
  {
    DialogTable& table = Dialogs();
    std::lock_guard guard(table.lock);
    table.dialogs.erase(dialog);
  }
  if (state.font) DeleteObject(state.font);
}

}  // namespace
}  // namespace plat

INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE dialogTemplate, HWND owner, DLGPROC dialogProc,
                               LPARAM param) {
  const auto* bytes = reinterpret_cast<const BYTE*>(dialogTemplate);
  if (!bytes || (owner && !IsWindow(owner))) return -1;
  std::size_t size = plat::GlobalBytesFrom(bytes);
  if (size == 0) size = plat::kLongestTemplate;
  auto data = plat::ParseDialogTemplate(bytes, size);
  if (!data) return -1;
  HWND dialog = plat::CreateDialogFromTemplate(instance, *data, owner, dialogProc);
  if (!dialog) return -1;
  if (plat::WindowTable::Instance().ChildrenOf(dialog).size() != data->items.size()) {
    plat::DestroyDialog(dialog);
    return -1;
  }

  HWND first = plat::FirstTabStop(dialog);
  if (SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && first) SetFocus(first);
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  plat::DialogState state;
  // A dialog ended while it was being set up is never shown.
  if (plat::StateOf(dialog, &state) && !state.ended) ShowWindow(dialog, SW_SHOWNORMAL);

  while (plat::StateOf(dialog, &state) && !state.ended && IsWindow(dialog)) {
    MSG msg;
    const BOOL got = GetMessage(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop still hears it
      break;
    }
    if (got < 0) break;
    if (!IsDialogMessage(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    HWND focus = GetFocus();
    if (focus && focus != dialog && plat::WindowTable::Instance().IsWithin(focus, dialog))
      plat::ChangeState(dialog, [focus](plat::DialogState& s) { s.lastFocus = focus; });
  }
  plat::StateOf(dialog, &state);
  if (disableOwner) EnableWindow(owner, TRUE);
  if (owner && GetActiveWindow() == dialog) SetActiveWindow(owner);
  plat::DestroyDialog(dialog);
  return state.result;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATE dialogTemplate, HWND owner, DLGPROC dialogProc,
                                LPARAM param) {
  return DialogBoxIndirectParam(instance, dialogTemplate, owner, dialogProc, param);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  return plat::ChangeState(dialog,
                           [result](plat::DialogState& state) {
                             state.ended = true;
                             state.result = result;
                           })
             ? TRUE
             : FALSE;
}

HWND GetDlgItem(HWND dialog, int id) {
  for (const plat::WindowRecord& child : plat::WindowTable::Instance().ChildrenOf(dialog)) {
    if (child.id == id) return child.handle;
  }
  return nullptr;
}

BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text) { return SetWindowText(GetDlgItem(dialog, id), text); }

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) { return SetDlgItemText(dialog, id, text); }

UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (buffer && size > 0) buffer[0] = '\0';
    return 0;
  }
  return static_cast<UINT>(GetWindowText(item, buffer, size));
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) { return GetDlgItemText(dialog, id, buffer, size); }

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessage(item, message, wParam, lParam) : 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendDlgItemMessage(dialog, id, message, wParam, lParam);
}

BOOL IsDialogMessage(HWND dialog, LPMSG msg) {
  if (!msg || !msg->hwnd || !IsWindow(dialog) || !plat::WindowTable::Instance().IsWithin(msg->hwnd, dialog))
    return FALSE;
  const bool keyMessage = msg->message == WM_KEYDOWN || msg->message == WM_CHAR;
  const int key = msg->message == WM_KEYDOWN ? static_cast<int>(msg->wParam)
                  : msg->wParam == 9         ? VK_TAB
                  : msg->wParam == 13        ? VK_RETURN
                  : msg->wParam == 27        ? VK_ESCAPE
                                             : 0;
  if (keyMessage && key) {
    const LRESULT code = SendMessage(msg->hwnd, WM_GETDLGCODE, static_cast<WPARAM>(key), reinterpret_cast<LPARAM>(msg));
    const bool down = msg->message == WM_KEYDOWN;
    switch (key) {
      case VK_TAB:
        if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) break;
        if (down) {
          HWND next = plat::NextTabStop(dialog, GetFocus(), GetKeyState(VK_SHIFT) < 0);
          if (next) {
            SetFocus(next);
            if (SendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessage(next, EM_SETSEL, 0, -1);
          }
        }
        return TRUE;
      case VK_RETURN:
        if (code & DLGC_WANTALLKEYS) break;
        if (down) {
          HWND button;
          const int id = plat::DefaultButtonId(dialog, &button);
          plat::Command(dialog, id);
        }
        return TRUE;
      case VK_ESCAPE:
        if (code & DLGC_WANTALLKEYS) break;
        if (down) plat::Command(dialog, IDCANCEL);
        return TRUE;
      default:
        break;
    }
  }
  TranslateMessage(msg);
  DispatchMessage(msg);
  return TRUE;
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg) { return IsDialogMessage(dialog, msg); }
