#include "platform/ddraw/RepaintWatch.h"

#include <SDL.h>

namespace plat::ddraw {

RepaintWatch::RepaintWatch(std::function<void()> onContentLost) : mOnContentLost(std::move(onContentLost)) {
  SDL_AddEventWatch(&RepaintWatch::OnEvent, this);
}

// SDL runs watches under its own lock, so once this returns no callback is running or can start.
RepaintWatch::~RepaintWatch() { SDL_DelEventWatch(&RepaintWatch::OnEvent, this); }

int RepaintWatch::OnEvent(void* self, SDL_Event* event) {
  if (event->type != SDL_WINDOWEVENT) return 0;
  // A new size gives the window a fresh drawable or surface; an exposed window was drawn over.
  if (event->window.event == SDL_WINDOWEVENT_SIZE_CHANGED || event->window.event == SDL_WINDOWEVENT_EXPOSED) {
    static_cast<RepaintWatch*>(self)->mOnContentLost();
  }
  return 0;
}

}  // namespace plat::ddraw
