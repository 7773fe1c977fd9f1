// Rotated-and-scaled matrix blits of 64x64 sprites with alpha onto an 800x600 image, beside
// pixman's affine transform compositing the same sprites (OVER, nearest texel) at the same places.
#include "framework/graphics/MemoryImage.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "bench/support/SpriteScene.h"

namespace {

using benchsupport::Position;

constexpr int WIDTH = 800, HEIGHT = 600, SPRITE = 64, SPRITES = 40;
constexpr float ANGLE = static_cast<float>(std::numbers::pi / 7), SCALE = 1.5f;

std::vector<Position> Positions() {
  std::vector<Position> out;
  for (int i = 0; i < SPRITES; ++i) out.push_back({60 + (i * 97) % (WIDTH - 120), 60 + (i * 61) % (HEIGHT - 120)});
  return out;
}

// Pixels covered per sprite: the scaled sprite's area.
constexpr std::int64_t PIXELS_PER_ITERATION = static_cast<std::int64_t>(SPRITES * SPRITE * SPRITE * SCALE * SCALE);

Kit::Matrix3 RotateScale() {
  Kit::Matrix3 m;
  m.m[0][0] = std::cos(ANGLE) * SCALE;
  m.m[0][1] = -std::sin(ANGLE) * SCALE;
  m.m[1][0] = std::sin(ANGLE) * SCALE;
  m.m[1][1] = std::cos(ANGLE) * SCALE;
  return m;
}

void BM_MemoryImageBltMatrix(benchmark::State& state, bool opaqueDestination, bool colourised) {
  Kit::MemoryImage sprite, screen;
  const auto spritePixels = benchsupport::SoftSprite(SPRITE, 0.8, 0.2, 4);
  sprite.SetBits(spritePixels.data(), SPRITE, SPRITE);
  screen.Create(WIDTH, HEIGHT);
  screen.FillRect(Kit::Rect(0, 0, WIDTH, HEIGHT), Kit::Color(10, 20, 30), 0);
  if (opaqueDestination) screen.SetImageMode(false, false);
  const Kit::Matrix3 matrix = RotateScale();
  const Kit::Color color = colourised ? Kit::Color(200, 150, 100, 200) : Kit::Color::White;
  const auto positions = Positions();
  for (auto _ : state) {
    for (const Position& p : positions)
      screen.BltMatrix(&sprite, static_cast<float>(p.x), static_cast<float>(p.y), matrix,
                       Kit::Rect(0, 0, WIDTH, HEIGHT), color, 0, Kit::Rect(0, 0, SPRITE, SPRITE), false);
    benchmark::DoNotOptimize(screen.GetBits());
  }
  benchsupport::SetItems(state, PIXELS_PER_ITERATION);
}
BENCHMARK_CAPTURE(BM_MemoryImageBltMatrix, argb_white, false, false);
BENCHMARK_CAPTURE(BM_MemoryImageBltMatrix, opaque_white, true, false);
BENCHMARK_CAPTURE(BM_MemoryImageBltMatrix, opaque_coloured, true, true);

void BM_PixmanAffineOver(benchmark::State& state) {
  auto spriteBits = benchsupport::Premultiplied(benchsupport::SoftSprite(SPRITE, 0.8, 0.2, 4));
  std::vector<std::uint32_t> screenBits(WIDTH * HEIGHT, 0xFF0A141E);
  pixman_image_t* sprite = pixman_image_create_bits(PIXMAN_a8r8g8b8, SPRITE, SPRITE, spriteBits.data(), SPRITE * 4);
  pixman_image_t* screen = pixman_image_create_bits(PIXMAN_a8r8g8b8, WIDTH, HEIGHT, screenBits.data(), WIDTH * 4);
  pixman_image_set_filter(sprite, PIXMAN_FILTER_NEAREST, nullptr, 0);
  const int extent = static_cast<int>(std::ceil(SPRITE * SCALE * std::numbers::sqrt2));
  const auto positions = Positions();
  for (auto _ : state) {
    for (const Position& p : positions) {
      // Destination pixel (extent/2 + dx, extent/2 + dy) of the composite box maps back to the
      // sprite through the inverse rotation and scale about the sprite's centre.
      pixman_transform_t t;
      pixman_transform_init_identity(&t);
      pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(-extent / 2.0),
                                 pixman_double_to_fixed(-extent / 2.0));
      pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(-ANGLE)),
                              pixman_double_to_fixed(std::sin(-ANGLE)));
      pixman_transform_scale(&t, nullptr, pixman_double_to_fixed(1 / SCALE), pixman_double_to_fixed(1 / SCALE));
      pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(SPRITE / 2.0),
                                 pixman_double_to_fixed(SPRITE / 2.0));
      pixman_image_set_transform(sprite, &t);
      pixman_image_composite32(PIXMAN_OP_OVER, sprite, nullptr, screen, 0, 0, 0, 0, p.x - extent / 2, p.y - extent / 2,
                               extent, extent);
    }
    benchmark::DoNotOptimize(screenBits.data());
  }
  pixman_image_unref(sprite);
  pixman_image_unref(screen);
  benchsupport::SetItems(state, PIXELS_PER_ITERATION);
}
BENCHMARK(BM_PixmanAffineOver);

}  // namespace
