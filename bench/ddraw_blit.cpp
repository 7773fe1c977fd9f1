// The software DirectDraw's blits on a full 800 x 600 frame, through IDirectDrawSurface7::Blt as the
// display calls it, beside SDL (SDL_FillRect, SDL_BlitSurface, SDL_BlitScaled) and pixman (pixman_fill,
// pixman_image_composite32) doing the same work on surfaces of the same format.
// pixman has no colour key: its peer of the keyed copy takes the nearest road it has, the key turned
// once (outside the timing) into an 8-bit mask that is 0 on keyed pixels and 255 elsewhere, and the
// source composited OVER the target through it. The pixels come out the same; pixman reads a mask
// where ours compares each pixel with the key.
// BM_DDrawCopy stores as the machine's caches' sizes choose (platform/cpu/CacheSizes.h: the share they
// give one processor is printed with the machine's details; its label says which way);
// BM_DDrawCopyThroughCaches and BM_DDrawCopyPastCaches force each kind of store.
// BM_MemoryFloor2x is no peer: it does the memory work of a 2x stretch without its shuffles, the
// floor a stretch through the cache cannot go below.
// Argument: bits per pixel (16 or 32).
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/cpu/CacheSizes.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/system/DisplaySettings.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct Release {
  void operator()(IUnknown* object) const { object->Release(); }
};

// A DirectDraw object on a desktop of the benchmark's depth, with a source and a target surface.
struct DDrawFrames {
  explicit DDrawFrames(int bits, int sourceWidth = kWidth, int sourceHeight = kHeight)
      : settings([&] {
          plat::DisplaySettings s;
          s.format = bits == 16 ? plat::DesktopFormat::Rgb565 : plat::DesktopFormat::Xrgb8888;
          s.videoMemoryBytes = 0;
          return s;
        }()) {
    void* object = nullptr;
    DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr);
    dd.reset(static_cast<IDirectDraw7*>(object));
    source.reset(Make(sourceWidth, sourceHeight));
    target.reset(Make(kWidth, kHeight));
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    // A source that cannot be locked keeps its zeroed memory: the copies measured are the same work.
    if (source->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) == DD_OK) {
      auto* bytes = static_cast<unsigned char*>(desc.lpSurface);
      for (int i = 0; i < desc.lPitch * sourceHeight; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + (i >> 9));
      source->Unlock(nullptr);
    }
  }
  IDirectDrawSurface7* Make(int width, int height) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface7* surface = nullptr;
    dd->CreateSurface(&desc, &surface, nullptr);
    return surface;
  }
  plat::ScopedDisplaySettings settings;
  std::unique_ptr<IDirectDraw7, Release> dd;
  std::unique_ptr<IDirectDrawSurface7, Release> source;
  std::unique_ptr<IDirectDrawSurface7, Release> target;
};

struct SdlFrames {
  explicit SdlFrames(int bits, int sourceWidth = kWidth, int sourceHeight = kHeight) {
    const Uint32 format = bits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    source = SDL_CreateRGBSurfaceWithFormat(0, sourceWidth, sourceHeight, bits, format);
    target = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, bits, format);
    auto* bytes = static_cast<unsigned char*>(source->pixels);
    for (int i = 0; i < source->pitch * sourceHeight; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + (i >> 9));
  }
  ~SdlFrames() {
    SDL_FreeSurface(source);
    SDL_FreeSurface(target);
  }
  SDL_Surface* source;
  SDL_Surface* target;
};

const bool kCacheShareShown = [] {
  benchmark::AddCustomContext("cache_share_per_processor",
                              std::to_string(plat::cache::ProcessorShare() >> 10) + " KiB");
  return true;
}();

void Count(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * state.range(0) / 8);
}

// ---- Colour fill ----

void BM_DDrawFill(benchmark::State& state) {
  DDrawFrames frames(static_cast<int>(state.range(0)));
  DDBLTFX fx{};
  fx.dwSize = sizeof(fx);
  for (auto _ : state) {
    fx.dwFillColor++;
    if (frames.target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx) != DD_OK)
      return state.SkipWithError("fill refused");
  }
  Count(state);
}
BENCHMARK(BM_DDrawFill)->Arg(16)->Arg(32);

void BM_SdlFillRect(benchmark::State& state) {
  SdlFrames frames(static_cast<int>(state.range(0)));
  Uint32 color = 0;
  for (auto _ : state) SDL_FillRect(frames.target, nullptr, ++color);
  Count(state);
}
BENCHMARK(BM_SdlFillRect)->Arg(16)->Arg(32);

