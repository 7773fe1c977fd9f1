// The surface routines the game uses most, on 800x600 surface memory in 5-6-5, 5-5-5 and 32-bit,
// beside pixman doing the same composite onto r5g6b5, x1r5g5b5 and a8r8g8b8 and SDL2's surface
// blitter (its software renderer for the rotated draws) doing it onto RGB565, RGB555 and XRGB8888:
// rotated bilinear 64x64 sprites at 0 degrees (at whole-pixel and at sub-pixel positions, also
// additive) and 30 degrees, also from a palettized sprite of 256 colours (pixman's from c8), alpha
// blits of soft sprites (white and tinted), additive colourised blits, colour-keyed copies (SDL's
// both ways: naively from a 32-bit sprite converted at every blit, and at its best from a sprite in the
// screen's format, run-length encoded),
// nearest-neighbour stretches to twice the size (alpha, tinted additive and mirrored), mirrored alpha
// and additive blits, a full-screen opaque copy and a full-screen palettized copy; a memcpy of the
// sprite rows shows what memory allows the alpha blits.
//
// Where a peer does other work than ours: SDL's software renderer places a sprite on whole pixels, so
// its sub-pixel rows (normal and additive) draw the sprite as at a whole-pixel position, one source
// pixel each (no bilinear filtering of four neighbours): less work than ours and pixman's.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/surface/SurfaceBlt.h"
#include "framework/graphics/surface/SurfaceRotate.h"
#include "framework/graphics/surface/SurfaceStretch.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "bench/support/PixmanRotated.h"
#include "bench/support/PixmanTinted.h"
#include "bench/support/SpriteScene.h"
#include "bench/support/SurfaceFormats.h"

namespace {

using benchsupport::Position;
using benchsupport::Premultiplied;
using benchsupport::SetItems;

constexpr int WIDTH = 800, HEIGHT = 600, SPRITE = 64, SPRITES = 48;
constexpr double THIRTY_DEGREES = std::numbers::pi / 6;

using benchsupport::F555;
using benchsupport::F565;
using benchsupport::F888;
using benchsupport::Format;

const Kit::Color TINT(200, 150, 100);

std::vector<std::uint32_t> SoftSprite() { return benchsupport::SoftSprite(SPRITE, 0.7, 0.3, 4); }

// The soft sprite with every alpha made 0 or 255, as a colour-keyed picture is.
std::vector<std::uint32_t> KeyedSprite() {
  std::vector<std::uint32_t> pixels = SoftSprite();
  for (std::uint32_t& p : pixels) p = (p >> 24) >= 128 ? p | 0xFF000000u : 0;
  return pixels;
}

std::vector<std::uint32_t> FewColourSprite() { return benchsupport::FewColours(SoftSprite()); }

// Where a sprite stretched to twice its size lands (inside the screen at every position).
Kit::Rect StretchedAt(const Position& p) {
  return Kit::Rect(p.x - SPRITE / 2, p.y - SPRITE / 2, 2 * SPRITE, 2 * SPRITE);
}

// A full-screen opaque picture of 256 colours, as a palettized background is.
std::vector<std::uint32_t> PaletteColours() {
  std::vector<std::uint32_t> colours(256);
  for (std::uint32_t i = 0; i < 256; ++i) colours[i] = 0xFF000000u | (i * 0x010307u * 37u & 0xFFFFFF);
  return colours;
}
std::uint8_t PaletteIndexAt(std::size_t i) { return static_cast<std::uint8_t>((i / 7 + i / WIDTH * 3) & 0xFF); }
std::vector<std::uint32_t> PalettizedPicture() {
  const std::vector<std::uint32_t> colours = PaletteColours();
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(WIDTH) * HEIGHT);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = colours[PaletteIndexAt(i)];
  return pixels;
}

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
    palettizedSprite.SetBits(FewColourSprite().data(), SPRITE, SPRITE);
    palettizedSprite.Palletize();
    keyed.SetBits(KeyedSprite().data(), SPRITE, SPRITE);
    keyed.GetNativeAlphaData(&display);
    keyed.GetNative16Data(&display);
    // Its keyed spans made before timing, as SDL's run-length encoding of its sprite is.
    keyed.GetKeyedSpans();
    std::vector<std::uint32_t> opaque(static_cast<std::size_t>(WIDTH) * HEIGHT);
    for (std::size_t i = 0; i < opaque.size(); ++i)
      opaque[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    screenCopy.SetBits(opaque.data(), WIDTH, HEIGHT);
    const std::vector<std::uint32_t> indexed = PalettizedPicture();
    palettized.SetBits(indexed.data(), WIDTH, HEIGHT);
    palettized.Palletize();
  }
  Kit::MemoryImage sprite;
  Kit::MemoryImage palettizedSprite;
  Kit::MemoryImage keyed;
  Kit::MemoryImage screenCopy;
  Kit::MemoryImage palettized;
};

