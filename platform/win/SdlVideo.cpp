#include "platform/win/SdlVideo.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace plat {
namespace {

bool NoDisplay() { return !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"); }

// Inits one subsystem, retrying with the named dummy driver when the real one cannot start.
bool StartSubsystem(Uint32 flag, const char* hintName, const char* dummy) {
  if (SDL_WasInit(flag)) return true;
  if (NoDisplay() && flag == SDL_INIT_VIDEO && !std::getenv("SDL_VIDEODRIVER")) SDL_SetHint(hintName, dummy);
  if (SDL_InitSubSystem(flag) == 0) return true;
  std::fprintf(stderr, "SDL could not start (%s); using its dummy driver\n", SDL_GetError());
  SDL_SetHint(hintName, dummy);
  return SDL_InitSubSystem(flag) == 0;
}

}  // namespace

bool EnsureSdlVideo() {
  static std::mutex lock;
  std::lock_guard guard(lock);
  return StartSubsystem(SDL_INIT_VIDEO, SDL_HINT_VIDEODRIVER, "dummy");
}

bool SdlVideoStarted() { return SDL_WasInit(SDL_INIT_VIDEO) != 0; }

bool EnsureSdlAudio() {
  static std::mutex lock;
  std::lock_guard guard(lock);
  return StartSubsystem(SDL_INIT_AUDIO, SDL_HINT_AUDIODRIVER, "dummy");
}

}  // namespace plat