void BM_PixmanFill(benchmark::State& state) {
  SdlFrames frames(static_cast<int>(state.range(0)));
  const int bpp = static_cast<int>(state.range(0));
  for (auto _ : state) {
    pixman_fill(static_cast<uint32_t*>(frames.target->pixels), frames.target->pitch / 4, bpp, 0, 0, kWidth, kHeight,
                0x12345678);
  }
  Count(state);
}
BENCHMARK(BM_PixmanFill)->Arg(16)->Arg(32);

// ---- Plain copy ----

std::size_t FrameBytes(const benchmark::State& state) {
  return static_cast<std::size_t>(kWidth * kHeight * state.range(0) / 8);
}

// The way the copies of the benchmark's frame store.
void LabelStores(benchmark::State& state) {
  state.SetLabel(plat::cache::FitsNearCaches(2 * FrameBytes(state)) ? "through caches" : "past caches");
}

void BM_DDrawCopy(benchmark::State& state) {
  DDrawFrames frames(static_cast<int>(state.range(0)));
  for (auto _ : state)
    if (frames.target->Blt(nullptr, frames.source.get(), nullptr, DDBLT_WAIT, nullptr) != DD_OK)
      return state.SkipWithError("blit refused");
  LabelStores(state);
  Count(state);
}
BENCHMARK(BM_DDrawCopy)->Arg(16)->Arg(32);

// The plain copy with each kind of store, whatever the machine's caches choose: through the caches (as
// on a machine whose caches no frame overflows) and past them (as on one that every frame overflows).
void BM_DDrawCopyThroughCaches(benchmark::State& state) {
  const plat::cache::ScopedSizes noneOverflow(plat::cache::Sizes{std::size_t{1} << 40, 1, 0, 1});
  BM_DDrawCopy(state);
}
BENCHMARK(BM_DDrawCopyThroughCaches)->Arg(16)->Arg(32);

void BM_DDrawCopyPastCaches(benchmark::State& state) {
  const plat::cache::ScopedSizes allOverflow(plat::cache::Sizes{1, 1, 0, 1});
  BM_DDrawCopy(state);
}
BENCHMARK(BM_DDrawCopyPastCaches)->Arg(16)->Arg(32);

void BM_SdlBlitSurfaceCopy(benchmark::State& state) {
  SdlFrames frames(static_cast<int>(state.range(0)));
  for (auto _ : state) SDL_BlitSurface(frames.source, nullptr, frames.target, nullptr);
  Count(state);
}
BENCHMARK(BM_SdlBlitSurfaceCopy)->Arg(16)->Arg(32);

void BM_PixmanCopy(benchmark::State& state) {
  SdlFrames frames(static_cast<int>(state.range(0)));
  const pixman_format_code_t format = state.range(0) == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8;
  pixman_image_t* source = pixman_image_create_bits(
      format, kWidth, kHeight, static_cast<uint32_t*>(frames.source->pixels), frames.source->pitch);
  pixman_image_t* target = pixman_image_create_bits(
      format, kWidth, kHeight, static_cast<uint32_t*>(frames.target->pixels), frames.target->pitch);
  for (auto _ : state)
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
  pixman_image_unref(source);
  pixman_image_unref(target);
  Count(state);
}
BENCHMARK(BM_PixmanCopy)->Arg(16)->Arg(32);

// ---- Copy masked by a source colour key ----

void BM_DDrawColorKeyCopy(benchmark::State& state) {
  DDrawFrames frames(static_cast<int>(state.range(0)));
  DDCOLORKEY key{0x1234, 0x1234};
  frames.source->SetColorKey(DDCKEY_SRCBLT, &key);
  for (auto _ : state)
    if (frames.target->Blt(nullptr, frames.source.get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr) != DD_OK)
      return state.SkipWithError("blit refused");
  Count(state);
}
BENCHMARK(BM_DDrawColorKeyCopy)->Arg(16)->Arg(32);

void BM_SdlBlitSurfaceColorKey(benchmark::State& state) {
  SdlFrames frames(static_cast<int>(state.range(0)));
  SDL_SetColorKey(frames.source, SDL_TRUE, 0x1234);
  for (auto _ : state) SDL_BlitSurface(frames.source, nullptr, frames.target, nullptr);
  Count(state);
}
BENCHMARK(BM_SdlBlitSurfaceColorKey)->Arg(16)->Arg(32);