// drawMode 1: additive (the peers ADD the premultiplied sprite); palettized: the sprite of 256 colours
// with its colour table.
void Ours_Rotated(benchmark::State& state, const Format& f, double angle, float offset, int drawMode = 0,
                  bool palettized = false) {
  SurfaceScene scene(f);
  Kit::MemoryImage& sprite = palettized ? scene.palettizedSprite : scene.sprite;
  const auto positions = Positions();
  const Kit::Rect src(0, 0, SPRITE, SPRITE), clip(0, 0, WIDTH, HEIGHT);
  for (auto _ : state)
    for (const Position& p : positions) {
      Kit::Rect bounds;
      const float c = SPRITE / 2.0f;
      const float x = static_cast<float>(p.x) + offset, y = static_cast<float>(p.y) + offset;
      if (!Kit::MemoryImage::GetRotatedBounds(x, y, src, clip, angle, c, c, bounds)) continue;
      Kit::SurfaceDraw::RotatedBlt(scene.target, sprite, x, y, src, bounds, Kit::Color::White, drawMode, angle, c, c);
    }
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Ours_Alpha(benchmark::State& state, const Format& f, Kit::Color color, bool mirror) {
  SurfaceScene scene(f);
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      Kit::SurfaceDraw::AlphaBlt(scene.target, scene.sprite, &scene.display, p.x, p.y, Kit::Rect(0, 0, SPRITE, SPRITE),
                                 color, mirror);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Ours_PalettizedCopy(benchmark::State& state, const Format& f) {
  SurfaceScene scene(f);
  for (auto _ : state)
    Kit::SurfaceDraw::CopyNative(scene.target, scene.palettized, &scene.display, 0, 0, Kit::Rect(0, 0, WIDTH, HEIGHT),
                                 false);
  SetItems(state, WIDTH * HEIGHT);
}

void Ours_ColorKey(benchmark::State& state, const Format& f) {
  SurfaceScene scene(f);
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      Kit::SurfaceDraw::CopyNative(scene.target, scene.keyed, &scene.display, p.x, p.y, Kit::Rect(0, 0, SPRITE, SPRITE),
                                   true);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// The nearest stretch to twice the size: white alpha or tinted additive, mirrored or not.
void Ours_Stretch(benchmark::State& state, const Format& f, int drawMode, bool mirror) {
  SurfaceScene scene(f);
  const auto positions = Positions();
  const Kit::MemoryImage::StretchSource whole{0, 0, SPRITE, SPRITE};
  const Kit::Color color = drawMode == 1 ? TINT : Kit::Color::White;
  for (auto _ : state)
    for (const Position& p : positions)
      Kit::SurfaceDraw::FastStretch(scene.target, scene.sprite, &scene.display, StretchedAt(p), whole, color, drawMode,
                                    mirror);
  SetItems(state, SPRITES * 4 * SPRITE * SPRITE);
}

void Ours_AdditiveColored(benchmark::State& state, const Format& f, bool mirror) {
  SurfaceScene scene(f);
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      Kit::SurfaceDraw::AdditiveBlt(scene.target, scene.sprite, &scene.display, p.x, p.y,
                                    Kit::Rect(0, 0, SPRITE, SPRITE), TINT, mirror);
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

// What bounds a blit by memory: each sprite row's bytes copied into the screen memory at every
// position, as an opaque sprite would be (std::memcpy of the native words).
void Memcpy_Rows(benchmark::State& state, const Format& f) {
  SurfaceScene scene(f);
  const auto positions = Positions();
  const std::uint32_t* words = scene.sprite.GetNativeAlphaData(&scene.display);
  const std::size_t rowBytes = SPRITE * f.bits / 8, pitch = WIDTH * f.bits / 8;
  for (auto _ : state)
    for (const Position& p : positions)
      for (int j = 0; j < SPRITE; ++j)
        std::memcpy(scene.memory.data() + (p.y + j) * pitch + p.x * f.bits / 8, words + j * SPRITE, rowBytes);
  benchmark::DoNotOptimize(scene.memory.data());
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// --- pixman -------------------------------------------------------------------------------------

struct PixmanScene {
  explicit PixmanScene(const Format& f)
      : spriteBits(Premultiplied(SoftSprite())),
        keyedBits(KeyedSprite()),
        memory(static_cast<std::size_t>(WIDTH) * HEIGHT, 0x5A5A5A5A) {
    sprite = pixman_image_create_bits(PIXMAN_a8r8g8b8, SPRITE, SPRITE, spriteBits.data(), SPRITE * 4);
    keyed = pixman_image_create_bits(PIXMAN_a8r8g8b8, SPRITE, SPRITE, keyedBits.data(), SPRITE * 4);
    screen = pixman_image_create_bits(f.pixman, WIDTH, HEIGHT, memory.data(), WIDTH * f.bits / 8);
    std::vector<std::uint32_t> opaque(static_cast<std::size_t>(WIDTH) * HEIGHT);
    for (std::size_t i = 0; i < opaque.size(); ++i)
      opaque[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    copyBits = opaque;
    copySource = pixman_image_create_bits(f.pixman, WIDTH, HEIGHT, copyBits.data(), WIDTH * f.bits / 8);
  }
  ~PixmanScene() {
    pixman_image_unref(sprite);
    pixman_image_unref(keyed);
    pixman_image_unref(screen);
    pixman_image_unref(copySource);
  }
  std::vector<std::uint32_t> spriteBits, keyedBits, memory, copyBits;
  pixman_image_t* sprite;
  pixman_image_t* keyed;
  pixman_image_t* screen;
  pixman_image_t* copySource;
};

void Pixman_Rotated(benchmark::State& state, const Format& f, double angle, float offset, int drawMode = 0) {
  PixmanScene scene(f);
  benchsupport::RunPixmanRotated(state, scene.sprite, scene.screen, SPRITE, angle, Positions(), offset,
                                 drawMode == 1 ? PIXMAN_OP_ADD : PIXMAN_OP_OVER);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// The sprite of 256 colours as c8 with its (premultiplied) colour table.
void Pixman_RotatedPalettized(benchmark::State& state, const Format& f, double angle, float offset) {
  PixmanScene scene(f);
  const benchsupport::PixmanIndexedSprite sprite(FewColourSprite(), SPRITE);
  benchsupport::RunPixmanRotated(state, sprite.Image(), scene.screen, SPRITE, angle, Positions(), offset,
                                 PIXMAN_OP_OVER);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// Composites `from` OVER the screen at every position.
void OverAtPositions(benchmark::State& state, pixman_image_t* from, pixman_image_t* screen) {
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      pixman_image_composite32(PIXMAN_OP_OVER, from, nullptr, screen, 0, 0, 0, 0, p.x, p.y, SPRITE, SPRITE);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// Samples the sprite nearest, scaled by 1 / scale and, mirrored, read from its right end.
void SetNearestTransform(pixman_image_t* sprite, double scale, bool mirror) {
  pixman_image_set_filter(sprite, PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed((mirror ? -1 : 1) / scale), pixman_double_to_fixed(1 / scale));
  if (mirror) t.matrix[0][2] = pixman_int_to_fixed(SPRITE);
  pixman_image_set_transform(sprite, &t);
}

// mirror: the sprite read from its right end, as a mirrored blit draws it.
void Pixman_Over(benchmark::State& state, const Format& f, bool mirror) {
  PixmanScene scene(f);
  if (mirror) SetNearestTransform(scene.sprite, 1, true);
  OverAtPositions(state, scene.sprite, scene.screen);
}

void Pixman_OverTinted(benchmark::State& state, const Format& f) {
  PixmanScene scene(f);
  benchsupport::RunPixmanTinted(state, PIXMAN_OP_OVER, scene.sprite, scene.screen, SPRITE, Positions());
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// pixman has no colour key: the keyed sprite (alpha 0 or 255) composited OVER is the same work.
void Pixman_ColorKey(benchmark::State& state, const Format& f) {
  PixmanScene scene(f);
  OverAtPositions(state, scene.keyed, scene.screen);
}

// The nearest stretch to twice the size: OVER, or the tinted ADD for the additive stretch.
void Pixman_Stretch(benchmark::State& state, const Format& f, int drawMode, bool mirror) {
  PixmanScene scene(f);
  SetNearestTransform(scene.sprite, 2, mirror);
  std::vector<Position> corners;
  for (const Position& p : Positions()) corners.push_back({StretchedAt(p).mX, StretchedAt(p).mY});
  if (drawMode == 1) {
    benchsupport::RunPixmanTinted(state, PIXMAN_OP_ADD, scene.sprite, scene.screen, 2 * SPRITE, corners);
  } else {
    for (auto _ : state)
      for (const Position& p : corners)
        pixman_image_composite32(PIXMAN_OP_OVER, scene.sprite, nullptr, scene.screen, 0, 0, 0, 0, p.x, p.y, 2 * SPRITE,
                                 2 * SPRITE);
  }
  SetItems(state, SPRITES * 4 * SPRITE * SPRITE);
}

// A palettized picture (c8 with its colour table) copied onto the screen.
void Pixman_PalettizedCopy(benchmark::State& state, const Format& f) {
  PixmanScene scene(f);
  static pixman_indexed_t palette;
  const std::vector<std::uint32_t> colours = PaletteColours();
  for (int i = 0; i < 256; ++i) palette.rgba[i] = colours[static_cast<std::size_t>(i)];
  const int stride = (WIDTH + 3) / 4 * 4;
  std::vector<std::uint32_t> indices(static_cast<std::size_t>(stride) * HEIGHT / 4);
  auto* bytes = reinterpret_cast<std::uint8_t*>(indices.data());
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x)
      bytes[y * stride + x] = PaletteIndexAt(static_cast<std::size_t>(y) * WIDTH + static_cast<std::size_t>(x));
  pixman_image_t* picture = pixman_image_create_bits(PIXMAN_c8, WIDTH, HEIGHT, indices.data(), stride);
  pixman_image_set_indexed(picture, &palette);
  for (auto _ : state)
    pixman_image_composite32(PIXMAN_OP_SRC, picture, nullptr, scene.screen, 0, 0, 0, 0, 0, 0, WIDTH, HEIGHT);
  pixman_image_unref(picture);
  SetItems(state, WIDTH * HEIGHT);
}

void Pixman_AddColored(benchmark::State& state, const Format& f, bool mirror) {
  PixmanScene scene(f);
  if (mirror) SetNearestTransform(scene.sprite, 1, true);
  benchsupport::RunPixmanTinted(state, PIXMAN_OP_ADD, scene.sprite, scene.screen, SPRITE, Positions());
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Pixman_OpaqueCopy(benchmark::State& state, const Format& f) {
  PixmanScene scene(f);
  for (auto _ : state)
    pixman_image_composite32(PIXMAN_OP_SRC, scene.copySource, nullptr, scene.screen, 0, 0, 0, 0, 0, 0, WIDTH, HEIGHT);
  SetItems(state, WIDTH * HEIGHT);
}

// --- SDL2 ---------------------------------------------------------------------------------------

// SDL's surface blitter onto RGB565 or XRGB8888 screen memory, from the straight-alpha ARGB sprite.
struct SdlScene {
  explicit SdlScene(const Format& f)
      : spriteBits(SoftSprite()),
        keyedBits(KeyedSprite()),
        memory(static_cast<std::size_t>(WIDTH) * HEIGHT, 0x5A5A5A5A) {
    sprite =
        SDL_CreateRGBSurfaceWithFormatFrom(spriteBits.data(), SPRITE, SPRITE, 32, SPRITE * 4, SDL_PIXELFORMAT_ARGB8888);
    keyed =
        SDL_CreateRGBSurfaceWithFormatFrom(keyedBits.data(), SPRITE, SPRITE, 32, SPRITE * 4, SDL_PIXELFORMAT_RGB888);
    SDL_SetColorKey(keyed, SDL_TRUE, 0);
    screen = SDL_CreateRGBSurfaceWithFormatFrom(memory.data(), WIDTH, HEIGHT, f.bits, WIDTH * f.bits / 8,
                                                f.bits == 32    ? SDL_PIXELFORMAT_RGB888
                                                : f.g == 0x07E0 ? SDL_PIXELFORMAT_RGB565
                                                                : SDL_PIXELFORMAT_RGB555);
    SDL_SetSurfaceBlendMode(sprite, SDL_BLENDMODE_BLEND);
    // The keyed sprite as SDL advises: converted once to the screen's format, its key mapped to that format,
    // and run-length encoded (SDL encodes it at the first blit, done here).
    keyedNative = SDL_ConvertSurface(keyed, screen->format, 0);
    SDL_SetColorKey(keyedNative, SDL_TRUE, SDL_MapRGB(keyedNative->format, 0, 0, 0));
    SDL_SetSurfaceRLE(keyedNative, 1);
    SDL_Rect first{0, 0, SPRITE, SPRITE};
    SDL_BlitSurface(keyedNative, nullptr, screen, &first);
  }
  ~SdlScene() {
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(keyed);
    SDL_FreeSurface(keyedNative);
    SDL_FreeSurface(screen);
  }
  // Blits `from` at every position, scaled to `size` when it is not the sprite's own.
  void BlitAll(benchmark::State& state, SDL_Surface* from, bool stretched) {
    const auto positions = Positions();
    for (auto _ : state)
      for (const Position& p : positions) {
        if (stretched) {
          const Kit::Rect r = StretchedAt(p);
          SDL_Rect to{r.mX, r.mY, r.mWidth, r.mHeight};
          SDL_BlitScaled(from, nullptr, screen, &to);
        } else {
          SDL_Rect to{p.x, p.y, SPRITE, SPRITE};
          SDL_BlitSurface(from, nullptr, screen, &to);
        }
      }
  }
  std::vector<std::uint32_t> spriteBits, keyedBits, memory;
  SDL_Surface* sprite;
  SDL_Surface* keyed;
  SDL_Surface* keyedNative;
  SDL_Surface* screen;
};

void SDL_Alpha(benchmark::State& state, const Format& f, Kit::Color color) {
  SdlScene scene(f);
  SDL_SetSurfaceColorMod(scene.sprite, static_cast<Uint8>(color.mRed), static_cast<Uint8>(color.mGreen),
                         static_cast<Uint8>(color.mBlue));
  scene.BlitAll(state, scene.sprite, false);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// SDL_RenderCopyEx on a software renderer over the same screen memory, bilinear, turned the same way
// about the sprite's middle.
void SDL_Rotated(benchmark::State& state, const Format& f, double angle, float offset, int drawMode = 0) {
  SdlScene scene(f);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(scene.screen);
  SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, scene.sprite);
  SDL_SetTextureBlendMode(texture, drawMode == 1 ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
  const auto positions = Positions();
  for (auto _ : state) {
    for (const Position& p : positions) {
      const SDL_FRect to{static_cast<float>(p.x) + offset, static_cast<float>(p.y) + offset, SPRITE, SPRITE};
      SDL_RenderCopyExF(renderer, texture, nullptr, &to, -angle * 180 / std::numbers::pi, nullptr, SDL_FLIP_NONE);
    }
    SDL_RenderFlush(renderer);
  }
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void SDL_AddColored(benchmark::State& state, const Format& f) {
  SdlScene scene(f);
  SDL_SetSurfaceBlendMode(scene.sprite, SDL_BLENDMODE_ADD);
  SDL_SetSurfaceColorMod(scene.sprite, 200, 150, 100);
  scene.BlitAll(state, scene.sprite, false);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// SDL used naively: the keyed sprite kept as 32-bit XRGB, converted to the screen's format at every blit.
void SDL_ColorKeyConverting(benchmark::State& state, const Format& f) {
  SdlScene scene(f);
  scene.BlitAll(state, scene.keyed, false);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

// SDL used at its best: the sprite in the screen's format and run-length encoded (SDL_RLEACCEL).
void SDL_ColorKeyRLE(benchmark::State& state, const Format& f) {
  SdlScene scene(f);
  if (!(scene.keyedNative->flags & SDL_RLEACCEL)) {
    state.SkipWithError("SDL did not run-length encode the sprite");
    return;
  }
  scene.BlitAll(state, scene.keyedNative, false);
  SetItems(state, SPRITES * SPRITE * SPRITE);
}

void SDL_Stretch(benchmark::State& state, const Format& f) {
  SdlScene scene(f);
  scene.BlitAll(state, scene.sprite, true);
  SetItems(state, SPRITES * 4 * SPRITE * SPRITE);
}

}  // namespace

BENCHMARK_CAPTURE(Ours_Rotated, 565_0deg, F565, 0.0, 0.0f);
BENCHMARK_CAPTURE(Pixman_Rotated, 565_0deg, F565, 0.0, 0.0f);
BENCHMARK_CAPTURE(SDL_Rotated, 565_0deg, F565, 0.0, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 565_0deg_subpixel, F565, 0.0, 0.375f);
BENCHMARK_CAPTURE(Pixman_Rotated, 565_0deg_subpixel, F565, 0.0, 0.375f);
BENCHMARK_CAPTURE(SDL_Rotated, 565_0deg_subpixel, F565, 0.0, 0.375f);
BENCHMARK_CAPTURE(Ours_Rotated, 565_30deg, F565, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Pixman_Rotated, 565_30deg, F565, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(SDL_Rotated, 565_30deg, F565, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 555_0deg, F555, 0.0, 0.0f);
BENCHMARK_CAPTURE(Pixman_Rotated, 555_0deg, F555, 0.0, 0.0f);
BENCHMARK_CAPTURE(SDL_Rotated, 555_0deg, F555, 0.0, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 555_0deg_subpixel, F555, 0.0, 0.375f);
BENCHMARK_CAPTURE(Pixman_Rotated, 555_0deg_subpixel, F555, 0.0, 0.375f);
BENCHMARK_CAPTURE(SDL_Rotated, 555_0deg_subpixel, F555, 0.0, 0.375f);
BENCHMARK_CAPTURE(Ours_Rotated, 555_30deg, F555, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Pixman_Rotated, 555_30deg, F555, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(SDL_Rotated, 555_30deg, F555, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 888_0deg, F888, 0.0, 0.0f);
BENCHMARK_CAPTURE(Pixman_Rotated, 888_0deg, F888, 0.0, 0.0f);
BENCHMARK_CAPTURE(SDL_Rotated, 888_0deg, F888, 0.0, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 888_0deg_subpixel, F888, 0.0, 0.375f);
BENCHMARK_CAPTURE(Pixman_Rotated, 888_0deg_subpixel, F888, 0.0, 0.375f);
BENCHMARK_CAPTURE(SDL_Rotated, 888_0deg_subpixel, F888, 0.0, 0.375f);
BENCHMARK_CAPTURE(Ours_Rotated, 888_30deg, F888, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Pixman_Rotated, 888_30deg, F888, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(SDL_Rotated, 888_30deg, F888, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 565_30deg_palettized, F565, THIRTY_DEGREES, 0.0f, 0, true);
BENCHMARK_CAPTURE(Pixman_RotatedPalettized, 565_30deg_palettized, F565, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 555_30deg_palettized, F555, THIRTY_DEGREES, 0.0f, 0, true);
BENCHMARK_CAPTURE(Pixman_RotatedPalettized, 555_30deg_palettized, F555, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 888_30deg_palettized, F888, THIRTY_DEGREES, 0.0f, 0, true);
BENCHMARK_CAPTURE(Pixman_RotatedPalettized, 888_30deg_palettized, F888, THIRTY_DEGREES, 0.0f);
BENCHMARK_CAPTURE(Ours_Rotated, 565_0deg_subpixel_palettized, F565, 0.0, 0.375f, 0, true);
BENCHMARK_CAPTURE(Pixman_RotatedPalettized, 565_0deg_subpixel_palettized, F565, 0.0, 0.375f);
BENCHMARK_CAPTURE(Ours_Rotated, 555_0deg_subpixel_palettized, F555, 0.0, 0.375f, 0, true);
BENCHMARK_CAPTURE(Pixman_RotatedPalettized, 555_0deg_subpixel_palettized, F555, 0.0, 0.375f);
BENCHMARK_CAPTURE(Ours_Rotated, 888_0deg_subpixel_palettized, F888, 0.0, 0.375f, 0, true);
BENCHMARK_CAPTURE(Pixman_RotatedPalettized, 888_0deg_subpixel_palettized, F888, 0.0, 0.375f);
BENCHMARK_CAPTURE(Ours_Rotated, 565_0deg_additive, F565, 0.0, 0.0f, 1);
BENCHMARK_CAPTURE(Pixman_Rotated, 565_0deg_additive, F565, 0.0, 0.0f, 1);
BENCHMARK_CAPTURE(SDL_Rotated, 565_0deg_additive, F565, 0.0, 0.0f, 1);
BENCHMARK_CAPTURE(Ours_Rotated, 565_0deg_subpixel_additive, F565, 0.0, 0.375f, 1);
BENCHMARK_CAPTURE(Pixman_Rotated, 565_0deg_subpixel_additive, F565, 0.0, 0.375f, 1);
BENCHMARK_CAPTURE(SDL_Rotated, 565_0deg_subpixel_additive, F565, 0.0, 0.375f, 1);
BENCHMARK_CAPTURE(Ours_Rotated, 565_30deg_additive, F565, THIRTY_DEGREES, 0.0f, 1);
BENCHMARK_CAPTURE(Pixman_Rotated, 565_30deg_additive, F565, THIRTY_DEGREES, 0.0f, 1);
BENCHMARK_CAPTURE(SDL_Rotated, 565_30deg_additive, F565, THIRTY_DEGREES, 0.0f, 1);
BENCHMARK_CAPTURE(Ours_Rotated, 555_0deg_additive, F555, 0.0, 0.0f, 1);
BENCHMARK_CAPTURE(Pixman_Rotated, 555_0deg_additive, F555, 0.0, 0.0f, 1);
BENCHMARK_CAPTURE(SDL_Rotated, 555_0deg_additive, F555, 0.0, 0.0f, 1);
BENCHMARK_CAPTURE(Ours_Rotated, 555_0deg_subpixel_additive, F555, 0.0, 0.375f, 1);
BENCHMARK_CAPTURE(Pixman_Rotated, 555_0deg_subpixel_additive, F555, 0.0, 0.375f, 1);
BENCHMARK_CAPTURE(SDL_Rotated, 555_0deg_subpixel_additive, F555, 0.0, 0.375f, 1);
BENCHMARK_CAPTURE(Ours_Rotated, 555_30deg_additive, F555, THIRTY_DEGREES, 0.0f, 1);
BENCHMARK_CAPTURE(Pixman_Rotated, 555_30deg_additive, F555, THIRTY_DEGREES, 0.0f, 1);
BENCHMARK_CAPTURE(SDL_Rotated, 555_30deg_additive, F555, THIRTY_DEGREES, 0.0f, 1);
BENCHMARK_CAPTURE(Ours_Rotated, 888_30deg_additive, F888, THIRTY_DEGREES, 0.0f, 1);
BENCHMARK_CAPTURE(Pixman_Rotated, 888_30deg_additive, F888, THIRTY_DEGREES, 0.0f, 1);
BENCHMARK_CAPTURE(SDL_Rotated, 888_30deg_additive, F888, THIRTY_DEGREES, 0.0f, 1);
BENCHMARK_CAPTURE(Ours_Alpha, 565, F565, Kit::Color::White, false);
BENCHMARK_CAPTURE(Pixman_Over, 565, F565, false);
BENCHMARK_CAPTURE(SDL_Alpha, 565, F565, Kit::Color::White);
BENCHMARK_CAPTURE(Memcpy_Rows, 565, F565);
BENCHMARK_CAPTURE(Ours_Alpha, 555, F555, Kit::Color::White, false);
BENCHMARK_CAPTURE(Pixman_Over, 555, F555, false);
BENCHMARK_CAPTURE(SDL_Alpha, 555, F555, Kit::Color::White);
BENCHMARK_CAPTURE(Memcpy_Rows, 555, F555);
BENCHMARK_CAPTURE(Ours_Alpha, 888, F888, Kit::Color::White, false);
BENCHMARK_CAPTURE(Pixman_Over, 888, F888, false);
BENCHMARK_CAPTURE(SDL_Alpha, 888, F888, Kit::Color::White);
BENCHMARK_CAPTURE(Memcpy_Rows, 888, F888);
BENCHMARK_CAPTURE(Ours_Alpha, 565_tinted, F565, TINT, false);
BENCHMARK_CAPTURE(Pixman_OverTinted, 565_tinted, F565);
BENCHMARK_CAPTURE(SDL_Alpha, 565_tinted, F565, TINT);
BENCHMARK_CAPTURE(Ours_Alpha, 555_tinted, F555, TINT, false);
BENCHMARK_CAPTURE(Pixman_OverTinted, 555_tinted, F555);
BENCHMARK_CAPTURE(SDL_Alpha, 555_tinted, F555, TINT);
BENCHMARK_CAPTURE(Ours_Alpha, 888_tinted, F888, TINT, false);
BENCHMARK_CAPTURE(Pixman_OverTinted, 888_tinted, F888);
BENCHMARK_CAPTURE(SDL_Alpha, 888_tinted, F888, TINT);
BENCHMARK_CAPTURE(Ours_AdditiveColored, 565, F565, false);
BENCHMARK_CAPTURE(Pixman_AddColored, 565, F565, false);
BENCHMARK_CAPTURE(SDL_AddColored, 565, F565);
BENCHMARK_CAPTURE(Ours_AdditiveColored, 555, F555, false);
BENCHMARK_CAPTURE(Pixman_AddColored, 555, F555, false);
BENCHMARK_CAPTURE(SDL_AddColored, 555, F555);
BENCHMARK_CAPTURE(Ours_AdditiveColored, 888, F888, false);
BENCHMARK_CAPTURE(Pixman_AddColored, 888, F888, false);
BENCHMARK_CAPTURE(SDL_AddColored, 888, F888);
BENCHMARK_CAPTURE(Ours_ColorKey, 565, F565);
BENCHMARK_CAPTURE(Pixman_ColorKey, 565, F565);
BENCHMARK_CAPTURE(SDL_ColorKeyConverting, 565, F565);
BENCHMARK_CAPTURE(SDL_ColorKeyRLE, 565, F565);
BENCHMARK_CAPTURE(Ours_ColorKey, 555, F555);
BENCHMARK_CAPTURE(Pixman_ColorKey, 555, F555);
BENCHMARK_CAPTURE(SDL_ColorKeyConverting, 555, F555);
BENCHMARK_CAPTURE(SDL_ColorKeyRLE, 555, F555);
BENCHMARK_CAPTURE(Ours_ColorKey, 888, F888);
BENCHMARK_CAPTURE(Pixman_ColorKey, 888, F888);
BENCHMARK_CAPTURE(SDL_ColorKeyConverting, 888, F888);
BENCHMARK_CAPTURE(SDL_ColorKeyRLE, 888, F888);
BENCHMARK_CAPTURE(Ours_Stretch, 565_2x, F565, 0, false);
BENCHMARK_CAPTURE(Pixman_Stretch, 565_2x, F565, 0, false);
BENCHMARK_CAPTURE(SDL_Stretch, 565_2x, F565);
BENCHMARK_CAPTURE(Ours_Stretch, 555_2x, F555, 0, false);
BENCHMARK_CAPTURE(Pixman_Stretch, 555_2x, F555, 0, false);
BENCHMARK_CAPTURE(SDL_Stretch, 555_2x, F555);
BENCHMARK_CAPTURE(Ours_Stretch, 888_2x, F888, 0, false);
BENCHMARK_CAPTURE(Pixman_Stretch, 888_2x, F888, 0, false);
BENCHMARK_CAPTURE(SDL_Stretch, 888_2x, F888);
BENCHMARK_CAPTURE(Ours_Stretch, 565_2x_mirrored, F565, 0, true);
BENCHMARK_CAPTURE(Pixman_Stretch, 565_2x_mirrored, F565, 0, true);
BENCHMARK_CAPTURE(Ours_Stretch, 555_2x_mirrored, F555, 0, true);
BENCHMARK_CAPTURE(Pixman_Stretch, 555_2x_mirrored, F555, 0, true);
BENCHMARK_CAPTURE(Ours_Stretch, 888_2x_mirrored, F888, 0, true);
BENCHMARK_CAPTURE(Pixman_Stretch, 888_2x_mirrored, F888, 0, true);
BENCHMARK_CAPTURE(Ours_Stretch, 565_2x_additive, F565, 1, false);
BENCHMARK_CAPTURE(Pixman_Stretch, 565_2x_additive, F565, 1, false);
BENCHMARK_CAPTURE(Ours_Stretch, 555_2x_additive, F555, 1, false);
BENCHMARK_CAPTURE(Pixman_Stretch, 555_2x_additive, F555, 1, false);
BENCHMARK_CAPTURE(Ours_Stretch, 888_2x_additive, F888, 1, false);
BENCHMARK_CAPTURE(Pixman_Stretch, 888_2x_additive, F888, 1, false);
BENCHMARK_CAPTURE(Ours_Alpha, 565_mirrored, F565, Kit::Color::White, true);
BENCHMARK_CAPTURE(Pixman_Over, 565_mirrored, F565, true);
BENCHMARK_CAPTURE(Ours_Alpha, 555_mirrored, F555, Kit::Color::White, true);
BENCHMARK_CAPTURE(Pixman_Over, 555_mirrored, F555, true);
BENCHMARK_CAPTURE(Ours_Alpha, 888_mirrored, F888, Kit::Color::White, true);
BENCHMARK_CAPTURE(Pixman_Over, 888_mirrored, F888, true);
BENCHMARK_CAPTURE(Ours_AdditiveColored, 565_mirrored, F565, true);
BENCHMARK_CAPTURE(Pixman_AddColored, 565_mirrored, F565, true);
BENCHMARK_CAPTURE(Ours_AdditiveColored, 555_mirrored, F555, true);
BENCHMARK_CAPTURE(Pixman_AddColored, 555_mirrored, F555, true);
BENCHMARK_CAPTURE(Ours_AdditiveColored, 888_mirrored, F888, true);
BENCHMARK_CAPTURE(Pixman_AddColored, 888_mirrored, F888, true);
BENCHMARK_CAPTURE(Ours_PalettizedCopy, 565, F565);
BENCHMARK_CAPTURE(Pixman_PalettizedCopy, 565, F565);
BENCHMARK_CAPTURE(Ours_PalettizedCopy, 555, F555);
BENCHMARK_CAPTURE(Pixman_PalettizedCopy, 555, F555);
BENCHMARK_CAPTURE(Ours_OpaqueCopy, 565, F565);
BENCHMARK_CAPTURE(Pixman_OpaqueCopy, 565, F565);
BENCHMARK_CAPTURE(Ours_OpaqueCopy, 555, F555);
BENCHMARK_CAPTURE(Pixman_OpaqueCopy, 555, F555);
BENCHMARK_CAPTURE(Ours_OpaqueCopy, 888, F888);
BENCHMARK_CAPTURE(Pixman_OpaqueCopy, 888, F888);
