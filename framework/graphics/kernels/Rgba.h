// A colour's four channels, each 0 to 255, as the surface routines and their row kernels compute with
// them. A plain value; any thread.
#pragma once

#include <cstdint>

namespace Kit {

struct Rgba {
  std::uint32_t r, g, b, a;
};

}  // namespace Kit
