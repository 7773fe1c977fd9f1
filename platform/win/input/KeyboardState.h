// The layer's model of the keyboard and mouse buttons, fed by the input translation. Internal.
#pragma once

#include "platform/win/Types.h"

namespace plat {

void SetKeyDown(int virtualKey, bool down);
[[nodiscard]] bool IsKeyDown(int virtualKey);
// Forgets every held key and button (focus loss: the releases will go to another program).
void ReleaseAllKeys();

}  // namespace plat
