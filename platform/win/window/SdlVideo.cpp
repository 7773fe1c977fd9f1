#include "platform/win/window/SdlVideo.h"

#include <SDL.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/win/process/Process.h"

namespace plat {
namespace {

std::atomic<bool> gScreenTakesPixels{true};

bool DesktopTakesPixels() {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return true;
  return !SDL_ISPIXELFORMAT_INDEXED(mode.format) && SDL_BITSPERPIXEL(mode.format) >= 15;
}

// SDL's events put its handlers for termination requests in place; the layer notes the requests from
// then on, through the video driver's start, which takes a while. One that SDL took in between is made
// again, to be noted too.
void NoteTerminationRequestsFromSdlsStart() {
  NoteTerminationRequests();
  SDL_PumpEvents();
  SDL_Event quit;
  if (SDL_PeepEvents(&quit, 1, SDL_GETEVENT, SDL_QUIT, SDL_QUIT) == 1) ::raise(SIGTERM);
}

bool StartVideo() {
  if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return false;
  NoteTerminationRequestsFromSdlsStart();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  gScreenTakesPixels = DesktopTakesPixels();
  return true;
}

}  // namespace

bool EnsureSdlVideo() {
  static std::mutex lock;
  std::lock_guard guard(lock);
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  bool noDisplay = !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY");
  if (noDisplay && !std::getenv("SDL_VIDEODRIVER")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  // A click on an inactive window activates it and is delivered as well, as on Windows; SDL would
  // drop a click that comes right after the window manager gave the window the focus.
  SDL_SetHintWithPriority(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1", SDL_HINT_OVERRIDE);
  if (StartVideo()) return true;
  std::fprintf(stderr, "SDL video could not start (%s); using its dummy driver\n", SDL_GetError());
  // Above the SDL_VIDEODRIVER variable that named the driver which just failed.
  SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "dummy", SDL_HINT_OVERRIDE);
  return StartVideo();
}

bool SdlVideoStarted() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

bool ScreenTakesPixels() { return gScreenTakesPixels; }

}  // namespace plat
