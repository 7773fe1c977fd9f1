// A fault inside the X library, apart from the tests: Xlib's names clash with GoogleTest's.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/win/window/SdlWindow.h"
#include "tests/crash/CrashChild.h"
#include "tests/support/TestWindow.h"

namespace {

// Runs `predicate` as XCheckIfEvent's, inside Xlib with SDL's display locked, for an event sent to a
// test window; then returns.
void InsideXlib(Bool (*predicate)(Display*, XEvent*, XPointer)) {
  HWND window = testsupport::CreateTestWindow("CrashEndXWindow", "X", 0, 0, 64, 64);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(plat::SdlWindowOf(window), &info) || info.subsystem != SDL_SYSWM_X11)
    std::_Exit(5);
  Display* display = info.info.x11.display;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = info.info.x11.window;
  event.xclient.message_type = XInternAtom(display, "KIT_CRASH_TEST", False);
  event.xclient.format = 32;
  XSendEvent(display, info.info.x11.window, False, NoEventMask, &event);
  XSync(display, False);
  XCheckIfEvent(display, &event, predicate, nullptr);
}

// Another process sends SIGSEGV to this thread, as `kill` would, and has ended when this returns: the
// signal has landed here by then.
void SegvFromAnotherProcess() {
  const pid_t self = ::getpid();
  const auto thread = static_cast<pid_t>(::syscall(SYS_gettid));
  const pid_t sender = ::fork();
  if (sender < 0) std::_Exit(7);
  if (sender == 0) {
    ::syscall(SYS_tgkill, self, thread, SIGSEGV);
    ::_exit(0);
  }
  while (::waitpid(sender, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

namespace crashtest {

void FaultWhileXlibHoldsTheDisplay() {
  InsideXlib([](Display*, XEvent*, XPointer) -> Bool {
    WriteThroughNull();
    return False;
  });
  std::_Exit(6);
}

void SignalFromOutsideWhileXlibHoldsTheDisplay() {
  InsideXlib([](Display*, XEvent*, XPointer) -> Bool {
    SegvFromAnotherProcess();
    return False;
  });
  for (;;) ::pause();  // the signal comes again once Xlib is left
}

}  // namespace crashtest
