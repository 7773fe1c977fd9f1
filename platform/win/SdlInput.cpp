#include <SDL.h>

#include "platform/win/SdlVideo.h"
#include "platform/win/SdlWindow.h"
#include "platform/win/Window.h"
#include "platform/win/WindowEvents.h"
#include "platform/win/WindowTable.h"

namespace plat {
namespace {

// SDL reports SDL_QUIT after the last window's close event as well as on a termination signal; only
// the second is news.
bool gWindowCloseSeen = false;

HWND WindowOfEvent(Uint32 windowId) {
  HWND window = WindowOfSdl(SDL_GetWindowFromID(windowId));
  return window;
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
  HWND window = WindowOfEvent(event.windowID);
  if (!window) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      SystemActivate(window);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      SystemDeactivate();
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      SystemMinimise(window);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      SystemRestore(window);
      break;
    case SDL_WINDOWEVENT_MOVED:
      SystemMoveClient(window, event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      SystemInvalidate(window);
      break;
    case SDL_WINDOWEVENT_ENTER:
      SetPointerOverWindow(window, true);
      break;
    case SDL_WINDOWEVENT_LEAVE:
      SetPointerOverWindow(window, false);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      gWindowCloseSeen = true;
      PostMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    default:
      break;
  }
}

void Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(event.window);
      break;
    case SDL_QUIT:
      if (gWindowCloseSeen) {
        gWindowCloseSeen = false;
      } else if (HWND main = WindowTable::Instance().SdlBacked(); main) {
        PostMessage(main, WM_CLOSE, 0, 0);
      }
      break;
    default:
      break;
  }
}

}  // namespace

void PumpSdlEvents() {
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) Translate(event);
}

}  // namespace plat
