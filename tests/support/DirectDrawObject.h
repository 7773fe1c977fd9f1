// A DirectDraw object from "ddraw.dll", made the way the program makes it: the module is loaded and
// DirectDrawCreateEx asked for the IDirectDraw7 interface.
#pragma once

#include "platform/ddraw/DDraw.h"

namespace testsupport {

// The new object (the caller releases it), or null when the module, the entry or the creation fails.
IDirectDraw7* CreateDirectDraw7();

}  // namespace testsupport
