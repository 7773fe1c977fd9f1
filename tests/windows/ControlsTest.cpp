// The standard controls in a window the layer paints, driven by injected input and by their
// messages, and read back from what the window shows.
#include <algorithm>
#include <cstring>

#include "tests/windows/HostWindow.h"

namespace windowstest {
namespace {

using ControlsTest = HostWindowTest;

std::string TextOf(HWND window) {
  char buffer[256];
  GetWindowText(window, buffer, sizeof(buffer));
  return buffer;
}

TEST_F(ControlsTest, ButtonClicksOnlyWhenPressedAndReleasedOverItWhileEnabled) {
  HWND ok = Add("BUTTON", "OK", BS_DEFPUSHBUTTON, 10, 10, 80, 24, 1);
  HWND other = Add("BUTTON", "Other", BS_PUSHBUTTON, 100, 10, 80, 24, 2);
  Pump();

  Click(ok, 40, 12);
  EXPECT_EQ(Pump(), (std::vector<Notification>{{1, BN_CLICKED}}));
  EXPECT_EQ(GetFocus(), ok);

  // Pressed on the button, released beside it: no click.
  POINT inside{40, 12}, outside{40, 80};
  ClientToScreen(ok, &inside);
  ScreenToClient(mHost, &inside);
  ClientToScreen(ok, &outside);
  ScreenToClient(mHost, &outside);
  plat::inject::MouseButton(1, true, inside.x, inside.y);
  plat::inject::MouseMove(outside.x, outside.y);
  plat::inject::MouseButton(1, false, outside.x, outside.y);
  EXPECT_TRUE(Pump().empty());

  // The space bar clicks the focused button; a disabled one hears nothing.
  SetFocus(other);
  plat::inject::Tap("Space");
  EXPECT_EQ(Pump(), (std::vector<Notification>{{2, BN_CLICKED}}));
  EnableWindow(other, FALSE);
  Click(other, 40, 12);
  EXPECT_TRUE(Pump().empty());
}

TEST_F(ControlsTest, EditTakesTypingSelectionAndTheClipboard) {
  HWND edit = Add("EDIT", "", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 22, 100);
  HWND copy = Add("EDIT", "", WS_BORDER | ES_AUTOHSCROLL, 10, 40, 200, 22, 101);
  Pump();
  Click(edit, 5, 5);
  Type("1:30x");
  plat::inject::Tap("Backspace");
  auto heard = Pump();
  EXPECT_EQ(TextOf(edit), "1:30");
  EXPECT_EQ(std::count(heard.begin(), heard.end(), Notification{100, EN_CHANGE}), 6);

  // Shift+Home selects what lies before the caret; Ctrl+C copies it into the other box by Ctrl+V.
  Chord("Left Shift", "Home");
  Chord("Left Ctrl", "C");
  DWORD start = 9, end = 9;
  SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
  Click(copy, 5, 5);
  Chord("Left Ctrl", "V");
  EXPECT_EQ(TextOf(copy), "1:30");

  // Typing replaces a selection made by message.
  SendMessage(copy, EM_SETSEL, 0, -1);
  Type("12");
  Pump();
  EXPECT_EQ(TextOf(copy), "12");
}

TEST_F(ControlsTest, ReadOnlyMultiLineEditScrollsAndCopiesButDoesNotChange) {
  std::string report;
  for (int line = 0; line < 40; ++line) report += "Line " + std::to_string(line) + "\r\n";
  HWND edit = Add("EDIT", report.c_str(), ES_MULTILINE | ES_READONLY | WS_BORDER | WS_VSCROLL, 10, 10, 300, 120, 7);
  Pump();
  Click(edit, 20, 20);
  Type("zz");
  plat::inject::Tap("Delete");
  Pump();
  EXPECT_EQ(TextOf(edit), report.substr(0, 255));
  EXPECT_EQ(SendMessage(edit, EM_GETLINECOUNT, 0, 0), 41);

  Chord("Left Ctrl", "End");
  EXPECT_GT(SendMessage(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 30) << "the caret's line is scrolled into view";
  plat::inject::Wheel(3);
  Pump();
  EXPECT_LT(SendMessage(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 30);

  // From the first line, scrolled out of view, Down goes to the second line and shows it.
  Chord("Left Ctrl", "Home");
  plat::inject::Wheel(-3);
  Pump();
  plat::inject::Tap("Down");
  Pump();
  DWORD caret = 0;
  SendMessage(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret, 8u) << "the start of \"Line 1\"";
  EXPECT_EQ(SendMessage(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
}

TEST_F(ControlsTest, ListBoxSelectsByMouseAndKeysAndNotifiesItsParent) {
  HWND list = Add("LISTBOX", "", LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL, 10, 10, 200, 100, 100, WS_EX_CLIENTEDGE);
  for (int i = 0; i < 20; ++i) {
    const std::string line = "Marker " + std::to_string(i) + " (00:00:" + std::to_string(10 + i) + ")";
    const LRESULT index = SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessage(list, LB_SETITEMDATA, index, 1000 + i);
  }
  SendMessage(list, LB_SETHORIZONTALEXTENT, 400, 0);
  Pump();
  const int itemHeight = static_cast<int>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));

  Click(list, 20, itemHeight * 2 + itemHeight / 2);
  EXPECT_EQ(Pump(), (std::vector<Notification>{{100, LBN_SELCHANGE}}));
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 2, 0), 1002);

  Click(list, 20, itemHeight * 3 + itemHeight / 2, 2);
  EXPECT_EQ(Pump(), (std::vector<Notification>{{100, LBN_SELCHANGE}, {100, LBN_DBLCLK}}));
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);

