#include "tests/support/FileContents.h"

#include <fstream>
#include <sstream>

namespace testsupport {

std::string ReadFileContents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

}  // namespace testsupport
