// Committing the pixels of an 800x600 software image (CommitBits' alpha scan, as after a full menu
// redraw onto a memory image: every pixel opaque, so every pixel is read) beside plain reads of the same
// pixels: a sum over them and a memcpy. The scan is meant to run near the speed of the reads.
#include "framework/graphics/MemoryImage.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "bench/support/SpriteScene.h"

namespace {

constexpr int kWidth = 800, kHeight = 600, kPixels = kWidth * kHeight;

std::vector<std::uint32_t> OpaquePicture() {
  std::vector<std::uint32_t> pixels(kPixels);
  for (int i = 0; i < kPixels; ++i) pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
  return pixels;
}

void Ours_CommitBits(benchmark::State& state) {
  Kit::MemoryImage image;
  image.SetBits(OpaquePicture().data(), kWidth, kHeight);
  for (auto _ : state) {
    image.BitsChanged();
    image.CommitBits();
    benchmark::DoNotOptimize(image.mHasAlpha);
  }
  benchsupport::SetItems(state, kPixels);
}

void Read_Sum(benchmark::State& state) {
  const std::vector<std::uint32_t> pixels = OpaquePicture();
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::accumulate(pixels.begin(), pixels.end(), std::uint32_t{0}));
  }
  benchsupport::SetItems(state, kPixels);
}

void Read_Memcpy(benchmark::State& state) {
  const std::vector<std::uint32_t> pixels = OpaquePicture();
  std::vector<std::uint32_t> copy(kPixels);
  for (auto _ : state) {
    std::memcpy(copy.data(), pixels.data(), kPixels * sizeof(std::uint32_t));
    benchmark::ClobberMemory();
  }
  benchsupport::SetItems(state, kPixels);
}

}  // namespace

BENCHMARK(Ours_CommitBits)->Unit(benchmark::kMicrosecond);
BENCHMARK(Read_Sum)->Unit(benchmark::kMicrosecond);
BENCHMARK(Read_Memcpy)->Unit(benchmark::kMicrosecond);
