// A person at the X display ($DISPLAY): finds another program's windows by their titles, and clicks and
// types through the X server's test extension, so that a window manager takes the input as a person's
// (a click raises and focuses the window under it). One thread at a time.
#pragma once

#include <optional>
#include <string>

struct _XDisplay;

namespace testsupport {

// A viewable window and the place of its area on the screen.
struct XShownWindow {
  unsigned long id = 0;
  int x = 0, y = 0, width = 0, height = 0;
};

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
