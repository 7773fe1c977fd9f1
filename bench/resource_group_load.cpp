// Loading a manifest group of 250 small PNG images (decode, share, commit and palettise each) and
// freeing it again, as the loading thread does with the game's group.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SharedImageSet.h"
#include "framework/resource/ImageLib.h"
#include "framework/resource/ResourceManager.h"

namespace {

constexpr int kImages = 250;

// Shares images by (path, variant) as the application does, dropping those nobody holds.
class BenchHost : public Kit::ResourceHost {
 public:
  Kit::ResourceImageRef GetSharedImage(const std::string& path, const std::string& variant, bool* created) override {
    mShared.CleanSharedImages();
    return mShared.GetSharedImage(path, variant, created);
  }

 private:
  Kit::SharedImageSet mShared{[](const std::string& path) -> std::unique_ptr<Kit::MemoryImage> {
                                auto decoded = ImageLib::GetImage(path, true);
                                if (!decoded) return nullptr;
                                auto image = std::make_unique<Kit::MemoryImage>();
                                image->SetBits(decoded->GetBits(), decoded->GetWidth(), decoded->GetHeight(), true);
                                return image;
                              },
                              nullptr};
};

// 250 sprites of 48 x 32 pixels with soft alpha edges, and the manifest naming them.
std::string MakeGroup() {
  std::string folder = (std::filesystem::temp_directory_path() / "kit-bench-group").string();
  std::filesystem::create_directories(folder);
  std::string manifest = "<ResourceManifest><Resources id=\"Game\"><SetDefaults path=\"" + folder + "\"/>";
  ImageLib::Image sprite;
  sprite.Allocate(48, 32);
  for (int i = 0; i < kImages; ++i) {
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 48; ++x) {
        uint32_t alpha = (x < 4 || y < 4 || x > 43 || y > 27) ? 0x40 : 0xFF;
        sprite.GetBits()[y * 48 + x] = alpha << 24 | (i * 7 & 0xFF) << 16 | (x * 5) << 8 | (y * 8);
      }
    }
    std::string name = "sprite" + std::to_string(i) + ".png";
    ImageLib::WritePNGImage(folder + "/" + name, sprite);
    manifest += "<Image id=\"S" + std::to_string(i) + "\" path=\"" + name + "\"/>";
  }
  manifest += "</Resources></ResourceManifest>";
  std::string path = folder + "/resources.xml";
  if (std::FILE* file = std::fopen(path.c_str(), "w")) {
    std::fputs(manifest.c_str(), file);
    std::fclose(file);
  }
  return path;
}

void BM_LoadGroupOf250Images(benchmark::State& state) {
  static const std::string manifest = MakeGroup();
  BenchHost host;
  Kit::ResourceManager manager(&host);
  if (!manager.ParseResourcesFile(manifest)) {
    state.SkipWithError(manager.GetErrorText().c_str());
    return;
  }
  for (auto _ : state) {
    if (!manager.LoadResources("Game")) state.SkipWithError(manager.GetErrorText().c_str());
    manager.DeleteResources("Game");
  }
  state.SetItemsProcessed(state.iterations() * kImages);
}
BENCHMARK(BM_LoadGroupOf250Images)->Unit(benchmark::kMillisecond);

}  // namespace
