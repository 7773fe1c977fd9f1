// An RGBA colour of four ints. Components are not clamped here; drawing code clamps them to 0..255
// where it uses them, so an out-of-range colour can never index past a table.
#pragma once

#include <cstdint>

namespace Kit {

class Color {
 public:
  constexpr Color() = default;
  constexpr Color(int red, int green, int blue) : mRed(red), mGreen(green), mBlue(blue) {}
  constexpr Color(int red, int green, int blue, int alpha) : mRed(red), mGreen(green), mBlue(blue), mAlpha(alpha) {}
  // From 0xAARRGGBB. A packed value without alpha bits (0x00RRGGBB) is the common way of writing an
  // opaque colour, so an alpha byte of 0 means opaque.
  constexpr explicit Color(std::uint32_t argb)
      : mRed(static_cast<int>((argb >> 16) & 0xFF)),
        mGreen(static_cast<int>((argb >> 8) & 0xFF)),
        mBlue(static_cast<int>(argb & 0xFF)),
        mAlpha((argb >> 24) == 0 ? 255 : static_cast<int>(argb >> 24)) {}

  // The same red, green and blue at alpha 255.
  static constexpr Color Opaque(const Color& color) { return Color(color.mRed, color.mGreen, color.mBlue); }

  // Packs (alpha << 24) | (red << 16) | (green << 8) | blue with the components unmasked, as stored
  // values rely on.
  constexpr std::uint32_t ToInt() const {
    return (static_cast<std::uint32_t>(mAlpha) << 24) | (static_cast<std::uint32_t>(mRed) << 16) |
           (static_cast<std::uint32_t>(mGreen) << 8) | static_cast<std::uint32_t>(mBlue);
  }

  constexpr int GetRed() const { return mRed; }
  constexpr int GetGreen() const { return mGreen; }
  constexpr int GetBlue() const { return mBlue; }
  constexpr int GetAlpha() const { return mAlpha; }

  constexpr bool operator==(const Color& other) const = default;

  static const Color Black;
  // As an image drawing colour, White means "draw the image as it is, without colourising".
  static const Color White;

  int mRed = 0;
  int mGreen = 0;
  int mBlue = 0;
  int mAlpha = 255;
};

}  // namespace Kit
