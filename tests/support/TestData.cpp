#include "tests/support/TestData.h"

#include <cstdlib>

#include "tests/support/FileContents.h"

namespace testsupport {

std::string TestDataPath(const std::string& name) {
  const char* root = std::getenv("KIT_TEST_DATA");
  return std::string(root ? root : KIT_TEST_DATA_DIR) + "/" + name;
}

std::string ReadTestData(const std::string& name) { return ReadFileContents(TestDataPath(name)); }

}  // namespace testsupport
