// The per-pixel pieces shared by the surface routines: colour clamping and the channel operations
// on native pixel words.
#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/kernels/Rgba.h"
#include "framework/graphics/surface/SurfaceTarget.h"

#include <cstdint>

namespace Kit::SurfaceMath {

using Kit::Rgba;

inline std::uint32_t Clamp(int v) { return static_cast<std::uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); }
inline Rgba Clamped(const Color& color) {
  return {Clamp(color.mRed), Clamp(color.mGreen), Clamp(color.mBlue), Clamp(color.mAlpha)};
}
inline bool IsWhite(const Color& color) { return color == Color::White; }

// Each channel (colour channel c) times c' = c x ca / 255.
inline Rgba Premultiplied(const Rgba& c) { return {c.r * c.a / 255, c.g * c.a / 255, c.b * c.a / 255, c.a}; }

// ((d AND M) x f >> 8) AND M summed over the channels.
inline std::uint32_t ScaleChannels(const SurfaceTarget& t, std::uint32_t d, std::uint32_t f) {
  return ((((d & t.mRed.mMask) * f) >> 8) & t.mRed.mMask) + ((((d & t.mGreen.mMask) * f) >> 8) & t.mGreen.mMask) +
         ((((d & t.mBlue.mMask) * f) >> 8) & t.mBlue.mMask);
}

// The field layouts the row kernels draw onto: 0x00RRGGBB in 32 bits, 5-6-5 and 5-5-5.
enum class Fields { kOther, k888, k565, k555 };
template <typename Pixel>
Fields FieldsOf(const SurfaceTarget& t) {
  if (sizeof(Pixel) == 4 && t.mRed.mMask == 0xFF0000 && t.mGreen.mMask == 0xFF00 && t.mBlue.mMask == 0xFF)
    return Fields::k888;
  if (sizeof(Pixel) == 2 && t.mRed.mMask == 0xF800 && t.mGreen.mMask == 0x07E0 && t.mBlue.mMask == 0x001F)
    return Fields::k565;
  if (sizeof(Pixel) == 2 && t.mRed.mMask == 0x7C00 && t.mGreen.mMask == 0x03E0 && t.mBlue.mMask == 0x001F)
    return Fields::k555;
  return Fields::kOther;
}

// The saturated sum of one channel of d and a value already in the channel's own bits.
inline std::uint32_t AddChannel(const SurfaceChannel& ch, std::uint32_t d, std::uint32_t add) {
  return static_cast<std::uint32_t>(ch.mAdd[((d & ch.mMask) >> ch.mShift) + add]) << ch.mShift;
}

}  // namespace Kit::SurfaceMath
