// Hears from SDL when a window has lost what it showed (resized, or uncovered) and says so through a
// callback, so that the last frame can be shown again without waiting for the program's next present.
#pragma once

#include <functional>

union SDL_Event;

namespace plat::ddraw {

class RepaintWatch {
 public:
  // The callback runs on whichever thread pushed the event, inside SDL's event dispatch: it must only
  // queue work, never draw.
  explicit RepaintWatch(std::function<void()> onContentLost);
  ~RepaintWatch();
  RepaintWatch(const RepaintWatch&) = delete;
  RepaintWatch& operator=(const RepaintWatch&) = delete;

 private:
  static int OnEvent(void* self, SDL_Event* event);

  std::function<void()> mOnContentLost;
};

}  // namespace plat::ddraw
