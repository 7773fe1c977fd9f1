#include "platform/ddraw/Presenter.h"

#include <SDL.h>

#include <bit>

#include "platform/ddraw/PresentedFrame.h"
#include "platform/win/SdlWindow.h"

namespace plat::ddraw {
namespace {

Uint32 SdlFormatOf(const PixelLayout& layout) {
  if (layout.palettized) return SDL_PIXELFORMAT_UNKNOWN;
  // The alpha bits are not shown: the format is built from the colour masks alone.
  return SDL_MasksToPixelFormatEnum(layout.bytesPerPixel * 8, layout.redMask, layout.greenMask, layout.blueMask, 0);
}

}  // namespace

Presenter::~Presenter() { Detach(); }

bool Presenter::Attach(HWND window) {
  // The window may have been destroyed since, and SDL with it freed the renderer: forget both.
  if (mWindow && SdlWindowOf(mWindow) != mSdlWindow) Forget();
  if (window == mWindow && mRenderer) return true;
  Detach();
  SDL_Window* sdlWindow = window ? SdlWindowOf(window) : nullptr;
  if (!sdlWindow) return false;
  SDL_Renderer* renderer = SDL_GetRenderer(sdlWindow);
  mOwnsRenderer = !renderer;
  if (!renderer) renderer = SDL_CreateRenderer(sdlWindow, -1, 0);
  if (!renderer) return false;
  mWindow = window;
  mSdlWindow = sdlWindow;
  mRenderer = renderer;
  return true;
}

void Presenter::Detach() {
  if (!mWindow) return;
  if (SdlWindowOf(mWindow) == mSdlWindow) {
    if (mTexture) SDL_DestroyTexture(mTexture);
    if (mFullScreen) LeaveFullScreen();
    if (mOwnsRenderer) {
      SDL_DestroyRenderer(mRenderer);
    } else {
      SDL_RenderSetLogicalSize(mRenderer, 0, 0);
    }
  }
  Forget();
}

void Presenter::Forget() {
  mWindow = nullptr;
  mSdlWindow = nullptr;
  mRenderer = nullptr;
  mTexture = nullptr;
  mFullScreen = false;
  mLogicalWidth = 0;
  mLogicalHeight = 0;
}

void Presenter::EnterFullScreen() {
  SDL_GetWindowPosition(mSdlWindow, &mWindowedX, &mWindowedY);
  SDL_GetWindowSize(mSdlWindow, &mWindowedWidth, &mWindowedHeight);
  mWindowedBorderless = (SDL_GetWindowFlags(mSdlWindow) & SDL_WINDOW_BORDERLESS) != 0;
  // Desktop full screen is a request to the window manager: SDL takes the window for screen-sized at
  // once, while the window keeps its old size until a manager grants it, and without one (a bare X
  // server) never. The renderer would lay the frame out for a size the window does not have and show
  // black. So the window first covers the screen by itself; the request then only adds what a window
  // manager does for full-screen windows.
  SDL_Rect screen{0, 0, mWindowedWidth, mWindowedHeight};
  const int display = SDL_GetWindowDisplayIndex(mSdlWindow);
  if (display >= 0) SDL_GetDisplayBounds(display, &screen);
  SDL_SetWindowBordered(mSdlWindow, SDL_FALSE);
  SDL_SetWindowPosition(mSdlWindow, screen.x, screen.y);
  SDL_SetWindowSize(mSdlWindow, screen.w, screen.h);
  SDL_SetWindowFullscreen(mSdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void Presenter::LeaveFullScreen() {
  SDL_SetWindowFullscreen(mSdlWindow, 0);
  // Not every video driver gives the window its place and size back by itself.
  SDL_SetWindowBordered(mSdlWindow, mWindowedBorderless ? SDL_FALSE : SDL_TRUE);
  SDL_SetWindowSize(mSdlWindow, mWindowedWidth, mWindowedHeight);
  SDL_SetWindowPosition(mSdlWindow, mWindowedX, mWindowedY);
}

void Presenter::SetScreenMode(HWND window, bool fullScreen, int width, int height) {
  if (!Attach(window)) return;
  if (fullScreen != mFullScreen) {
    if (fullScreen) {
      EnterFullScreen();
    } else {
      LeaveFullScreen();
    }
    mFullScreen = fullScreen;
  }
  const int logicalWidth = fullScreen ? width : 0;
  const int logicalHeight = fullScreen ? height : 0;
  if (logicalWidth != mLogicalWidth || logicalHeight != mLogicalHeight) {
    SDL_RenderSetLogicalSize(mRenderer, logicalWidth, logicalHeight);
    mLogicalWidth = logicalWidth;
    mLogicalHeight = logicalHeight;
  }
}

void Presenter::Show(HWND window, const PresentFrame& frame) {
  if (frame.width <= 0 || frame.height <= 0 || !Attach(window)) return;
  const Uint32 format = SdlFormatOf(frame.layout);
  if (format == SDL_PIXELFORMAT_UNKNOWN) return;
  if (!mTexture || mTextureWidth != frame.width || mTextureHeight != frame.height || mTextureFormat != format) {
    if (mTexture) SDL_DestroyTexture(mTexture);
    mTexture = SDL_CreateTexture(mRenderer, format, SDL_TEXTUREACCESS_STREAMING, frame.width, frame.height);
    if (!mTexture) return;
    mTextureWidth = frame.width;
    mTextureHeight = frame.height;
    mTextureFormat = format;
  }
  SDL_UpdateTexture(mTexture, nullptr, frame.pixels.data(), frame.pitch);
  SDL_SetRenderDrawColor(mRenderer, 0, 0, 0, 255);
  SDL_RenderClear(mRenderer);
  SDL_RenderCopy(mRenderer, mTexture, nullptr, nullptr);
  SDL_RenderPresent(mRenderer);
}

std::optional<SIZE> ScreenSize() {
  if (!IsMainThread() || !SDL_WasInit(SDL_INIT_VIDEO)) return std::nullopt;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0) return std::nullopt;
  return SIZE{mode.w, mode.h};
}

}  // namespace plat::ddraw

namespace plat {

PresentedFrame ReadPresentedFrame(HWND window) {
  PresentedFrame frame;
  SDL_Window* sdlWindow = window ? SdlWindowOf(window) : nullptr;
  SDL_Renderer* renderer = sdlWindow ? SDL_GetRenderer(sdlWindow) : nullptr;
  if (!renderer) return frame;
  int width = 0;
  int height = 0;
  if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0 || width <= 0 || height <= 0) return frame;
  // Read the whole output, also outside a logical size.
  int logicalWidth = 0;
  int logicalHeight = 0;
  SDL_RenderGetLogicalSize(renderer, &logicalWidth, &logicalHeight);
  if (logicalWidth) SDL_RenderSetLogicalSize(renderer, 0, 0);
  frame.pixels.resize(static_cast<size_t>(width) * height);
  const bool read =
      SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, frame.pixels.data(), width * 4) == 0;
  if (logicalWidth) SDL_RenderSetLogicalSize(renderer, logicalWidth, logicalHeight);
  if (!read) {
    frame.pixels.clear();
    return frame;
  }
  for (DWORD& pixel : frame.pixels) pixel &= 0xFFFFFF;
  frame.width = width;
  frame.height = height;
  return frame;
}

