// Reads a whole image file into memory for the decoders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ImageLib {

// The file's bytes, opened through the program's path mapping; false when it cannot be opened or read
// or is larger than any image file the readers accept.
bool ReadImageFileBytes(const std::string& fileName, std::vector<uint8_t>* bytes);

}  // namespace ImageLib
