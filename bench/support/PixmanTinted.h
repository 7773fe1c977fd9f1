// pixman's side of the colourised benchmarks: the colour (200, 150, 100) as a component-alpha mask
// multiplies each channel of the sprite (and, for OVER, its alpha per channel), as a colourised draw
// does, and the result is composited with op (ADD for the additive draw, OVER for the tinted one).
#pragma once

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <vector>

#include "bench/support/SpriteScene.h"

namespace benchsupport {

inline void RunPixmanTinted(benchmark::State& state, pixman_op_t op, pixman_image_t* sprite, pixman_image_t* screen,
                            int spriteSize, const std::vector<Position>& positions) {
  const pixman_color_t color{200 * 257, 150 * 257, 100 * 257, 0xFFFF};
  pixman_image_t* mask = pixman_image_create_solid_fill(&color);
  pixman_image_set_component_alpha(mask, 1);
  for (auto _ : state)
    for (const Position& p : positions)
      pixman_image_composite32(op, sprite, mask, screen, 0, 0, 0, 0, p.x, p.y, spriteSize, spriteSize);
  pixman_image_unref(mask);
}

}  // namespace benchsupport
