// Presenting an 800x600 frame through the display in a window (SDL's dummy video driver unless
// SDL_VIDEODRIVER says otherwise), on a 5-6-5 and a 32-bit desktop, changed everywhere, in one small
// square or nowhere: the frame goes from the draw surface
// into the primary (the 1024x768 desktop in the frame's format, which keeps the frame for what reads it
// later) and from there into the window's 32-bit surface, widened from 5-6-5 on the way.
// The first peers do less than that: they put the frame into 32-bit window memory only, SDL through a
// window surface and SDL_UpdateWindowSurface, pixman by one SRC composite into memory (no window).
// The "through_primary" peers do the same work as ours: the frame copied into a desktop-sized primary
// of its own format, then that part of the primary written into the window's memory (widened).
// The floor rows are one same-format copy, what memory bandwidth allows at best.
#include "bench/support/BenchWindow.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/win/system/DisplaySettings.h"
#include "platform/win/window/Window.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int WIDTH = 800, HEIGHT = 600;
constexpr int DESKTOP_WIDTH = 1024, DESKTOP_HEIGHT = 768;

HWND Window() {
  static HWND window = benchsupport::CreateBenchWindow("DisplayBench", WIDTH, HEIGHT);
  return window;
}

// What differs between two frames.
enum class Change {
  kEverywhere,
  kLittle,   // a 160x120 square, as when a few sprites move over a still picture
  kNothing,  // the same frame again, as a menu that waits for the player is presented
};

// The primary takes only what changed; the fill between two frames is not timed.
void Ours_Present(benchmark::State& state, plat::DesktopFormat format, Change change = Change::kEverywhere) {
  plat::DisplaySettings settings;
  settings.format = format;
  plat::ScopedDisplaySettings scoped(settings);
  benchsupport::WindowSizedHost host(WIDTH, HEIGHT);
  Kit::DDInterface display(&host);
  if (display.Init(Window(), true) != Kit::DDInterface::RESULT_OK) {
    state.SkipWithError(display.mErrorString.c_str());
    return;
  }
  const Kit::Rect changed = change == Change::kLittle ? Kit::Rect(320, 240, 160, 120) : Kit::Rect(0, 0, WIDTH, HEIGHT);
  display.GetScreenImage()->FillRect(Kit::Rect(0, 0, WIDTH, HEIGHT), Kit::Color(90, 60, 30), 0);
  int frame = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const int shade = change == Change::kNothing || frame++ & 1 ? 200 : 30;
    display.GetScreenImage()->FillRect(changed, Kit::Color(shade, 60, 90), 0);
    state.ResumeTiming();
    if (!display.Redraw()) state.SkipWithError("present failed");
    benchsupport::PumpMessages();
  }
  state.SetItemsProcessed(state.iterations() * WIDTH * HEIGHT);
}

// SDL showing a frame of the desktop's format in a window of its own: the frame blitted into the
// window's surface (XRGB8888 on the dummy driver: a 5-6-5 frame is widened on the way, as ours is) and
// SDL_UpdateWindowSurface. throughPrimary: SDL doing our work, the frame blitted into a desktop-sized
// primary of its format at the window's place (0, 0), and that part of the primary into the window's
// surface.
void SdlPresent(benchmark::State& state, Uint32 frameFormat, bool throughPrimary) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  SDL_Window* window = SDL_CreateWindow("peer", 0, 0, WIDTH, HEIGHT, SDL_WINDOW_SHOWN);
  SDL_Surface* shown = window ? SDL_GetWindowSurface(window) : nullptr;
  const int bits = SDL_BITSPERPIXEL(frameFormat);
  SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, bits, frameFormat);
  SDL_Surface* primary =
      throughPrimary ? SDL_CreateRGBSurfaceWithFormat(0, DESKTOP_WIDTH, DESKTOP_HEIGHT, bits, frameFormat) : nullptr;
  if (!shown || !frame || (throughPrimary && !primary) || shown->format->format != SDL_PIXELFORMAT_XRGB8888) {
    state.SkipWithError("no XRGB8888 window surface");
  } else {
    SDL_FillRect(frame, nullptr, SDL_MapRGB(frame->format, 30, 60, 90));
    for (auto _ : state) {
      if (primary) {
        SDL_Rect place{0, 0, WIDTH, HEIGHT};
        SDL_BlitSurface(frame, nullptr, primary, &place);
        SDL_Rect part{0, 0, WIDTH, HEIGHT};
        SDL_BlitSurface(primary, &part, shown, nullptr);
      } else {
        SDL_BlitSurface(frame, nullptr, shown, nullptr);
      }
      SDL_UpdateWindowSurface(window);
    }
    state.SetItemsProcessed(state.iterations() * WIDTH * HEIGHT);
  }
  for (SDL_Surface* surface : {frame, primary})
    if (surface) SDL_FreeSurface(surface);
  if (window) SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void Sdl_PresentSurface(benchmark::State& state, Uint32 frameFormat) { SdlPresent(state, frameFormat, false); }
void Sdl_PresentThroughPrimary(benchmark::State& state, Uint32 frameFormat) { SdlPresent(state, frameFormat, true); }

