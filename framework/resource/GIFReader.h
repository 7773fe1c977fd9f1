// The GIF reader: the first image of a GIF87a or GIF89a file, with its transparent colour.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "framework/resource/Image.h"

namespace ImageLib {

std::unique_ptr<Image> GetGIFImage(const std::string& fileName);
// The same on the bytes of a file. Pixels that the image data does not reach stay transparent black.
std::unique_ptr<Image> DecodeGIF(std::span<const uint8_t> bytes);

}  // namespace ImageLib
