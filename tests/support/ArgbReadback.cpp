#include "tests/support/ArgbReadback.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace testsupport {

namespace {

std::uint32_t Widen(DWORD pixel, DWORD mask) {
  const int bits = std::popcount(mask);
  const DWORD value = (pixel & mask) >> std::countr_zero(mask);
  if (bits >= 8) return value >> (bits - 8);
  DWORD wide = value << (8 - bits);
  for (int filled = bits; filled < 8; filled += bits) wide |= value << (8 - bits) >> filled;
  return wide & 0xFF;
}

}  // namespace

std::uint32_t ToArgb(DWORD pixel, const DDPIXELFORMAT& format) {
  return 0xFF000000u | Widen(pixel, format.dwRBitMask) << 16 | Widen(pixel, format.dwGBitMask) << 8 |
         Widen(pixel, format.dwBBitMask);
}

std::vector<std::uint32_t> ReadArgb(const void* bits, LONG pitch, int width, int height, const DDPIXELFORMAT& format) {
  const auto bytes = static_cast<std::size_t>(format.dwRGBBitCount / 8);
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const BYTE* row = static_cast<const BYTE*>(bits) + static_cast<std::ptrdiff_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      DWORD pixel = 0;
      std::memcpy(&pixel, row + static_cast<std::size_t>(x) * bytes, bytes);
      pixels.push_back(ToArgb(pixel, format));
    }
  }
  return pixels;
}

}  // namespace testsupport
