#include "tests/support/XWindowManager.h"

// Before Xlib, whose macros (None, Bool) clash with GoogleTest.
#include "tests/support/PollUntil.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace testsupport {

constexpr const char* kOpenbox = "/usr/bin/openbox";

bool XWindowManager::Installed() { return access(kOpenbox, X_OK) == 0; }

XWindowManager::XWindowManager() {
  if (!Installed()) return;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return;
  mPid = fork();
  if (mPid == 0) {
    // Its complaints about the desktop menu it cannot find are of no interest here.
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, 2);
    execl(kOpenbox, "openbox", "--sm-disable", static_cast<char*>(nullptr));
    _exit(127);
  }
  // Managed once the manager frames a window of ours. Holding the screen's manager selection (ICCCM's
  // WM_S<screen>) is not enough: openbox takes the requests to map a window before it reads them, and
  // loses those that come while it starts. So the window asks again while it stays unmapped.
  const Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  const auto framed = [&] {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, probe, &attributes) && attributes.map_state == IsUnmapped)
      XMapWindow(display, probe);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    const bool listed = XQueryTree(display, probe, &root, &parent, &children, &count);
    if (children != nullptr) XFree(children);
    return listed && parent != root;
  };
  bool ended = mPid < 0;
  if (!ended) PollUntil([&] { return (mReady = framed()) || (ended = waitpid(mPid, nullptr, WNOHANG) == mPid); });
  if (ended) mPid = -1;
  XDestroyWindow(display, probe);
  XCloseDisplay(display);
}

XWindowManager::~XWindowManager() {
  if (mPid <= 0) return;
  kill(mPid, SIGTERM);
  waitpid(mPid, nullptr, 0);
}

std::optional<std::pair<int, int>> XClientOrigin(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return std::nullopt;
  Display* display = info.info.x11.display;
  int x = 0;
  int y = 0;
  Window child;
  if (!XTranslateCoordinates(display, info.info.x11.window, DefaultRootWindow(display), 0, 0, &x, &y, &child))
    return std::nullopt;
  return std::pair{x, y};
}

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
