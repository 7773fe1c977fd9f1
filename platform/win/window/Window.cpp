#include "platform/win/window/Window.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/win/input/Cursor.h"
#include "platform/win/window/IconResources.h"
#include "platform/win/window/MessageQueue.h"
#include "platform/win/window/PaintedWindows.h"
#include "platform/win/window/SdlVideo.h"
#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/WindowEvents.h"
#include "platform/win/window/WindowTable.h"

namespace plat {
namespace {

// Activation, focus and capture: one set for the process, as one application has one foreground.
struct FocusState {
  std::mutex lock;
  HWND active = nullptr;
  HWND focus = nullptr;
  HWND capture = nullptr;
  HWND pointerOver = nullptr;
  bool appActive = false;
  // The focus each top-level window had when it was last active, given back when it is again.
  std::map<HWND, HWND> remembered;
};

FocusState& Focus() {
  static FocusState state;
  return state;
}

bool IsTopLevel(const WindowRecord& record) { return !(record.style & WS_CHILD); }

// The main window becomes an SDL window: the first top-level captioned or pop-up window with an area
// that the layer does not paint itself.
bool WantsSdlWindow(const WindowRecord& record) {
  if (!IsTopLevel(record) || record.painted) return false;
  if (!(record.style & (WS_POPUP | WS_CAPTION))) return false;
  RECT client = ClientRectOnScreenOf(record);
  if (client.right <= client.left || client.bottom <= client.top) return false;
  return WindowTable::Instance().SdlBacked() == nullptr;
}

SDL_Window* MakeSdlWindow(const WindowRecord& record) {
  if (!EnsureSdlVideo()) return nullptr;
  RECT client = ClientRectOnScreenOf(record);
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if ((record.style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
  if (record.exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  SDL_Window* window = SDL_CreateWindow(record.title.c_str(), client.left, client.top, client.right - client.left,
                                        client.bottom - client.top, flags);
  if (!window) {
    SDL_Log("SDL_CreateWindow failed: %s", SDL_GetError());
    return nullptr;
  }
  ShowWindowIcon(window, record.windowClass.icon);
  return window;
}

int DropMovesOf(void* windowId, SDL_Event* event) {
  return event->type != SDL_WINDOWEVENT || event->window.event != SDL_WINDOWEVENT_MOVED ||
         event->window.windowID != *static_cast<const Uint32*>(windowId);
}

// Maps the window with its client area where the record puts it. A window manager takes the place
// asked for at creation for its frame's corner, which puts the client area a caption lower; a window
// made again where it was last seen (as after full screen) would creep down the screen each time. Once
// the window is mapped its frame is known: the client area is moved back, and the moves that reported
// the manager's place are dropped.
void MapSdlWindow(SDL_Window* sdl, const WindowRecord& record) {
  SDL_ShowWindow(sdl);
  SDL_PumpEvents();  // the manager tells the frame's size as it maps the window
  int top = 0, left = 0, bottom = 0, right = 0;
  if (SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) != 0 || (top == 0 && left == 0)) return;
  const RECT client = ClientRectOnScreenOf(record);
  SDL_SetWindowPosition(sdl, client.left, client.top);
  Uint32 id = SDL_GetWindowID(sdl);
  SDL_FilterEvents(DropMovesOf, &id);
}

void SendToTopLevel(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const WindowRecord& record : WindowTable::Instance().All()) {
    if (IsTopLevel(record)) SendMessage(record.handle, message, wParam, lParam);
  }
}

// Keeps the focus of the active window for its next activation. With the state's lock held.
void RememberFocus(FocusState& state) {
  if (state.active && state.focus && WindowTable::Instance().IsWithin(state.focus, state.active))
    state.remembered[state.active] = state.focus;
}

void Activate(HWND window) {
  HWND previous;
  HWND previousFocus;
  HWND focus = window;
  bool appWasActive;
  {
    FocusState& state = Focus();
    std::lock_guard guard(state.lock);
    if (state.active == window && state.appActive) return;
    RememberFocus(state);
    previous = state.active;
    previousFocus = state.focus;
    appWasActive = state.appActive;
    if (state.focus && WindowTable::Instance().IsWithin(state.focus, window)) {
      focus = state.focus;
    } else if (auto it = state.remembered.find(window);
               it != state.remembered.end() && WindowTable::Instance().IsWithin(it->second, window)) {
      focus = it->second;
    }
    state.active = window;
    state.focus = focus;
    state.appActive = true;
  }
  if (previous && previous != window) {
    SendMessage(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    if (previousFocus && previousFocus != focus)
      SendMessage(previousFocus, WM_KILLFOCUS, reinterpret_cast<WPARAM>(focus), 0);
  }
  if (!appWasActive) SendToTopLevel(WM_ACTIVATEAPP, TRUE, 0);
  SendMessage(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
  if (focus != previousFocus) SendMessage(focus, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  if (SDL_Window* sdl = SdlWindowOf(window); sdl && IsMainThread()) SDL_RaiseWindow(sdl);
}

void Deactivate() {
  HWND previous;
  {
    FocusState& state = Focus();
    std::lock_guard guard(state.lock);
    if (!state.appActive) return;
    RememberFocus(state);
    previous = state.active;
    state.active = nullptr;
    state.focus = nullptr;
    state.appActive = false;
  }
  if (previous) SendMessage(previous, WM_ACTIVATE, WA_INACTIVE, 0);
  SendToTopLevel(WM_ACTIVATEAPP, FALSE, 0);
  if (previous) SendMessage(previous, WM_KILLFOCUS, 0, 0);
}

LPARAM ClientSizeParam(const WindowRecord& record) {
  RECT client = ClientRectOnScreenOf(record);
  return MAKELPARAM(client.right - client.left, client.bottom - client.top);
}

LPARAM ClientOriginParam(const WindowRecord& record) {
  RECT client = ClientRectOnScreenOf(record);
  return MAKELPARAM(client.left, client.top);
}

void Minimise(HWND window, bool activateNext) {
  bool changed = false;
  WindowTable::Instance().Update(window, [&](WindowRecord& record) {
    if (record.minimised) return;
    record.minimised = true;
    record.visible = true;
    record.normalRect = record.windowRect;
    changed = true;
  });
  if (!changed) return;
  if (SDL_Window* sdl = SdlWindowOf(window); sdl && IsMainThread()) SDL_MinimizeWindow(sdl);
  SendMessage(window, WM_SIZE, SIZE_MINIMIZED, 0);
  // A minimised window gives the foreground to whatever is behind it, which is not this program.
  bool wasActive;
  {
    FocusState& state = Focus();
    std::lock_guard guard(state.lock);
    wasActive = state.active == window;
  }
  if (wasActive || !activateNext) Deactivate();
}

bool Restore(HWND window) {
  bool changed = false;
  WindowTable::Instance().Update(window, [&](WindowRecord& record) {
    record.visible = true;
    if (!record.minimised) return;
    record.minimised = false;
    record.windowRect = record.normalRect;
    changed = true;
  });
  if (!changed) return false;
  if (SDL_Window* sdl = SdlWindowOf(window); sdl && IsMainThread()) SDL_RestoreWindow(sdl);
  if (auto record = WindowTable::Instance().Find(window)) {
    SendMessage(window, WM_SIZE, SIZE_RESTORED, ClientSizeParam(*record));
  }
  return true;
}

// Applies a new outer rectangle and tells the window, as SetWindowPos does.
void Reposition(HWND window, const RECT& rect) {
  bool moved = false;
  bool sized = false;
  SDL_Window* sdl = nullptr;
  WindowRecord after;
  WindowTable::Instance().Update(window, [&](WindowRecord& record) {
    moved = record.windowRect.left != rect.left || record.windowRect.top != rect.top;
    sized = (record.windowRect.right - record.windowRect.left) != (rect.right - rect.left) ||
            (record.windowRect.bottom - record.windowRect.top) != (rect.bottom - rect.top);
    record.windowRect = rect;
    if (!record.minimised) record.normalRect = rect;
    sdl = record.sdl;
    after = record;
  });
  if (!moved && !sized) return;
  RECT client = ClientRectOnScreenOf(after);
  if (after.painted) {
    SyncPaintedWindow(window);
  } else if (after.style & WS_CHILD) {
    RepaintLater(window);
  } else if (sdl && IsMainThread()) {
    SDL_SetWindowPosition(sdl, client.left, client.top);
    SDL_SetWindowSize(sdl, std::max(1L, static_cast<long>(client.right - client.left)),
                      std::max(1L, static_cast<long>(client.bottom - client.top)));
  }
  if (sized) SendMessage(window, WM_SIZE, SIZE_RESTORED, ClientSizeParam(after));
  if (moved) SendMessage(window, WM_MOVE, 0, ClientOriginParam(after));
}

}  // namespace

SDL_Window* SdlWindowOf(HWND window) {
  auto record = WindowTable::Instance().Find(window);
  return record ? record->sdl : nullptr;
}

HWND WindowOfSdl(SDL_Window* sdlWindow) { return WindowTable::Instance().FindBySdl(sdlWindow); }

bool GetClientRectOnScreen(HWND window, RECT* rect) {
  if (!rect) return false;
  auto record = WindowTable::Instance().Find(window);
  if (!record) return false;
  *rect = ClientRectOnScreenOf(*record);
  // A child's rectangle lies in its parent's client area.
  RECT parentClient;
  if ((record->style & WS_CHILD) && record->parent && GetClientRectOnScreen(record->parent, &parentClient))
    OffsetRect(rect, parentClient.left, parentClient.top);
  return true;
}

void SystemActivate(HWND window) {
  if (IsWindow(window)) Activate(window);
}

void SystemDeactivate() { Deactivate(); }

bool SystemActivateByClick(HWND window) {
  auto record = WindowTable::Instance().Find(window);
  if (!record || !IsTopLevel(*record) || !record->visible || (record->style & WS_DISABLED)) return false;
  if (GetActiveWindow() == window) return false;
  Activate(window);
  return true;
}

void SystemMinimise(HWND window) { Minimise(window, false); }

void SystemRestore(HWND window) {
  if (Restore(window)) Activate(window);
}

void SystemMoveClient(HWND window, int clientX, int clientY) {
  auto record = WindowTable::Instance().Find(window);
  if (!record || record->minimised) return;
  RECT frame = FrameOf(record->style);
  RECT rect = record->windowRect;
  LONG width = rect.right - rect.left;
  LONG height = rect.bottom - rect.top;
  rect.left = clientX - frame.left;
  rect.top = clientY - frame.top;
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  Reposition(window, rect);
}

void SystemInvalidate(HWND window) { InvalidateRect(window, nullptr, FALSE); }

void SetPointerOverWindow(HWND window, bool over) {
  FocusState& state = Focus();
  std::lock_guard guard(state.lock);
  if (over)
    state.pointerOver = window;
  else if (state.pointerOver == window)
    state.pointerOver = nullptr;
}

}  // namespace plat

using plat::WindowRecord;
using plat::WindowTable;

ATOM RegisterClass(const WNDCLASS* windowClass) {
  if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
  static std::atomic<ATOM> nextAtom{0xC000};
  plat::WindowClassRecord record{windowClass->lpszClassName, windowClass->style,   windowClass->lpfnWndProc,
                                 windowClass->hInstance,     windowClass->hCursor, windowClass->hbrBackground,
                                 windowClass->hIcon};
  if (!WindowTable::Instance().RegisterClass(record)) return 0;
  return nextAtom++;
}

ATOM RegisterClassA(const WNDCLASS* windowClass) { return RegisterClass(windowClass); }

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  if (!className) return nullptr;
  plat::RegisterBuiltinWindowClasses();
  auto windowClass = WindowTable::Instance().FindClass(className);
  if (!windowClass) return nullptr;
  if (parent && !IsWindow(parent)) return nullptr;
  if (x == CW_USEDEFAULT) x = y = 64;
  if (width == CW_USEDEFAULT) {
    width = 640;
    height = 480;
  }
  WindowRecord record;
  record.windowClass = *windowClass;
  record.proc = windowClass->proc;
  record.title = windowName ? windowName : "";
  record.style = style;
  record.exStyle = exStyle;
  record.parent = parent;
  record.windowRect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  record.normalRect = record.windowRect;
  record.instance = instance;
  record.owner = std::this_thread::get_id();
  if (style & WS_CHILD) record.id = reinterpret_cast<LONG_PTR>(menu);
  record.painted = plat::WantsPainting(record);
  if (plat::WantsSdlWindow(record)) record.sdl = plat::MakeSdlWindow(record);
  HWND window = WindowTable::Instance().Add(record);
  if (record.painted) plat::AddPaintedWindow(window);

  CREATESTRUCT create{param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
                      windowName, className, exStyle};
  if (!SendMessage(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) ||
      SendMessage(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(window);
    return nullptr;
  }
  if (!IsWindow(window)) return nullptr;  // destroyed by its own create handler
  if (auto created = WindowTable::Instance().Find(window)) {
    SendMessage(window, WM_SIZE, SIZE_RESTORED, plat::ClientSizeParam(*created));
    SendMessage(window, WM_MOVE, 0, plat::ClientOriginParam(*created));
  }
  plat::RepaintLater(window);
  if (style & WS_VISIBLE) ShowWindow(window, (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW);
  return IsWindow(window) ? window : nullptr;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return CreateWindowEx(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}

BOOL DestroyWindow(HWND window) {
  auto record = WindowTable::Instance().Find(window);
  if (!record) return FALSE;
  // Children go first, as on Windows.
  for (const WindowRecord& child : WindowTable::Instance().All()) {
    if (child.parent == window) DestroyWindow(child.handle);
  }
  bool wasActive;
  {
    plat::FocusState& state = plat::Focus();
    std::lock_guard guard(state.lock);
    wasActive = state.active == window;
  }
  // The foreground passes to whatever is behind: another program, as far as the layer knows.
  if (wasActive) plat::Deactivate();
  {
    plat::FocusState& state = plat::Focus();
    std::lock_guard guard(state.lock);
    if (state.capture == window) state.capture = nullptr;
    if (state.focus == window) state.focus = nullptr;
    if (state.pointerOver == window) state.pointerOver = nullptr;
  }
  WindowTable::Instance().Update(window, [](WindowRecord& r) { r.visible = false; });
  SendMessage(window, WM_DESTROY, 0, 0);
  SendMessage(window, WM_NCDESTROY, 0, 0);
  plat::MessageQueues::Instance().ForgetWindow(window);
  if (record->parent) plat::RepaintLater(record->parent);
  {
    plat::FocusState& state = plat::Focus();
    std::lock_guard guard(state.lock);
    state.remembered.erase(window);
  }
  WindowTable::Instance().Remove(window);
  if (record->painted)
    plat::RemovePaintedWindow(window);
  else if (record->sdl)
    SDL_DestroyWindow(record->sdl);
  return TRUE;
}

BOOL IsWindow(HWND window) { return window && WindowTable::Instance().Find(window) ? TRUE : FALSE; }

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_SETTEXT: {
      std::string title = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
      SDL_Window* sdl = nullptr;
      bool painted = false;
      if (!WindowTable::Instance().Update(window, [&](WindowRecord& r) {
            r.title = title;
            sdl = r.sdl;
            painted = r.painted;
          }))
        return FALSE;
      if (painted)
        plat::SyncPaintedWindow(window);
      else if (sdl && plat::IsMainThread())
        SDL_SetWindowTitle(sdl, title.c_str());
      plat::RepaintLater(window);
      return TRUE;
    }
    case WM_GETTEXT: {
      auto record = WindowTable::Instance().Find(window);
      if (!record || !lParam || wParam == 0) return 0;
      const std::size_t count = std::min(record->title.size(), static_cast<std::size_t>(wParam) - 1);
      std::memcpy(reinterpret_cast<char*>(lParam), record->title.data(), count);
      reinterpret_cast<char*>(lParam)[count] = '\0';
      return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH: {
      auto record = WindowTable::Instance().Find(window);
      return record ? static_cast<LRESULT>(record->title.size()) : 0;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SETCURSOR:
      // Over the client area the class cursor shows, when the class has one.
      if (LOWORD(lParam) == HTCLIENT) {
        auto record = WindowTable::Instance().Find(window);
        if (record && record->windowClass.cursor) {
          SetCursor(record->windowClass.cursor);
          return TRUE;
        }
      }
      return FALSE;
    case WM_SYSKEYDOWN:
      // Alt+F4 asks the window to close.
      if (wParam == 0x73 && (lParam & (1 << 29))) SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          SendMessage(window, WM_CLOSE, 0, 0);
          break;
        case SC_MINIMIZE:
          ShowWindow(window, SW_MINIMIZE);
          break;
        case SC_RESTORE:
          ShowWindow(window, SW_RESTORE);
          break;
        default:
          break;
      }
      return 0;
    default:
      return 0;
  }
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(window, message, wParam, lParam);
}

LONG_PTR GetWindowLongPtr(HWND window, int index) {
  auto record = WindowTable::Instance().Find(window);
  if (!record) return 0;
  switch (index) {
    case GWLP_USERDATA:
      return record->userData;
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(record->proc);
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(record->instance);
    case GWL_STYLE:
      return static_cast<LONG_PTR>(record->style);
    case GWL_EXSTYLE:
      return static_cast<LONG_PTR>(record->exStyle);
    case GWLP_ID:
      return record->id;
    default:
      return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
  LONG_PTR previous = 0;
  WindowTable::Instance().Update(window, [&](WindowRecord& record) {
    switch (index) {
      case GWLP_USERDATA:
        previous = record.userData;
        record.userData = value;
        break;
      case GWLP_WNDPROC:
        previous = reinterpret_cast<LONG_PTR>(record.proc);
        record.proc = reinterpret_cast<WNDPROC>(value);
        break;
      case GWL_STYLE:
        previous = static_cast<LONG_PTR>(record.style);
        record.style = static_cast<DWORD>(value);
        break;
      case GWL_EXSTYLE:
        previous = static_cast<LONG_PTR>(record.exStyle);
        record.exStyle = static_cast<DWORD>(value);
        break;
      default:
        break;
    }
  });
  return previous;
}

namespace plat {
namespace {

BOOL ChangeVisibility(HWND window, int command) {
  auto record = WindowTable::Instance().Find(window);
  if (!record) return FALSE;
  BOOL wasVisible = record->visible ? TRUE : FALSE;
  SDL_Window* sdl = record->sdl;
  bool onMain = plat::IsMainThread();
  switch (command) {
    case SW_HIDE:
      if (!record->visible) return wasVisible;
      WindowTable::Instance().Update(window, [](WindowRecord& r) { r.visible = false; });
      if (sdl && onMain) SDL_HideWindow(sdl);
      SendMessage(window, WM_SHOWWINDOW, FALSE, 0);
      {
        bool wasActive;
        {
          plat::FocusState& state = plat::Focus();
          std::lock_guard guard(state.lock);
          wasActive = state.active == window;
        }
        if (wasActive) plat::Deactivate();
      }
      return wasVisible;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      if (!record->visible) {
        WindowTable::Instance().Update(window, [](WindowRecord& r) { r.visible = true; });
        if (sdl && onMain) plat::MapSdlWindow(sdl, *record);
        SendMessage(window, WM_SHOWWINDOW, TRUE, 0);
      }
      plat::Minimise(window, command != SW_SHOWMINIMIZED);
      return wasVisible;
    default:
      break;
  }
  // The showing commands: restore a minimised window, show a hidden one, activate unless asked not to.
  if (!record->visible) {
    WindowTable::Instance().Update(window, [](WindowRecord& r) { r.visible = true; });
    if (sdl && onMain) plat::MapSdlWindow(sdl, *record);
    SendMessage(window, WM_SHOWWINDOW, TRUE, 0);
    plat::SystemInvalidate(window);
  }
  if (command == SW_RESTORE || command == SW_SHOWNORMAL || command == SW_SHOWDEFAULT || command == SW_SHOWNOACTIVATE) {
    plat::Restore(window);
  }
  bool activates = command != SW_SHOWNOACTIVATE && command != SW_SHOWNA;
  if (activates && plat::IsTopLevel(*record)) plat::Activate(window);
  return wasVisible;
}

}  // namespace
}  // namespace plat

BOOL ShowWindow(HWND window, int command) {
  BOOL wasVisible = plat::ChangeVisibility(window, command);
  auto record = WindowTable::Instance().Find(window);
  if (record && record->painted)
    plat::SyncPaintedWindow(window);
  else if (record)
    plat::RepaintLater(window);
  return wasVisible;
}

BOOL IsWindowVisible(HWND window) {
  auto record = WindowTable::Instance().Find(window);
  return record && record->visible ? TRUE : FALSE;
}

BOOL IsIconic(HWND window) {
  auto record = WindowTable::Instance().Find(window);
  return record && record->minimised ? TRUE : FALSE;
}

BOOL SetForegroundWindow(HWND window) {
  auto record = WindowTable::Instance().Find(window);
  if (!record) return FALSE;
  if (plat::IsTopLevel(*record)) plat::Activate(window);
  return TRUE;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

HWND GetActiveWindow() {
  plat::FocusState& state = plat::Focus();
  std::lock_guard guard(state.lock);
  return state.active;
}

HWND SetActiveWindow(HWND window) {
  HWND previous = GetActiveWindow();
  if (IsWindow(window)) plat::Activate(window);
  return previous;
}

HWND SetFocus(HWND window) {
  HWND previous;
  {
    plat::FocusState& state = plat::Focus();
    std::lock_guard guard(state.lock);
    previous = state.focus;
    if (window && !IsWindow(window)) return nullptr;
    if (previous == window) return previous;
    state.focus = window;
  }
  if (previous) SendMessage(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  if (window) SendMessage(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

HWND GetFocus() {
  plat::FocusState& state = plat::Focus();
  std::lock_guard guard(state.lock);
  return state.focus;
}

HWND GetParent(HWND window) {
  auto record = WindowTable::Instance().Find(window);
  return record ? record->parent : nullptr;
}

HWND WindowFromPoint(POINT point) {
  HWND over;
  {
    plat::FocusState& state = plat::Focus();
    std::lock_guard guard(state.lock);
    over = state.pointerOver;
  }
  // Other programs' windows are unknown to the layer: a point counts as ours only while the pointer
  // is over our SDL window.
  auto record = WindowTable::Instance().Find(over);
  if (!record || !record->visible || record->minimised) return nullptr;
  const RECT& r = record->windowRect;
  if (point.x < r.left || point.x >= r.right || point.y < r.top || point.y >= r.bottom) return nullptr;
  return over;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
  if (!rect) return FALSE;
  auto record = WindowTable::Instance().Find(window);
  if (!record) return FALSE;
  RECT client = plat::ClientRectOnScreenOf(*record);
  *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
  return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
  if (!rect) return FALSE;
  auto record = WindowTable::Instance().Find(window);
  if (!record) return FALSE;
  *rect = record->windowRect;
  return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD) {
  if (!rect) return FALSE;
  RECT frame = plat::FrameOf(style);
  rect->left -= frame.left;
  rect->top -= frame.top;
  rect->right += frame.right;
  rect->bottom += frame.bottom;
  return TRUE;
}

BOOL ClientToScreen(HWND window, LPPOINT point) {
  RECT client;
  if (!point || !plat::GetClientRectOnScreen(window, &client)) return FALSE;
  point->x += client.left;
  point->y += client.top;
  return TRUE;
}

BOOL ScreenToClient(HWND window, LPPOINT point) {
  RECT client;
  if (!point || !plat::GetClientRectOnScreen(window, &client)) return FALSE;
  point->x -= client.left;
  point->y -= client.top;
  return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
  if (!IsWindow(window)) return FALSE;
  plat::Reposition(window, RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)});
  return TRUE;
}

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
  if (!placement) return FALSE;
  auto record = WindowTable::Instance().Find(window);
  if (!record) return FALSE;
  placement->length = sizeof(WINDOWPLACEMENT);
  placement->flags = 0;
  placement->showCmd = !record->visible ? SW_HIDE : record->minimised ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
  placement->ptMinPosition = POINT{-1, -1};
  placement->ptMaxPosition = POINT{-1, -1};
  placement->rcNormalPosition = record->minimised ? record->normalRect : record->windowRect;
  return TRUE;
}

BOOL SetWindowText(HWND window, LPCSTR text) {
  if (!IsWindow(window)) return FALSE;
  return SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowText(HWND window, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  auto record = WindowTable::Instance().Find(window);
  // The window's own thread asks the window; other threads read the text the layer keeps.
  if (record && record->owner == std::this_thread::get_id()) {
    buffer[0] = '\0';
    return static_cast<int>(
        SendMessage(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
  }
  std::string title = record ? record->title : "";
  int count = std::min(static_cast<int>(title.size()), size - 1);
  std::memcpy(buffer, title.data(), static_cast<std::size_t>(count));
  buffer[count] = '\0';
  return count;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL) {
  if (!WindowTable::Instance().Update(window, [](WindowRecord& r) { r.needsPaint = true; })) return FALSE;
  plat::RepaintLater(window);
  return TRUE;
}

BOOL ValidateRect(HWND window, const RECT*) {
  return WindowTable::Instance().Update(window, [](WindowRecord& r) { r.needsPaint = false; }) ? TRUE : FALSE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (!paint) return nullptr;
  *paint = PAINTSTRUCT{};
  GetClientRect(window, &paint->rcPaint);
  ValidateRect(window, nullptr);
  return nullptr;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*) { return TRUE; }

HWND SetCapture(HWND window) {
  HWND previous;
  {
    plat::FocusState& state = plat::Focus();
    std::lock_guard guard(state.lock);
    previous = state.capture;
    state.capture = IsWindow(window) ? window : nullptr;
  }
  if (previous && previous != window) SendMessage(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
  if (plat::IsMainThread() && plat::SdlVideoStarted()) SDL_CaptureMouse(SDL_TRUE);
  return previous;
}

BOOL ReleaseCapture() {
  HWND previous;
  {
    plat::FocusState& state = plat::Focus();
    std::lock_guard guard(state.lock);
    previous = state.capture;
    state.capture = nullptr;
  }
  if (plat::IsMainThread() && plat::SdlVideoStarted()) SDL_CaptureMouse(SDL_FALSE);
  if (previous) SendMessage(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  plat::FocusState& state = plat::Focus();
  std::lock_guard guard(state.lock);
  return state.capture;
}

BOOL PtInRect(const RECT* rect, POINT point) {
  return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom
             ? TRUE
             : FALSE;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}
