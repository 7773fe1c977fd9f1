// The committed test data (fixtures, golden images): the folder KIT_TEST_DATA names, which TestMain
// sets to the source tree's tests/data unless the run names another.
#pragma once

#include <string>

namespace testsupport {

// The path of a file or folder below the test data folder.
std::string TestDataPath(const std::string& name);
// The whole contents of a test data file; empty when it cannot be read.
std::string ReadTestData(const std::string& name);

}  // namespace testsupport
