// Loading a picture by name: the reader is chosen by the extension (or each is tried when there is
// none), and a companion alpha file may give the picture its transparency.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/resource/Image.h"

namespace ImageLib {

// The colour of an image that exists only as its alpha file. 0xFFFFFF at start; the resource manager
// sets it around one load on the loading thread.
extern uint32_t gAlphaComposeColor;

// Tries the TGA, JPEG, PNG and GIF readers in this order, each only when the name has no extension or
// the reader's own (".tga", ".jpg", ".png", ".gif", any letter case). With lookForAlpha, the alpha
// file is folder + "_" + file name, else name + "_"; its blue channel becomes the picture's alpha when
// both have the same size. Null when nothing could be read.
std::unique_ptr<Image> GetImage(const std::string& fileName, bool lookForAlpha);

}  // namespace ImageLib
