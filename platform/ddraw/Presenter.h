// Shows frames in a window's SDL renderer through a streaming texture in the frame's own pixel format,
// and puts the window into and out of the emulated full-screen mode. Main thread only.
#pragma once

#include <optional>

#include "platform/ddraw/Surface.h"

struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Window;

namespace plat::ddraw {

class Presenter {
 public:
  Presenter() = default;
  ~Presenter();
  Presenter(const Presenter&) = delete;
  Presenter& operator=(const Presenter&) = delete;

  // Shows the frame filling the window (scaled with its aspect kept in full screen).
  void Show(HWND window, const PresentFrame& frame);
  // Full screen shows the window over the whole screen with a logical size of width x height.
  void SetScreenMode(HWND window, bool fullScreen, int width, int height);

 private:
  bool Attach(HWND window);
  void Detach();
  void EnterFullScreen();
  void LeaveFullScreen();
  // Drops every handle and the window's mode without touching SDL.
  void Forget();

  HWND mWindow = nullptr;
  SDL_Window* mSdlWindow = nullptr;
  SDL_Renderer* mRenderer = nullptr;
  bool mOwnsRenderer = false;
  SDL_Texture* mTexture = nullptr;
  int mTextureWidth = 0;
  int mTextureHeight = 0;
  unsigned mTextureFormat = 0;
  bool mFullScreen = false;
  // Where the window was, and whether it had a frame, before full screen took it over.
  int mWindowedX = 0;
  int mWindowedY = 0;
  int mWindowedWidth = 0;
  int mWindowedHeight = 0;
  bool mWindowedBorderless = false;
  int mLogicalWidth = 0;
  int mLogicalHeight = 0;
};

// The screen's size as SDL reports it, when SDL video runs and the caller is the main thread.
std::optional<SIZE> ScreenSize();

}  // namespace plat::ddraw
