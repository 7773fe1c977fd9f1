// The texture formats the Direct3D path uses, one bit each so that a set of them is a mask.
#pragma once

#include <cstdint>

#include "platform/ddraw/DDraw.h"

namespace Kit {

enum TextureFormatClass {
  TEXFMT_A8R8G8B8 = 1,
  TEXFMT_A4R4G4B4 = 2,
  TEXFMT_R5G6B5 = 4,
  TEXFMT_PALETTE8 = 8,
};

// The class whose flags, bit count and masks all match the format exactly (palette-8: flags and bit
// count), else 0.
int GetTextureFormatClass(const DDPIXELFORMAT& format);
// The DirectDraw pixel format of a class (zeroed when the class is none of the four).
DDPIXELFORMAT MakeTexturePixelFormat(int formatClass);

// An ARGB colour as a 16-bit texel: the top four bits of each channel, or red 5, green 6, blue 5.
constexpr std::uint16_t ToA4R4G4B4(std::uint32_t c) {
  return static_cast<std::uint16_t>(((c >> 16) & 0xF000) | ((c >> 12) & 0x0F00) | ((c >> 8) & 0x00F0) |
                                    ((c >> 4) & 0x000F));
}
constexpr std::uint16_t ToR5G6B5(std::uint32_t c) {
  return static_cast<std::uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F));
}

}  // namespace Kit
