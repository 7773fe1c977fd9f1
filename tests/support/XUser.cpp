#include "tests/support/XUser.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <vector>

namespace testsupport {

struct XUser::Connection {
  Display* display = nullptr;
  bool testExtension = false;
};

namespace {

std::optional<XShownWindow> FindTitled(Display* display, Window window, const std::string& title) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return std::nullopt;
  // SDL writes the title as UTF-8, which XFetchName does not read.
  XTextProperty name{};
  const bool titled = XGetWMName(display, window, &name) && name.value != nullptr &&
                      title == std::string(reinterpret_cast<const char*>(name.value), name.nitems);
  if (name.value != nullptr) XFree(name.value);
  Window child = 0;
  XShownWindow shown{window, 0, 0, attributes.width, attributes.height};
  if (titled && XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &shown.x, &shown.y, &child))
    return shown;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return std::nullopt;
  const std::vector<Window> below(children, children + count);
  if (children != nullptr) XFree(children);
  for (Window each : below)
    if (auto found = FindTitled(display, each, title)) return found;
  return std::nullopt;
}

}  // namespace

XUser::XUser() : mConnection(std::make_unique<Connection>()) {
  mConnection->display = XOpenDisplay(nullptr);
  if (mConnection->display == nullptr) return;
  int event = 0, error = 0, major = 0, minor = 0;
  mConnection->testExtension = XTestQueryExtension(mConnection->display, &event, &error, &major, &minor);
}

XUser::~XUser() {
  if (mConnection->display != nullptr) XCloseDisplay(mConnection->display);
}

bool XUser::Ready() const { return mConnection->display != nullptr && mConnection->testExtension; }

std::optional<XShownWindow> XUser::WindowTitled(const std::string& title) {
  // The server holds still for the walk: no window it has listed goes before it is asked about.
  Display* display = mConnection->display;
  XGrabServer(display);
  auto found = FindTitled(display, DefaultRootWindow(display), title);
  XUngrabServer(display);
  XSync(display, False);
  return found;
}

bool XUser::HasFocus(const XShownWindow& window) {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(mConnection->display, &focus, &revert);
  return focus == window.id;
}

void XUser::Focus(const XShownWindow& window) {
  XSetInputFocus(mConnection->display, window.id, RevertToParent, CurrentTime);
  XSync(mConnection->display, False);
}

void XUser::ClickAt(int x, int y) {
  Display* display = mConnection->display;
  XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(display, Button1, True, CurrentTime);
  XTestFakeButtonEvent(display, Button1, False, CurrentTime);
  XSync(display, False);
}

void XUser::Tap(const char* keyName) {
  Display* display = mConnection->display;
  const KeyCode key = XKeysymToKeycode(display, XStringToKeysym(keyName));
  XTestFakeKeyEvent(display, key, True, CurrentTime);
  XTestFakeKeyEvent(display, key, False, CurrentTime);
  XSync(display, False);
}

}  // namespace testsupport
