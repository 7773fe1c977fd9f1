// Conversion between ARGB pixels and the display's premultiplied native words. The alpha byte stays
// in bits 24..31 above a 16-bit colour.
#pragma once

#include "framework/graphics/NativeDisplay.h"

#include <cstdint>

namespace Kit {

// The display to convert for: the given one when its description is usable, else 32-bit ARGB (an
// image may be asked for native data before any display exists, and a bad description must not
// turn into out-of-range shifts).
const NativeDisplay& EffectiveDisplay(const NativeDisplay* display);

std::uint32_t ToNativePixel(std::uint32_t argb, const NativeDisplay& display);
std::uint32_t FromNativePixel(std::uint32_t native, const NativeDisplay& display);

}  // namespace Kit
