// One whole frame of play, drawn and presented: the falling-objects background, 150 bricks, the paddle
// and 3 balls through the play field's own draw, 200 additive particles (the screen's surface locked
// for the drawing, as the widget manager does), the hint bar with the head-up
// display's text, then the present of the frame into the window (SDL's dummy video driver unless
// SDL_VIDEODRIVER names another). Between two frames the balls, the particles and the background's
// falling objects move, as in play. In 16 and 32 bits, windowed (800 x 600) and full screen (scaled onto
// the 1024 x 768 screen), beside the same frame drawn with SDL's software blitter (SDL_BlitSurface with
// alpha and additive blending, the text as one prepared surface) into a surface of the same format and
// presented by SDL itself. Each run reports the median and 99th-percentile frame (p50_us, p99_us).
// The game's images are prepared as its loader prepares them (palettized where they have 256 colours or
// fewer), and the bricks share one image, as pieces of one kind do in the game.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/support/BenchWindow.h"
#include "bench/support/FrameTimes.h"
#include "bench/support/SdlPresentPeer.h"
#include "bench/support/SpriteScene.h"
#include "framework/font/SysFont.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/widget/WidgetManager.h"
#include "game/play/ActorScene.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/GameApp.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"
#include "platform/win/system/DisplaySettings.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr int kScreenWidth = 1024, kScreenHeight = 768;
constexpr int kBrickColumns = 15, kBrickRows = 10;  // 150 bricks of 48 x 20
constexpr int kBrickW = 48, kBrickH = 20;
constexpr int kBalls = 3, kBallSize = 16;
constexpr int kPaddleW = 100, kPaddleH = 16;
constexpr int kParticles = 200, kParticleSize = 8;

// The pictures of the frame, as 32-bit ARGB pixels shared by both sides.
struct Pictures {
  std::vector<std::uint32_t> back = Gradient(kWidth, kHeight);
  std::vector<std::uint32_t> brick = Gradient(kBrickW, kBrickH);
  std::vector<std::uint32_t> ball = benchsupport::SoftSprite(kBallSize, 0.8, 0.2, 9);
  std::vector<std::uint32_t> paddle = Gradient(kPaddleW, kPaddleH);
  std::vector<std::uint32_t> particle = benchsupport::SoftSprite(kParticleSize, 0.3, 0.7, 20);
  std::vector<std::uint32_t> hintBar = Gradient(kWidth, 22);

  static std::vector<std::uint32_t> Gradient(int w, int h) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) pixels[static_cast<std::size_t>(y) * w + x] = 0xFF000000u | (x / 4) << 8 | y / 3;
    return pixels;
  }
};

// The particles drift a pixel or two a frame, as the emitters' do, so that the frame changes from one
// to the next as a frame of play does.
benchsupport::Position ParticleAt(int i, int frame) {
  return {(i * 37 + frame * (1 + i % 2)) % (kWidth - kParticleSize), 100 + (i * 53 + frame) % 400};
}

// The game's side: a play field in state "playing" over the given display.
class GameFrame {
 public:
  explicit GameFrame(Kit::DDInterface* display) : mDisplay(display) {
    mApp.mWidth = kWidth;
    mApp.mHeight = kHeight;
    mApp.mWidgetManager->Resize(kWidth, kHeight);
    mApp.mWidgetManager->mImage = display->GetScreenImage();
    mFont = std::make_unique<Kit::SysFont>(&mApp, "Arial", 10);
    FONT_DEFAULT = mFont.get();
    IMAGE_BACK3 = Image(mPictures.back, kWidth, kHeight);
    IMAGE_HINTBAR = Image(mPictures.hintBar, kWidth, 22);
    IMAGE_FLARE = Image(mPictures.particle, kParticleSize, kParticleSize);
    IMAGE_BACK3_VFLASH1 = IMAGE_FLARE;
    IMAGE_BACK3_VFLASH2 = IMAGE_FLARE;
    mParticle = Image(mPictures.particle, kParticleSize, kParticleSize);
    gBackgroundAnim.SetKind(BackgroundAnim::kFallKind);
    // Bricks of one kind share their kind's image, as the game's pieces share their prototype's (and as
    // SDL's side draws one brick surface).
    Kit::DDImage* brick = Image(mPictures.brick, kBrickW, kBrickH);
    for (int i = 0; i < kBrickColumns * kBrickRows; ++i)
      Place(brick, kBrickW, kBrickH, kBrickKind, 20 + (i % kBrickColumns) * 50, 60 + (i / kBrickColumns) * 24);
    Place(Image(mPictures.paddle, kPaddleW, kPaddleH), kPaddleW, kPaddleH, kPaddleKind, 350, 560)->mName =
        "paddlemiddle";
    Kit::DDImage* ball = Image(mPictures.ball, kBallSize, kBallSize);
    for (int i = 0; i < kBalls; ++i) mBalls.push_back(Place(ball, kBallSize, kBallSize, kBallKind, 200 + i * 150, 400));
    mApp.mLives = 3;
    mApp.mScore = 12345;
    mApp.mLevel = 3;
    mField = new PlayField(&mApp);
    mField->Resize(0, 0, kWidth, kHeight);
    mField->mState = PlayField::kPlaying;
    mApp.mPlayField = mField;
    mApp.mWidgetManager->AddWidget(mField);
  }
  ~GameFrame() {
    mApp.mWidgetManager->RemoveWidget(mField);
    delete mField;
    mApp.mPlayField = nullptr;
    gActorScene.Reset();
    gObjectLibrary.Reset();
    ResetResourceIds();
  }

