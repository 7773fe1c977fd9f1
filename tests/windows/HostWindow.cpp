#include "tests/windows/HostWindow.h"

#include <cstdlib>

namespace windowstest {
namespace {

std::vector<Notification> gHeard;
int gDeactivations = 0;

LRESULT HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) gHeard.push_back({LOWORD(wParam), HIWORD(wParam)});
  if (message == WM_ACTIVATEAPP && !wParam) ++gDeactivations;
  if (message == WM_CLOSE) return 0;
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

void HostWindowTest::SetUp() {
  WNDCLASS hostClass{};
  hostClass.lpfnWndProc = HostProc;
  hostClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  hostClass.lpszClassName = "ControlsHost";
  RegisterClass(&hostClass);
  RECT outer{0, 0, 400, 300};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  AdjustWindowRect(&outer, style, FALSE);
  mHost = CreateWindowEx(0, "ControlsHost", "Controls", style, 60, 60, outer.right - outer.left,
                         outer.bottom - outer.top, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(mHost, nullptr);
  ShowWindow(mHost, SW_SHOWNORMAL);
  plat::inject::SetTargetWindow(mHost);
  Pump();
}

void HostWindowTest::TearDown() {
  plat::inject::SetTargetWindow(nullptr);
  ReleaseCapture();
  DestroyWindow(mHost);
  Pump();
}

HWND HostWindowTest::Add(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                         int id, DWORD exStyle) {
  HWND control = CreateWindowEx(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, mHost,
                                reinterpret_cast<HMENU>(static_cast<LONG_PTR>(id)), nullptr, nullptr);
  EXPECT_NE(control, nullptr) << className;
  return control;
}

std::vector<Notification> HostWindowTest::Pump() {
  MSG msg;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  std::vector<Notification> heard;
  heard.swap(gHeard);
  return heard;
}

void HostWindowTest::Click(HWND control, int x, int y, int clicks) {
  POINT point{x, y};
  ClientToScreen(control, &point);
  ScreenToClient(mHost, &point);
  plat::inject::MouseButton(1, true, point.x, point.y, clicks);
  plat::inject::MouseButton(1, false, point.x, point.y, clicks);
}

void HostWindowTest::Type(const std::string& keys) {
  for (char c : keys) plat::inject::Text(std::string(1, c));
}

void HostWindowTest::Chord(const char* modifier, const char* key) {
  plat::inject::Key(modifier, true);
  plat::inject::Tap(key);
  Pump();  // handled while the modifier is down, as the key state says
  plat::inject::Key(modifier, false);
}

int HostWindowTest::AppDeactivations() { return gDeactivations; }

plat::WindowPixels HostWindowTest::Pixels() {
  plat::WindowPixels pixels;
  EXPECT_TRUE(plat::ReadWindowPixels(mHost, &pixels));
  return pixels;
}

std::uint32_t Argb(COLORREF color) {
  return 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

bool HasInk(const plat::WindowPixels& pixels, const RECT& area, COLORREF background) {
  const std::uint32_t base = Argb(background);
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) {
      const std::uint32_t pixel = pixels.At(x, y);
      const int difference = std::abs(static_cast<int>(pixel & 0xFF) - static_cast<int>(base & 0xFF)) +
                             std::abs(static_cast<int>((pixel >> 8) & 0xFF) - static_cast<int>((base >> 8) & 0xFF)) +
                             std::abs(static_cast<int>((pixel >> 16) & 0xFF) - static_cast<int>((base >> 16) & 0xFF));
      if (difference > 150) return true;
    }
  }
  return false;
}

}  // namespace windowstest
