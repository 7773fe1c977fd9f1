// Makes a folder the process's current one for the object's lifetime, as the program runs inside its
// own folder; the previous current folder is restored afterwards.
#pragma once

#include <filesystem>

namespace testsupport {

class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::filesystem::path& folder) : mPrevious(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~ScopedCurrentFolder() { std::filesystem::current_path(mPrevious); }
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

 private:
  std::filesystem::path mPrevious;
};

}  // namespace testsupport
