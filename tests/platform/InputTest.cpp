#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <ostream>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/win/Windows.h"
#include "platform/win/input/InputInjector.h"
#include "platform/win/window/SdlWindow.h"
#include "tests/support/PollUntil.h"
#include "tests/support/XOtherWindow.h"
#include "tests/support/XvfbServer.h"

namespace {

using plat::inject::WindowChange;

struct Message {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Message& other) const { return message == other.message && wParam == other.wParam; }
};
std::vector<Message> gMessages;

bool IsInput(UINT message) {
  return (message >= WM_KEYDOWN && message <= WM_SYSCHAR) || (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL) ||
         message == WM_ACTIVATEAPP || message == WM_SIZE || message == WM_CLOSE || message == WM_SYSCOMMAND ||
         message == WM_MOVE;
}

LRESULT CALLBACK InputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsInput(message)) gMessages.push_back({message, wParam, lParam});
  if (message == WM_CLOSE) return 0;
  return DefWindowProc(window, message, wParam, lParam);
}

class InputTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASS windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = InputProc;
    windowClass.lpszClassName = "InputTestWindow";
    RegisterClass(&windowClass);
    mWindow = CreateWindowEx(0, "InputTestWindow", "Input", WS_POPUP | WS_VISIBLE, 100, 200, 640, 480, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(plat::SdlWindowOf(mWindow), nullptr);
    Drain();
  }
  void TearDown() override {
    ReleaseCapture();
    DestroyWindow(mWindow);
    Drain();
  }
  // Pumps and dispatches everything waiting and returns what the window received.
  std::vector<Message> Drain() {
    gMessages.clear();
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    return gMessages;
  }
  HWND mWindow = nullptr;
};

Message Down(WPARAM key) { return {WM_KEYDOWN, key, 0}; }
Message Up(WPARAM key) { return {WM_KEYUP, key, 0}; }
Message Char(WPARAM c) { return {WM_CHAR, c, 0}; }
Message SysDown(WPARAM key) { return {WM_SYSKEYDOWN, key, 0}; }
Message SysUp(WPARAM key) { return {WM_SYSKEYUP, key, 0}; }

// Keys as the window receives them after translation. Script words: +Key and -Key press and release
// (an underscore for a blank in the name), *Key taps, 'text is typed text.
struct Typing {
  const char* name;
  const char* script;
  std::vector<Message> messages;
};

void PrintTo(const Typing& typing, std::ostream* out) { *out << typing.name; }

class InputKeys : public InputTest, public testing::WithParamInterface<Typing> {};

TEST_P(InputKeys, AreTranslatedToKeyAndCharacterMessages) {
  std::istringstream script(GetParam().script);
  for (std::string word; script >> word;) {
    std::string name = word.substr(1);
    std::replace(name.begin(), name.end(), '_', ' ');
    if (word[0] == '+' || word[0] == '-') plat::inject::Key(name, word[0] == '+');
    if (word[0] == '*') plat::inject::Tap(name);
    if (word[0] == '\'') plat::inject::Text(name);
  }
  EXPECT_EQ(Drain(), GetParam().messages) << GetParam().script;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, InputKeys,
    testing::Values(Typing{"ShiftedLetter",
                           "+Left_Shift +A 'A -A -Left_Shift",
                           {Down(VK_SHIFT), Down('A'), Char('A'), Up('A'), Up(VK_SHIFT)}},
                    // Ctrl with a letter gives the control character SDL does not report.
                    Typing{"CtrlWithALetter",
                           "+Left_Ctrl *V -Left_Ctrl",
                           {Down(VK_CONTROL), Down('V'), Char(22), Up('V'), Up(VK_CONTROL)}},
                    // Alt+Enter is a system key without a character.
                    Typing{"AltEnter",
                           "+Left_Alt *Return -Left_Alt",
                           {SysDown(VK_MENU), SysDown(VK_RETURN), SysUp(VK_RETURN), SysUp(VK_MENU)}},
                    // Alt with a letter gives a system character; Ctrl+Alt+D is no system key.
                    Typing{"AltWithALetter",
                           "+Left_Alt +R 'r -R +Left_Ctrl *D -Left_Ctrl -Left_Alt",
                           {SysDown(VK_MENU), SysDown('R'), Message{WM_SYSCHAR, 'r', 0}, SysUp('R'), Down(VK_CONTROL),
                            Down('D'), Up('D'), Up(VK_CONTROL), SysUp(VK_MENU)}},
                    // F10 is a system key; the editing keys give control characters.
                    Typing{"F10AndEditingKeys",
                           "*F10 *Backspace *Tab",
                           {SysDown(VK_F10), SysUp(VK_F10), Down(VK_BACK), Char(8), Up(VK_BACK), Down(VK_TAB), Char(9),
                            Up(VK_TAB)}},
                    Typing{"ReturnAndEscape",
                           "*Return *Escape",
                           {Down(VK_RETURN), Char(13), Up(VK_RETURN), Down(VK_ESCAPE), Char(27), Up(VK_ESCAPE)}},
                    // Text arrives in the eight-bit code page: é € 漢.
                    Typing{
                        "TextInTheCodePage", "'\xC3\xA9\xE2\x82\xAC\xE6\xBC\xA2", {Char(0xE9), Char(0x80), Char('?')}}),
    testing::PrintToStringParamName());

