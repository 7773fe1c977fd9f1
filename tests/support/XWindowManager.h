// A window manager (openbox) on the X display this process uses, for the tests of what a window does
// under one: a frame around it, placement by the frame's corner, and what a person's clicks and keys do.
// Main thread only.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>

struct SDL_Window;
struct _XDisplay;

namespace testsupport {

// Owns the manager's process; stopped and reaped when destroyed.
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

// A viewable window and the place of its area on the screen.
struct XShownWindow {
  unsigned long id = 0;
  int x = 0, y = 0, width = 0, height = 0;
};

// A person at the display: finds another program's windows by their titles, and clicks and types through
// the X server's test extension, so that a window manager takes the input as a person's (a click raises
// and focuses the window under it).
class XUser {
 public:
  XUser();
  ~XUser();
  XUser(const XUser&) = delete;
  XUser& operator=(const XUser&) = delete;

  // False without an X display or without its test extension.
  bool Ready() const { return mReady; }
  // The viewable window titled so (WM_NAME), whoever made it; nothing while there is none.
  std::optional<XShownWindow> WindowTitled(const std::string& title);
  // Whether the keyboard's input focus is on the window; Focus puts it there, as a person's click would.
  bool HasFocus(const XShownWindow& window);
  void Focus(const XShownWindow& window);
  // A click of the left button, a key's press and release.
  void ClickAt(int x, int y);
  void Tap(const char* keyName);  // an X key name: "Return"

 private:
  _XDisplay* mDisplay;
  bool mReady = false;
};

}  // namespace testsupport
