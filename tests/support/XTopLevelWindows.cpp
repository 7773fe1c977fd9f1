#include "tests/support/XTopLevelWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace testsupport {
namespace {

// The title as the window's own WM_NAME or _NET_WM_NAME (UTF-8) holds it.
std::string TitleOf(Display* display, Window window) {
  std::string title;
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name != nullptr) {
    title = name;
    XFree(name);
    return title;
  }
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
          Success &&
      data != nullptr) {
    if (format == 8) title.assign(reinterpret_cast<const char*>(data), count);
    XFree(data);
  }
  return title;
}

// A window may go between the listing and the look at it: its BadWindow is no reason to end.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

}  // namespace

XTopLevelWindows::XTopLevelWindows(const std::string& display) : mConnection(XOpenDisplay(display.c_str())) {}

XTopLevelWindows::~XTopLevelWindows() {
  if (mConnection != nullptr) XCloseDisplay(mConnection);
}

bool XTopLevelWindows::Shows(const std::string& title) {
  if (mConnection == nullptr) return false;
  const auto previousHandler = XSetErrorHandler(&IgnoreError);
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  bool shown = false;
  if (XQueryTree(mConnection, DefaultRootWindow(mConnection), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && !shown; ++i) {
      XWindowAttributes attributes;
      shown = XGetWindowAttributes(mConnection, children[i], &attributes) && attributes.map_state == IsViewable &&
              TitleOf(mConnection, children[i]) == title;
    }
    if (children != nullptr) XFree(children);
  }
  XSetErrorHandler(previousHandler);
  return shown;
}

}  // namespace testsupport
