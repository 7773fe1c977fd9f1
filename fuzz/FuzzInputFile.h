// The fuzz input as a file: the readers under test take file names, so each run rewrites one scratch
// file of this process.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace fuzzsupport {

// A name of this process's own in the temporary folder; whatever stands there when the fuzzer ends
// (a file, or a folder with its files) is removed.
class ScratchPath {
 public:
  explicit ScratchPath(const std::string& suffix)
      : mPath(std::filesystem::temp_directory_path() / ("kit-fuzz-" + std::to_string(::getpid()) + suffix)) {}
  ~ScratchPath() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
  }
  ScratchPath(const ScratchPath&) = delete;
  ScratchPath& operator=(const ScratchPath&) = delete;

  const std::filesystem::path& Path() const { return mPath; }

 private:
  std::filesystem::path mPath;
};

inline std::string WriteInputFile(const uint8_t* data, size_t size, const char* extension) {
  static const ScratchPath scratch(extension);
  const std::string path = scratch.Path().string();
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  return path;
}

}  // namespace fuzzsupport
