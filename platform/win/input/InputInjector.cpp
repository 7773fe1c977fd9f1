#include "platform/win/input/InputInjector.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/WindowTable.h"

namespace plat::inject {
namespace {

Uint16 gModifiers = KMOD_NONE;
HWND gTarget = nullptr;

Uint32 MainWindowId() {
  SDL_Window* window = SdlWindowOf(gTarget ? gTarget : WindowTable::Instance().SdlBacked());
  return window ? SDL_GetWindowID(window) : 0;
}

bool Push(SDL_Event& event) { return SDL_PushEvent(&event) == 1; }

Uint16 ModifierOf(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_LSHIFT:
      return KMOD_LSHIFT;
    case SDL_SCANCODE_RSHIFT:
      return KMOD_RSHIFT;
    case SDL_SCANCODE_LCTRL:
      return KMOD_LCTRL;
    case SDL_SCANCODE_RCTRL:
      return KMOD_RCTRL;
    case SDL_SCANCODE_LALT:
      return KMOD_LALT;
    case SDL_SCANCODE_RALT:
      return KMOD_RALT;
    default:
      return KMOD_NONE;
  }
}

}  // namespace

void SetTargetWindow(HWND window) { gTarget = window; }

bool Key(std::string_view keyName, bool down, bool repeat) {
  std::string name(keyName);
  SDL_Scancode scancode = SDL_GetScancodeFromName(name.c_str());
  if (scancode == SDL_SCANCODE_UNKNOWN) return false;
  if (Uint16 modifier = ModifierOf(scancode))
    gModifiers = down ? static_cast<Uint16>(gModifiers | modifier) : static_cast<Uint16>(gModifiers & ~modifier);
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.timestamp = SDL_GetTicks();
  event.key.windowID = MainWindowId();
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.scancode = scancode;
  event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
  // Without a keyboard layout (dummy driver) SDL may not know the key's character.
  if (event.key.keysym.sym == SDLK_UNKNOWN) event.key.keysym.sym = SDL_GetKeyFromName(name.c_str());
  event.key.keysym.mod = gModifiers;
  return Push(event);
}

bool Tap(std::string_view keyName) { return Key(keyName, true) && Key(keyName, false); }

bool Text(std::string_view utf8) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  event.text.timestamp = SDL_GetTicks();
  event.text.windowID = MainWindowId();
  std::size_t count = std::min(utf8.size(), sizeof(event.text.text) - 1);
  std::memcpy(event.text.text, utf8.data(), count);
  return Push(event);
}

bool MouseMove(int x, int y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.timestamp = SDL_GetTicks();
  event.motion.windowID = MainWindowId();
  event.motion.x = x;
  event.motion.y = y;
  return Push(event);
}

bool MouseButton(int button, bool down, int x, int y, int clicks) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.timestamp = SDL_GetTicks();
  event.button.windowID = MainWindowId();
  event.button.button = static_cast<Uint8>(button);
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = static_cast<Uint8>(clicks);
  event.button.x = x;
  event.button.y = y;
  return Push(event);
}

bool Wheel(int notches) {
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.timestamp = SDL_GetTicks();
  event.wheel.windowID = MainWindowId();
  event.wheel.y = notches;
  event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  return Push(event);
}

bool Window(WindowChange change, int x, int y) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.timestamp = SDL_GetTicks();
  event.window.windowID = MainWindowId();
  switch (change) {
    case WindowChange::FocusGained:
      event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
      break;
    case WindowChange::FocusLost:
      event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
      break;
    case WindowChange::Minimised:
      event.window.event = SDL_WINDOWEVENT_MINIMIZED;
      break;
    case WindowChange::Restored:
      event.window.event = SDL_WINDOWEVENT_RESTORED;
      break;
    case WindowChange::Moved:
      event.window.event = SDL_WINDOWEVENT_MOVED;
      break;
    case WindowChange::Exposed:
      event.window.event = SDL_WINDOWEVENT_EXPOSED;
      break;
    case WindowChange::Close:
      event.window.event = SDL_WINDOWEVENT_CLOSE;
      break;
    case WindowChange::Enter:
      event.window.event = SDL_WINDOWEVENT_ENTER;
      break;
    case WindowChange::Leave:
      event.window.event = SDL_WINDOWEVENT_LEAVE;
      break;
  }
  event.window.data1 = x;
  event.window.data2 = y;
  return Push(event);
}

bool Quit() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  event.quit.timestamp = SDL_GetTicks();
  return Push(event);
}

}  // namespace plat::inject
