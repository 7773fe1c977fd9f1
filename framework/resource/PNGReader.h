// The PNG reader (libpng): every colour type and bit depth, interlaced or not, as 8-bit ARGB with
// opaque alpha where the file has none.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "framework/resource/Image.h"

namespace ImageLib {

std::unique_ptr<Image> GetPNGImage(const std::string& fileName);
// The same on the bytes of a file; null on any library error or a size over the caps.
std::unique_ptr<Image> DecodePNG(std::span<const uint8_t> bytes);

}  // namespace ImageLib