  // What moves between two frames: the background's falling objects and flashes, the balls and the
  // particles.
  void Advance() {
    ++mFrame;
    gBackgroundAnim.Update();
    for (int i = 0; i < kBalls; ++i) {
      mBalls[i]->mX = static_cast<float>(200 + i * 150 + mFrame % 200);
      mBalls[i]->mY = static_cast<float>(300 + (mFrame * 3) % 200);
    }
  }

  // Kept out of line, so that a profile can take the frame alone (callgrind's
  // --toggle-collect='*GameFrame::DrawAndPresent*').
  [[gnu::noinline]] void DrawAndPresent() {
    Kit::DDImage* screen = mDisplay->GetScreenImage();
    // As the widget manager redraws the screen: its surface locked once for the whole frame.
    const bool locked = screen->LockSurface();
    Kit::Graphics g(screen);
    mField->Draw(&g);
    // The particles of the emitters: colourised, additive.
    g.SetDrawMode(Kit::Graphics::kDrawModeAdditive);
    g.SetColorizeImages(true);
    for (int i = 0; i < kParticles; ++i) {
      g.SetColor(Kit::Color(255, 200, 100, 128 + i % 128));
      const benchsupport::Position at = ParticleAt(i, mFrame);
      g.DrawImage(mParticle, at.x, at.y);
    }
    g.SetColorizeImages(false);
    g.SetDrawMode(Kit::Graphics::kDrawModeNormal);
    if (locked) screen->UnlockSurface();
    mDisplay->Redraw();
  }

 private:
  Kit::DDImage* Image(const std::vector<std::uint32_t>& pixels, int w, int h) {
    auto image = std::make_unique<Kit::DDImage>(mDisplay);
    image->Create(w, h);
    std::copy(pixels.begin(), pixels.end(), image->GetBits());
    image->BitsChanged();
    // As the game's loader prepares every image its manifest does not mark "nopal": one of 256
    // colours or fewer is kept as a colour table and indices.
    image->Palletize();
    mImages.push_back(std::move(image));
    return mImages.back().get();
  }
  Actor* Place(Kit::DDImage* image, int w, int h, int kind, int x, int y) {
    ObjectTemplate* look = gObjectLibrary.AppendInstance();
    look->mImage = image;
    look->mFrame = 0;  // as the board places its pieces
    look->mWidth = static_cast<float>(w);
    look->mHeight = static_cast<float>(h);
    look->mX = static_cast<float>(x);
    look->mY = static_cast<float>(y);
    look->mName = kind == kBrickKind ? "brick_aa_001" : "look";
    return gActorScene.CreateActor(look, kind);
  }

  Kit::DDInterface* mDisplay;
  Pictures mPictures;
  GameApp mApp;
  std::unique_ptr<Kit::SysFont> mFont;
  std::vector<std::unique_ptr<Kit::DDImage>> mImages;
  Kit::DDImage* mParticle = nullptr;
  std::vector<Actor*> mBalls;
  PlayField* mField = nullptr;
  int mFrame = 0;
};

HWND Window() {
  static HWND window = benchsupport::CreateBenchWindow("PlayFrameBench", kWidth, kHeight);
  return window;
}

