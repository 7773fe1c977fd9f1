// A software image of one colour for tests to draw on.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/graphics/MemoryImage.h"

namespace testsupport {

// width x height pixels of `fill` (0xAARRGGBB).
std::unique_ptr<Kit::MemoryImage> Canvas(int width, int height, std::uint32_t fill);

}  // namespace testsupport
