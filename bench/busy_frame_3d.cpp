// A busy game frame through the display with 3D acceleration on beside the same frame with it off,
// on a 5-6-5 and a 32-bit desktop: an opaque 800x600 background, 150 soft sprites with alpha, 60
// additive and 40 colourised ones, 20 translucent fills, 20 lines, 30 turned sprites, then the
// present. Which of the
// two is faster decides whether the game starts on the Direct3D path (the card lists of its data).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/support/BenchWindow.h"
#include "bench/support/SpriteScene.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/win/system/DisplaySettings.h"

namespace {

constexpr int WIDTH = 800, HEIGHT = 600, SPRITE = 32;

HWND Window() {
  static HWND window = benchsupport::CreateBenchWindow("BusyFrameBench", WIDTH, HEIGHT);
  return window;
}

// The images tell the display when they go, so that their textures go with them.
class FrameHost : public benchsupport::WindowSizedHost {
 public:
  FrameHost() : WindowSizedHost(WIDTH, HEIGHT) {}
  void RemoveMemoryImage(Kit::MemoryImage* image) override {
    if (display) display->Remove3DData(image);
  }
  Kit::NativeDisplay* GetNativeDisplay() override { return display; }
  Kit::DDInterface* display = nullptr;
};

std::unique_ptr<Kit::MemoryImage> MakeImage(Kit::ImageHost* host, int width, int height,
                                            const std::vector<std::uint32_t>& pixels) {
  auto image = std::make_unique<Kit::MemoryImage>(host);
  image->Create(width, height);
  std::copy(pixels.begin(), pixels.end(), image->GetBits());
  image->BitsChanged();
  return image;
}

std::vector<std::uint32_t> Background() {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(WIDTH) * HEIGHT);
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x)
      pixels[static_cast<std::size_t>(y) * WIDTH + x] =
          0xFF000000 | static_cast<std::uint32_t>((x * 255 / WIDTH) << 16 | (y * 255 / HEIGHT) << 8 | 0x40);
  return pixels;
}

// The sprites drift a pixel a frame, so that each frame differs from the last as a game's do.
void DrawFrame(Kit::Graphics& g, Kit::Image* background, Kit::Image* sprite, int frame) {
  const int drift = frame % 16;
  g.SetDrawMode(Kit::Graphics::kDrawModeNormal);
  g.SetColorizeImages(false);
  g.DrawImage(background, 0, 0);
  for (int i = 0; i < 150; ++i) g.DrawImage(sprite, (i * 97 + drift) % (WIDTH - SPRITE), (i * 61) % (HEIGHT - SPRITE));
  g.SetDrawMode(Kit::Graphics::kDrawModeAdditive);
  for (int i = 0; i < 60; ++i) g.DrawImage(sprite, (i * 53 + drift) % (WIDTH - SPRITE), (i * 89) % (HEIGHT - SPRITE));
  g.SetDrawMode(Kit::Graphics::kDrawModeNormal);
  g.SetColorizeImages(true);
  g.SetColor(Kit::Color(255, 160, 80, 200));
  for (int i = 0; i < 40; ++i) g.DrawImage(sprite, (i * 131 + drift) % (WIDTH - SPRITE), (i * 37) % (HEIGHT - SPRITE));
  g.SetColorizeImages(false);
  g.SetColor(Kit::Color(20, 40, 200, 100));
  for (int i = 0; i < 20; ++i) g.FillRect((i * 71) % (WIDTH - 120), (i * 43) % (HEIGHT - 40), 120, 40);
  g.SetColor(Kit::Color(250, 250, 120));
  for (int i = 0; i < 20; ++i) g.DrawLine(i * 40, 0, WIDTH - 1 - i * 40, HEIGHT - 1);
  g.SetColor(Kit::Color::White);
  for (int i = 0; i < 30; ++i)
    g.DrawImageRotatedF(sprite, static_cast<float>((i * 71) % (WIDTH - SPRITE)) + 0.5f,
                        static_cast<float>((i * 29) % (HEIGHT - SPRITE)), 0.1 * i);
}

void BusyFrame(benchmark::State& state, plat::DesktopFormat format, bool use3D) {
  plat::DisplaySettings settings;
  settings.format = format;
  plat::ScopedDisplaySettings scoped(settings);
  FrameHost host;
  Kit::DDInterface display(&host);
  host.display = &display;
  display.mIs3D = use3D;
  if (display.Init(Window(), true) != Kit::DDInterface::RESULT_OK || display.mIs3D != use3D) {
    state.SkipWithError(display.mErrorString.c_str());
    return;
  }
  auto background = MakeImage(&host, WIDTH, HEIGHT, Background());
  auto sprite = MakeImage(&host, SPRITE, SPRITE, benchsupport::SoftSprite(SPRITE, 0.7, 0.3, 8));
  int frame = 0;
  for (auto _ : state) {
    Kit::Graphics g(display.GetScreenImage());
    DrawFrame(g, background.get(), sprite.get(), frame++);
    if (!display.Redraw()) state.SkipWithError("present failed");
    benchsupport::PumpMessages();
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(BusyFrame, TwoD_565, plat::DesktopFormat::Rgb565, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BusyFrame, ThreeD_565, plat::DesktopFormat::Rgb565, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BusyFrame, TwoD_8888, plat::DesktopFormat::Xrgb8888, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BusyFrame, ThreeD_8888, plat::DesktopFormat::Xrgb8888, true)->Unit(benchmark::kMillisecond);
