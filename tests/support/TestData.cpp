#include "tests/support/TestData.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testsupport {

std::string TestDataPath(const std::string& name) {
  const char* root = std::getenv("KIT_TEST_DATA");
  return std::string(root ? root : KIT_TEST_DATA_DIR) + "/" + name;
}

std::string ReadTestData(const std::string& name) {
  std::ifstream in(TestDataPath(name), std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

}  // namespace testsupport