// pixman doing our work: SRC composites of the frame into a desktop-sized primary of its format, and of
// that part of the primary into 32-bit window memory. Its frame is redrawn between two, untimed, as ours
// is: a frame read fresh out of the caches costs more than one left clean there.
void Pixman_PresentThroughPrimary(benchmark::State& state, pixman_format_code_t frameFormat) {
  const int frameBytes = PIXMAN_FORMAT_BPP(frameFormat) / 8;
  std::vector<std::uint8_t> from(static_cast<std::size_t>(WIDTH) * HEIGHT * frameBytes, 0x5A),
      desktop(static_cast<std::size_t>(DESKTOP_WIDTH) * DESKTOP_HEIGHT * frameBytes),
      to(static_cast<std::size_t>(WIDTH) * HEIGHT * 4);
  pixman_image_t* src = pixman_image_create_bits(frameFormat, WIDTH, HEIGHT, reinterpret_cast<uint32_t*>(from.data()),
                                                 WIDTH * frameBytes);
  pixman_image_t* primary =
      pixman_image_create_bits(frameFormat, DESKTOP_WIDTH, DESKTOP_HEIGHT, reinterpret_cast<uint32_t*>(desktop.data()),
                               DESKTOP_WIDTH * frameBytes);
  pixman_image_t* dst =
      pixman_image_create_bits(PIXMAN_x8r8g8b8, WIDTH, HEIGHT, reinterpret_cast<uint32_t*>(to.data()), WIDTH * 4);
  int frame = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::memset(from.data(), frame++ & 1 ? 200 : 30, from.size());
    state.ResumeTiming();
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, primary, 0, 0, 0, 0, 0, 0, WIDTH, HEIGHT);
    pixman_image_composite32(PIXMAN_OP_SRC, primary, nullptr, dst, 0, 0, 0, 0, 0, 0, WIDTH, HEIGHT);
  }
  for (pixman_image_t* image : {src, primary, dst}) pixman_image_unref(image);
  state.SetItemsProcessed(state.iterations() * WIDTH * HEIGHT);
}

// pixman writing a frame of the desktop's format into 32-bit window memory (SRC; r5g6b5 is widened).
void Pixman_Present(benchmark::State& state, pixman_format_code_t frameFormat) {
  const int frameBytes = PIXMAN_FORMAT_BPP(frameFormat) / 8;
  std::vector<std::uint8_t> from(static_cast<std::size_t>(WIDTH) * HEIGHT * frameBytes, 0x5A),
      to(static_cast<std::size_t>(WIDTH) * HEIGHT * 4);
  pixman_image_t* src = pixman_image_create_bits(frameFormat, WIDTH, HEIGHT, reinterpret_cast<uint32_t*>(from.data()),
                                                 WIDTH * frameBytes);
  pixman_image_t* dst =
      pixman_image_create_bits(PIXMAN_x8r8g8b8, WIDTH, HEIGHT, reinterpret_cast<uint32_t*>(to.data()), WIDTH * 4);
  for (auto _ : state) pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, WIDTH, HEIGHT);
  pixman_image_unref(src);
  pixman_image_unref(dst);
  state.SetItemsProcessed(state.iterations() * WIDTH * HEIGHT);
}

// Not a peer: one same-format copy of the frame, the memory-bandwidth floor under any present.
void Floor_PixmanCopy(benchmark::State& state, pixman_format_code_t format) {
  const int bytes = PIXMAN_FORMAT_BPP(format) / 8;
  std::vector<std::uint8_t> from(static_cast<std::size_t>(WIDTH) * HEIGHT * bytes, 0x5A),
      to(static_cast<std::size_t>(WIDTH) * HEIGHT * bytes);
  pixman_image_t* src =
      pixman_image_create_bits(format, WIDTH, HEIGHT, reinterpret_cast<uint32_t*>(from.data()), WIDTH * bytes);
  pixman_image_t* dst =
      pixman_image_create_bits(format, WIDTH, HEIGHT, reinterpret_cast<uint32_t*>(to.data()), WIDTH * bytes);
  for (auto _ : state) pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, WIDTH, HEIGHT);
  pixman_image_unref(src);
  pixman_image_unref(dst);
  state.SetItemsProcessed(state.iterations() * WIDTH * HEIGHT);
}

}  // namespace

BENCHMARK_CAPTURE(Ours_Present, 565, plat::DesktopFormat::Rgb565)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Ours_Present, 565_little, plat::DesktopFormat::Rgb565, Change::kLittle)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Ours_Present, 565_unchanged, plat::DesktopFormat::Rgb565, Change::kNothing)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Sdl_PresentSurface, 565, SDL_PIXELFORMAT_RGB565)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Pixman_Present, 565, PIXMAN_r5g6b5)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Sdl_PresentThroughPrimary, 565, SDL_PIXELFORMAT_RGB565)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Pixman_PresentThroughPrimary, 565, PIXMAN_r5g6b5)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Floor_PixmanCopy, 565, PIXMAN_r5g6b5)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Ours_Present, 888, plat::DesktopFormat::Xrgb8888)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Ours_Present, 888_little, plat::DesktopFormat::Xrgb8888, Change::kLittle)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Ours_Present, 888_unchanged, plat::DesktopFormat::Xrgb8888, Change::kNothing)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Sdl_PresentSurface, 888, SDL_PIXELFORMAT_XRGB8888)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Pixman_Present, 888, PIXMAN_x8r8g8b8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Sdl_PresentThroughPrimary, 888, SDL_PIXELFORMAT_XRGB8888)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Pixman_PresentThroughPrimary, 888, PIXMAN_x8r8g8b8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Floor_PixmanCopy, 888, PIXMAN_x8r8g8b8)->Unit(benchmark::kMicrosecond);