void BM_PixmanColorKeyMask(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  SdlFrames frames(bits);
  const pixman_format_code_t format = bits == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8;
  const Uint32 key = 0x1234, colourBits = bits == 16 ? 0xFFFF : 0xFFFFFF;
  std::vector<std::uint8_t> coverage(static_cast<std::size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(frames.source->pixels) + y * frames.source->pitch;
    for (int x = 0; x < kWidth; ++x) {
      Uint32 pixel = 0;
      std::memcpy(&pixel, row + x * bits / 8, static_cast<std::size_t>(bits / 8));
      coverage[static_cast<std::size_t>(y) * kWidth + x] = (pixel & colourBits) == (key & colourBits) ? 0 : 255;
    }
  }
  pixman_image_t* source = pixman_image_create_bits(
      format, kWidth, kHeight, static_cast<uint32_t*>(frames.source->pixels), frames.source->pitch);
  pixman_image_t* mask =
      pixman_image_create_bits(PIXMAN_a8, kWidth, kHeight, reinterpret_cast<uint32_t*>(coverage.data()), kWidth);
  pixman_image_t* target = pixman_image_create_bits(
      format, kWidth, kHeight, static_cast<uint32_t*>(frames.target->pixels), frames.target->pitch);
  for (auto _ : state)
    pixman_image_composite32(PIXMAN_OP_OVER, source, mask, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
  pixman_image_unref(source);
  pixman_image_unref(mask);
  pixman_image_unref(target);
  Count(state);
}
BENCHMARK(BM_PixmanColorKeyMask)->Arg(16)->Arg(32);

// ---- Nearest-neighbour stretch of a 400 x 300 source to the full frame ----

void BM_DDrawStretch2x(benchmark::State& state) {
  DDrawFrames frames(static_cast<int>(state.range(0)), kWidth / 2, kHeight / 2);
  for (auto _ : state)
    if (frames.target->Blt(nullptr, frames.source.get(), nullptr, DDBLT_WAIT, nullptr) != DD_OK)
      return state.SkipWithError("blit refused");
  Count(state);
}
BENCHMARK(BM_DDrawStretch2x)->Arg(16)->Arg(32);

// Not a peer but the floor under every 2x stretch that writes through the cache: the same memory
// work without the shuffles. Each source row is read once (copied into both halves of its first target
// row) and that row copied into the next, in the same surfaces as ours.
void BM_MemoryFloor2x(benchmark::State& state) {
  DDrawFrames frames(static_cast<int>(state.range(0)), kWidth / 2, kHeight / 2);
  DDSURFACEDESC2 from{}, to{};
  from.dwSize = to.dwSize = sizeof(DDSURFACEDESC2);
  if (frames.source->Lock(nullptr, &from, DDLOCK_WAIT, nullptr) != DD_OK) return state.SkipWithError("no source");
  if (frames.target->Lock(nullptr, &to, DDLOCK_WAIT, nullptr) != DD_OK) return state.SkipWithError("no target");
  const auto* in = static_cast<const unsigned char*>(from.lpSurface);
  auto* out = static_cast<unsigned char*>(to.lpSurface);
  const std::size_t half = kWidth / 2 * state.range(0) / 8;
  for (auto _ : state) {
    for (int y = 0; y < kHeight; y += 2) {
      unsigned char* row = out + static_cast<std::ptrdiff_t>(y) * to.lPitch;
      const unsigned char* sourceRow = in + static_cast<std::ptrdiff_t>(y / 2) * from.lPitch;
      std::memcpy(row, sourceRow, half);
      std::memcpy(row + half, sourceRow, half);
      std::memcpy(row + to.lPitch, row, 2 * half);
    }
    benchmark::ClobberMemory();
  }
  frames.target->Unlock(nullptr);
  frames.source->Unlock(nullptr);
  Count(state);
}
BENCHMARK(BM_MemoryFloor2x)->Arg(16)->Arg(32);

void BM_SdlBlitScaled2x(benchmark::State& state) {
  SdlFrames frames(static_cast<int>(state.range(0)), kWidth / 2, kHeight / 2);
  SDL_Rect whole{0, 0, kWidth, kHeight};
  for (auto _ : state) SDL_BlitScaled(frames.source, nullptr, frames.target, &whole);
  Count(state);
}
BENCHMARK(BM_SdlBlitScaled2x)->Arg(16)->Arg(32);

void BM_PixmanNearestScale2x(benchmark::State& state) {
  const int bits = static_cast<int>(state.range(0));
  SdlFrames frames(bits, kWidth / 2, kHeight / 2);
  const pixman_format_code_t format = bits == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8;
  pixman_image_t* source = pixman_image_create_bits(
      format, kWidth / 2, kHeight / 2, static_cast<uint32_t*>(frames.source->pixels), frames.source->pitch);
  pixman_image_t* target = pixman_image_create_bits(
      format, kWidth, kHeight, static_cast<uint32_t*>(frames.target->pixels), frames.target->pitch);
  // Target pixel centre x + 1/2 samples the source at x / 2 + 1/4: source column x / 2, as ours.
  pixman_transform_t half;
  pixman_transform_init_scale(&half, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
  pixman_image_set_transform(source, &half);
  pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state)
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
  pixman_image_unref(source);
  pixman_image_unref(target);
  Count(state);
}
BENCHMARK(BM_PixmanNearestScale2x)->Arg(16)->Arg(32);

}  // namespace
