// Steering a played demo with the keys, on the loop test application and a stopped clock.
#include <gtest/gtest.h>

#include "framework/app/DemoPlaybackControls.h"
#include "framework/app/DemoStream.h"
#include "platform/win/Time.h"
#include "tests/app/AppTestSupport.h"

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

TEST_F(PlaybackControlsTest, ATargetBehindTheCurrentUpdateDoesNothing) {
  mApp.mUpdateCount = 5000;
  Type('4');
  mApp.mPlaybackPaused = true;
  mApp.Process(true);
  EXPECT_EQ(mApp.mUpdateCount, 5000);
  EXPECT_FALSE(mApp.IsMuted());
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

}  // namespace
