// The registry's settings file: any bytes must parse to a registry or be refused, and what parses
// must write back to text that parses to the same registry.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/win/registry/RegistryStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto parsed = plat::ParseRegistry(text);
  if (!parsed) return 0;
  std::string written = plat::SerializeRegistry(*parsed);
  auto again = plat::ParseRegistry(written);
  if (!again || plat::SerializeRegistry(*again) != written) std::abort();
  return 0;
}
