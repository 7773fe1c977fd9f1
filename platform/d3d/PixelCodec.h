// Pixels of any RGB layout to and from 0xAARRGGBB: a channel narrower than 8 bits is widened by
// repeating its bits (so 5-bit 31 becomes 255) and narrowed by dropping its low bits; a layout without
// alpha reads as opaque.
#pragma once

#include <array>
#include <bit>
#include <cstring>

#include "platform/ddraw/PixelLayout.h"

namespace plat::d3d {

struct ChannelCodec {
  DWORD mask = 0;
  int shift = 0;  // of the lowest bit
  int bits = 0;

  static ChannelCodec Of(DWORD mask) {
    if (!mask) return {};
    return {mask, std::countr_zero(mask), std::popcount(mask)};
  }
  // The channel of pixel as 0..255.
  DWORD Widen(DWORD pixel) const {
    if (!bits) return 0;
    DWORD value = (pixel & mask) >> shift;
    if (bits >= 8) return value >> (bits - 8);
    DWORD wide = 0;
    for (int filled = 0; filled < 8; filled += bits) wide = (wide << bits) | value;
    const int extra = ((8 + bits - 1) / bits) * bits - 8;
    return wide >> extra;
  }
  // 0..255 into the channel's place.
  DWORD Narrow(DWORD value) const {
    if (!bits) return 0;
    return bits >= 8 ? (value << (bits - 8)) << shift & mask : (value >> (8 - bits)) << shift;
  }
};

class PixelCodec {
 public:
  explicit PixelCodec(const ddraw::PixelLayout& layout)
      : mBytes(layout.bytesPerPixel),
        mRed(ChannelCodec::Of(layout.redMask)),
        mGreen(ChannelCodec::Of(layout.greenMask)),
        mBlue(ChannelCodec::Of(layout.blueMask)),
        mAlpha(ChannelCodec::Of(layout.alphaMask)) {}

  int Bytes() const { return mBytes; }
  bool HasAlpha() const { return mAlpha.bits != 0; }
  DWORD Read(const BYTE* at) const {
    DWORD pixel = 0;
    std::memcpy(&pixel, at, static_cast<size_t>(mBytes));
    return pixel;
  }
  void Write(BYTE* at, DWORD pixel) const { std::memcpy(at, &pixel, static_cast<size_t>(mBytes)); }
  DWORD ToArgb(DWORD pixel) const {
    const DWORD alpha = mAlpha.bits ? mAlpha.Widen(pixel) : 0xFF;
    return (alpha << 24) | (mRed.Widen(pixel) << 16) | (mGreen.Widen(pixel) << 8) | mBlue.Widen(pixel);
  }
  DWORD FromArgb(DWORD argb) const {
    return mAlpha.Narrow(argb >> 24) | mRed.Narrow((argb >> 16) & 0xFF) | mGreen.Narrow((argb >> 8) & 0xFF) |
           mBlue.Narrow(argb & 0xFF);
  }

 private:
  int mBytes;
  ChannelCodec mRed, mGreen, mBlue, mAlpha;
};

}  // namespace plat::d3d
