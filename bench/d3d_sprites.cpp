// A frame of 300 soft 32x32 sprites with alpha on an 800x600 5-6-5 or 32-bit target: drawn by the
// software Direct3D device as textured quads (the states and calls of the display's 3D path, one bind
// and one strip per sprite), beside the framework's 2D surface alpha blit of the same sprites at the
// same places. The device is to stay within twice the 2D path's time. Then the same sprites turned by
// 30 degrees with bilinear filtering beside the framework's rotated blit, and a full-screen opaque
// background: an R5G6B5 texture through the device beside the framework's opaque surface copy.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "bench/support/SpriteScene.h"
#include "bench/support/SurfaceFormats.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/surface/SurfaceBlt.h"
#include "framework/graphics/surface/SurfaceRotate.h"
#include "platform/d3d/D3D.h"

namespace {

using benchsupport::F565;
using benchsupport::F888;
using benchsupport::Format;
using benchsupport::Position;

constexpr int WIDTH = 800, HEIGHT = 600, SPRITE = 32, SPRITES = 300;

std::vector<std::uint32_t> Sprite() { return benchsupport::SoftSprite(SPRITE, 0.7, 0.3, 8); }

std::vector<Position> Positions() {
  std::vector<Position> out;
  for (int i = 0; i < SPRITES; ++i) out.push_back({(i * 97) % (WIDTH - SPRITE), (i * 61) % (HEIGHT - SPRITE)});
  return out;
}

// --- the device ---------------------------------------------------------------------------------

DDPIXELFORMAT PixelFormat(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
  DDPIXELFORMAT pf{};
  pf.dwSize = sizeof(pf);
  pf.dwFlags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
  pf.dwRGBBitCount = bits;
  pf.dwRBitMask = r;
  pf.dwGBitMask = g;
  pf.dwBBitMask = b;
  pf.dwRGBAlphaBitMask = a;
  return pf;
}

IDirectDrawSurface7* CreateSurface(IDirectDraw7* dd, int width, int height, DWORD caps, const DDPIXELFORMAT& pf) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = caps;
  desc.ddpfPixelFormat = pf;
  IDirectDrawSurface7* surface = nullptr;
  dd->CreateSurface(&desc, &surface, nullptr);
  return surface;
}

// DirectDraw, Direct3D, an 800x600 render target of the format and the HAL device on it, with the
// states the display's 3D path sets at the start of a scene.
struct DeviceScene {
  explicit DeviceScene(const Format& f) {
    void* object = nullptr;
    DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr);
    dd = static_cast<IDirectDraw7*>(object);
    void* d3dObject = nullptr;
    dd->QueryInterface(IID_IDirect3D7, &d3dObject);
    d3d = static_cast<IDirect3D7*>(d3dObject);
    if (!d3d) return;
    target = CreateSurface(dd, WIDTH, HEIGHT, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE,
                           PixelFormat(static_cast<DWORD>(f.bits), f.r, f.g, f.b, 0));
    d3d->CreateDevice(IID_IDirect3DHALDevice, target, &device);
    const std::pair<D3DRENDERSTATETYPE, DWORD> states[] = {{D3DRENDERSTATE_ALPHABLENDENABLE, TRUE},
                                                           {D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
                                                           {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA},
                                                           {D3DRENDERSTATE_LIGHTING, FALSE},
                                                           {D3DRENDERSTATE_CULLMODE, D3DCULL_NONE}};
    for (const auto& [s, v] : states) device->SetRenderState(s, v);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  }
  ~DeviceScene() {
    for (IUnknown* object : {static_cast<IUnknown*>(device), static_cast<IUnknown*>(target),
                             static_cast<IUnknown*>(d3d), static_cast<IUnknown*>(dd)})
      if (object) object->Release();
  }
  // A texture of the format holding rows of width pixels of bytes each.
  IDirectDrawSurface7* Texture(int width, int height, const DDPIXELFORMAT& pf, const void* pixels, int bytes) {
    IDirectDrawSurface7* texture = CreateSurface(dd, width, height, DDSCAPS_TEXTURE, pf);
    DDSURFACEDESC2 lock{};
    lock.dwSize = sizeof(lock);
    // A texture that cannot be locked stays unfilled: the draws measured are the same work.
    if (texture->Lock(nullptr, &lock, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr) != DD_OK) return texture;
    for (int y = 0; y < height; ++y)
      std::memcpy(static_cast<BYTE*>(lock.lpSurface) + y * lock.lPitch,
                  static_cast<const BYTE*>(pixels) + static_cast<std::ptrdiff_t>(y) * width * bytes,
                  static_cast<size_t>(width * bytes));
    texture->Unlock(nullptr);
    return texture;
  }
  // The soft sprite as an A8R8G8B8 texture.
  IDirectDrawSurface7* SpriteTexture() {
    const auto pixels = Sprite();
    return Texture(SPRITE, SPRITE, PixelFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), pixels.data(), 4);
  }
  // One sprite quad as the display's blit draws it: bound, then a strip.
  void Draw(IDirectDrawSurface7* texture, int x, int y, int w, int h) {
    const float l = static_cast<float>(x) - 0.5f, t = static_cast<float>(y) - 0.5f;
    const auto fw = static_cast<float>(w), fh = static_cast<float>(h);
    D3DTLVERTEX quad[4] = {{l, t, 0, 1, 0xFFFFFFFF, 0, 0, 0},
                           {l, t + fh, 0, 1, 0xFFFFFFFF, 0, 0, 1},
                           {l + fw, t, 0, 1, 0xFFFFFFFF, 0, 1, 0},
                           {l + fw, t + fh, 0, 1, 0xFFFFFFFF, 0, 1, 1}};
    device->SetTexture(0, texture);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, quad, 4, 0);
  }
  IDirectDraw7* dd = nullptr;
  IDirect3D7* d3d = nullptr;
  IDirectDrawSurface7* target = nullptr;
  IDirect3DDevice7* device = nullptr;
};

