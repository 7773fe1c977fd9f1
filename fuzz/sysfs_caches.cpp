// The sizes of the caches and the lists of processors that share them are read from files of the
// system: any bytes must parse or be refused without reading outside them, and a list that parses
// names at least one processor and no more than the most a list may name.
#include <cstdint>
#include <string_view>

#include "platform/cpu/SysfsCaches.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  plat::cache::ParseCacheSize(text);
  const auto processors = plat::cache::CountProcessors(text);
  if (processors && (*processors < 1 || *processors > plat::cache::kMostProcessors)) __builtin_trap();
  return 0;
}
