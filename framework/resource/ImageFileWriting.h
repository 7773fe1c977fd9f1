// The file side of the image writers: the picture is encoded in memory and the file, named by a program
// path, is written whole by the program's one writer of files, or not at all.
#pragma once

#include <cstdio>
#include <string>

#include "framework/resource/Image.h"
#include "platform/win/files/FileReplace.h"

namespace ImageLib {

// Encodes the image into an open stream; false when the encoder fails.
using ImageEncoder = bool (*)(std::FILE* file, const Image& image);

// Runs `encode` and writes what it made as `fileName`, synced to the disk or not as `sync` says; false
// when the image has no pixels, the encoder fails or the file cannot be written.
bool WriteImageFile(const std::string& fileName, const Image& image, ImageEncoder encode, plat::FileSync sync);

}  // namespace ImageLib
