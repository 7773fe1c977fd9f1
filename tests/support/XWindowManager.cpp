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
  // Managed once the manager holds the screen's manager selection (ICCCM's WM_S<screen>).
  const Atom selection = XInternAtom(display, ("WM_S" + std::to_string(DefaultScreen(display))).c_str(), False);
  bool ended = mPid < 0;
  if (!ended)
    PollUntil([&] {
      return (mReady = XGetSelectionOwner(display, selection) != None) ||
             (ended = waitpid(mPid, nullptr, WNOHANG) == mPid);
    });
  if (ended) mPid = -1;
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
