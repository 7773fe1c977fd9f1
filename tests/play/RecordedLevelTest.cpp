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

namespace {

// The game's data folder: beside the program, one level above the test programs.
std::filesystem::path DataFolder() { return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path(); }

bool HasGeneratedData() { return std::filesystem::exists(DataFolder() / "properties" / "resources.xml"); }

// The game's single objects as they are when the program starts (the background draws its pauses from
// the generator as it stands before the entry function).
void ResetGameObjects() {
  gActorScene.Reset();
  gObjectLibrary.Reset();
  gGlyphFont.Reset();
  gProfileStore = ProfileStore();
  gEndGameFrameCount = 0;
  ResetResourceIds();
  std::srand(1);
  gBackgroundAnim = BackgroundAnim();
}

// Plays the first level of the first scene; while recording, steers the paddle under the ball.
class AutopilotGame : public GameApp {
 public:
  static constexpr int kMaxTicks = 60000;  // ten minutes of game time
  static constexpr int kDrawEveryTicks = 50;
  static constexpr int kLaunchX = 380;  // a little off the middle, where no brick column waits

  AutopilotGame(const std::string& demoPath, bool record) {
    ResetGameObjects();
    mCmdLineParsed = true;
    mOnlyAllowOneCopyToRun = false;
    mStartScene = 1;
    mStartLevel = 1;
    mDifficulty = 3;  // the fastest ball: the shortest game
    mDemoFileName = demoPath;
    mRecordingDemoBuffer = record;
    mPlayingDemoBuffer = !record;
  }
  bool ChangeDirHook(const char*) override { return true; }  // the test runs in the data folder
  // Drawing changes nothing in the game, and the final picture is drawn afresh for its checksum: most
  // frames are left out to keep the run short.
  bool DrawFrame() override {
    if (mUpdateCount % kDrawEveryTicks == 0) return GameApp::DrawFrame();
    mHasPendingDraw = false;
    return false;
  }

  // Runs until the second level stands ready after the first was cleared and the level-complete screen's
  // button was pressed.
  void UpdateFrames() override {
    GameApp::UpdateFrames();
    if (mPlayField != nullptr && mPlayField->mState == PlayField::kLevelCleared && !mCleared) {
      mCleared = true;
      mFinalScore = mScore;
    } else if (mCleared && mLevelCompleteScreen != nullptr &&
               mLevelCompleteScreen->mState == LevelCompleteScreen::kWaiting && mRecordingDemoBuffer) {
      PressNextLevel();
    } else if (mCleared && mPlayField != nullptr && mPlayField->mState == PlayField::kReady) {
      mNextLevelBricks = static_cast<int>(gActorScene.mBricks.size());
      mFinalFrame = testsupport::HashWidgetTree(*this);
      Shutdown();
    } else if (mUpdateCount >= kMaxTicks) {
      Shutdown();
    } else if (mRecordingDemoBuffer) {
      Steer();
    }
  }

  bool mCleared = false;
  int mNextLevelBricks = 0;
  int mFinalScore = -1;
  std::uint64_t mFinalFrame = 0;

 private:
  // Keeps the paddle under the ball, off its centre by as much as sends the ball back up towards the lowest
  // brick still standing (the paddle turns an offset into an angle); a click launches a waiting ball.
  void Steer() {
    Actor* ball = mPlayField != nullptr ? mPlayField->FindBall() : nullptr;
    Actor* paddle = mPlayField != nullptr ? mPlayField->FindPaddle() : nullptr;
    if (ball == nullptr || paddle == nullptr) return;
    const float ballX = ball->mX + ball->mRadius;
    const Actor* target = LowestBrick();
    float offset = 0.0f;
    if (target != nullptr) {
      const float across = target->mX + target->mWidth * 0.5f - ballX;
      const float up = paddle->mY - (target->mY + target->mHeight);
      const float angle = -std::atan2(across, up);
      offset = std::clamp(angle / (mPaddleAngleFactor * 0.45f), -0.8f, 0.8f);
    }
    if (mPlayField->mState == PlayField::kBallOnPaddle) {
      plat::inject::MouseMove(kLaunchX, 500);
      if (mUpdateCount % 50 == 0) {
        plat::inject::MouseButton(1, true, kLaunchX, 500);
        plat::inject::MouseButton(1, false, kLaunchX, 500);
      }
      return;
    }
    plat::inject::MouseMove(static_cast<int>(ballX + offset * paddle->mWidth * 0.5f), 500);
  }

  // The level-complete screen's button, pressed once its panel has arrived.
  void PressNextLevel() {
    const Kit::Widget* next = mLevelCompleteScreen->mButtons.Find(LevelCompleteScreen::kNextButton);
    const int x = next->mX + next->mWidth / 2, y = next->mY + next->mHeight / 2;
    plat::inject::MouseMove(x, y);
    plat::inject::MouseButton(1, true, x, y);
    plat::inject::MouseButton(1, false, x, y);
  }

  static const Actor* LowestBrick() {
    const Actor* lowest = nullptr;
    for (const Actor* brick : gActorScene.mBricks)
      if (brick->mAlive && IsTargetBrick(*brick) && (lowest == nullptr || brick->mY > lowest->mY)) lowest = brick;
    return lowest;
  }
};

class RecordedLevel : public testing::Test {
 protected:
  RecordedLevel() : mRegistry(mHome / "registry"), mFolder(DataFolder()) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    // A display at 100 Hz: one tick per refresh, whole milliseconds apart on the fake clock.
    setenv("KIT_DESKTOP_REFRESH", "100", 1);
    setenv("XDG_DATA_HOME", (mHome / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (mHome / "config").c_str(), 1);
  }
  void SetUp() override {
    if (!HasGeneratedData()) GTEST_SKIP() << "no generated data beside the program";
  }

  testsupport::TempDir mHome;
  plat::ScopedRegistryFile mRegistry;
  testsupport::ScopedCurrentFolder mFolder;
  plat::FakeClock mClock;
  plat::ScopedClock mScopedClock{mClock};
  plat::ScopedMessageBoxScript mBoxes{{}};
};

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
