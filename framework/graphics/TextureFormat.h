// The texture formats the Direct3D path uses, one bit each so that a set of them is a mask.
#pragma once

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

}  // namespace Kit
