#include "platform/ddraw/PixelLayout.h"

#include <bit>

namespace plat::ddraw {

DWORD PixelLayout::ColorBits() const {
  if (palettized) return 0xFF;
  return redMask | greenMask | blueMask;
}

DDPIXELFORMAT PixelLayout::ToPixelFormat() const {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(DDPIXELFORMAT);
  format.dwRGBBitCount = static_cast<DWORD>(bytesPerPixel * 8);
  if (palettized) {
    format.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    return format;
  }
  format.dwFlags = DDPF_RGB | (alphaMask ? DDPF_ALPHAPIXELS : 0);
  format.dwRBitMask = redMask;
  format.dwGBitMask = greenMask;
  format.dwBBitMask = blueMask;
  format.dwRGBAlphaBitMask = alphaMask;
  return format;
}

PixelLayout PixelLayout::Rgb565() { return {2, 0xF800, 0x07E0, 0x001F, 0, false}; }
PixelLayout PixelLayout::Rgb555() { return {2, 0x7C00, 0x03E0, 0x001F, 0, false}; }
PixelLayout PixelLayout::Xrgb8888() { return {4, 0xFF0000, 0x00FF00, 0x0000FF, 0, false}; }
PixelLayout PixelLayout::Rgb888() { return {3, 0xFF0000, 0x00FF00, 0x0000FF, 0, false}; }
PixelLayout PixelLayout::Palette8() { return {1, 0, 0, 0, 0, true}; }

std::optional<PixelLayout> LayoutFromPixelFormat(const DDPIXELFORMAT& format) {
  if (format.dwFlags & DDPF_FOURCC) return std::nullopt;
  const DWORD bits = format.dwRGBBitCount;
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  if (format.dwFlags & DDPF_PALETTEINDEXED8) {
    if (bits != 8) return std::nullopt;
    return PixelLayout::Palette8();
  }
  if (!(format.dwFlags & DDPF_RGB)) return std::nullopt;
  const DWORD alpha = (format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0;
  const DWORD masks[] = {format.dwRBitMask, format.dwGBitMask, format.dwBBitMask, alpha};
  const DWORD fits = bits == 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
  DWORD seen = 0;
  for (DWORD mask : masks) {
    if ((mask & ~fits) || (mask & seen)) return std::nullopt;
    // A channel is one run of bits.
    if (mask && std::popcount(mask) != 32 - std::countl_zero(mask) - std::countr_zero(mask)) return std::nullopt;
    seen |= mask;
  }
  PixelLayout layout;
  layout.bytesPerPixel = static_cast<int>(bits / 8);
  layout.redMask = format.dwRBitMask;
  layout.greenMask = format.dwGBitMask;
  layout.blueMask = format.dwBBitMask;
  layout.alphaMask = alpha;
  return layout;
}

std::optional<PixelLayout> LayoutForDepth(DWORD bitsPerPixel, const PixelLayout& desktop) {
  switch (bitsPerPixel) {
    case 8:
      return PixelLayout::Palette8();
    case 16:
      return desktop == PixelLayout::Rgb555() ? PixelLayout::Rgb555() : PixelLayout::Rgb565();
    case 24:
      return PixelLayout::Rgb888();
    case 32:
      return PixelLayout::Xrgb8888();
    default:
      return std::nullopt;
  }
}

}  // namespace plat::ddraw
