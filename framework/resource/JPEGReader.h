// The JPEG reader (libjpeg-turbo): greyscale and colour files as opaque ARGB.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "framework/resource/Image.h"

namespace ImageLib {

std::unique_ptr<Image> GetJPEGImage(const std::string& fileName);
// The same on the bytes of a file; null on any library error or a size over the caps.
std::unique_ptr<Image> DecodeJPEG(std::span<const uint8_t> bytes);

}  // namespace ImageLib
