// Steering a played demo with the keys, on the loop test application and a stopped clock; and the
// playback dialogs.
#include <gtest/gtest.h>

#include <functional>

#include "framework/app/DemoPlaybackControls.h"
#include "framework/app/DemoStream.h"
#include "platform/win/Controls.h"
#include "platform/win/Dialogs.h"
#include "platform/win/InputInjector.h"
#include "platform/win/Registry.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/Time.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/Window.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestWindow.h"

namespace {

class PlaybackControlsTest : public testing::Test {
 protected:
  PlaybackControlsTest() : mScoped(mClock) {
    Kit::DemoFile file;
    file.mEndUpdate = 10000;
    mStream.StartPlayback(file);
    mApp.mDemoStream = &mStream;
    mApp.ResetTiming(false);
  }
  ~PlaybackControlsTest() override { mApp.mDemoStream = nullptr; }

  void Type(char character) { mApp.HandleWindowMessage(mApp.mHWnd, WM_CHAR, static_cast<WPARAM>(character), 0); }

  plat::FakeClock mClock;
  plat::ScopedClock mScoped;
  Kit::DemoStream mStream;
  apptest::LoopApp mApp;
};

// Jump keys aim at a time before the end; speed keys scale the multiplier and '=' resets it; neither
// does anything while no demo plays.
TEST_F(PlaybackControlsTest, JumpAndSpeedKeys) {
  mApp.mDemoStream = nullptr;
  Type('9');
  Type('+');
  EXPECT_EQ(mApp.mDemoJumpTarget, 0);
  EXPECT_EQ(mApp.mUpdateMultiplier, 1.0);
  mApp.mDemoStream = &mStream;
  const struct {
    char key;
    int target;
    double multiplier;
  } cases[] = {{'0', 10000, 1},    {'9', 9500, 1},    {'8', 9000, 1},    {'7', 7000, 1},
               {'6', 4000, 1},     {'5', 1000, 1},    {'4', -2000, 1},   {'+', -2000, 1.5},
               {'+', -2000, 2.25}, {'-', -2000, 1.5}, {'=', -2000, 1.0}, {'-', -2000, 2.0 / 3.0}};
  for (const auto& c : cases) {
    Type(c.key);
    EXPECT_EQ(mApp.mDemoJumpTarget, c.target) << c.key;
    EXPECT_NEAR(mApp.mUpdateMultiplier, c.multiplier, 1e-12) << c.key;
  }
  mApp.mUpdateCount = 5000;  // a target behind the current update does nothing
  mApp.mPlaybackPaused = true;
  mApp.Process(true);
  EXPECT_EQ(mApp.mUpdateCount, 5000);
  EXPECT_FALSE(mApp.IsMuted());
}

TEST_F(PlaybackControlsTest, AJumpRunsTheUpdatesMutedAndStopsAtTheTarget) {
  Type('9');
  bool mutedThroughout = true;
  mApp.mBusy.mOnUpdate = [&] { mutedThroughout = mutedThroughout && mApp.IsMuted(); };
  mApp.mUpdateState = 1;
  EXPECT_TRUE(mApp.Process(true));
  // No time passed on the stopped clock: the whole jump ran in one step, and then paced ticks resume.
  EXPECT_EQ(mApp.mBusy.mTicks, 9500);
  EXPECT_TRUE(mutedThroughout);
  EXPECT_FALSE(mApp.mDemoFastForward);
  EXPECT_FALSE(mApp.IsMuted());
}

TEST_F(PlaybackControlsTest, AJumpReplaysTheRecordsOnItsWay) {
  Kit::DemoStream recording;
  recording.StartRecording();
  recording.RecordCommand(0, Kit::DEMO_LOADING_COMPLETED);
  recording.RecordKey(50, Kit::DEMO_KEY_DOWN, 'A');
  recording.RecordKey(70, Kit::DEMO_KEY_UP, 'A');
  mStream.StartPlayback(recording.MakeFile(0, "", 10000));
  Type('9');
  for (int pass = 0; pass < 100 && mApp.mUpdateCount < 9500; ++pass) mApp.UpdateAppStep(nullptr);
  EXPECT_EQ(mApp.mUpdateCount, 9500);
  EXPECT_TRUE(mStream.Exhausted());
}

TEST_F(PlaybackControlsTest, SingleStepWhilePausedRunsOneUpdateAndDrawsIt) {
  Type('p');
  ASSERT_TRUE(mApp.mPlaybackPaused);
  mApp.Cycle();
  mApp.Cycle();
  EXPECT_EQ(mApp.mUpdateCount, 0) << "paused, yet every pass pumps input again";
  const int draws = mApp.mDrawCount;
  Type('n');
  mApp.Process(true);
  EXPECT_EQ(mApp.mUpdateCount, 1);
  EXPECT_EQ(mApp.mDrawCount, draws + 1);
  EXPECT_FALSE(mApp.IsMuted()) << "a single step is not muted";
  mApp.Process(true);
  EXPECT_EQ(mApp.mUpdateCount, 1);
  Type('P');
  EXPECT_FALSE(mApp.mPlaybackPaused);
}

TEST_F(PlaybackControlsTest, RunToEndShowsAboutOneFrameASecond) {
  Type('m');
  mApp.mBusy.mOnUpdate = [this] { mClock.AdvanceMillis(1); };
  const int draws = mApp.mDrawCount;
  mApp.Process(true);
  EXPECT_EQ(mApp.mUpdateCount, 1000);
  EXPECT_EQ(mApp.mDrawCount, draws + 1);
  EXPECT_TRUE(mApp.mDemoRunToEnd);
}

TEST_F(PlaybackControlsTest, SoundKeyTwiceRestoresBothVolumes) {
  mApp.SetMusicVolume(0.4);
  mApp.SetSfxVolume(0.7);
  Type('s');
  EXPECT_EQ(mApp.GetMusicVolume(), 0.0);
  EXPECT_EQ(mApp.GetSfxVolume(), 0.0);
  Type('S');
  EXPECT_DOUBLE_EQ(mApp.GetMusicVolume(), 0.4);
  EXPECT_DOUBLE_EQ(mApp.GetSfxVolume(), 0.7);
}

TEST(JumpTime, FieldsCombineLeftToRight) {
  const struct {
    const char* text;
    int seconds;
  } cases[] = {{"90", 90}, {"1:30", 90}, {"1:00:05", 3605}, {"x:10", 10}, {"", 0}, {"2:", 120}};
  for (const auto& c : cases) EXPECT_EQ(Kit::ParseJumpTime(c.text), c.seconds) << c.text;
  EXPECT_EQ(Kit::JumpTargetForTime(10000, Kit::ParseJumpTime("1:30"), 10), 10000 - 9100);
}

TEST(MarkerList, ShowsOnlyMarkersAheadWithTheTimeLeft) {
  const std::vector<Kit::DemoMarker> markers = {{"start", 50}, {"boss", 400}, {"here", 100}, {"end", 9999}};
  const auto lines = Kit::MarkerListLines(markers, 100, 370000, 10);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].mText, "boss (01:01:36)");
  EXPECT_EQ(lines[0].mUpdateCount, 400);
  EXPECT_EQ(lines[1].mText, "end (01:00:00)");
}

// The Marker List and Jump To Time dialogs answered by injected input, over a test window.
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

// The lines themselves are MarkerListLines' (MarkerList above): "first", then "second".
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
