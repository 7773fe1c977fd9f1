// The identifier of IUnknown itself, which every object of the layer answers.
#pragma once

#include "platform/win/modules/Unknown.h"

namespace plat::ddraw {

inline constexpr GUID kIUnknownId = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace plat::ddraw
