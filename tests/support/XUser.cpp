#include "tests/support/XUser.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <vector>

namespace testsupport {
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

XUser::XUser() : mDisplay(XOpenDisplay(nullptr)) {
  int event = 0, error = 0, major = 0, minor = 0;
  mReady = mDisplay != nullptr && XTestQueryExtension(mDisplay, &event, &error, &major, &minor);
}

XUser::~XUser() {
  if (mDisplay != nullptr) XCloseDisplay(mDisplay);
}

std::optional<XShownWindow> XUser::WindowTitled(const std::string& title) {
  // The server holds still for the walk: no window it has listed goes before it is asked about.
  XGrabServer(mDisplay);
  auto found = FindTitled(mDisplay, DefaultRootWindow(mDisplay), title);
  XUngrabServer(mDisplay);
  XSync(mDisplay, False);
  return found;
}

bool XUser::HasFocus(const XShownWindow& window) {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(mDisplay, &focus, &revert);
  return focus == window.id;
}

void XUser::Focus(const XShownWindow& window) {
  XSetInputFocus(mDisplay, window.id, RevertToParent, CurrentTime);
  XSync(mDisplay, False);
}

void XUser::ClickAt(int x, int y) {
  XTestFakeMotionEvent(mDisplay, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(mDisplay, Button1, True, CurrentTime);
  XTestFakeButtonEvent(mDisplay, Button1, False, CurrentTime);
  XSync(mDisplay, False);
}

void XUser::Tap(const char* keyName) {
  const KeyCode key = XKeysymToKeycode(mDisplay, XStringToKeysym(keyName));
  XTestFakeKeyEvent(mDisplay, key, True, CurrentTime);
  XTestFakeKeyEvent(mDisplay, key, False, CurrentTime);
  XSync(mDisplay, False);
}

}  // namespace testsupport
