// Reads a "bass.dll" channel decoder through, up to a bound, as the mixer would: a block at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/bass/StreamDecoder.h"

namespace fuzzsupport {

inline void ReadThrough(plat::bass::StreamDecoder& decoder, std::size_t maxBytes) {
  std::vector<std::uint8_t> block(4096);
  std::size_t total = 0;
  while (total < maxBytes) {
    std::size_t got = decoder.Read(block.data(), block.size());
    if (got == 0) break;
    total += got;
  }
}

}  // namespace fuzzsupport
