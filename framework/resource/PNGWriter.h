// Writes a picture as an 8-bit RGBA PNG file (screenshots and image dumps).
#pragma once

#include <string>

#include "framework/resource/Image.h"
#include "platform/win/files/FileReplace.h"

namespace ImageLib {

// False when the file cannot be made or written, or the image has no pixels.
bool WritePNGImage(const std::string& fileName, const Image& image, plat::FileSync sync = plat::FileSync::kSynced);

}  // namespace ImageLib
