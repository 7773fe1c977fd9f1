#include "framework/graphics/NativePixel.h"

namespace Kit {
namespace {

class ArgbDisplay : public NativeDisplay {
 public:
  ArgbDisplay() { SetFormat(32, 0xFF0000, 0xFF00, 0xFF); }
};

bool ChannelUsable(int bits, int shift) { return bits >= 1 && bits <= 8 && shift >= 0 && shift + bits <= 24; }

std::uint32_t Channel(std::uint32_t premultiplied, int topBit, int bits, int shift, int mask) {
  return ((premultiplied >> (topBit - bits)) << shift) & static_cast<std::uint32_t>(mask);
}

std::uint32_t Unpremultiply(std::uint32_t native, int mask, int shift, int bits, int topBit, std::uint32_t f) {
  // Back to the channel's position in an ARGB word before the premultiplication (bits 16..23 for
  // red), then divided by a + 1 and cut to the 8 bits of the channel.
  const std::uint64_t placed = static_cast<std::uint64_t>((native & static_cast<std::uint32_t>(mask)) >> shift)
                               << (topBit - bits);
  const std::uint32_t channelMask = 0xFFu << (topBit - 8);
  return static_cast<std::uint32_t>(((placed << 8) / f) & channelMask);
}

}  // namespace

const NativeDisplay& EffectiveDisplay(const NativeDisplay* display) {
  static const ArgbDisplay argb;
  if (display == nullptr || !ChannelUsable(display->mRedBits, display->mRedShift) ||
      !ChannelUsable(display->mGreenBits, display->mGreenShift) ||
      !ChannelUsable(display->mBlueBits, display->mBlueShift))
    return argb;
  return *display;
}

std::uint32_t ToNativePixel(std::uint32_t p, const NativeDisplay& d) {
  const std::uint32_t a = p >> 24;
  const std::uint32_t f = a + 1;
  const std::uint32_t red = Channel(((p & 0xFF0000) * f) >> 8, 24, d.mRedBits, d.mRedShift, d.mRedMask);
  const std::uint32_t green = Channel(((p & 0xFF00) * f) >> 8, 16, d.mGreenBits, d.mGreenShift, d.mGreenMask);
  const std::uint32_t blue = Channel(((p & 0xFF) * f) >> 8, 8, d.mBlueBits, d.mBlueShift, d.mBlueMask);
  return red | green | blue | (a << 24);
}

std::uint32_t FromNativePixel(std::uint32_t native, const NativeDisplay& d) {
  const std::uint32_t a = native >> 24;
  const std::uint32_t f = a + 1;
  const std::uint32_t red = Unpremultiply(native, d.mRedMask, d.mRedShift, d.mRedBits, 24, f);
  const std::uint32_t green = Unpremultiply(native, d.mGreenMask, d.mGreenShift, d.mGreenBits, 16, f);
  const std::uint32_t blue = Unpremultiply(native, d.mBlueMask, d.mBlueShift, d.mBlueBits, 8, f);
  return (a << 24) | red | green | blue;
}

}  // namespace Kit
