// Software drawing on an 800x600 MemoryImage beside the same work done by pixman (OVER and ADD on
// a8r8g8b8, the rotated palettized sprite from c8) and by SDL2's surface blitter / software renderer; the area-weighted
// stretch is also drawn onto the display's screen image, as a background is (from a kept stretch, and
// resampled at every draw onto 32-bit, 5-6-5 and 5-5-5 screens). A memcpy of the sprite rows shows
// what memory allows the alpha blit.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/win/system/DisplaySettings.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "bench/support/BenchWindow.h"
#include "bench/support/PixmanRotated.h"
#include "bench/support/PixmanTinted.h"
#include "bench/support/SpriteScene.h"

namespace {

using benchsupport::Position;
using benchsupport::Premultiplied;
using benchsupport::SetItems;

constexpr int WIDTH = 800, HEIGHT = 600, SPRITE = 128, SPRITES = 24;
constexpr double THIRTY_DEGREES = std::numbers::pi / 6;
const Kit::Color TINT(200, 150, 100);

std::vector<std::uint32_t> SoftSprite() { return benchsupport::SoftSprite(SPRITE, 0.8, 0.2, 2); }

std::vector<Position> Positions() {
  std::vector<Position> out;
  for (int i = 0; i < SPRITES; ++i) out.push_back({(i * 97) % (WIDTH - SPRITE), (i * 61) % (HEIGHT - SPRITE)});
  return out;
}

struct Scene {
  explicit Scene(bool declaredOpaque = true, bool palettized = false) : sprite(), screen() {
    std::vector<std::uint32_t> background(WIDTH * HEIGHT);
    for (int i = 0; i < WIDTH * HEIGHT; ++i)
      background[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    screen.SetBits(background.data(), WIDTH, HEIGHT);
    if (declaredOpaque) screen.SetImageMode(false, false);  // as the display's screen image is
    if (palettized) {
      sprite.SetBits(benchsupport::FewColours(SoftSprite()).data(), SPRITE, SPRITE);
      sprite.Palletize();
    } else {
      sprite.SetBits(SoftSprite().data(), SPRITE, SPRITE);
    }
  }
  Kit::MemoryImage sprite;
  Kit::MemoryImage screen;
};

// --- ours -------------------------------------------------------------------------------------

// declared: the screen image is declared opaque; otherwise the image finds out from its pixels, as an
// off-screen image does.
void Ours_Blt(benchmark::State& state, bool declared, Kit::Color color) {
  Scene scene(declared);
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      scene.screen.Blt(&scene.sprite, p.x, p.y, Kit::Rect(0, 0, SPRITE, SPRITE), color, 0);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// What bounds a blit by memory: each sprite row's pixels copied into the screen image at every
// position, as an opaque sprite would be (std::memcpy).
void Memcpy_Rows(benchmark::State& state) {
  Scene scene;
  const auto positions = Positions();
  const std::uint32_t* sprite = scene.sprite.GetBits();
  std::uint32_t* screen = scene.screen.GetBits();
  for (auto _ : state)
    for (const Position& p : positions)
      for (int j = 0; j < SPRITE; ++j)
        std::memcpy(screen + (p.y + j) * WIDTH + p.x, sprite + j * SPRITE, SPRITE * sizeof(std::uint32_t));
  benchmark::DoNotOptimize(screen);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Ours_AdditiveColored(benchmark::State& state) {
  Scene scene;
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      scene.screen.Blt(&scene.sprite, p.x, p.y, Kit::Rect(0, 0, SPRITE, SPRITE), Kit::Color(200, 150, 100), 1);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Ours_Fill(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) scene.screen.FillRect(Kit::Rect(0, 0, WIDTH, HEIGHT), Kit::Color(10, 20, 30), 0);
  SetItems(state, WIDTH * HEIGHT);
}

void Ours_FillTranslucent(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) scene.screen.FillRect(Kit::Rect(0, 0, WIDTH, HEIGHT), Kit::Color(10, 20, 30, 128), 0);
  SetItems(state, WIDTH * HEIGHT);
}

// drawMode 1: additive (the peers ADD the premultiplied sprite); color: tinted (SDL modulates);
// palettized: the sprite in 256 colours with its colour table.
void Ours_Rotated(benchmark::State& state, double angle, int drawMode = 0, Kit::Color color = Kit::Color::White,
                  bool palettized = false) {
  Scene scene(true, palettized);
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      scene.screen.BltRotated(&scene.sprite, static_cast<float>(p.x), static_cast<float>(p.y),
                              Kit::Rect(0, 0, SPRITE, SPRITE), Kit::Rect(0, 0, WIDTH, HEIGHT), color, drawMode, angle,
                              SPRITE / 2.0f, SPRITE / 2.0f);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Ours_Stretch(benchmark::State& state, bool fast) {
  Scene scene;
  for (auto _ : state)
    scene.screen.StretchBlt(&scene.sprite, Kit::Rect(100, 50, 600, 500), Kit::Rect(0, 0, SPRITE, SPRITE),
                            Kit::Rect(0, 0, WIDTH, HEIGHT), Kit::Color::White, 0, fast);
  SetItems(state, 600 * 500);
}

// The area-weighted stretch onto the screen image of a display of the given format (dummy video
// driver). From a software image the stretch is kept: every draw after the first blits the kept picture
// (a cache hit). From a surface image it is not: every draw resamples the sprite, as
// Ours_Stretch/AreaWeighted and the peers do.
void Ours_StretchOntoScreen(benchmark::State& state, bool surfaceImageSprite,
                            plat::DesktopFormat format = plat::DesktopFormat::Xrgb8888) {
  static HWND window = benchsupport::CreateBenchWindow("SoftwareDrawBench", WIDTH, HEIGHT);
  plat::DisplaySettings settings;
  settings.format = format;
  plat::ScopedDisplaySettings scoped(settings);
  benchsupport::WindowSizedHost host(WIDTH, HEIGHT);
  Kit::DDInterface display(&host);
  if (display.Init(window, true) != Kit::DDInterface::RESULT_OK) {
    state.SkipWithError(display.mErrorString.c_str());
    return;
  }
  Scene scene;
  Kit::DDImage surfaceSprite(&display);
  surfaceSprite.SetBits(SoftSprite().data(), SPRITE, SPRITE);
  Kit::MemoryImage& sprite = surfaceImageSprite ? surfaceSprite : scene.sprite;
  for (auto _ : state)
    display.GetScreenImage()->StretchBlt(&sprite, Kit::Rect(100, 50, 600, 500), Kit::Rect(0, 0, SPRITE, SPRITE),
                                         Kit::Rect(0, 0, WIDTH, HEIGHT), Kit::Color::White, 0, false);
  SetItems(state, 600 * 500);
}

// --- pixman -----------------------------------------------------------------------------------

struct PixmanScene {
  PixmanScene() : spriteBits(Premultiplied(SoftSprite())), screenBits(WIDTH * HEIGHT, 0xFF204060) {
    sprite = pixman_image_create_bits(PIXMAN_a8r8g8b8, SPRITE, SPRITE, spriteBits.data(), SPRITE * 4);
    screen = pixman_image_create_bits(PIXMAN_a8r8g8b8, WIDTH, HEIGHT, screenBits.data(), WIDTH * 4);
  }
  ~PixmanScene() {
    pixman_image_unref(sprite);
    pixman_image_unref(screen);
  }
  std::vector<std::uint32_t> spriteBits, screenBits;
  pixman_image_t* sprite;
  pixman_image_t* screen;
};

void Pixman_Over(benchmark::State& state) {
  PixmanScene scene;
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      pixman_image_composite32(PIXMAN_OP_OVER, scene.sprite, nullptr, scene.screen, 0, 0, 0, 0, p.x, p.y, SPRITE,
                               SPRITE);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Pixman_OverTinted(benchmark::State& state) {
  PixmanScene scene;
  benchsupport::RunPixmanTinted(state, PIXMAN_OP_OVER, scene.sprite, scene.screen, SPRITE, Positions());
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Pixman_AddColored(benchmark::State& state) {
  PixmanScene scene;
  benchsupport::RunPixmanTinted(state, PIXMAN_OP_ADD, scene.sprite, scene.screen, SPRITE, Positions());
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Pixman_Fill(benchmark::State& state) {
  PixmanScene scene;
  for (auto _ : state) pixman_fill(scene.screenBits.data(), WIDTH, 32, 0, 0, WIDTH, HEIGHT, 0xFF0A141E);
  SetItems(state, WIDTH * HEIGHT);
}

void Pixman_FillTranslucent(benchmark::State& state) {
  PixmanScene scene;
  const pixman_color_t color{10 * 128, 20 * 128, 30 * 128, 128 * 257};
  const pixman_rectangle16_t rect{0, 0, WIDTH, HEIGHT};
  for (auto _ : state) pixman_image_fill_rectangles(PIXMAN_OP_OVER, scene.screen, &color, 1, &rect);
  SetItems(state, WIDTH * HEIGHT);
}

void Pixman_Rotated(benchmark::State& state, double angle, int drawMode = 0) {
  PixmanScene scene;
  benchsupport::RunPixmanRotated(state, scene.sprite, scene.screen, SPRITE, angle, Positions(), 0.0,
                                 drawMode == 1 ? PIXMAN_OP_ADD : PIXMAN_OP_OVER);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// The sprite in 256 colours as c8 with its colour table.
void Pixman_RotatedPalettized(benchmark::State& state, double angle) {
  PixmanScene scene;
  const benchsupport::PixmanIndexedSprite sprite(benchsupport::FewColours(SoftSprite()), SPRITE);
  benchsupport::RunPixmanRotated(state, sprite.Image(), scene.screen, SPRITE, angle, Positions());
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Pixman_Stretch(benchmark::State& state, pixman_filter_t filter) {
  PixmanScene scene;
  pixman_image_set_filter(scene.sprite, filter, nullptr, 0);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(SPRITE / 600.0), pixman_double_to_fixed(SPRITE / 500.0));
  pixman_image_set_transform(scene.sprite, &t);
  for (auto _ : state)
    pixman_image_composite32(PIXMAN_OP_OVER, scene.sprite, nullptr, scene.screen, 0, 0, 0, 0, 100, 50, 600, 500);
  SetItems(state, 600 * 500);
}

// --- SDL2 -------------------------------------------------------------------------------------

struct SdlScene {
  SdlScene() : spriteBits(SoftSprite()), screenBits(WIDTH * HEIGHT, 0xFF204060) {
    sprite =
        SDL_CreateRGBSurfaceWithFormatFrom(spriteBits.data(), SPRITE, SPRITE, 32, SPRITE * 4, SDL_PIXELFORMAT_ARGB8888);
    screen =
        SDL_CreateRGBSurfaceWithFormatFrom(screenBits.data(), WIDTH, HEIGHT, 32, WIDTH * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(sprite, SDL_BLENDMODE_BLEND);
  }
  ~SdlScene() {
    if (renderer) SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(screen);
  }
  SDL_Renderer* Renderer() {
    if (!renderer) renderer = SDL_CreateSoftwareRenderer(screen);
    return renderer;
  }
  std::vector<std::uint32_t> spriteBits, screenBits;
  SDL_Surface* sprite;
  SDL_Surface* screen;
  SDL_Renderer* renderer = nullptr;
};

void SDL_Blit(benchmark::State& state, Kit::Color color) {
  SdlScene scene;
  SDL_SetSurfaceColorMod(scene.sprite, static_cast<Uint8>(color.mRed), static_cast<Uint8>(color.mGreen),
                         static_cast<Uint8>(color.mBlue));
  const auto positions = Positions();
  for (auto _ : state) {
    for (const Position& p : positions) {
      SDL_Rect to{p.x, p.y, SPRITE, SPRITE};
      SDL_BlitSurface(scene.sprite, nullptr, scene.screen, &to);
    }
  }
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void SDL_BlitAddColored(benchmark::State& state) {
  SdlScene scene;
  SDL_SetSurfaceBlendMode(scene.sprite, SDL_BLENDMODE_ADD);
  SDL_SetSurfaceColorMod(scene.sprite, 200, 150, 100);
  const auto positions = Positions();
  for (auto _ : state) {
    for (const Position& p : positions) {
      SDL_Rect to{p.x, p.y, SPRITE, SPRITE};
      SDL_BlitSurface(scene.sprite, nullptr, scene.screen, &to);
    }
  }
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void SDL_Fill(benchmark::State& state) {
  SdlScene scene;
  for (auto _ : state) SDL_FillRect(scene.screen, nullptr, 0xFF0A141E);
  SetItems(state, WIDTH * HEIGHT);
}

void SDL_FillTranslucent(benchmark::State& state) {
  SdlScene scene;
  SDL_Renderer* renderer = scene.Renderer();
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
  SDL_SetRenderDrawColor(renderer, 10, 20, 30, 128);
  for (auto _ : state) SDL_RenderFillRect(renderer, nullptr);
  SetItems(state, WIDTH * HEIGHT);
}

void SDL_Rotated(benchmark::State& state, double angle, int drawMode = 0, Kit::Color color = Kit::Color::White) {
  SdlScene scene;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_Renderer* renderer = scene.Renderer();
  SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, scene.sprite);
  SDL_SetTextureBlendMode(texture, drawMode == 1 ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
  SDL_SetTextureColorMod(texture, static_cast<Uint8>(color.mRed), static_cast<Uint8>(color.mGreen),
                         static_cast<Uint8>(color.mBlue));
  const auto positions = Positions();
  for (auto _ : state) {
    for (const Position& p : positions) {
      SDL_Rect to{p.x, p.y, SPRITE, SPRITE};
      SDL_RenderCopyEx(renderer, texture, nullptr, &to, -angle * 180 / std::numbers::pi, nullptr, SDL_FLIP_NONE);
    }
  }
  SDL_DestroyTexture(texture);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void SDL_Stretch(benchmark::State& state) {
  SdlScene scene;
  for (auto _ : state) {
    SDL_Rect to{100, 50, 600, 500};
    SDL_BlitScaled(scene.sprite, nullptr, scene.screen, &to);
  }
  SetItems(state, 600 * 500);
}

BENCHMARK_CAPTURE(Ours_Blt, DeclaredOpaque, true, Kit::Color::White);
BENCHMARK_CAPTURE(Ours_Blt, OpaqueImage, false, Kit::Color::White);
BENCHMARK(Pixman_Over);
BENCHMARK_CAPTURE(SDL_Blit, White, Kit::Color::White);
BENCHMARK(Memcpy_Rows);
BENCHMARK_CAPTURE(Ours_Blt, Tinted, true, TINT);
BENCHMARK(Pixman_OverTinted);
BENCHMARK_CAPTURE(SDL_Blit, Tinted, TINT);
BENCHMARK(Ours_AdditiveColored);
BENCHMARK(Pixman_AddColored);
BENCHMARK(SDL_BlitAddColored);
BENCHMARK(Ours_Fill);
BENCHMARK(Pixman_Fill);
BENCHMARK(SDL_Fill);
BENCHMARK(Ours_FillTranslucent);
BENCHMARK(Pixman_FillTranslucent);
BENCHMARK(SDL_FillTranslucent);
BENCHMARK_CAPTURE(Ours_Rotated, 0deg, 0.0);
BENCHMARK_CAPTURE(Pixman_Rotated, 0deg, 0.0);
BENCHMARK_CAPTURE(SDL_Rotated, 0deg, 0.0);
BENCHMARK_CAPTURE(Ours_Rotated, 30deg, THIRTY_DEGREES);
BENCHMARK_CAPTURE(Pixman_Rotated, 30deg, THIRTY_DEGREES);
BENCHMARK_CAPTURE(SDL_Rotated, 30deg, THIRTY_DEGREES);
BENCHMARK_CAPTURE(Ours_Rotated, 30deg_palettized, THIRTY_DEGREES, 0, Kit::Color::White, true);
BENCHMARK_CAPTURE(Pixman_RotatedPalettized, 30deg_palettized, THIRTY_DEGREES);
BENCHMARK_CAPTURE(Ours_Rotated, 30deg_tinted, THIRTY_DEGREES, 0, TINT);
BENCHMARK_CAPTURE(SDL_Rotated, 30deg_tinted, THIRTY_DEGREES, 0, TINT);
BENCHMARK_CAPTURE(Ours_Rotated, 30deg_additive, THIRTY_DEGREES, 1);
BENCHMARK_CAPTURE(Pixman_Rotated, 30deg_additive, THIRTY_DEGREES, 1);
BENCHMARK_CAPTURE(SDL_Rotated, 30deg_additive, THIRTY_DEGREES, 1);
BENCHMARK_CAPTURE(Ours_Stretch, AreaWeighted, false);
BENCHMARK_CAPTURE(Ours_StretchOntoScreen, CacheHit, false);
BENCHMARK_CAPTURE(Ours_StretchOntoScreen, Uncached, true);
BENCHMARK_CAPTURE(Ours_StretchOntoScreen, Uncached_565, true, plat::DesktopFormat::Rgb565);
BENCHMARK_CAPTURE(Ours_StretchOntoScreen, Uncached_555, true, plat::DesktopFormat::Rgb555);
BENCHMARK_CAPTURE(Pixman_Stretch, Bilinear, PIXMAN_FILTER_BILINEAR);
BENCHMARK_CAPTURE(Ours_Stretch, Fast, true);
BENCHMARK_CAPTURE(Pixman_Stretch, Nearest, PIXMAN_FILTER_NEAREST);
BENCHMARK(SDL_Stretch);

}  // namespace
