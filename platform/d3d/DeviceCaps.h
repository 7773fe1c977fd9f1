// What the software device can do: its capability record, its texture formats, and the adapter
// identity derived from both.
#pragma once

#include <vector>

#include "platform/d3d/D3D.h"

namespace plat::d3d {

// The capabilities GetCaps reports.
[[nodiscard]] D3DDEVICEDESC7 DeviceDescription();

// The texture formats EnumTextureFormats lists, in its order: A8R8G8B8, A4R4G4B4, R5G6B5 and 8-bit
// palettized.
[[nodiscard]] const std::vector<DDPIXELFORMAT>& TextureFormats();

// True for a texture format the device samples.
[[nodiscard]] bool IsTextureFormat(const DDPIXELFORMAT& format);

// The display adapter's identifier: a digest of the capabilities and the texture formats, so that it
// changes whenever what the device can do changes.
[[nodiscard]] GUID AdapterGuid();

}  // namespace plat::d3d
