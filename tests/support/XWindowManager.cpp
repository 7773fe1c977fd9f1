#include "tests/support/XWindowManager.h"

// Before Xlib, whose macros (None, Bool) clash with GoogleTest.
#include "tests/support/PollUntil.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

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

}  // namespace testsupport
