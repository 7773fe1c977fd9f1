// pixman's side of the rotated-sprite benchmarks: the sprite turned anticlockwise (on a y-down screen)
// about its centre at each position (moved by offset in x and y), bilinear, composited onto the screen
// with op (OVER or ADD).
#pragma once

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "bench/support/SpriteScene.h"

namespace benchsupport {

// A square sprite of at most 256 colours as a c8 image with its (premultiplied) colour table.
class PixmanIndexedSprite {
 public:
  PixmanIndexedSprite(const std::vector<std::uint32_t>& argb, int size) : mIndices(argb.size()) {
    const std::vector<std::uint32_t> pixels = Premultiplied(argb);
    std::vector<std::uint32_t> colours;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      const auto at = std::find(colours.begin(), colours.end(), pixels[i]);
      mIndices[i] = static_cast<std::uint8_t>(at - colours.begin());
      if (at == colours.end()) colours.push_back(pixels[i]);
    }
    for (std::size_t i = 0; i < colours.size() && i < 256; ++i) mPalette.rgba[i] = colours[i];
    mImage = pixman_image_create_bits(PIXMAN_c8, size, size, reinterpret_cast<std::uint32_t*>(mIndices.data()), size);
    pixman_image_set_indexed(mImage, &mPalette);
  }
  ~PixmanIndexedSprite() { pixman_image_unref(mImage); }
  PixmanIndexedSprite(const PixmanIndexedSprite&) = delete;
  PixmanIndexedSprite& operator=(const PixmanIndexedSprite&) = delete;
  pixman_image_t* Image() const { return mImage; }

 private:
  std::vector<std::uint8_t> mIndices;  // rows of size bytes (a multiple of 4)
  pixman_indexed_t mPalette{};
  pixman_image_t* mImage;
};

inline void RunPixmanRotated(benchmark::State& state, pixman_image_t* sprite, pixman_image_t* screen, int spriteSize,
                             double angle, const std::vector<Position>& positions, double offset = 0.0,
                             pixman_op_t op = PIXMAN_OP_OVER) {
  pixman_image_set_filter(sprite, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  const double c = std::cos(angle), s = std::sin(angle);
  const double half = spriteSize / 2.0;
  const int box = static_cast<int>(std::ceil(spriteSize * (std::abs(c) + std::abs(s))));
  for (auto _ : state)
    for (const Position& p : positions) {
      const double cx = p.x + offset + half, cy = p.y + offset + half;
      // Destination to source, the inverse of the turn.
      pixman_transform_t t{};
      t.matrix[0][0] = pixman_double_to_fixed(c);
      t.matrix[0][1] = pixman_double_to_fixed(-s);
      t.matrix[0][2] = pixman_double_to_fixed(-c * cx + s * cy + half);
      t.matrix[1][0] = pixman_double_to_fixed(s);
      t.matrix[1][1] = pixman_double_to_fixed(c);
      t.matrix[1][2] = pixman_double_to_fixed(-s * cx - c * cy + half);
      t.matrix[2][2] = pixman_fixed_1;
      pixman_image_set_transform(sprite, &t);
      const int left = static_cast<int>(cx) - box / 2, top = static_cast<int>(cy) - box / 2;
      pixman_image_composite32(op, sprite, nullptr, screen, left, top, 0, 0, left, top, box, box);
    }
}

}  // namespace benchsupport
