// A person at the X display: finds another program's windows by their titles, and clicks and types
// through the X server's test extension, so that a window manager takes the input as a person's (a
// click raises and focuses the window under it). For tests of what a program shows under a window
// manager. Owns a connection of its own to $DISPLAY; one thread at a time.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace testsupport {

// A viewable window and the place of its area on the screen.
struct XShownWindow {
  unsigned long id = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class XUser {
 public:
  XUser();
  ~XUser();
  XUser(const XUser&) = delete;
  XUser& operator=(const XUser&) = delete;

  // False without an X display or without its test extension.
  bool Ready() const;
  // The viewable window titled so (WM_NAME), whoever made it; nothing while there is none.
  std::optional<XShownWindow> WindowTitled(const std::string& title);
  // Whether the keyboard's input focus is on the window.
  bool HasFocus(const XShownWindow& window);
  // The keyboard's input focus goes to the window, as after a person's earlier click there.
  void Focus(const XShownWindow& window);
  // Presses and releases the left button at the point of the screen.
  void ClickAt(int x, int y);
  // Presses and releases the key (an X key name: "Return", "Escape").
  void Tap(const char* keyName);

 private:
  struct Connection;
  std::unique_ptr<Connection> mConnection;
};

}  // namespace testsupport
