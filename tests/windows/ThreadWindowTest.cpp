// A window with controls made on a thread other than the main one (as a crash window is, on the
// crashing thread): the main thread's pump makes and shows its SDL window and translates its input,
// and the window's own thread runs its message loop, its timers and its drawing.
#include <atomic>
#include <thread>

#include "platform/win/window/SdlWindow.h"
#include "tests/windows/HostWindow.h"

namespace windowstest {
namespace {

constexpr DWORD kCrashWindowStyle = 0x82CA0000;  // pop-up, clip children, caption, system menu, minimise box

std::atomic<bool> gClosed{false};
std::atomic<int> gTicks{0};

LRESULT ReportProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == 2) gClosed = true;
  if (message == WM_TIMER) ++gTicks;
  return DefWindowProc(window, message, wParam, lParam);
}

void PumpMainThread() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  Sleep(2);
}

TEST(ThreadWindowTest, AWindowOfAnotherThreadIsShownByTheMainThreadAndAnswersItsInput) {
  WNDCLASS reportClass{};
  reportClass.lpfnWndProc = ReportProc;
  reportClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  reportClass.lpszClassName = "ThreadReportWindow";
  RegisterClass(&reportClass);

  std::atomic<HWND> shown{nullptr};
  std::atomic<bool> fieldDrawn{false};
  std::thread crashing([&] {
    RECT outer{0, 0, 400, 300};
    AdjustWindowRect(&outer, kCrashWindowStyle, FALSE);
    HWND window =
        CreateWindowEx(0, "ThreadReportWindow", "Fatal Error!", kCrashWindowStyle, 64, 64, outer.right - outer.left,
                       outer.bottom - outer.top, nullptr, nullptr, nullptr, nullptr);
    CreateWindowEx(0, "EDIT", "report", 0x50A00804, 8, 92, 384, 168, window, reinterpret_cast<HMENU>(1), nullptr,
                   nullptr);
    CreateWindowEx(0, "BUTTON", "Close Now", 0x50000001, 8, 268, 384, 24, window, reinterpret_cast<HMENU>(2), nullptr,
                   nullptr);
    SetTimer(window, 1, 20, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    shown = window;
    MSG msg;
    while (!gClosed && GetMessage(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    plat::WindowPixels pixels;
    fieldDrawn = plat::ReadWindowPixels(window, &pixels) && pixels.At(100, 150) == Argb(GetSysColor(COLOR_BTNFACE)) &&
                 pixels.At(8, 120) == Argb(GetSysColor(COLOR_WINDOWFRAME));
    DestroyWindow(window);
  });

  for (int turn = 0; turn < 2000 && !(shown && plat::SdlWindowOf(shown) && gTicks > 0); ++turn) PumpMainThread();
  ASSERT_NE(plat::SdlWindowOf(shown), nullptr) << "the main thread made the SDL window";
  plat::inject::SetTargetWindow(shown);
  plat::inject::MouseButton(1, true, 200, 280);
  plat::inject::MouseButton(1, false, 200, 280);
  for (int turn = 0; turn < 2000 && !gClosed; ++turn) PumpMainThread();
  plat::inject::SetTargetWindow(nullptr);
  crashing.join();
  PumpMainThread();  // the SDL window goes on the main thread
  EXPECT_TRUE(gClosed) << "the click reached the button on its own thread";
  EXPECT_GT(gTicks, 0) << "timers fire in that thread's loop";
  EXPECT_TRUE(fieldDrawn) << "the read-only report box is drawn on the button face with its border";
}

}  // namespace
}  // namespace windowstest