void Ours_PlayFrame(benchmark::State& state, int bits, bool windowed) {
  plat::DisplaySettings settings;
  settings.format = bits == 16 ? plat::DesktopFormat::Rgb565 : plat::DesktopFormat::Xrgb8888;
  settings.desktopWidth = kScreenWidth;
  settings.desktopHeight = kScreenHeight;
  plat::ScopedDisplaySettings scoped(settings);
  benchsupport::WindowSizedHost host(kWidth, kHeight, bits);
  Kit::DDInterface display(&host);
  if (display.Init(Window(), windowed) != Kit::DDInterface::RESULT_OK) {
    state.SkipWithError(display.mErrorString.c_str());
    return;
  }
  GameFrame frame(&display);
  benchsupport::FrameTimes times;
  for (auto _ : state) {
    frame.Advance();
    auto timed = times.Time();
    frame.DrawAndPresent();
    benchsupport::PumpMessages();
  }
  times.Report(state);
  state.SetItemsProcessed(state.iterations());
}

SDL_Surface* Surface(const std::vector<std::uint32_t>& pixels, int w, int h, SDL_BlendMode mode) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(surface->pixels));
  SDL_SetSurfaceBlendMode(surface, mode);
  return surface;
}

void Sdl_PlayFrame(benchmark::State& state, int bits, bool windowed) {
  const Uint32 sdlFormat = bits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888;
  benchsupport::SdlPresentPeer present(sdlFormat, kWidth, kHeight, windowed ? kWidth : kScreenWidth,
                                       windowed ? kHeight : kScreenHeight);
  if (!present.Ready()) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  const Pictures pictures;
  SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, bits, sdlFormat);
  SDL_Surface* back =
      SDL_ConvertSurfaceFormat(Surface(pictures.back, kWidth, kHeight, SDL_BLENDMODE_NONE), sdlFormat, 0);
  SDL_Surface* hintBar = Surface(pictures.hintBar, kWidth, 22, SDL_BLENDMODE_NONE);
  SDL_Surface* brick = Surface(pictures.brick, kBrickW, kBrickH, SDL_BLENDMODE_BLEND);
  SDL_Surface* ball = Surface(pictures.ball, kBallSize, kBallSize, SDL_BLENDMODE_BLEND);
  SDL_Surface* paddle = Surface(pictures.paddle, kPaddleW, kPaddleH, SDL_BLENDMODE_BLEND);
  SDL_Surface* particle = Surface(pictures.particle, kParticleSize, kParticleSize, SDL_BLENDMODE_ADD);
  SDL_Surface* text = Surface(std::vector<std::uint32_t>(300 * 12, 0x80D2DEFF), 300, 12, SDL_BLENDMODE_BLEND);
  const auto blit = [frame](SDL_Surface* from, int x, int y) {
    SDL_Rect to{x, y, from->w, from->h};
    SDL_BlitSurface(from, nullptr, frame, &to);
  };
  benchsupport::FrameTimes times;
  int frameNumber = 0;
  for (auto _ : state) {
    ++frameNumber;
    auto timed = times.Time();
    blit(back, 0, 0);
    for (int i = 0; i < kBrickColumns * kBrickRows; ++i)
      blit(brick, 20 + (i % kBrickColumns) * 50, 60 + (i / kBrickColumns) * 24);
    blit(paddle, 350, 560);
    for (int i = 0; i < kBalls; ++i) blit(ball, 200 + i * 150 + frameNumber % 200, 300 + (frameNumber * 3) % 200);
    for (int i = 0; i < kParticles; ++i) {
      SDL_SetSurfaceColorMod(particle, 255, 200, 100);
      SDL_SetSurfaceAlphaMod(particle, static_cast<Uint8>(128 + i % 128));
      const benchsupport::Position at = ParticleAt(i, frameNumber);
      blit(particle, at.x, at.y);
    }
    blit(hintBar, 0, 0);
    blit(text, 100, 6);
    present.Present(frame->pixels, frame->pitch);
  }
  times.Report(state);
  for (SDL_Surface* s : {frame, back, hintBar, brick, ball, paddle, particle, text}) SDL_FreeSurface(s);
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(Ours_PlayFrame, 16_windowed, 16, true)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Sdl_PlayFrame, 16_windowed, 16, true)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Ours_PlayFrame, 32_windowed, 32, true)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Sdl_PlayFrame, 32_windowed, 32, true)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Ours_PlayFrame, 16_full_screen, 16, false)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Sdl_PlayFrame, 16_full_screen, 16, false)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Ours_PlayFrame, 32_full_screen, 32, false)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(Sdl_PlayFrame, 32_full_screen, 32, false)->Unit(benchmark::kMicrosecond)->UseRealTime();
