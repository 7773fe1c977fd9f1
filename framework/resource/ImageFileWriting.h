// The file side of the image writers: the file is made through the program's path mapping, and a
// write only counts once the file has closed cleanly.
#pragma once

#include <cstdio>
#include <string>

#include "framework/resource/Image.h"

namespace ImageLib {

// Encodes the image into an open file; false when the encoder fails.
using ImageEncoder = bool (*)(std::FILE* file, const Image& image);

// Makes `fileName` and runs `encode` on it; false when the image has no pixels, the file cannot be made,
// the encoder fails or the file does not close cleanly.
bool WriteImageFile(const std::string& fileName, const Image& image, ImageEncoder encode);

}  // namespace ImageLib