DWORD ShownColorOf(DWORD pixel, const DDPIXELFORMAT& format) {
  const Uint32 sdlFormat = SDL_MasksToPixelFormatEnum(static_cast<int>(format.dwRGBBitCount), format.dwRBitMask,
                                                      format.dwGBitMask, format.dwBBitMask, 0);
  if (sdlFormat == SDL_PIXELFORMAT_UNKNOWN) return 0;
  // Widened by the same conversion the software renderer uses on its way to the window.
  Uint32 shown = 0;
  if (SDL_ConvertPixels(1, 1, sdlFormat, &pixel, 4, SDL_PIXELFORMAT_RGB888, &shown, 4) != 0) return 0;
  return shown & 0xFFFFFF;
}

bool ShowsPixel(DWORD shown, DWORD pixel, const DDPIXELFORMAT& format) {
  const DWORD masks[] = {format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
  for (int channel = 0; channel < 3; ++channel) {
    const DWORD mask = masks[channel];
    if (!mask) return false;
    const int bits = std::popcount(mask);
    const DWORD value = (pixel & mask) >> std::countr_zero(mask);
    const DWORD shownValue = (shown >> (16 - 8 * channel)) & 0xFF;
    if (bits >= 8 ? shownValue != (value >> (bits - 8)) : (shownValue >> (8 - bits)) != value) return false;
  }
  return true;
}

}  // namespace plat
