// pixman's side of the rotated-sprite benchmarks: the sprite turned anticlockwise (on a y-down screen)
// about its centre at each position (moved by offset in x and y), bilinear, composited onto the screen
// with op (OVER or ADD).
#pragma once

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <vector>

#include "bench/support/SpriteScene.h"

namespace benchsupport {

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
