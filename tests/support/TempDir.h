// A fresh folder for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return mPath; }
  // The path of a name inside the folder, as a string.
  std::string operator/(const std::string& name) const { return (mPath / name).string(); }
  // Writes a file inside the folder (creating its parent folders) and returns its path.
  std::string Write(const std::string& name, const std::string& contents) const;

 private:
  std::filesystem::path mPath;
};

}  // namespace testsupport