TEST_F(InputTest, KeyMessagesCarryTheRepeatCountScanCodeAndStateBits) {
  plat::inject::Key("A", true);
  plat::inject::Key("A", false);
  plat::inject::Key("Left Alt", true);
  plat::inject::Tap("Return");
  plat::inject::Key("Left Alt", false);
  std::vector<Message> got = Drain();
  ASSERT_EQ(got.size(), 6u);
  EXPECT_EQ(got[0].lParam & 0xFFFF, 1) << "repeat count";
  EXPECT_EQ((got[0].lParam >> 16) & 0xFF, 0x1E) << "scan code of A";
  EXPECT_TRUE(static_cast<DWORD>(got[1].lParam) & 0xC0000000u) << "release bits";
  EXPECT_TRUE(got[3].lParam & (1 << 29)) << "context bit: Alt held";
}

TEST_F(InputTest, AutoRepeatSetsThePreviousStateBit) {
  plat::inject::Key("Left", true);
  plat::inject::Key("Left", true, true);
  plat::inject::Key("Left", false);
  std::vector<Message> got = Drain();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(VK_LEFT));
  EXPECT_FALSE(got[0].lParam & (1 << 30));
  EXPECT_TRUE(got[1].lParam & (1 << 30));
  EXPECT_TRUE(got[0].lParam & (1 << 24)) << "arrows are extended keys";
}

TEST_F(InputTest, ClicksGiveButtonMessagesAndTheSecondClickIsADoubleClick) {
  plat::inject::MouseButton(1, true, 10, 20, 1);
  plat::inject::MouseButton(1, false, 10, 20, 1);
  plat::inject::MouseButton(1, true, 10, 20, 2);
  plat::inject::MouseButton(1, false, 10, 20, 2);
  plat::inject::MouseButton(3, true, 11, 21, 1);
  plat::inject::MouseButton(3, false, 11, 21, 1);
  plat::inject::MouseButton(2, true, 12, 22, 1);
  plat::inject::MouseButton(2, false, 12, 22, 1);
  std::vector<Message> got = Drain();
  std::vector<Message> expected{
      {WM_LBUTTONDOWN, MK_LBUTTON, 0}, {WM_LBUTTONUP, 0, 0}, {WM_LBUTTONDBLCLK, MK_LBUTTON, 0}, {WM_LBUTTONUP, 0, 0},
      {WM_RBUTTONDOWN, MK_RBUTTON, 0}, {WM_RBUTTONUP, 0, 0}, {WM_MBUTTONDOWN, MK_MBUTTON, 0},   {WM_MBUTTONUP, 0, 0}};
  EXPECT_EQ(got, expected);
  ASSERT_EQ(got.size(), 8u);
  EXPECT_EQ(GET_X_LPARAM(got[2].lParam), 10);
  EXPECT_EQ(GET_Y_LPARAM(got[2].lParam), 20);
}

TEST_F(InputTest, WheelDeltaIsInUnitsOf120) {
  plat::inject::Wheel(-2);
  plat::inject::Wheel(1);
  std::vector<Message> got = Drain();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, WM_MOUSEWHEEL);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(got[0].wParam), -240);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(got[1].wParam), 120);
}

