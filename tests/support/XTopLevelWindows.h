// The windows an X server shows at the top level (no window manager: the children of the root), by
// title: for tests of what another process, such as a message box's helper, leaves on screen. One
// connection is kept open for every look.
#pragma once

#include <string>

struct _XDisplay;

namespace testsupport {

class XTopLevelWindows {
 public:
  explicit XTopLevelWindows(const std::string& display);
  ~XTopLevelWindows();
  XTopLevelWindows(const XTopLevelWindows&) = delete;
  XTopLevelWindows& operator=(const XTopLevelWindows&) = delete;

  // False where the server could not be reached.
  bool Connected() const { return mConnection != nullptr; }
  // Whether the server shows a window with this title now.
  bool Shows(const std::string& title);

 private:
  _XDisplay* mConnection = nullptr;
};

}  // namespace testsupport
