// Decoding PNG and JPEG files per megapixel with the image module's readers, beside libpng's own
// simplified reader as the peer doing the same work (8-bit BGRA out of the same file).
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/resource/ImageLib.h"

namespace {

// A 1024 x 1024 picture with smooth gradients and some detail, as game art has.
ImageLib::Image& Picture() {
  static ImageLib::Image image;
  if (!image.GetBits()) {
    image.Allocate(1024, 1024);
    for (int y = 0; y < 1024; ++y) {
      for (int x = 0; x < 1024; ++x) {
        uint32_t detail = ((x * 13) ^ (y * 7)) & 0x1F;
        image.GetBits()[y * 1024 + x] = 0xFF000000 | (x / 4) << 16 | (y / 4 + detail) << 8 | ((x + y) / 8 & 0xFF);
      }
    }
  }
  return image;
}

std::vector<uint8_t> Encoded(bool (*write)(const std::string&, const ImageLib::Image&, plat::FileSync),
                             const char* extension) {
  std::string path = "/tmp/kit-bench-decode" + std::string(extension);
  write(path, Picture(), plat::FileSync::kUnsynced);  // read back at once and removed
  std::vector<uint8_t> bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
  }
  std::remove(path.c_str());
  return bytes;
}

const std::vector<uint8_t>& PNGFile() {
  static const std::vector<uint8_t> bytes = Encoded(ImageLib::WritePNGImage, ".png");
  return bytes;
}

const std::vector<uint8_t>& JPEGFile() {
  static const std::vector<uint8_t> bytes = Encoded(ImageLib::WriteJPEGImage, ".jpg");
  return bytes;
}

void CountMegapixels(benchmark::State& state) {
  state.counters["Mpx/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 1024 * 1024 / 1e6, benchmark::Counter::kIsRate);
}

void BM_DecodePNG(benchmark::State& state) {
  const auto& bytes = PNGFile();
  for (auto _ : state) benchmark::DoNotOptimize(ImageLib::DecodePNG(bytes));
  CountMegapixels(state);
}
BENCHMARK(BM_DecodePNG)->Unit(benchmark::kMillisecond);

void BM_DecodePNG_LibpngSimplified(benchmark::State& state) {
  const auto& bytes = PNGFile();
  std::vector<uint8_t> pixels(1024 * 1024 * 4);
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, bytes.data(), bytes.size());
    image.format = PNG_FORMAT_BGRA;
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
  CountMegapixels(state);
}
BENCHMARK(BM_DecodePNG_LibpngSimplified)->Unit(benchmark::kMillisecond);

void BM_DecodeJPEG(benchmark::State& state) {
  const auto& bytes = JPEGFile();
  for (auto _ : state) benchmark::DoNotOptimize(ImageLib::DecodeJPEG(bytes));
  CountMegapixels(state);
}
BENCHMARK(BM_DecodeJPEG)->Unit(benchmark::kMillisecond);

}  // namespace