TEST_F(InputTest, OutsideTheClientAreaOnlyACapturedWindowHearsTheMouse) {
  plat::inject::MouseMove(-5, -7);
  EXPECT_TRUE(Drain().empty());
  SetCapture(mWindow);
  plat::inject::MouseMove(-5, 700);
  std::vector<Message> got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(GET_X_LPARAM(got[0].lParam), -5);
  EXPECT_EQ(GET_Y_LPARAM(got[0].lParam), 700);
}

TEST_F(InputTest, PointerPositionFollowsTheMouseInScreenCoordinates) {
  plat::inject::MouseMove(30, 40);
  Drain();
  POINT point;
  ASSERT_TRUE(GetCursorPos(&point));
  RECT client;
  ASSERT_TRUE(plat::GetClientRectOnScreen(mWindow, &client));
  EXPECT_EQ(point.x, client.left + 30);
  EXPECT_EQ(point.y, client.top + 40);
  EXPECT_EQ(WindowFromPoint(point), mWindow);
  plat::inject::Window(WindowChange::Leave);
  Drain();
  EXPECT_EQ(WindowFromPoint(point), nullptr);
}

TEST_F(InputTest, FocusLossAndGainAreActivationMessages) {
  plat::inject::Window(WindowChange::FocusLost);
  plat::inject::Window(WindowChange::FocusLost);  // repeated: no second message
  std::vector<Message> got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], (Message{WM_ACTIVATEAPP, FALSE, 0}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  plat::inject::Window(WindowChange::FocusGained);
  got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], (Message{WM_ACTIVATEAPP, TRUE, 0}));
  EXPECT_EQ(GetActiveWindow(), mWindow);
}

// A click on the window while another program is active activates it first and is then delivered, as
// on Windows, where the application hears of its activation before the press.
TEST_F(InputTest, AClickOnTheInactiveWindowActivatesItBeforeThePress) {
  plat::inject::Window(WindowChange::FocusLost);
  Drain();
  ASSERT_EQ(GetActiveWindow(), nullptr);
  plat::inject::MouseButton(1, true, 10, 20);
  plat::inject::MouseButton(1, false, 10, 20);
  std::vector<Message> expected{{WM_ACTIVATEAPP, TRUE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON, 0}, {WM_LBUTTONUP, 0, 0}};
  EXPECT_EQ(Drain(), expected);
  EXPECT_EQ(GetActiveWindow(), mWindow);
  // Once active, a click is only a click.
  plat::inject::MouseButton(1, true, 10, 20);
  plat::inject::MouseButton(1, false, 10, 20);
  EXPECT_EQ(Drain(), (std::vector<Message>{{WM_LBUTTONDOWN, MK_LBUTTON, 0}, {WM_LBUTTONUP, 0, 0}}));
}

// The same on a real X server: under a window manager the focus arrives with the press (SDL would
// drop such a press unless told otherwise); without one nothing moves the focus, and the click takes it.
class ActivatingClick : public InputTest, public testing::WithParamInterface<bool> {};

TEST_P(ActivatingClick, IsDeliveredOnceAfterTheActivation) {
  if (!testsupport::InRealWindowRun("KIT_ACTIVATING_CLICK_XVFB_CHILD")) return;
  const bool underWindowManager = GetParam();
  SDL_Window* sdl = plat::SdlWindowOf(mWindow);
  testsupport::XOtherWindow other;
  ASSERT_TRUE(other.Ready());
  std::vector<Message> got;
  const auto pumpUntil = [&](const std::function<bool()>& done) {
    return testsupport::PollUntil(done, [&] {
      std::vector<Message> more = Drain();
      got.insert(got.end(), more.begin(), more.end());
      std::this_thread::yield();
    });
  };
  other.GiveFocusTo(sdl);
  ASSERT_TRUE(pumpUntil([&] { return GetActiveWindow() == mWindow; }));
  other.TakeFocus();
  ASSERT_TRUE(pumpUntil([&] { return GetActiveWindow() == nullptr; }));
  got.clear();

  other.Click(sdl, 320, 240, underWindowManager);
  ASSERT_TRUE(pumpUntil([&] {
    return std::any_of(got.begin(), got.end(),
                       [](const Message& m) { return m.message == WM_MOUSEMOVE && GET_X_LPARAM(m.lParam) == 321; });
  }));
  std::vector<Message> activationAndButtons;
  std::copy_if(got.begin(), got.end(), std::back_inserter(activationAndButtons), [](const Message& m) {
    return m.message == WM_ACTIVATEAPP || m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONUP;
  });
  std::vector<Message> expected{{WM_ACTIVATEAPP, TRUE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON, 0}, {WM_LBUTTONUP, 0, 0}};
  EXPECT_EQ(activationAndButtons, expected);
  EXPECT_EQ(GetActiveWindow(), mWindow);
  // The keys follow the click.
  EXPECT_TRUE(pumpUntil([&] { return other.FocusIsOn(sdl); }));
}

