// A top-level window that the layer paints (its class has the button-face brush), shown headless,
// that records the notifications its controls send, and the pump that delivers injected input.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Windows.h"
#include "platform/win/input/InputInjector.h"
#include "platform/win/window/WindowPixels.h"

namespace windowstest {

struct Notification {
  int id;
  int code;
  bool operator==(const Notification& other) const { return id == other.id && code == other.code; }
};

class HostWindowTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND Add(const char* className, const char* text, DWORD style, int x, int y, int width, int height, int id,
           DWORD exStyle = 0);
  // Dispatches everything waiting (injected input included) and returns the notifications heard
  // since the last call.
  std::vector<Notification> Pump();
  // A click of the left button at a point of a control's client area.
  void Click(HWND control, int x, int y, int clicks = 1);
  void Type(const std::string& keys);  // each character as text input
  // A key pressed while a modifier ("Left Shift", "Left Ctrl") is held.
  void Chord(const char* modifier, const char* key);
  plat::WindowPixels Pixels();
  // How often the program was told it lost the foreground (WM_ACTIVATEAPP FALSE) so far.
  static int AppDeactivations();

  HWND mHost = nullptr;
};

// True when some pixel of the rectangle differs clearly from the colour: text or a mark was drawn.
bool HasInk(const plat::WindowPixels& pixels, const RECT& area, COLORREF background);
std::uint32_t Argb(COLORREF color);

}  // namespace windowstest
