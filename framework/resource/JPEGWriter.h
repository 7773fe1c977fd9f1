// Writes a picture as a baseline JPEG file of quality 80, alpha dropped (image dump thumbnails).
#pragma once

#include <string>

#include "framework/resource/Image.h"
#include "platform/win/files/FileReplace.h"

namespace ImageLib {

// False when the file cannot be made or written, or the image has no pixels.
bool WriteJPEGImage(const std::string& fileName, const Image& image, plat::FileSync sync = plat::FileSync::kSynced);

}  // namespace ImageLib