  plat::inject::Tap("End");
  Pump();
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 19);
  EXPECT_GT(SendMessage(list, LB_GETTOPINDEX, 0, 0), 10) << "the selection is scrolled into view";
  plat::inject::Tap("Up");
  Pump();
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 18);

  char text[64];
  EXPECT_EQ(SendMessage(list, LB_GETTEXT, 18, reinterpret_cast<LPARAM>(text)), 20);
  EXPECT_STREQ(text, "Marker 18 (00:00:28)");
  EXPECT_EQ(SendMessage(list, LB_GETTEXT, 20, reinterpret_cast<LPARAM>(text)), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 20, 0), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), -1);
}

TEST_F(ControlsTest, ControlsAreDrawnIntoTheirWindow) {
  Add("STATIC", "Please Wait", SS_LEFT, 10, 10, 150, 20, 1);
  HWND button = Add("BUTTON", "Close Now", BS_DEFPUSHBUTTON, 10, 40, 120, 24, 2);
  Add("EDIT", "report", ES_MULTILINE | WS_BORDER | WS_VSCROLL, 10, 80, 200, 80, 3);
  HWND list = Add("LISTBOX", "", WS_BORDER, 220, 80, 150, 80, 4);
  SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first"));
  SendMessage(list, LB_SETCURSEL, 0, 0);
  Pump();
  plat::WindowPixels pixels = Pixels();
  ASSERT_EQ(pixels.width, 400);
  ASSERT_EQ(pixels.height, 300);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(pixels.At(300, 20), Argb(face)) << "the class brush";
  EXPECT_TRUE(HasInk(pixels, RECT{10, 10, 160, 30}, face)) << "the label's text";
  EXPECT_TRUE(HasInk(pixels, RECT{14, 44, 126, 60}, face)) << "the button's text";
  EXPECT_EQ(pixels.At(10, 40), Argb(GetSysColor(COLOR_WINDOWTEXT))) << "the default button's frame";
  EXPECT_EQ(pixels.At(100, 150), Argb(GetSysColor(COLOR_WINDOW))) << "the edit's field";
  EXPECT_EQ(pixels.At(208 - 8, 85), Argb(GetSysColor(COLOR_BTNFACE))) << "the edit's scroll bar arrow";
  EXPECT_EQ(pixels.At(360, 83), Argb(GetSysColor(COLOR_HIGHLIGHT))) << "the selected item";

  // Black text while enabled, grey once disabled.
  auto darkest = [](const plat::WindowPixels& shown, const RECT& area) {
    int least = 255;
    for (LONG y = area.top; y < area.bottom; ++y)
      for (LONG x = area.left; x < area.right; ++x) least = std::min(least, static_cast<int>(shown.At(x, y) & 0xFF));
    return least;
  };
  const RECT caption{14, 44, 126, 60};
  EXPECT_LT(darkest(pixels, caption), 60);
  EnableWindow(button, FALSE);
  Pump();
  EXPECT_GE(darkest(Pixels(), caption), 100);

  // A larger window is drawn at its new size.
  RECT outer;
  GetWindowRect(mHost, &outer);
  MoveWindow(mHost, outer.left, outer.top, outer.right - outer.left + 100, outer.bottom - outer.top, TRUE);
  EXPECT_EQ(Pixels().width, 500);
}

}  // namespace
}  // namespace windowstest
