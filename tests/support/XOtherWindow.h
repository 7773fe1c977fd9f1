// Another program's window on the X server, and the input the server gives a program's SDL window:
// for tests of what a click on an inactive window does, with or without a window manager.
#pragma once

#include <memory>

struct SDL_Window;

namespace testsupport {

class XOtherWindow {
 public:
  // Opens a connection of its own to the display SDL uses and maps a small window in the bottom right
  // corner of the screen; Ready() is false where that fails (no X display).
  XOtherWindow();
  ~XOtherWindow();
  XOtherWindow(const XOtherWindow&) = delete;
  XOtherWindow& operator=(const XOtherWindow&) = delete;

  bool Ready() const;
  // This window takes the input focus, as clicking it under a window manager gives it.
  void TakeFocus();
  // The SDL window takes the input focus.
  void GiveFocusTo(SDL_Window* window);
  // Moves the pointer to the client point (x, y) of the SDL window and clicks the left button there.
  // With `focusFirst` the window gets the input focus just before the press, as a window manager gives
  // it to a window clicked while another had the focus; without, nothing changes the focus. Then the
  // pointer moves on to (x + 1, y): once that move is heard, everything of the click has been.
  void Click(SDL_Window* window, int x, int y, bool focusFirst);
  // Whether the X input focus is on the SDL window.
  bool FocusIsOn(SDL_Window* window);

 private:
  struct Connection;
  std::unique_ptr<Connection> mConnection;
};

}  // namespace testsupport
