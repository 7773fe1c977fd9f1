// Listing patterns come from the program and from folder names on disk: any pair must match or not
// without hanging or reading outside either string.
#include <cstdint>
#include <string_view>

#include "platform/win/files/Files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  std::size_t split = all.find('\0');
  std::string_view name = all.substr(0, split);
  std::string_view pattern = split == std::string_view::npos ? std::string_view() : all.substr(split + 1);
  (void)plat::MatchesPattern(name, pattern);  // the answer may be either: the run is what is looked at
  return 0;
}
