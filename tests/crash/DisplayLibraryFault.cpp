// A fault inside the X library, apart from the tests: Xlib's names clash with GoogleTest's.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdlib>

#include "platform/win/SdlWindow.h"
#include "tests/crash/CrashChild.h"
#include "tests/support/TestWindow.h"

namespace crashtest {

void FaultWhileXlibHoldsTheDisplay() {
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
  XCheckIfEvent(
      display, &event,
      [](Display*, XEvent*, XPointer) -> Bool {
        WriteThroughNull();
        return False;
      },
      nullptr);
  std::_Exit(6);
}

}  // namespace crashtest