void Device_Sprites(benchmark::State& state, const Format& f) {
  DeviceScene scene(f);
  if (!scene.device) return state.SkipWithError("Direct3D is switched off");
  IDirectDrawSurface7* texture = scene.SpriteTexture();
  const auto positions = Positions();
  for (auto _ : state) {
    scene.device->BeginScene();
    for (const Position& p : positions) scene.Draw(texture, p.x, p.y, SPRITE, SPRITE);
    scene.device->EndScene();
  }
  benchsupport::SetItems(state, SPRITES * SPRITE * SPRITE);
  texture->Release();
}

// The sprites turned by 30 degrees about their centres and filtered bilinearly, as the display's
// rotated blit draws them.
void Device_Rotated(benchmark::State& state, const Format& f) {
  DeviceScene scene(f);
  if (!scene.device) return state.SkipWithError("Direct3D is switched off");
  IDirectDrawSurface7* texture = scene.SpriteTexture();
  scene.device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  scene.device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
  const float c = std::cos(0.5235988f), s = std::sin(0.5235988f), h = SPRITE / 2.0f;
  const auto positions = Positions();
  for (auto _ : state) {
    scene.device->BeginScene();
    for (const Position& p : positions) {
      D3DTLVERTEX quad[4];
      const float corners[4][2] = {{-h, -h}, {-h, h}, {h, -h}, {h, h}};
      for (int i = 0; i < 4; ++i) {
        const float x = corners[i][0], y = corners[i][1];
        quad[i] = {p.x + h + x * c - y * s - 0.5f,
                   p.y + h + x * s + y * c - 0.5f,
                   0,
                   1,
                   0xFFFFFFFF,
                   0,
                   x > 0 ? 1.0f : 0.0f,
                   y > 0 ? 1.0f : 0.0f};
      }
      scene.device->SetTexture(0, texture);
      scene.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, quad, 4, 0);
    }
    scene.device->EndScene();
  }
  benchsupport::SetItems(state, SPRITES * SPRITE * SPRITE);
  texture->Release();
}

std::vector<std::uint16_t> Background() {
  std::vector<std::uint16_t> pixels(static_cast<size_t>(WIDTH) * HEIGHT);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint16_t>(i * 2654435761u >> 13);
  return pixels;
}

