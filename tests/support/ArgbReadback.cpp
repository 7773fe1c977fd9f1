#include "tests/support/ArgbReadback.h"

#include "tests/support/PixelModel.h"

#include <cstddef>
#include <cstring>

namespace testsupport {

std::vector<std::uint32_t> ReadArgb(const void* bits, LONG pitch, int width, int height, const DDPIXELFORMAT& format) {
  const auto bytes = static_cast<std::size_t>(format.dwRGBBitCount / 8);
  const model::Format model{static_cast<int>(format.dwRGBBitCount), format.dwRBitMask, format.dwGBitMask,
                            format.dwBBitMask};
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const BYTE* row = static_cast<const BYTE*>(bits) + static_cast<std::ptrdiff_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      DWORD pixel = 0;
      std::memcpy(&pixel, row + static_cast<std::size_t>(x) * bytes, bytes);
      pixels.push_back(model::Unpack(pixel, model));
    }
  }
  return pixels;
}

}  // namespace testsupport
