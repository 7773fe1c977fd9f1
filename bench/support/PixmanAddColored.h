// pixman's side of the colourised additive benchmarks: the colour as a component-alpha mask multiplies
// each channel of the sprite, as a colourised additive draw does, and the result is ADDed to the screen.
#pragma once

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <vector>

#include "bench/support/SpriteScene.h"

namespace benchsupport {

inline void RunPixmanAddColored(benchmark::State& state, pixman_image_t* sprite, pixman_image_t* screen, int spriteSize,
                                const std::vector<Position>& positions) {
  const pixman_color_t color{200 * 257, 150 * 257, 100 * 257, 0xFFFF};
  pixman_image_t* mask = pixman_image_create_solid_fill(&color);
  pixman_image_set_component_alpha(mask, 1);
  for (auto _ : state)
    for (const Position& p : positions)
      pixman_image_composite32(PIXMAN_OP_ADD, sprite, mask, screen, 0, 0, 0, 0, p.x, p.y, spriteSize, spriteSize);
  pixman_image_unref(mask);
}

}  // namespace benchsupport
