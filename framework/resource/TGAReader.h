// The TGA reader: uncompressed 32-bit true-colour files with 8 alpha bits and the origin at the top
// left, the one form the program's own tools write.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "framework/resource/Image.h"

namespace ImageLib {

std::unique_ptr<Image> GetTGAImage(const std::string& fileName);
// The same on the bytes of a file; null for any other form, a size over the caps or missing pixels.
std::unique_ptr<Image> DecodeTGA(std::span<const uint8_t> bytes);

}  // namespace ImageLib
