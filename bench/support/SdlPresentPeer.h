// SDL presenting a frame by itself, the peer of the display's present: a window of its own (on SDL's
// dummy video driver unless the run names another), a streaming texture in the frame's format updated
// from memory, and the renderer's copy into the window, scaled with its aspect kept when the window is
// larger than the frame (SDL's logical size), as a full-screen game on SDL does.
#pragma once

#include <SDL.h>

#include <cstdlib>

namespace benchsupport {

class SdlPresentPeer {
 public:
  SdlPresentPeer(Uint32 format, int width, int height, int windowWidth, int windowHeight) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
    mVideo = true;
    mWindow = SDL_CreateWindow("peer", 0, 0, windowWidth, windowHeight, SDL_WINDOW_SHOWN);
    mRenderer = mWindow ? SDL_CreateRenderer(mWindow, -1, 0) : nullptr;
    if (!mRenderer) return;
    if (windowWidth != width || windowHeight != height) SDL_RenderSetLogicalSize(mRenderer, width, height);
    mTexture = SDL_CreateTexture(mRenderer, format, SDL_TEXTUREACCESS_STREAMING, width, height);
  }
  ~SdlPresentPeer() {
    if (mTexture) SDL_DestroyTexture(mTexture);
    if (mRenderer) SDL_DestroyRenderer(mRenderer);
    if (mWindow) SDL_DestroyWindow(mWindow);
    if (mVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  SdlPresentPeer(const SdlPresentPeer&) = delete;
  SdlPresentPeer& operator=(const SdlPresentPeer&) = delete;

  bool Ready() const { return mTexture != nullptr; }

  void Present(const void* pixels, int pitch) {
    SDL_UpdateTexture(mTexture, nullptr, pixels, pitch);
    SDL_SetRenderDrawColor(mRenderer, 0, 0, 0, 255);
    SDL_RenderClear(mRenderer);
    SDL_RenderCopy(mRenderer, mTexture, nullptr, nullptr);
    SDL_RenderPresent(mRenderer);
  }

 private:
  bool mVideo = false;
  SDL_Window* mWindow = nullptr;
  SDL_Renderer* mRenderer = nullptr;
  SDL_Texture* mTexture = nullptr;
};

}  // namespace benchsupport
