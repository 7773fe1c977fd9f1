// The whole game on its generated data, headless on a fake clock: it starts, loads on its loading thread,
// and a test autopilot plays the first level by moving the mouse under the ball until the level is
// cleared, while the input is recorded as a demo. The demo then replays the same game to the same score
// and the same picture. Start-up itself must show no message box and bind every resource id.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/resource/ResourceManager.h"
#include "game/front/ProfileStore.h"
#include "game/play/ActorScene.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/GlyphFont.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/Actor.h"
#include "game/play/GameApp.h"
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

  AutopilotGame(const std::string& demoPath, bool record) {
    ResetGameObjects();
    mCmdLineParsed = true;
    mOnlyAllowOneCopyToRun = false;
    mStartScene = 1;
    mStartLevel = 1;
    mDemoFileName = demoPath;
    mRecordingDemoBuffer = record;
    mPlayingDemoBuffer = !record;
  }
  bool ChangeDirHook(const char*) override { return true; }  // the test runs in the data folder

  void UpdateFrames() override {
    GameApp::UpdateFrames();
    if (mPlayField != nullptr && mPlayField->mState == PlayField::kLevelCleared) {
      mCleared = true;
      mFinalScore = mScore;
      mFinalFrame = testsupport::HashWidgetTree(*this);
      Shutdown();
    } else if (mUpdateCount >= kMaxTicks) {
      Shutdown();
    } else if (mRecordingDemoBuffer) {
      Steer();
    }
  }

  bool mCleared = false;
  int mFinalScore = -1;
  std::uint64_t mFinalFrame = 0;

 private:
  // Under the ball, a little off its centre by a lean that changes now and then, so that the paddle sends
  // the ball up at changing angles; a click launches a ball that waits on the paddle.
  void Steer() {
    Actor* ball = mPlayField != nullptr ? mPlayField->FindBall() : nullptr;
    if (ball == nullptr) return;
    const int lean = (mUpdateCount / 700 % 5 - 2) * 12;
    const int x = static_cast<int>(ball->mX + ball->mRadius) + lean;
    plat::inject::MouseMove(x, 500);
    if (mPlayField->mState == PlayField::kBallOnPaddle && mUpdateCount % 50 == 0) {
      plat::inject::MouseButton(1, true, x, 500);
      plat::inject::MouseButton(1, false, x, 500);
    }
  }
};

class RecordedLevel : public testing::Test {
 protected:
  RecordedLevel() : mRegistry(mHome / "registry"), mFolder(DataFolder()) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
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

TEST_F(RecordedLevel, StartUpBindsEveryResourceWithoutAMessageBox) {
  AutopilotGame game(mHome / "startup.dmo", true);
  game.Init();
  ASSERT_FALSE(game.mQuit);
  game.mResourceManager->StartLoadResources("Game");
  while (game.mResourceManager->LoadNextResource()) {
  }
  ASSERT_TRUE(ExtractGameResources(game.mResourceManager.get())) << game.mResourceManager->GetErrorText();
  for (int id = 0; id < kResourceIdCount; ++id) EXPECT_NE(GetResourceById(id), 0) << GetResourceNameById(id);
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
