// The controls driven by input as a user makes it: device events injected into SDL become window
// messages in the layer, and a window procedure hands them to the widget manager as the application's
// does. Typing over a selection, the clipboard keys, double clicks and the wheel go the whole way.
#include <gtest/gtest.h>

#include "framework/widget/EditWidget.h"
#include "framework/widget/ListWidget.h"
#include "framework/widget/ScrollbarWidget.h"
#include "platform/win/InputInjector.h"
#include "platform/win/SdlWindow.h"
#include "platform/win/Windows.h"
#include "tests/controls/ControlsTestSupport.h"

namespace ControlsTest {
namespace {

Kit::WidgetManager* gTarget = nullptr;

LRESULT CALLBACK ForwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (gTarget != nullptr) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
      case WM_KEYDOWN:
        gTarget->KeyDown(static_cast<int>(wParam));
        return 0;
      case WM_KEYUP:
        gTarget->KeyUp(static_cast<int>(wParam));
        return 0;
      case WM_CHAR:
        gTarget->KeyChar(static_cast<char>(wParam));
        return 0;
      case WM_MOUSEMOVE:
        gTarget->MouseMoveEntry(x, y);
        return 0;
      case WM_LBUTTONDOWN:
        gTarget->MouseDown(x, y, 1);
        return 0;
      case WM_LBUTTONDBLCLK:
        gTarget->MouseDown(x, y, 2);
        return 0;
      case WM_LBUTTONUP:
        gTarget->MouseUp(x, y, 1);
        return 0;
      case WM_MOUSEWHEEL:
        gTarget->MouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
      default:
        break;
    }
  }
  return DefWindowProc(window, message, wParam, lParam);
}

class InjectedInput : public ControlsFixture {
 protected:
  void SetUp() override {
    WNDCLASS windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = ForwardingProc;
    windowClass.lpszClassName = "ControlsInputWindow";
    RegisterClass(&windowClass);
    mWindow = CreateWindowEx(0, "ControlsInputWindow", "controls", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(plat::SdlWindowOf(mWindow), nullptr);
    mApp.mHWnd = mWindow;
    Pump();
    gTarget = &mManager;

    mEdit.Resize(10, 10, 200, 20);
    mList.mScrollbar = &mBar;
    mList.Resize(10, 50, 120, 108);
    mBar.ResizeScrollbar(130, 50, 16, 108);
    for (int i = 0; i < 30; ++i) mList.AddLine("line " + std::to_string(i), false);
    for (Kit::Widget* widget :
         {static_cast<Kit::Widget*>(&mEdit), static_cast<Kit::Widget*>(&mList), static_cast<Kit::Widget*>(&mBar)})
      mManager.AddWidget(widget);
  }
  void TearDown() override {
    gTarget = nullptr;
    ControlsFixture::TearDown();
    ReleaseCapture();
    DestroyWindow(mWindow);
    Pump();
  }
  void Pump() {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  void TypeText(const std::string& text) {
    for (char c : text) {
      const std::string key = c == ' ' ? "Space" : std::string(1, static_cast<char>(std::toupper(c)));
      plat::inject::Key(key, true);
      plat::inject::Text(std::string(1, c));
      plat::inject::Key(key, false);
    }
    Pump();
  }
  void WithKeyHeld(const char* modifier, const char* key, int times = 1) {
    plat::inject::Key(modifier, true);
    for (int i = 0; i < times; ++i) plat::inject::Tap(key);
    plat::inject::Key(modifier, false);
    Pump();
  }
  void Click(int x, int y, int clicks = 1) {
    plat::inject::MouseMove(x, y);
    plat::inject::MouseButton(1, true, x, y, clicks);
    plat::inject::MouseButton(1, false, x, y, clicks);
    Pump();
  }

  HWND mWindow = nullptr;
  EditEvents mEditEvents;
  Kit::EditWidget mEdit{1, &mEditEvents};
  KitTest::BlockFont mFont;
  ListEvents mListEvents;
  Kit::ListWidget mList{2, &mFont, &mListEvents};
  Kit::ScrollbarWidget mBar{3, &mList};
};

TEST_F(InjectedInput, TypingOverASelectionCutAndPaste) {
  Click(100, 20);
  ASSERT_EQ(mManager.mFocusWidget, &mEdit);
  TypeText("hello world 7");
  EXPECT_EQ(mEdit.mText, "hello world 7");
  plat::inject::Tap("Home");
  WithKeyHeld("Left Shift", "Right", 5);
  TypeText("2");  // a digit's key press comes before its character
  EXPECT_EQ(mEdit.mText, "2 world 7");
  WithKeyHeld("Left Shift", "End");
  WithKeyHeld("Left Ctrl", "X");
  EXPECT_EQ(mEdit.mText, "2");
  EXPECT_EQ(mApp.GetClipboard(), " world 7");
  plat::inject::Tap("Home");
  WithKeyHeld("Left Ctrl", "V");
  EXPECT_EQ(mEdit.mText, " world 72");
  WithKeyHeld("Left Ctrl", "Z");
  EXPECT_EQ(mEdit.mText, "2");
}

TEST_F(InjectedInput, ADoubleClickSelectsTheWordUnderThePointer) {
  Click(100, 20);
  TypeText("hello world");
  Click(10 + 6 * 8 + 2, 20);
  Click(10 + 6 * 8 + 2, 20, 2);
  EXPECT_EQ(mEdit.mAnchor, 6);
  EXPECT_EQ(mEdit.mCaret, 11);
}

TEST_F(InjectedInput, TheWheelAndTheArrowScrollTheFocusedList) {
  Click(60, 55);  // a press on line 0: reported, the list takes no focus of its own
  EXPECT_EQ(mListEvents.log.back(), "clicked 2 0 1");
  mManager.SetFocus(&mList);
  plat::inject::MouseMove(60, 60);
  plat::inject::Wheel(-1);
  Pump();
  EXPECT_DOUBLE_EQ(mList.mScrollPos, 5);
  plat::inject::Wheel(1);
  Pump();
  EXPECT_DOUBLE_EQ(mList.mScrollPos, 0);
  Click(138, 50 + 108 - 4);
  EXPECT_DOUBLE_EQ(mList.mScrollPos, 1);
}

}  // namespace
}  // namespace ControlsTest
