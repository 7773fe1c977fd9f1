// The cost of showing one 800 x 600 frame through the software DirectDraw: the windowed road (draw
// surface blitted to the primary, which presents the window's part of it) and the full-screen road (back
// buffer filled by a blit, then flipped, and shown scaled over the 1024 x 768 screen), beside SDL
// presenting the same frame itself (a streaming texture updated from memory and rendered, scaled onto a
// screen-sized window for full screen). SDL's dummy video driver and software renderer unless the
// environment chooses others. Argument: bits per pixel (16 or 32).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/support/BenchWindow.h"
#include "bench/support/SdlPresentPeer.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/system/DisplaySettings.h"
#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/Window.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct Release {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using Com = std::unique_ptr<T, Release>;

HWND Window() {
  static HWND window = benchsupport::CreateBenchWindow("DDrawPresentBench", kWidth, kHeight);
  return window;
}

plat::DisplaySettings Settings(int bits) {
  plat::DisplaySettings settings;
  settings.format = bits == 16 ? plat::DesktopFormat::Rgb565 : plat::DesktopFormat::Xrgb8888;
  return settings;
}

Com<IDirectDraw7> MakeDirectDraw() {
  void* object = nullptr;
  DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr);
  return Com<IDirectDraw7>(static_cast<IDirectDraw7*>(object));
}

Com<IDirectDrawSurface7> MakeSurface(IDirectDraw7* dd, DWORD flags, DWORD caps, DWORD backBuffers) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = flags;
  desc.dwWidth = kWidth;
  desc.dwHeight = kHeight;
  desc.dwBackBufferCount = backBuffers;
  desc.ddsCaps.dwCaps = caps;
  IDirectDrawSurface7* surface = nullptr;
  dd->CreateSurface(&desc, &surface, nullptr);
  return Com<IDirectDrawSurface7>(surface);
}

void Count(benchmark::State& state) { state.SetItemsProcessed(state.iterations()); }

void BM_DDrawWindowedPresent(benchmark::State& state) {
  const HWND window = Window();
  plat::ScopedDisplaySettings settings(Settings(static_cast<int>(state.range(0))));
  auto dd = MakeDirectDraw();
  dd->SetCooperativeLevel(window, DDSCL_NORMAL);
  auto primary = MakeSurface(dd.get(), DDSD_CAPS, DDSCAPS_PRIMARYSURFACE, 0);
  // Two frames that differ in every pixel, shown in turn: the primary takes only what changed, and
  // here all of it does.
  Com<IDirectDrawSurface7> draws[2];
  for (int i = 0; i < 2; ++i) {
    draws[i] =
        MakeSurface(dd.get(), DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, 0);
    DDBLTFX fill{};
    fill.dwSize = sizeof(fill);
    fill.dwFillColor = i ? 0x12345678u : 0x9ABCDEF0u;
    if (draws[i] && draws[i]->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill) != DD_OK)
      draws[i].reset();
  }
  if (!primary || !draws[0] || !draws[1]) {
    state.SkipWithError("no surfaces");
    return;
  }
  RECT client{};
  if (!plat::GetClientRectOnScreen(window, &client)) {
    state.SkipWithError("no client area");
    return;
  }
  int frame = 0;
  for (auto _ : state)
    if (primary->Blt(&client, draws[frame++ & 1].get(), nullptr, DDBLT_WAIT, nullptr) != DD_OK)
      return state.SkipWithError("present refused");
  Count(state);
}
BENCHMARK(BM_DDrawWindowedPresent)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

void BM_DDrawFullScreenFlip(benchmark::State& state) {
  const HWND window = Window();
  plat::ScopedDisplaySettings settings(Settings(32));
  auto dd = MakeDirectDraw();
  dd->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  dd->SetDisplayMode(kWidth, kHeight, static_cast<DWORD>(state.range(0)), 0, 0);
  auto primary = MakeSurface(dd.get(), DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                             DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, 1);
  auto draw =
      MakeSurface(dd.get(), DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, 0);
  if (!primary || !draw) {
    state.SkipWithError("no surfaces");
    return;
  }
  DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
  IDirectDrawSurface7* back = nullptr;
  primary->GetAttachedSurface(&caps, &back);
  Com<IDirectDrawSurface7> backOwned(back);
  for (auto _ : state) {
    if (back->Blt(nullptr, draw.get(), nullptr, DDBLT_WAIT, nullptr) != DD_OK ||
        primary->Flip(nullptr, DDFLIP_WAIT) != DD_OK) {
      state.SkipWithError("present refused");
      break;
    }
  }
  backOwned.reset();
  primary.reset();
  dd->SetCooperativeLevel(window, DDSCL_NORMAL);
  Count(state);
}
BENCHMARK(BM_DDrawFullScreenFlip)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

// SDL on its own: the same frame from memory through a streaming texture into a window of its own.
void SdlStreamingTexturePresent(benchmark::State& state, int windowWidth, int windowHeight) {
  const int bits = static_cast<int>(state.range(0));
  benchsupport::SdlPresentPeer peer(bits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888, kWidth, kHeight,
                                    windowWidth, windowHeight);
  if (!peer.Ready()) {
    state.SkipWithError("no renderer");
    return;
  }
  std::vector<unsigned char> frame(static_cast<size_t>(kWidth) * kHeight * bits / 8, 0x5A);
  for (auto _ : state) peer.Present(frame.data(), kWidth * bits / 8);
  Count(state);
}

void BM_SdlStreamingTexturePresent(benchmark::State& state) { SdlStreamingTexturePresent(state, kWidth, kHeight); }
BENCHMARK(BM_SdlStreamingTexturePresent)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

void BM_SdlStreamingTextureScaledPresent(benchmark::State& state) { SdlStreamingTexturePresent(state, 1024, 768); }
BENCHMARK(BM_SdlStreamingTextureScaledPresent)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

}  // namespace
