// The two cursors the application draws itself: a pointing hand (shown over buttons) and a closed hand
// (shown while a dialog is dragged), 32 by 32 monochrome masks.
#pragma once

#include "platform/win/Types.h"

namespace Kit {

// Hot spot at the tip of the index finger (11, 4).
HCURSOR CreateHandCursor(HINSTANCE instance);
// Hot spot in the palm (15, 10).
HCURSOR CreateDraggingCursor(HINSTANCE instance);

}  // namespace Kit
