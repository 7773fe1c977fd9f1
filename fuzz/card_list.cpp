// Feeds arbitrary bytes to the 3D self-test's card lists, as the list of adapters never supported and
// then as the list of the only ones supported, and asks about an adapter description made of them too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/graphics/d3d/D3DTester.h"
#include "fuzz/FuzzInputFile.h"

namespace {

class NoHost : public Kit::D3DTestHost {
 public:
  std::string GetRegistryKey() override { return "Fuzz"; }
  bool IsPlayingDemo() override { return false; }
  void DemoSyncString(std::string&) override {}
  void DemoSyncBool(bool&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The lists are read from the current folder: a scratch folder of this process while one input
  // runs, and libFuzzer's own folder again after it (its corpus paths are relative to that).
  static const fuzzsupport::ScratchPath scratch("-cards");
  std::filesystem::create_directories(scratch.Path());
  const auto home = std::filesystem::current_path();
  std::filesystem::current_path(scratch.Path());
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  NoHost host;
  Kit::D3DTester tester(&host);
  for (const char* list : {"vhwb.dat", "vhw.dat"}) {
    std::filesystem::remove("vhwb.dat");
    std::filesystem::remove("vhw.dat");
    std::ofstream(list, std::ios::binary) << bytes;
    const bool listed = !tester.IsSupportedCard(bytes.substr(0, 200));
    // A list naming the adapter's own description (one word of printable characters) never supports it.
    const bool oneWord = !bytes.empty() && bytes.size() <= 200 &&
                         std::all_of(bytes.begin(), bytes.end(), [](char c) { return c > ' ' && c < 0x7F; });
    if (list[3] == 'b' && oneWord && !listed) __builtin_trap();
  }
  std::filesystem::current_path(home);
  return 0;
}
