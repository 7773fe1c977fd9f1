// The alpha scan that commits a software image's pixels: whether a run of ARGB pixels holds a fully
// transparent pixel (alpha 0) and whether it holds a partly transparent one (alpha 1 to 254), read with
// SSE2 (and AVX2 where the processor has it) on a register of pixels at a time. Any thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Kit::AlphaScan {

struct Classes {
  bool transparent = false;
  bool partial = false;
};

// The classes of count pixels; the reading stops once both are found.
Classes Scan(const std::uint32_t* pixels, std::size_t count);

}  // namespace Kit::AlphaScan
