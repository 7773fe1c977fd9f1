// The symbolic name of a DirectDraw, Direct3D, DirectSound or COM result code, for error texts and logs.
#pragma once

#include <string>

#include "platform/win/Types.h"

namespace Kit {

// The SDK name of the code ("DDERR_SURFACELOST"), or the code in lower-case hexadecimal without
// prefix or leading zeros when it has no name (success included: 0 gives "0").
std::string GetDirectXErrorString(HRESULT code);

}  // namespace Kit