void Device_Background(benchmark::State& state, const Format& f) {
  DeviceScene scene(f);
  if (!scene.device) return state.SkipWithError("Direct3D is switched off");
  const auto pixels = Background();
  IDirectDrawSurface7* texture =
      scene.Texture(WIDTH, HEIGHT, PixelFormat(16, 0xF800, 0x07E0, 0x001F, 0), pixels.data(), 2);
  for (auto _ : state) {
    scene.device->BeginScene();
    scene.Draw(texture, 0, 0, WIDTH, HEIGHT);
    scene.device->EndScene();
  }
  benchsupport::SetItems(state, WIDTH * HEIGHT);
  texture->Release();
}

// --- the framework's 2D blits -------------------------------------------------------------------

void Surface_Sprites(benchmark::State& state, const Format& f) {
  benchsupport::SurfaceMemory scene(f, WIDTH, HEIGHT);
  Kit::MemoryImage sprite;
  sprite.SetBits(Sprite().data(), SPRITE, SPRITE);
  sprite.GetNativeAlphaData(&scene.display);
  sprite.GetRLAlphaData();
  const auto positions = Positions();
  for (auto _ : state)
    for (const Position& p : positions)
      Kit::SurfaceDraw::AlphaBlt(scene.target, sprite, &scene.display, p.x, p.y, Kit::Rect(0, 0, SPRITE, SPRITE),
                                 Kit::Color::White, false);
  benchsupport::SetItems(state, SPRITES * SPRITE * SPRITE);
}

}  // namespace

void Surface_Rotated(benchmark::State& state, const Format& f) {
  benchsupport::SurfaceMemory scene(f, WIDTH, HEIGHT);
  Kit::MemoryImage sprite;
  sprite.SetBits(Sprite().data(), SPRITE, SPRITE);
  const auto positions = Positions();
  const Kit::Rect src(0, 0, SPRITE, SPRITE), clip(0, 0, WIDTH, HEIGHT);
  const float centre = SPRITE / 2.0f;
  for (auto _ : state)
    for (const Position& p : positions) {
      Kit::Rect bounds;
      if (!Kit::MemoryImage::GetRotatedBounds(static_cast<float>(p.x), static_cast<float>(p.y), src, clip, 0.5235988,
                                              centre, centre, bounds))
        continue;
      Kit::SurfaceDraw::RotatedBlt(scene.target, sprite, static_cast<float>(p.x), static_cast<float>(p.y), src, bounds,
                                   Kit::Color::White, 0, 0.5235988, centre, centre);
    }
  benchsupport::SetItems(state, SPRITES * SPRITE * SPRITE);
}

void Surface_Background(benchmark::State& state, const Format& f) {
  benchsupport::SurfaceMemory scene(f, WIDTH, HEIGHT);
  const auto pixels = Background();
  std::vector<std::uint32_t> argb(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) {
    const std::uint32_t p = pixels[i];
    argb[i] = 0xFF000000u | ((p & 0xF800) << 8) | ((p & 0x07E0) << 5) | ((p & 0x001F) << 3);
  }
  Kit::MemoryImage background;
  background.SetBits(argb.data(), WIDTH, HEIGHT);
  background.GetNativeAlphaData(&scene.display);
  for (auto _ : state)
    Kit::SurfaceDraw::CopyNative(scene.target, background, &scene.display, 0, 0, Kit::Rect(0, 0, WIDTH, HEIGHT), false);
  benchsupport::SetItems(state, WIDTH * HEIGHT);
}

BENCHMARK_CAPTURE(Device_Sprites, 565, F565);
BENCHMARK_CAPTURE(Surface_Sprites, 565, F565);
BENCHMARK_CAPTURE(Device_Sprites, 888, F888);
BENCHMARK_CAPTURE(Surface_Sprites, 888, F888);
BENCHMARK_CAPTURE(Device_Rotated, 565, F565);
BENCHMARK_CAPTURE(Surface_Rotated, 565, F565);
BENCHMARK_CAPTURE(Device_Rotated, 888, F888);
BENCHMARK_CAPTURE(Surface_Rotated, 888, F888);
BENCHMARK_CAPTURE(Device_Background, 565, F565);
BENCHMARK_CAPTURE(Surface_Background, 565, F565);
BENCHMARK_CAPTURE(Device_Background, 888, F888);
BENCHMARK_CAPTURE(Surface_Background, 888, F888);
