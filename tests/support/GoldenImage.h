// Compares drawn pixels with a golden image kept as a PNG file under tests/data/golden. Run a test
// with KIT_UPDATE_GOLDEN=1 to (re)write its golden files after checking the pictures by eye; a
// mismatch leaves the drawn picture beside the test binary as <name>.actual.png.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace testsupport {

// width x height ARGB pixels, row after row.
testing::AssertionResult MatchesGolden(const std::string& name, const std::uint32_t* pixels, int width, int height);

}  // namespace testsupport