INSTANTIATE_TEST_SUITE_P(Window, ActivatingClick, testing::Bool(), [](const testing::TestParamInfo<bool>& info) {
  return std::string(info.param ? "UnderAWindowManager" : "WithoutAWindowManager");
});

TEST_F(InputTest, FocusLossReleasesHeldKeys) {
  plat::inject::Key("Left Alt", true);
  plat::inject::Window(WindowChange::FocusLost);
  Drain();
  EXPECT_GE(GetKeyState(VK_MENU), 0);
  plat::inject::Window(WindowChange::FocusGained);
  plat::inject::Key("Left Alt", false);  // keep the injector's modifiers in step
  Drain();
}

TEST_F(InputTest, MinimiseAndRestoreBySystemGiveSizeMessages) {
  plat::inject::Window(WindowChange::Minimised);
  std::vector<Message> got = Drain();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got[0], (Message{WM_SIZE, SIZE_MINIMIZED, 0}));
  EXPECT_TRUE(IsIconic(mWindow));
  plat::inject::Window(WindowChange::Restored);
  got = Drain();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got[0], (Message{WM_SIZE, SIZE_RESTORED, 0}));
  EXPECT_EQ(got[0].lParam, MAKELPARAM(640, 480));
}

TEST_F(InputTest, MovingTheWindowReportsTheNewClientOrigin) {
  plat::inject::Window(WindowChange::Moved, 300, 250);
  std::vector<Message> got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, WM_MOVE);
  EXPECT_EQ(got[0].lParam, MAKELPARAM(300, 250));
  RECT rect;
  GetWindowRect(mWindow, &rect);
  EXPECT_EQ(rect.left, 300);
  EXPECT_EQ(rect.right, 940);
}

TEST_F(InputTest, ExposureAsksForOnePaint) {
  plat::inject::Window(WindowChange::Exposed);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
  EXPECT_EQ(msg.hwnd, mWindow);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) << "unpainted, it comes again";
  EXPECT_EQ(msg.message, WM_PAINT);
  DispatchMessage(&msg);  // the default procedure paints (validates)
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
}

TEST_F(InputTest, CloseButtonAndTerminationBothAskTheWindowToClose) {
  plat::inject::Window(WindowChange::Close);
  plat::inject::Quit();  // SDL's follow-up to the last window's close: not a second request
  std::vector<Message> got = Drain();
  std::vector<Message> expected{{WM_SYSCOMMAND, SC_CLOSE, 0}, {WM_CLOSE, 0, 0}};
  EXPECT_EQ(got, expected);
  plat::inject::Quit();
  got = Drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, WM_CLOSE);
  EXPECT_TRUE(IsWindow(mWindow));
}

TEST_F(InputTest, AltF4ClosesThroughTheDefaultProcedure) {
  plat::inject::Key("Left Alt", true);
  plat::inject::Tap("F4");
  plat::inject::Key("Left Alt", false);
  std::vector<Message> got = Drain();
  bool closed = false;
  for (const Message& m : got) closed |= m.message == WM_CLOSE;
  EXPECT_TRUE(closed);
}

// The cursor thread reads the pointer while input moves it: it must never pair the new x with the
// old y. Far outside every window, so no warp reaches SDL.
TEST(PointerPosition, IsReadAsOnePairWhileAnotherThreadMovesIt) {
  SetCursorPos(99999, -99999);
  std::atomic<bool> done{false};
  std::thread mover([&done] {
    for (int step = 0; step < 200000; ++step) SetCursorPos(100000 + step, -100000 - step);
    done = true;
  });
  int torn = 0;
  while (!done) {
    POINT point{};
    GetCursorPos(&point);
    if (point.x != -point.y) ++torn;
  }
  mover.join();
  POINT last{};
  ASSERT_TRUE(GetCursorPos(&last));
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(last.x, 100000 + 199999);
  EXPECT_EQ(last.y, -100000 - 199999);
  SetCursorPos(0, 0);
}

}  // namespace
