// The surface routines the game uses most, on 800x600 surface memory in 5-6-5 and 32-bit, beside
// pixman doing the same composite onto r5g6b5 and a8r8g8b8: rotated bilinear 64x64 sprites at 0 degrees
// (at whole-pixel and at sub-pixel positions) and 30 degrees, alpha blits of soft sprites, additive colourised blits
// and a full-screen opaque copy.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SurfaceBlt.h"
#include "framework/graphics/SurfaceRotate.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "bench/support/PixmanAddColored.h"
#include "bench/support/PixmanRotated.h"
#include "bench/support/SpriteScene.h"
#include "bench/support/SurfaceFormats.h"

namespace {

using benchsupport::Position;
using benchsupport::Premultiplied;
using benchsupport::SetItems;

constexpr int WIDTH = 800, HEIGHT = 600, SPRITE = 64, SPRITES = 48;
constexpr double THIRTY_DEGREES = std::numbers::pi / 6;

using benchsupport::F565;
using benchsupport::F888;
using benchsupport::Format;

std::vector<std::uint32_t> SoftSprite() { return benchsupport::SoftSprite(SPRITE, 0.7, 0.3, 4); }

std::vector<Position> Positions() {
  std::vector<Position> out;
  for (int i = 0; i < SPRITES; ++i)
    out.push_back({(i * 97) % (WIDTH - 2 * SPRITE) + SPRITE / 2, (i * 61) % (HEIGHT - 2 * SPRITE) + SPRITE / 2});
  return out;
}

// --- ours ---------------------------------------------------------------------------------------

struct SurfaceScene : benchsupport::SurfaceMemory {
  explicit SurfaceScene(const Format& f) : SurfaceMemory(f, WIDTH, HEIGHT) {
    sprite.SetBits(SoftSprite().data(), SPRITE, SPRITE);
    sprite.GetNativeAlphaData(&display);
    sprite.GetRLAlphaData();
    sprite.GetRLAdditiveData(&display);
    std::vector<std::uint32_t> opaque(static_cast<std::size_t>(WIDTH) * HEIGHT);
    for (std::size_t i = 0; i < opaque.size(); ++i)
      opaque[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    screenCopy.SetBits(opaque.data(), WIDTH, HEIGHT);
  }
  Kit::MemoryImage sprite;
  Kit::MemoryImage screenCopy;
};

void Ours_Rotated(benchmark::State& state, const Format& f, double angle, float offset) {
  SurfaceScene scene(f);
  const auto positions = Positions();
  const Kit::Rect src(0, 0, SPRITE, SPRITE), clip(0, 0, WIDTH, HEIGHT);
  for (auto _ : state)
    for (const Position& p : positions) {
      Kit::Rect bounds;
      const float c = SPRITE / 2.0f;
      const float x = static_cast<float>(p.x) + offset, y = static_cast<float>(p.y) + offset;
      if (!Kit::MemoryImage::GetRotatedBounds(x, y, src, clip, angle, c, c, bounds)) continue;
      Kit::SurfaceDraw::RotatedBlt(scene.target, scene.sprite, x, y, src, bounds, Kit::Color::White, 0, angle, c, c);
    }
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Ours_Alpha(benchmark::State& state, const Format& f) {
  SurfaceScene scene(f);
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      Kit::SurfaceDraw::AlphaBlt(scene.target, scene.sprite, &scene.display, p.x, p.y, Kit::Rect(0, 0, SPRITE, SPRITE),
                                 Kit::Color::White, false);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Ours_AdditiveColored(benchmark::State& state, const Format& f) {
  SurfaceScene scene(f);
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      Kit::SurfaceDraw::AdditiveBlt(scene.target, scene.sprite, &scene.display, p.x, p.y,
                                    Kit::Rect(0, 0, SPRITE, SPRITE), Kit::Color(200, 150, 100), false);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Ours_OpaqueCopy(benchmark::State& state, const Format& f) {
  SurfaceScene scene(f);
  scene.screenCopy.GetNativeAlphaData(&scene.display);
  for (auto _ : state)
    Kit::SurfaceDraw::CopyNative(scene.target, scene.screenCopy, &scene.display, 0, 0, Kit::Rect(0, 0, WIDTH, HEIGHT),
                                 false);
  SetItems(state, WIDTH * HEIGHT);
}

// --- pixman -------------------------------------------------------------------------------------

struct PixmanScene {
  explicit PixmanScene(const Format& f)
      : spriteBits(Premultiplied(SoftSprite())), memory(static_cast<std::size_t>(WIDTH) * HEIGHT, 0x5A5A5A5A) {
    sprite = pixman_image_create_bits(PIXMAN_a8r8g8b8, SPRITE, SPRITE, spriteBits.data(), SPRITE * 4);
    screen = pixman_image_create_bits(f.pixman, WIDTH, HEIGHT, memory.data(), WIDTH * f.bits / 8);
    std::vector<std::uint32_t> opaque(static_cast<std::size_t>(WIDTH) * HEIGHT);
    for (std::size_t i = 0; i < opaque.size(); ++i)
      opaque[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    copyBits = opaque;
    copySource = pixman_image_create_bits(f.pixman, WIDTH, HEIGHT, copyBits.data(), WIDTH * f.bits / 8);
  }
  ~PixmanScene() {
    pixman_image_unref(sprite);
    pixman_image_unref(screen);
    pixman_image_unref(copySource);
  }
  std::vector<std::uint32_t> spriteBits, memory, copyBits;
  pixman_image_t* sprite;
  pixman_image_t* screen;
  pixman_image_t* copySource;
};

void Pixman_Rotated(benchmark::State& state, const Format& f, double angle, float offset) {
  PixmanScene scene(f);
  benchsupport::RunPixmanRotated(state, scene.sprite, scene.screen, SPRITE, angle, Positions(), offset);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Pixman_Over(benchmark::State& state, const Format& f) {
  PixmanScene scene(f);
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      pixman_image_composite32(PIXMAN_OP_OVER, scene.sprite, nullptr, scene.screen, 0, 0, 0, 0, p.x, p.y, SPRITE,
                               SPRITE);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Pixman_AddColored(benchmark::State& state, const Format& f) {
  PixmanScene scene(f);
  benchsupport::RunPixmanAddColored(state, scene.sprite, scene.screen, SPRITE, Positions());
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Pixman_OpaqueCopy(benchmark::State& state, const Format& f) {
  PixmanScene scene(f);
  for (auto _ : state)
    pixman_image_composite32(PIXMAN_OP_SRC, scene.copySource, nullptr, scene.screen, 0, 0, 0, 0, 0, 0, WIDTH, HEIGHT);
  SetItems(state, WIDTH * HEIGHT);
}

}  // namespace

BENCHMARK_CAPTURE(Ours_Rotated, 565_0deg, F565, 0.0, 0.0f);
BENCHMARK_CAPTURE(Pixman_Rotated, 565_0deg, F565, 0.0, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 565_0deg_subpixel, F565, 0.0, 0.375f);
BENCHMARK_CAPTURE(Pixman_Rotated, 565_0deg_subpixel, F565, 0.0, 0.375f);
BENCHMARK_CAPTURE(Ours_Rotated, 565_30deg, F565, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Pixman_Rotated, 565_30deg, F565, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 888_0deg, F888, 0.0, 0.0f);
BENCHMARK_CAPTURE(Pixman_Rotated, 888_0deg, F888, 0.0, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 888_0deg_subpixel, F888, 0.0, 0.375f);
BENCHMARK_CAPTURE(Pixman_Rotated, 888_0deg_subpixel, F888, 0.0, 0.375f);
BENCHMARK_CAPTURE(Ours_Rotated, 888_30deg, F888, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Pixman_Rotated, 888_30deg, F888, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Ours_Alpha, 565, F565);
BENCHMARK_CAPTURE(Pixman_Over, 565, F565);
BENCHMARK_CAPTURE(Ours_Alpha, 888, F888);
BENCHMARK_CAPTURE(Pixman_Over, 888, F888);
BENCHMARK_CAPTURE(Ours_AdditiveColored, 565, F565);
BENCHMARK_CAPTURE(Pixman_AddColored, 565, F565);
BENCHMARK_CAPTURE(Ours_AdditiveColored, 888, F888);
BENCHMARK_CAPTURE(Pixman_AddColored, 888, F888);
BENCHMARK_CAPTURE(Ours_OpaqueCopy, 565, F565);
BENCHMARK_CAPTURE(Pixman_OpaqueCopy, 565, F565);
BENCHMARK_CAPTURE(Ours_OpaqueCopy, 888, F888);
BENCHMARK_CAPTURE(Pixman_OpaqueCopy, 888, F888);
