// The fuzz input as a file: the readers under test take file names, so each run rewrites one scratch
// file of this process.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace fuzzsupport {

inline std::string WriteInputFile(const uint8_t* data, size_t size, const char* extension) {
  static const std::string path = "/tmp/kit-fuzz-" + std::to_string(::getpid()) + extension;
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  return path;
}

}  // namespace fuzzsupport
