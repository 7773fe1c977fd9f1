// The Marker List and Jump To Time dialogs answered by injected input, over a test window.
#include <gtest/gtest.h>

#include <functional>

#include "framework/app/DemoStream.h"
#include "platform/win/Controls.h"
#include "platform/win/Dialogs.h"
#include "platform/win/InputInjector.h"
#include "platform/win/Registry.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/Window.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestWindow.h"

namespace {

std::function<void(HWND)> gAnswer;

// Answers the dialog that is open once its window exists.
void AnswerOpenDialog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND dialog = GetActiveWindow();
  plat::inject::SetTargetWindow(dialog);
  gAnswer(dialog);
}

class PlaybackDialogsTest : public testing::Test {
 protected:
  PlaybackDialogsTest() : mRegistry(mFolder / "registry") {
    mApp.mHWnd = testsupport::CreateTestWindow("PlaybackDialogs", "Playback", 0, 0, 320, 240);
    mApp.mRegKey = "Quarvel\\Test";
    mApp.RegistryWriteInteger("Runs", 1);  // the key exists as in a game that saved its settings
    Kit::DemoFile file;
    file.mEndUpdate = 10000;
    file.mMarkers = {{"passed", 10}, {"first", 2000}, {"second", 5000}};
    mStream.StartPlayback(file);
    mApp.mDemoStream = &mStream;
    mApp.mUpdateCount = 100;
  }
  ~PlaybackDialogsTest() override {
    mApp.mDemoStream = nullptr;
    plat::inject::SetTargetWindow(nullptr);
    DestroyWindow(mApp.mHWnd);
    mApp.mHWnd = nullptr;
  }
  void Answer(std::function<void(HWND)> answer) {
    gAnswer = std::move(answer);
    SetTimer(nullptr, 0, 20, AnswerOpenDialog);
  }

  testsupport::TempDir mFolder;
  plat::ScopedRegistryFile mRegistry;
  Kit::DemoStream mStream;
  apptest::LoopApp mApp;
};

TEST_F(PlaybackDialogsTest, JumpToTimeTakesTheTypedTimeAndKeepsIt) {
  Answer([](HWND) {
    plat::inject::Text("1:30");
    plat::inject::Tap("Return");
  });
  mApp.HandleWindowMessage(mApp.mHWnd, WM_CHAR, 'j', 0);
  EXPECT_EQ(mApp.mDemoJumpTarget, 10000 - 9100);

  // The next opening offers the same text, selected, so that typing replaces it.
  std::string offered;
  Answer([&offered](HWND dialog) {
    char text[64] = {};
    GetDlgItemText(dialog, 100, text, sizeof(text));
    offered = text;
    plat::inject::Text("45");
    plat::inject::Tap("Return");
  });
  mApp.HandleWindowMessage(mApp.mHWnd, WM_CHAR, 'J', 0);
  EXPECT_EQ(offered, "1:30");
  EXPECT_EQ(mApp.mDemoJumpTarget, 10000 - 4600);
}

TEST_F(PlaybackDialogsTest, EitherDialogClosedByEscapeChangesNothing) {
  for (const char key : {'j', 'L'}) {
    Answer([](HWND) {
      plat::inject::Text("5");
      plat::inject::Tap("Escape");
    });
    mApp.HandleWindowMessage(mApp.mHWnd, WM_CHAR, key, 0);
    EXPECT_EQ(mApp.mDemoJumpTarget, 0) << key;
  }
}

// The lines themselves are MarkerListLines' (PlaybackControlsTest): "first", then "second".
TEST_F(PlaybackDialogsTest, MarkerListJumpsToTheDoubleClickedMarker) {
  Answer([](HWND dialog) {
    HWND list = GetDlgItem(dialog, 100);
    const int height = static_cast<int>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
    POINT point{5, height + height / 2};  // the second line
    ClientToScreen(list, &point);
    ScreenToClient(dialog, &point);
    plat::inject::MouseButton(1, true, point.x, point.y, 1);
    plat::inject::MouseButton(1, false, point.x, point.y, 1);
    plat::inject::MouseButton(1, true, point.x, point.y, 2);
    plat::inject::MouseButton(1, false, point.x, point.y, 2);
  });
  mApp.HandleWindowMessage(mApp.mHWnd, WM_CHAR, 'l', 0);
  EXPECT_EQ(mApp.mDemoJumpTarget, 5000);
}

TEST_F(PlaybackDialogsTest, DebugKeysReadTheLiveModifiersWhileADemoPlays) {
  plat::inject::Key("Left Shift", true);
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  mApp.DebugKeyDown(VK_F3);
  plat::inject::Key("Left Shift", false);
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  EXPECT_TRUE(mApp.mShowFPS);
  EXPECT_EQ(mApp.mFPSMode, 1) << "Shift+F3 picks the next overlay";
}

}  // namespace
