// Whole files as strings, for tests that check what the program wrote or feed it committed data.
#pragma once

#include <string>

namespace testsupport {

// The file's bytes; empty when it cannot be read.
std::string ReadFileContents(const std::string& path);

}  // namespace testsupport
