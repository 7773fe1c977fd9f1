// Bitmap font hot paths: measuring and laying out a line of text in a two-layer font, rebuilding
// rescaled glyph sheets after a size change, and reading a descriptor. No peer library does the same
// work (a descriptor-driven layered bitmap font), so the figures stand alone.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "framework/font/FontData.h"
#include "framework/font/FontHost.h"
#include "framework/font/ImageFont.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SharedImageSet.h"

namespace {

class SheetHost : public Kit::FontHost {
 public:
  Kit::SharedImageRef GetSharedImage(const std::string& fileName, const std::string& variant, bool* created) override {
    return mSheets.GetSharedImage("sheet", "", created);
  }

 private:
  Kit::SharedImageSet mSheets{[](const std::string&) {
                                auto sheet = std::make_unique<Kit::MemoryImage>();
                                sheet->Create(95 * 10, 24);
                                std::uint32_t* bits = sheet->GetBits();
                                for (int i = 0; i < 95 * 10 * 24; ++i) bits[i] = (i % 3) ? 0xFFFFFFFF : 0x00000000;
                                sheet->BitsChanged();
                                return sheet;
                              },
                              nullptr};
};

// Printable ASCII but the quotes and the backslash, 10 pixels apart, with a shadow layer and kerning.
std::string Descriptor() {
  std::string chars;
  std::string widths;
  for (char c = ' '; c <= '~'; ++c) {
    if (c == '\'' || c == '"' || c == '\\') continue;
    chars += std::string(" '") + c + "'";
    widths += " " + std::to_string(6 + c % 5);
  }
  return "SetDefaultPointSize 16;\n"
         "Define Chars (" +
         chars +
         ");\n"
         "Define Widths (" +
         widths +
         ");\n"
         "CreateHorzSpanRectList Rects (0 0 0 24) Widths;\n"
         "CreateLayer Face; LayerSetImage Face sheet.png; LayerSetImageMap Face Chars Rects;\n"
         "LayerSetCharWidths Face Chars Widths; LayerSetAscent Face 18; LayerSetPointSize Face 16;\n"
         "LayerSetKerningPairs Face ('AV' 'To' 'Te' 'Ty') (-2 -1 -1 -1);\n"
         "CreateLayerFrom Shadow Face; LayerSetBaseOrder Shadow -1; LayerSetOffset Shadow (2 2);\n"
         "LayerSetColorMult Shadow (0 0 0 0.5);\n";
}

std::string WriteDescriptor() {
  std::string path = (std::filesystem::temp_directory_path() / "bench_font_layout.txt").string();
  std::ofstream(path) << Descriptor();
  return path;
}

const std::string kLine = "To Tyre, AVE: the quick brown fox jumps over the lazy dog 0123456789";

void BM_StringWidth(benchmark::State& state) {
  SheetHost host;
  Kit::ImageFont font(&host, WriteDescriptor());
  if (font.StringWidth(kLine) == 0 || font.mActiveLayerList.size() != 2) state.SkipWithError("font did not load");
  for (auto _ : state) benchmark::DoNotOptimize(font.StringWidth(kLine));
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(kLine.size()));
}
BENCHMARK(BM_StringWidth);

void BM_LayoutString(benchmark::State& state) {
  SheetHost host;
  Kit::ImageFont font(&host, WriteDescriptor());
  int width = 0;
  for (auto _ : state) benchmark::DoNotOptimize(font.LayoutString(10, 30, kLine, Kit::Color::White, nullptr, &width));
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(kLine.size()));
}
BENCHMARK(BM_LayoutString);

void BM_RescaleSheets(benchmark::State& state) {
  SheetHost host;
  Kit::ImageFont font(&host, WriteDescriptor());
  int size = 10;
  for (auto _ : state) {
    font.SetPointSize(size);
    font.Prepare();
    size = size == 10 ? 24 : 10;
  }
}
BENCHMARK(BM_RescaleSheets);

void BM_LoadDescriptor(benchmark::State& state) {
  SheetHost host;
  std::string path = WriteDescriptor();
  for (auto _ : state) {
    Kit::FontData data;
    data.Load(&host, path);
    benchmark::DoNotOptimize(data.mInitialized);
  }
}
BENCHMARK(BM_LoadDescriptor);

}  // namespace
