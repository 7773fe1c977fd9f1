#include "tests/support/XOtherWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace testsupport {

struct XOtherWindow::Connection {
  Display* display = nullptr;
  Window window = 0;
};

namespace {

Window XWindowOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
  return info.info.x11.window;
}

XEvent ButtonEvent(Display* display, Window target, int type, int x, int y) {
  XEvent event{};
  event.xbutton.type = type;
  event.xbutton.display = display;
  event.xbutton.window = target;
  event.xbutton.root = DefaultRootWindow(display);
  event.xbutton.time = CurrentTime;
  event.xbutton.x = x;
  event.xbutton.y = y;
  Window child;
  XTranslateCoordinates(display, target, event.xbutton.root, x, y, &event.xbutton.x_root, &event.xbutton.y_root,
                        &child);
  event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
  event.xbutton.button = Button1;
  event.xbutton.same_screen = True;
  return event;
}

}  // namespace

XOtherWindow::XOtherWindow() : mConnection(std::make_unique<Connection>()) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return;
  mConnection->display = display;
  const int screen = DefaultScreen(display);
  const int width = 64;
  mConnection->window =
      XCreateSimpleWindow(display, RootWindow(display, screen), DisplayWidth(display, screen) - width - 8,
                          DisplayHeight(display, screen) - width - 8, width, width, 0, BlackPixel(display, screen),
                          WhitePixel(display, screen));
  XSelectInput(display, mConnection->window, StructureNotifyMask);
  XMapWindow(display, mConnection->window);
  XEvent event;
  do {
    XNextEvent(display, &event);
  } while (event.type != MapNotify);
}

XOtherWindow::~XOtherWindow() {
  if (mConnection->display == nullptr) return;
  XDestroyWindow(mConnection->display, mConnection->window);
  XCloseDisplay(mConnection->display);
}

bool XOtherWindow::Ready() const { return mConnection->display != nullptr; }

void XOtherWindow::TakeFocus() {
  XSetInputFocus(mConnection->display, mConnection->window, RevertToParent, CurrentTime);
  XSync(mConnection->display, False);
}

void XOtherWindow::GiveFocusTo(SDL_Window* window) {
  XSetInputFocus(mConnection->display, XWindowOf(window), RevertToParent, CurrentTime);
  XSync(mConnection->display, False);
}

void XOtherWindow::Click(SDL_Window* window, int x, int y, bool focusFirst) {
  Display* display = mConnection->display;
  const Window target = XWindowOf(window);
  XWarpPointer(display, None, target, 0, 0, 0, 0, x, y);
  XSync(display, False);
  // The focus and the press leave in one request buffer, so they arrive together, as from a window
  // manager that focuses a window on the press and then lets the press through.
  if (focusFirst) XSetInputFocus(display, target, RevertToParent, CurrentTime);
  XEvent press = ButtonEvent(display, target, ButtonPress, x, y);
  XEvent release = ButtonEvent(display, target, ButtonRelease, x, y);
  XSendEvent(display, target, False, ButtonPressMask, &press);
  XSendEvent(display, target, False, ButtonReleaseMask, &release);
  XWarpPointer(display, None, target, 0, 0, 0, 0, x + 1, y);
  XSync(display, False);
}

bool XOtherWindow::FocusIsOn(SDL_Window* window) {
  Window focus;
  int revert;
  XGetInputFocus(mConnection->display, &focus, &revert);
  return focus != 0 && focus == XWindowOf(window);
}

}  // namespace testsupport
