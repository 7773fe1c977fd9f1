// Parses arbitrary input as a resource manifest; the manager must keep a consistent error state.
#include <cstdint>
#include <cstdlib>

#include "framework/resource/ResourceManager.h"
#include "fuzz/FuzzInputFile.h"

namespace {

// Parsing names files but opens none of them, so no image is ever asked for.
class NoImagesHost : public Kit::ResourceHost {
 public:
  Kit::ResourceImageRef GetSharedImage(const std::string&, const std::string&, bool* created) override {
    *created = false;
    return {};
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzzsupport::WriteInputFile(data, size, ".xml");
  NoImagesHost host;
  Kit::ResourceManager manager(&host);
  bool parsed = manager.ParseResourcesFile(path);
  if (parsed == manager.HadError() || parsed != manager.GetErrorText().empty()) std::abort();
  return 0;
}
