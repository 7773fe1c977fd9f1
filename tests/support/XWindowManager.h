// A window manager (openbox) on the X display this process uses, for the tests of what a window does
// under one: a frame around it, placement by the frame's corner. Owns the manager's process; stopped
// and reaped when destroyed. Main thread only.
#pragma once

#include <sys/types.h>

#include <optional>
#include <utility>

struct SDL_Window;

namespace testsupport {

class XWindowManager {
 public:
  // Starts the manager on $DISPLAY and waits until it manages the screen. Ready() is false where
  // openbox is not installed or did not start.
  XWindowManager();
  ~XWindowManager();
  XWindowManager(const XWindowManager&) = delete;
  XWindowManager& operator=(const XWindowManager&) = delete;

  bool Ready() const { return mReady; }
  static bool Installed();

 private:
  pid_t mPid = -1;
  bool mReady = false;
};

// Where the X server has the top-left corner of the SDL window's client area on the screen; nothing
// when the window is not an X11 window.
std::optional<std::pair<int, int>> XClientOrigin(SDL_Window* window);

}  // namespace testsupport
