// Sprite pictures and placements shared by the drawing benchmarks, so ours and the peer libraries
// draw the same pixels at the same places.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace benchsupport {

// A round size x size sprite: opaque out to `solidRadius` (a fraction of the radius), then a ring
// `ringWidth` wide fading to transparent, transparent corners; red and green ramp by `colourStep`
// per pixel across and down.
inline std::vector<std::uint32_t> SoftSprite(int size, double solidRadius, double ringWidth, int colourStep) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double d = std::hypot(x - size / 2.0 + 0.5, y - size / 2.0 + 0.5) / (size / 2.0);
      const int a = d < solidRadius ? 255 : d < 1.0 ? static_cast<int>(255 * (1.0 - d) / ringWidth) : 0;
      const std::uint32_t r = static_cast<std::uint32_t>(x * colourStep) & 0xFF;
      const std::uint32_t g = static_cast<std::uint32_t>(y * colourStep) & 0xFF, b = 160;
      pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x)] =
          (static_cast<std::uint32_t>(a) << 24) | (r << 16) | (g << 8) | b;
    }
  return pixels;
}

// The pixels with their colour channels multiplied by alpha, as pixman and SDL's renderer take them.
// Pixels cut to 256 colours (16 alphas of 16 colours), as the game's palettized sprites are.
inline std::vector<std::uint32_t> FewColours(std::vector<std::uint32_t> pixels) {
  for (std::uint32_t& p : pixels) {
    const std::uint32_t a = (p >> 28) * 17, r = ((p >> 22) & 3) * 85, g = ((p >> 14) & 3) * 85;
    p = a << 24 | r << 16 | g << 8 | 0x40;
  }
  return pixels;
}

inline std::vector<std::uint32_t> Premultiplied(const std::vector<std::uint32_t>& pixels) {
  std::vector<std::uint32_t> out(pixels.size());
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint32_t p = pixels[i], a = p >> 24;
    auto ch = [&](int shift) { return (((p >> shift) & 0xFF) * a / 255) << shift; };
    out[i] = (a << 24) | ch(16) | ch(8) | ch(0);
  }
  return out;
}

struct Position {
  int x, y;
};

inline void SetItems(benchmark::State& state, std::int64_t pixelsPerIteration) {
  state.SetItemsProcessed(state.iterations() * pixelsPerIteration);
}

}  // namespace benchsupport
