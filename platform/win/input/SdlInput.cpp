// SDL's events as the Windows messages a program of this kind expects: key and character messages
// with their lParam bits, system keys, mouse messages with key-state flags, double clicks from SDL's
// click counts, wheel deltas in units of 120, and window activation, size, move, paint and close.
#include <SDL.h>

#include "platform/win/input/Cursor.h"
#include "platform/win/input/KeyMap.h"
#include "platform/win/input/KeyboardState.h"
#include "platform/win/input/VirtualKeys.h"
#include "platform/win/system/CodePage.h"
#include "platform/win/system/SystemInfo.h"
#include "platform/win/window/MessageQueue.h"
#include "platform/win/window/SdlVideo.h"
#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/Window.h"
#include "platform/win/window/WindowEvents.h"
#include "platform/win/window/WindowTable.h"

namespace plat {
namespace {

// SDL reports SDL_QUIT after the last window's close event as well as on a termination signal; only
// the second is news.
bool gWindowCloseSeen = false;
// The last key-down, so that SDL's text for it can carry its scan code.
unsigned gLastScanCode = 0;

HWND WindowOfEvent(Uint32 windowId) {
  HWND window = WindowOfSdl(SDL_GetWindowFromID(windowId));
  return window ? window : WindowTable::Instance().SdlBacked();
}

// Keyboard input goes to the focus window, as on Windows; without one, to the window of the event.
// A disabled window (the owner of a modal dialog) gets none.
HWND KeyboardTarget(Uint32 windowId) {
  HWND focus = GetFocus();
  HWND target = focus ? focus : WindowOfEvent(windowId);
  if (target && !IsWindowEnabled(WindowTable::Instance().TopLevelOf(target))) return nullptr;
  return target;
}

// Keys, characters and the wheel: queued for the thread of the window that has the focus now, and
// given to the window that has it when the thread takes them.
void PostKeyboard(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
  auto record = WindowTable::Instance().Find(target);
  if (record) MessageQueues::Instance().PostKeyboardInput(record->owner, MSG{target, message, wParam, lParam, 0, {}});
}

bool AltHeld() { return IsKeyDown(VK_MENU); }
bool CtrlHeld() { return IsKeyDown(VK_CONTROL); }

WPARAM MouseKeyFlags() {
  WPARAM flags = 0;
  if (IsKeyDown(VK_LBUTTON)) flags |= MK_LBUTTON;
  if (IsKeyDown(VK_RBUTTON)) flags |= MK_RBUTTON;
  if (IsKeyDown(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (IsKeyDown(VK_SHIFT)) flags |= MK_SHIFT;
  if (IsKeyDown(VK_CONTROL)) flags |= MK_CONTROL;
  return flags;
}

LPARAM KeyParam(const VirtualKey& key, bool alt, bool wasDown, bool releasing) {
  DWORD bits = 1u | ((key.scanCode & 0xFF) << 16);
  if (key.extended) bits |= 1u << 24;
  if (alt) bits |= 1u << 29;
  if (wasDown) bits |= 1u << 30;
  if (releasing) bits |= 1u << 31;
  return static_cast<LPARAM>(bits);
}

// The control characters that Windows makes from key-downs and SDL reports no text for.
int ControlCharacter(int code, bool ctrl, bool alt) {
  if (alt && !ctrl) return 0;
  if (ctrl && alt) return 0;  // Ctrl+Alt is AltGr: printable characters come as text
  if (ctrl) {
    if (code >= 'A' && code <= 'Z') return code - 'A' + 1;
    switch (code) {
      case VK_OEM_4:
        return 27;
      case VK_OEM_5:
        return 28;
      case VK_OEM_6:
        return 29;
      case VK_BACK:
        return 127;
      case VK_RETURN:
        return 10;
      case VK_ESCAPE:
        return 27;
      default:
        return 0;
    }
  }
  switch (code) {
    case VK_BACK:
      return 8;
    case VK_TAB:
      return 9;
    case VK_RETURN:
      return 13;
    case VK_ESCAPE:
      return 27;
    default:
      return 0;
  }
}

void TranslateKey(const SDL_KeyboardEvent& event) {
  VirtualKey key = VirtualKeyOf(event.keysym);
  if (!key.code) return;
  HWND target = KeyboardTarget(event.windowID);
  bool down = event.type == SDL_KEYDOWN;
  bool wasDown = IsKeyDown(key.code);
  if (down) {
    SetKeyDown(key.code, true);
    if (key.sideCode) SetKeyDown(key.sideCode, true);
  }
  bool alt = AltHeld();
  bool ctrl = CtrlHeld();
  // System keys: anything with Alt held but not Ctrl, and F10; the release of Alt itself too.
  bool system = (alt && !ctrl) || key.code == VK_F10;
  if (!down) {
    SetKeyDown(key.code, false);
    if (key.sideCode) SetKeyDown(key.sideCode, false);
    if (!target) return;
    PostKeyboard(target, system ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(key.code),
                 KeyParam(key, alt, true, true));
    return;
  }
  gLastScanCode = key.scanCode;
  if (!target) return;
  bool repeat = event.repeat != 0 || wasDown;
  LPARAM lParam = KeyParam(key, alt, repeat, false);
  PostKeyboard(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(key.code), lParam);
  if (int c = ControlCharacter(key.code, ctrl, alt)) PostKeyboard(target, WM_CHAR, static_cast<WPARAM>(c), lParam);
}

void TranslateText(const SDL_TextInputEvent& event) {
  HWND target = KeyboardTarget(event.windowID);
  if (!target) return;
  bool alt = AltHeld();
  bool system = alt && !CtrlHeld();
  LPARAM lParam = static_cast<LPARAM>(1u | ((gLastScanCode & 0xFF) << 16) | (alt ? 1u << 29 : 0u));
  std::string text = Utf8ToCp1252(event.text);
  for (char c : text) {
    PostKeyboard(target, system ? WM_SYSCHAR : WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), lParam);
  }
}

// Finds where a mouse message goes and its client coordinates there; false when it goes nowhere.
bool MouseTarget(Uint32 windowId, int x, int y, HWND* target, POINT* client) {
  HWND window = WindowOfEvent(windowId);
  if (!window) return false;
  RECT area;
  if (!GetClientRectOnScreen(window, &area)) return false;
  POINT screen{area.left + x, area.top + y};
  SetPointerPositionFromInput(screen);
  bool inside = x >= 0 && y >= 0 && x < area.right - area.left && y < area.bottom - area.top;
  SetPointerOverWindow(window, inside);
  HWND capture = GetCapture();
  if (capture) {
    // While captured, the window gets every message with signed client coordinates.
    *target = capture;
    *client = screen;
    ScreenToClient(capture, client);
    return true;
  }
  if (!inside || !IsWindowEnabled(window)) return false;
  // The deepest visible and enabled child under the pointer takes the message.
  HWND over = window;
  for (int depth = 0; depth < 16; ++depth) {
    POINT local = screen;
    ScreenToClient(over, &local);
    HWND child = ChildWindowFromPoint(over, local);
    if (!child || child == over || !IsWindowEnabled(child)) break;
    over = child;
  }
  *target = over;
  *client = screen;
  ScreenToClient(over, client);
  SendMessage(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return true;
}

LPARAM PointParam(POINT point) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(point.x)), static_cast<WORD>(static_cast<SHORT>(point.y)));
}

void TranslateMotion(const SDL_MouseMotionEvent& event) {
  HWND target;
  POINT client;
  if (MouseTarget(event.windowID, event.x, event.y, &target, &client))
    PostMessage(target, WM_MOUSEMOVE, MouseKeyFlags(), PointParam(client));
}

void TranslateButton(const SDL_MouseButtonEvent& event) {
  int virtualKey;
  UINT downMessage, upMessage, doubleMessage;
  switch (event.button) {
    case SDL_BUTTON_LEFT:
      virtualKey = VK_LBUTTON;
      downMessage = WM_LBUTTONDOWN, upMessage = WM_LBUTTONUP, doubleMessage = WM_LBUTTONDBLCLK;
      break;
    case SDL_BUTTON_RIGHT:
      virtualKey = VK_RBUTTON;
      downMessage = WM_RBUTTONDOWN, upMessage = WM_RBUTTONUP, doubleMessage = WM_RBUTTONDBLCLK;
      break;
    case SDL_BUTTON_MIDDLE:
      virtualKey = VK_MBUTTON;
      downMessage = WM_MBUTTONDOWN, upMessage = WM_MBUTTONUP, doubleMessage = WM_MBUTTONDBLCLK;
      break;
    default:
      return;
  }
  bool down = event.type == SDL_MOUSEBUTTONDOWN;
  SetKeyDown(virtualKey, down);
  // Under a window manager the focus has come before the click; without one the program takes it,
  // so that the keys follow the click as well.
  SDL_Window* clicked = SDL_GetWindowFromID(event.windowID);
  if (down && SystemActivateByClick(WindowOfSdl(clicked))) SDL_SetWindowInputFocus(clicked);
  HWND target;
  POINT client;
  if (!MouseTarget(event.windowID, event.x, event.y, &target, &client)) return;
  UINT message = upMessage;
  if (down) {
    // Every second click of a series is a double click, for windows whose class asks for them.
    auto record = WindowTable::Instance().Find(target);
    bool wantsDouble = record && (record->windowClass.style & CS_DBLCLKS);
    message = wantsDouble && event.clicks >= 2 && event.clicks % 2 == 0 ? doubleMessage : downMessage;
  }
  PostMessage(target, message, MouseKeyFlags(), PointParam(client));
}

void TranslateWheel(const SDL_MouseWheelEvent& event) {
  int notches = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
  if (notches == 0) return;
  HWND target = KeyboardTarget(event.windowID);
  if (!target) return;
  POINT screen;
  GetCursorPos(&screen);
  int delta = notches * WHEEL_DELTA;
  WPARAM wParam = MAKEWPARAM(static_cast<WORD>(MouseKeyFlags()), static_cast<WORD>(static_cast<SHORT>(delta)));
  PostKeyboard(target, WM_MOUSEWHEEL, wParam, PointParam(screen));
}

// Whether SDL's queue holds a focus gain for one of the program's windows.
bool FocusGainWaits() {
  SDL_Event waiting[32];
  const int count = SDL_PeepEvents(waiting, 32, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
  for (int i = 0; i < count; ++i) {
    if (waiting[i].window.event == SDL_WINDOWEVENT_FOCUS_GAINED &&
        WindowOfSdl(SDL_GetWindowFromID(waiting[i].window.windowID)))
      return true;
  }
  return false;
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
  HWND window = WindowOfSdl(SDL_GetWindowFromID(event.windowID));
  if (!window) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      SystemActivate(window);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      // Focus passing to another window of this program (a dialog, a crash window) is no deactivation
      // of the program: the window that gains it activates itself.
      if (FocusGainWaits()) break;
      // Keys held now are released in another program; do not leave them down here.
      ReleaseAllKeys();
      SystemDeactivate();
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      SystemMinimise(window);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      SystemRestore(window);
      break;
    case SDL_WINDOWEVENT_MOVED:
      SystemMoveClient(window, event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      SystemInvalidate(window);
      break;
    case SDL_WINDOWEVENT_ENTER:
      SetPointerOverWindow(window, true);
      break;
    case SDL_WINDOWEVENT_LEAVE:
      SetPointerOverWindow(window, false);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      gWindowCloseSeen = true;
      PostMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    default:
      break;
  }
}

void Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
      NoteUserInput();
      break;
    default:
      break;
  }
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TranslateKey(event.key);
      break;
    case SDL_TEXTINPUT:
      TranslateText(event.text);
      break;
    case SDL_MOUSEMOTION:
      TranslateMotion(event.motion);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      TranslateButton(event.button);
      break;
    case SDL_MOUSEWHEEL:
      TranslateWheel(event.wheel);
      break;
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(event.window);
      break;
    case SDL_QUIT:
      if (gWindowCloseSeen) {
        gWindowCloseSeen = false;
      } else if (HWND main = WindowTable::Instance().SdlBacked(); main) {
        PostMessage(main, WM_CLOSE, 0, 0);
      }
      break;
    default:
      break;
  }
}

}  // namespace

void PumpSdlEvents() {
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) Translate(event);
}

}  // namespace plat
