#include "platform/win/input/KeyMap.h"

#include "platform/win/input/VirtualKeys.h"

namespace plat {
namespace {

struct Entry {
  SDL_Scancode scancode;
  int code;
  int sideCode;
  bool extended;
  unsigned scanCode;
};

// Position-based keys; letters and digits follow the layout (below) as Windows does.
constexpr Entry kTable[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0, false, 0x0E},
    {SDL_SCANCODE_TAB, VK_TAB, 0, false, 0x0F},
    {SDL_SCANCODE_RETURN, VK_RETURN, 0, false, 0x1C},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0, true, 0x1C},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT, VK_LSHIFT, false, 0x2A},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT, VK_RSHIFT, false, 0x36},
    {SDL_SCANCODE_LCTRL, VK_CONTROL, VK_LCONTROL, false, 0x1D},
    {SDL_SCANCODE_RCTRL, VK_CONTROL, VK_RCONTROL, true, 0x1D},
    {SDL_SCANCODE_LALT, VK_MENU, VK_LMENU, false, 0x38},
    {SDL_SCANCODE_RALT, VK_MENU, VK_RMENU, true, 0x38},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0, false, 0x45},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0, false, 0x3A},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0, false, 0x01},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0, false, 0x39},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0, true, 0x49},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0, true, 0x51},
    {SDL_SCANCODE_END, VK_END, 0, true, 0x4F},
    {SDL_SCANCODE_HOME, VK_HOME, 0, true, 0x47},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0, true, 0x4B},
    {SDL_SCANCODE_UP, VK_UP, 0, true, 0x48},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0, true, 0x4D},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0, true, 0x50},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, 0, true, 0x37},
    {SDL_SCANCODE_INSERT, VK_INSERT, 0, true, 0x52},
    {SDL_SCANCODE_DELETE, VK_DELETE, 0, true, 0x53},
    {SDL_SCANCODE_LGUI, VK_LWIN, 0, true, 0x5B},
    {SDL_SCANCODE_RGUI, VK_RWIN, 0, true, 0x5C},
    {SDL_SCANCODE_APPLICATION, VK_APPS, 0, true, 0x5D},
    {SDL_SCANCODE_KP_0, VK_NUMPAD0, 0, false, 0x52},
    {SDL_SCANCODE_KP_1, VK_NUMPAD0 + 1, 0, false, 0x4F},
    {SDL_SCANCODE_KP_2, VK_NUMPAD0 + 2, 0, false, 0x50},
    {SDL_SCANCODE_KP_3, VK_NUMPAD0 + 3, 0, false, 0x51},
    {SDL_SCANCODE_KP_4, VK_NUMPAD0 + 4, 0, false, 0x4B},
    {SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5, 0, false, 0x4C},
    {SDL_SCANCODE_KP_6, VK_NUMPAD0 + 6, 0, false, 0x4D},
    {SDL_SCANCODE_KP_7, VK_NUMPAD0 + 7, 0, false, 0x47},
    {SDL_SCANCODE_KP_8, VK_NUMPAD0 + 8, 0, false, 0x48},
    {SDL_SCANCODE_KP_9, VK_NUMPAD0 + 9, 0, false, 0x49},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0, false, 0x37},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, 0, false, 0x4E},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0, false, 0x4A},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, 0, false, 0x53},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0, true, 0x35},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0, true, 0x45},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 0, false, 0x46},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0, false, 0x27},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0, false, 0x0D},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0, false, 0x33},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0, false, 0x0C},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0, false, 0x34},
    {SDL_SCANCODE_SLASH, VK_OEM_2, 0, false, 0x35},
    {SDL_SCANCODE_GRAVE, VK_OEM_3, 0, false, 0x29},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 0, false, 0x1A},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5, 0, false, 0x2B},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 0, false, 0x1B},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 0, false, 0x28},
    {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102, 0, false, 0x56},
};

// Set-1 scan codes of the letter and digit positions, indexed from SDL_SCANCODE_A / SDL_SCANCODE_1.
constexpr unsigned kLetterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                      0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
constexpr unsigned kDigitScan[10] = {0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B};
constexpr unsigned kFunctionScan[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58};

}  // namespace

VirtualKey VirtualKeyOf(const SDL_Keysym& key) {
  VirtualKey result;
  SDL_Scancode sc = key.scancode;
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) result.scanCode = kLetterScan[sc - SDL_SCANCODE_A];
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0) result.scanCode = kDigitScan[sc - SDL_SCANCODE_1];
  // Letters and digits by the character the layout puts on the key.
  if (key.sym >= 'a' && key.sym <= 'z') {
    result.code = key.sym - 'a' + 'A';
    return result;
  }
  if (key.sym >= '0' && key.sym <= '9' && !(sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_0)) {
    result.code = key.sym;
    return result;
  }
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) {
    result.code = VK_F1 + (sc - SDL_SCANCODE_F1);
    result.scanCode = kFunctionScan[sc - SDL_SCANCODE_F1];
    return result;
  }
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) {
    result.code = VK_F1 + 12 + (sc - SDL_SCANCODE_F13);
    return result;
  }
  for (const Entry& entry : kTable) {
    if (entry.scancode == sc) return VirtualKey{entry.code, entry.sideCode, entry.extended, entry.scanCode};
  }
  // A letter or digit position whose layout gives another character: the US position decides.
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) result.code = 'A' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) result.code = '1' + (sc - SDL_SCANCODE_1);
  if (sc == SDL_SCANCODE_0) result.code = '0';
  return result;
}

}  // namespace plat
