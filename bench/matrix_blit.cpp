// Rotated-and-scaled matrix blits of 64x64 sprites with alpha onto an 800x600 image (nearest texel),
// beside pixman's affine transform compositing the same sprites (OVER, nearest texel) at the same places.
// The coloured draw multiplies each texel by a colour with alpha: pixman's peer does it with a solid
// component-alpha mask (one factor per channel, alpha folded into each), the same work per pixel with
// values a little apart; SDL's peer, SDL_RenderCopyEx on a software renderer with a colour and alpha
// mod, turns the sprite into a scratch surface and blends that: less exact work of its own kind.
#include "framework/graphics/MemoryImage.h"

#include <SDL.h>
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

// Composites each sprite through pixman's affine transform: destination pixel (extent/2 + dx,
// extent/2 + dy) of the composite box maps back to the sprite through the inverse rotation and scale
// about the sprite's centre.
void RunPixmanAffine(benchmark::State& state, pixman_image_t* mask) {
  auto spriteBits = benchsupport::Premultiplied(benchsupport::SoftSprite(SPRITE, 0.8, 0.2, 4));
  std::vector<std::uint32_t> screenBits(WIDTH * HEIGHT, 0xFF0A141E);
  pixman_image_t* sprite = pixman_image_create_bits(PIXMAN_a8r8g8b8, SPRITE, SPRITE, spriteBits.data(), SPRITE * 4);
  pixman_image_t* screen = pixman_image_create_bits(PIXMAN_a8r8g8b8, WIDTH, HEIGHT, screenBits.data(), WIDTH * 4);
  pixman_image_set_filter(sprite, PIXMAN_FILTER_NEAREST, nullptr, 0);
  const int extent = static_cast<int>(std::ceil(SPRITE * SCALE * std::numbers::sqrt2));
  const auto positions = Positions();
  for (auto _ : state) {
    for (const Position& p : positions) {
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
      pixman_image_composite32(PIXMAN_OP_OVER, sprite, mask, screen, 0, 0, 0, 0, p.x - extent / 2, p.y - extent / 2,
                               extent, extent);
    }
    benchmark::DoNotOptimize(screenBits.data());
  }
  pixman_image_unref(sprite);
  pixman_image_unref(screen);
  benchsupport::SetItems(state, PIXELS_PER_ITERATION);
}

void BM_PixmanAffineOver(benchmark::State& state) { RunPixmanAffine(state, nullptr); }
BENCHMARK(BM_PixmanAffineOver);

// The colour (200, 150, 100) at alpha 200, each channel's factor taking the alpha in.
void BM_PixmanAffineOverColoured(benchmark::State& state) {
  const auto withAlpha = [](int channel) { return static_cast<std::uint16_t>(channel * 200 / 255 * 257); };
  const pixman_color_t color{withAlpha(200), withAlpha(150), withAlpha(100), 200 * 257};
  pixman_image_t* mask = pixman_image_create_solid_fill(&color);
  pixman_image_set_component_alpha(mask, 1);
  RunPixmanAffine(state, mask);
  pixman_image_unref(mask);
}
BENCHMARK(BM_PixmanAffineOverColoured);

// SDL_RenderCopyEx on a software renderer over an 800x600 XRGB8888 screen, nearest texel, the sprite
// modulated by the colour and its alpha, blended.
void BM_SdlRenderCopyExColoured(benchmark::State& state) {
  auto spriteBits = benchsupport::SoftSprite(SPRITE, 0.8, 0.2, 4);
  SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, SDL_PIXELFORMAT_XRGB8888);
  SDL_Surface* sprite =
      SDL_CreateRGBSurfaceWithFormatFrom(spriteBits.data(), SPRITE, SPRITE, 32, SPRITE * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_FillRect(screen, nullptr, 0x0A141E);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(screen);
  SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, sprite);
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
  SDL_SetTextureColorMod(texture, 200, 150, 100);
  SDL_SetTextureAlphaMod(texture, 200);
  const auto positions = Positions();
  const float size = SPRITE * SCALE;
  for (auto _ : state) {
    for (const Position& p : positions) {
      const SDL_FRect to{static_cast<float>(p.x) - size / 2, static_cast<float>(p.y) - size / 2, size, size};
      SDL_RenderCopyExF(renderer, texture, nullptr, &to, ANGLE * 180 / std::numbers::pi, nullptr, SDL_FLIP_NONE);
    }
    SDL_RenderFlush(renderer);
    benchmark::DoNotOptimize(screen->pixels);
  }
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(sprite);
  SDL_FreeSurface(screen);
  benchsupport::SetItems(state, PIXELS_PER_ITERATION);
}
BENCHMARK(BM_SdlRenderCopyExColoured);

}  // namespace
