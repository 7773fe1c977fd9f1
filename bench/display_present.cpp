// Presenting an 800x600 frame through the display in a window (SDL's dummy video driver unless
// SDL_VIDEODRIVER says otherwise), on a 5-6-5 and a 32-bit desktop, beside SDL_BlitSurface and
// pixman copying the same frame in the same format.
#include "bench/support/BenchWindow.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/ddraw/DisplaySettings.h"
#include "platform/win/Window.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int WIDTH = 800, HEIGHT = 600;

HWND Window() {
  static HWND window = benchsupport::CreateBenchWindow("DisplayBench", WIDTH, HEIGHT);
  return window;
}

void Ours_Present(benchmark::State& state, plat::DesktopFormat format) {
  plat::DisplaySettings settings;
  settings.format = format;
  plat::ScopedDisplaySettings scoped(settings);
  benchsupport::WindowSizedHost host(WIDTH, HEIGHT);
  Kit::DDInterface display(&host);
  if (display.Init(Window(), true) != Kit::DDInterface::RESULT_OK) {
    state.SkipWithError(display.mErrorString.c_str());
    return;
  }
  display.GetScreenImage()->FillRect(Kit::Rect(0, 0, WIDTH, HEIGHT), Kit::Color(30, 60, 90), 0);
  for (auto _ : state) {
    if (!display.Redraw()) state.SkipWithError("present failed");
    benchsupport::PumpMessages();
  }
  state.SetItemsProcessed(state.iterations() * WIDTH * HEIGHT);
}

void Sdl_Blit(benchmark::State& state, Uint32 sdlFormat) {
  SDL_Surface* from = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, sdlFormat);
  SDL_Surface* to = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, sdlFormat);
  SDL_FillRect(from, nullptr, 0x1234);
  for (auto _ : state) SDL_BlitSurface(from, nullptr, to, nullptr);
  SDL_FreeSurface(from);
  SDL_FreeSurface(to);
  state.SetItemsProcessed(state.iterations() * WIDTH * HEIGHT);
}

void Pixman_Copy(benchmark::State& state, pixman_format_code_t format, int bytes) {
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
BENCHMARK_CAPTURE(Sdl_Blit, 565, SDL_PIXELFORMAT_RGB565)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Pixman_Copy, 565, PIXMAN_r5g6b5, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Ours_Present, 888, plat::DesktopFormat::Xrgb8888)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Sdl_Blit, 888, SDL_PIXELFORMAT_XRGB8888)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Pixman_Copy, 888, PIXMAN_x8r8g8b8, 4)->Unit(benchmark::kMicrosecond);
