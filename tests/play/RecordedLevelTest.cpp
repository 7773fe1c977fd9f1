// The whole game on its generated data, headless on a fake clock: it starts, loads on its loading thread,
// and a test autopilot plays the first level by moving the mouse under the ball until the level is
// cleared, while the input is recorded as a demo. The demo then replays the same game to the same score
// and the same picture. Start-up itself must show no message box and bind every resource id.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/resource/ResourceManager.h"
#include "game/front/LevelCompleteScreen.h"
#include "game/front/ProfileStore.h"
#include "game/play/Actor.h"
#include "game/play/ActorScene.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/Board.h"
#include "game/play/GameApp.h"
#include "game/play/GlyphFont.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"
#include "platform/win/InputInjector.h"
#include "platform/win/MessageBox.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/Threads.h"
#include "platform/win/Time.h"
#include "tests/support/DemoReplay.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/WholeGame.h"

namespace {

// Plays the first level of the first scene; while recording, steers the paddle under the ball.
class AutopilotGame : public testsupport::HeadlessGame {
 public:
  AutopilotGame(const std::string& demoPath, bool record) {
    mStartScene = 1;
    mStartLevel = 1;
    mDemoFileName = demoPath;
    mRecordingDemoBuffer = record;
    mPlayingDemoBuffer = !record;
  }

  // Runs until the second level stands ready after the first was cleared and the level-complete screen's
  // button was pressed.
  void UpdateFrames() override {
    HeadlessGame::UpdateFrames();
    if (mPlayField != nullptr && mPlayField->mState == PlayField::kLevelCleared && !mCleared) {
      mCleared = true;
      mFinalScore = mScore;
    } else if (mCleared && mLevelCompleteScreen != nullptr &&
               mLevelCompleteScreen->mState == LevelCompleteScreen::kWaiting && mRecordingDemoBuffer) {
      testsupport::ClickOn(*mLevelCompleteScreen->mButtons.Find(LevelCompleteScreen::kNextButton));
    } else if (mCleared && mPlayField != nullptr && mPlayField->mState == PlayField::kReady) {
      mNextLevelBricks = static_cast<int>(gActorScene.mBricks.size());
      mFinalFrame = testsupport::HashWidgetTree(*this);
      Shutdown();
    } else if (mUpdateCount >= kMaxTicks) {
      Shutdown();
    } else if (mRecordingDemoBuffer) {
      testsupport::SteerPaddleUnderBall(*this);
    }
  }

  bool mCleared = false;
  int mNextLevelBricks = 0;
  int mFinalScore = -1;
  std::uint64_t mFinalFrame = 0;
};

using RecordedLevel = testsupport::WholeGameTest;

TEST_F(RecordedLevel, StartUpCountsEveryGameResourceAndBindsEveryIdWithoutAMessageBox) {
  AutopilotGame game(mHome / "startup.dmo", true);
  game.Init();
  ASSERT_FALSE(game.mQuit);
  EXPECT_NE(game.mLoadingScreen, nullptr);
  const int total = game.mResourceManager->GetNumResources("Game");
  EXPECT_EQ(game.mNumLoadingThreadTasks, total);
  game.LoadingThreadProc();
  EXPECT_EQ(game.mCompletedLoadingThreadTasks, total) << "the progress reaches the whole group exactly";
  EXPECT_FALSE(game.mShutdownRequested);
  for (int id = 0; id < kResourceIdCount; ++id) {
    const std::string name = GetResourceNameById(id);
    if (!name.starts_with("SOUND_")) {  // sound ids start at 0
      EXPECT_NE(GetResourceById(id), 0) << name;
    }
  }
  EXPECT_TRUE(mBoxes.Shown().empty());
}

TEST_F(RecordedLevel, AnAutopilotClearsTheFirstLevelAndItsDemoReplaysToTheSameScoreAndPicture) {
  const std::string demo = mHome / "level.dmo";
  int score = -1;
  std::uint64_t frame = 0;
  int ticks = 0;
  {
    AutopilotGame game(demo, true);
    game.Init();
    game.Start();
    ASSERT_TRUE(game.mCleared) << "not cleared in " << game.mUpdateCount << " ticks, score " << game.mScore;
    EXPECT_GT(game.mNextLevelBricks, 0) << "the next level comes with its bricks";
    score = game.mFinalScore;
    frame = game.mFinalFrame;
    ticks = game.mUpdateCount;
  }
  AutopilotGame replay(demo, false);
  replay.Init();
  replay.Start();
  EXPECT_TRUE(replay.mCleared);
  EXPECT_EQ(replay.mUpdateCount, ticks);
  EXPECT_EQ(replay.mFinalScore, score);
  EXPECT_EQ(replay.mFinalFrame, frame);
  EXPECT_GT(score, 0);
  EXPECT_TRUE(mBoxes.Shown().empty());
}

}  // namespace
