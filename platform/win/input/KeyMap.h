// SDL keys to Windows virtual-key codes. Internal to the layer.
#pragma once

#include <SDL.h>

namespace plat {

struct VirtualKey {
  int code = 0;           // 0: a key Windows programs never see
  int sideCode = 0;       // VK_LSHIFT and friends for modifiers, else 0
  bool extended = false;  // the extended-key bit of the key messages
  unsigned scanCode = 0;  // set-1 scan code for the key messages' lParam
};

[[nodiscard]] VirtualKey VirtualKeyOf(const SDL_Keysym& key);

}  // namespace plat
