// Feeds arbitrary sequences of window messages (any of the queued and answered kinds, with arbitrary
// parameters, for the main window, the invisible one or a stranger) through the window procedure and
// the input queue, as a hostile or broken input device might: nothing may crash or hang.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/app/KitAppBase.h"
#include "framework/widget/Widget.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/window/Messages.h"

namespace {

constexpr UINT kMessages[] = {WM_MOVE,       WM_SIZE,          WM_CLOSE,       WM_ACTIVATEAPP,   WM_KEYDOWN,
                              WM_KEYUP,      WM_CHAR,          WM_SYSKEYDOWN,  WM_SYSKEYUP,      WM_TIMER,
                              WM_MOUSEMOVE,  WM_LBUTTONDOWN,   WM_LBUTTONUP,   WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                              WM_RBUTTONUP,  WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP,     WM_MOUSEWHEEL,
                              WM_SYSCOMMAND, WM_SYSCHAR,       WM_ERASEBKGND,  WM_SETCURSOR,     WM_NULL};

class FuzzApp : public Kit::KitAppBase {
 public:
  // Switching screen modes makes real windows; the fuzzer only checks that the request is survived.
  void SwitchScreenModeWindowed(bool) override {}
};

std::uint32_t Take(const uint8_t*& data, size_t& size, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes && size > 0; ++i, --size) value = value << 8 | *data++;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  FuzzApp app;
  Kit::Widget target;
  target.Resize(10, 10, 300, 200);
  app.mWidgetManager->Resize(640, 480);
  app.mWidgetManager->AddWidget(&target);
  HWND const main = reinterpret_cast<HWND>(0x5001);
  HWND const invisible = reinterpret_cast<HWND>(0x5002);
  app.mHWnd = main;
  app.mInvisHWnd = invisible;
  int steps = 0;
  while (size > 0 && steps++ < 4096) {
    const std::uint32_t head = Take(data, size, 1);
    const UINT message = kMessages[(head & 0x1F) % (sizeof kMessages / sizeof kMessages[0])];
    HWND window = (head & 0x60) == 0 ? invisible : (head & 0x60) == 0x20 ? nullptr : main;
    const WPARAM wParam = Take(data, size, 2);
    const LPARAM lParam = static_cast<LPARAM>(static_cast<std::int32_t>(Take(data, size, 4)));
    app.HandleWindowMessage(window, message, wParam, lParam);
    if (head & 0x80) app.ProcessDeferredMessages(true);
  }
  app.ProcessDeferredMessages(false);
  app.mWidgetManager->RemoveWidget(&target);
  app.mHWnd = nullptr;
  app.mInvisHWnd = nullptr;
  return 0;
}
