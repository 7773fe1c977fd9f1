// The whole game as a player goes through it, on its generated data, headless: a new player is named,
// starts a game from the main menu through the help screen and the scene select, clears the first level
// with the autopilot and quits at the level-complete screen; started again, the game offers to continue
// at the second level, where every life is lost, the game-over screen leads to the score table and back
// to the menu. What each run leaves in the player's files is checked between the runs. Both runs are
// recorded, and each recording plays back, where no player has been, to the same end: the same picture,
// the same bytes handed to every file write (which a playback does not carry out) and nothing on disk.
// Started at a first start with a level on the command line, the game asks for the name before the level,
// and the level's progress and score are the named player's.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "framework/widget/Dialog.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/EditWidget.h"
#include "game/front/EnterNameDialog.h"
#include "game/front/HelpScreen.h"
#include "game/front/HighScoreDialog.h"
#include "game/front/LevelCompleteScreen.h"
#include "game/front/MainMenuScreen.h"
#include "game/front/MessageDialogs.h"
#include "game/front/ProfileStore.h"
#include "game/front/SceneSelectScreen.h"
#include "game/play/GameApp.h"
#include "game/play/PlayField.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/files/ReplacedFilesLog.h"
#include "platform/win/input/InputInjector.h"
#include "tests/support/FileContents.h"
#include "tests/support/WholeGame.h"
#include "tests/support/WidgetTreeHash.h"

namespace {

enum class Plan { kClearFirstLevel, kLoseEveryLife };

// What a run did, as the player noted it.
struct SessionOutcome {
  bool finished = false;
  int playedScene = 0, playedLevel = 0;
  bool sawLevelComplete = false, sawGameOver = false;
  bool askedForNameBeforePlay = false, playedWithoutPlayer = false;
  int updates = 0;
  std::uint64_t finalFrame = 0;
  std::map<std::string, std::string> written;  // the last bytes written to each file
  std::size_t settingsWrites = 0;              // of the settings file
};

// A player of the whole game: answers whatever screen or dialog is up through queued input, one action
// every kActionGapTicks, and steers (or, to lose, keeps the paddle away from the ball); it notes what
// happened and ends the run once its plan is done.
class SessionGame : public testsupport::HeadlessGame {
 public:
  static constexpr int kActionGapTicks = 20;
  static constexpr int kAwayX = 20;     // the paddle waits here while the ball falls
  static constexpr int kLaunchX = 700;  // far from kAwayX

  SessionGame(Plan plan, const std::string& demo, bool record) : mPlan(plan) {
    mDemoFileName = demo;
    mRecordingDemoBuffer = record;
    mPlayingDemoBuffer = !record;
  }
  void UpdateFrames() override {
    HeadlessGame::UpdateFrames();
    if (mQuit || mShutdownRequested) return;
    Observe();
    if (mUpdateCount >= kMaxTicks) Shutdown();
    if (!mOutcome.finished && mRecordingDemoBuffer) Act();
  }
  bool WriteBytesToFile(const std::string& path, const std::uint8_t* data, int length) override {
    mOutcome.written[path].assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
    return HeadlessGame::WriteBytesToFile(path, data, length);
  }

  SessionOutcome mOutcome;

 private:
  void Observe() {
    if (GetDialog(kEnterNameDialogId) != nullptr && mOutcome.playedLevel == 0) mOutcome.askedForNameBeforePlay = true;
    if (mPlayField != nullptr && gProfileStore.mCurrentProfile == nullptr) mOutcome.playedWithoutPlayer = true;
    if (mPlayField != nullptr) mOutcome.playedScene = mScene, mOutcome.playedLevel = mLevel;
    if (mGameOverScreen != nullptr) mOutcome.sawGameOver = true;
    const bool levelCompleteWaits =
        mLevelCompleteScreen != nullptr && mLevelCompleteScreen->mState == LevelCompleteScreen::kWaiting;
    if (levelCompleteWaits) mOutcome.sawLevelComplete = true;
    const bool backAtMenu = mOutcome.sawGameOver && mGameOverScreen == nullptr && GetDialogCount() == 0;
    if ((mPlan == Plan::kClearFirstLevel && levelCompleteWaits) || (mPlan == Plan::kLoseEveryLife && backAtMenu))
      Finish();
  }
  void Finish() {
    mOutcome.finished = true;
    mOutcome.finalFrame = testsupport::HashWidgetTree(*this);
    Shutdown();
  }
  void Act() {
    if (mPlayField != nullptr) {
      Play();
      return;
    }
    if (mUpdateCount - mLastActionTick < kActionGapTicks) return;
    mLastActionTick = mUpdateCount;
    if (auto* name = dynamic_cast<EnterNameDialog*>(GetDialog(kEnterNameDialogId))) {
      name->mEdit->mText.empty() ? (void)plat::inject::Text("Anna") : testsupport::ClickOn(*name->mOkButton);
    } else if (Kit::Dialog* question = GetDialog(kMessageDialogId)) {
      testsupport::ClickOn(*question->mYesButton);
    } else if (Kit::Dialog* table = GetDialog(kHighScoreDialogId)) {
      testsupport::ClickOn(*table->mYesButton);
    } else if (mHelpScreen != nullptr) {
      testsupport::ClickOn(*mHelpScreen->mOkButton);
    } else if (mSceneSelectScreen != nullptr && mSceneSelectScreen->mState == SceneSelectScreen::kWaiting) {
      testsupport::ClickOn(*mSceneSelectScreen->mButtons.Find(SceneSelectScreen::kFirstSceneButton));
    } else if (mMainMenuScreen != nullptr && mLevelStartScreen == nullptr && mSceneSelectScreen == nullptr &&
               mGameOverScreen == nullptr && mLevelCompleteScreen == nullptr) {
      testsupport::ClickOn(*mMainMenuScreen->mButtons.Find(MainMenuScreen::kPlayButton));
    }
  }
  void Play() {
    const bool waiting = mPlayField->mState == PlayField::kBallOnPaddle;
    const testsupport::PointerInput toLose{waiting ? kLaunchX : kAwayX, waiting && mUpdateCount % 50 == 0};
    testsupport::InjectPointer(mPlan == Plan::kClearFirstLevel ? mPilot.Steer(*mPlayField) : toLose);
  }

  Plan mPlan;
  testsupport::Autopilot mPilot;
  int mLastActionTick = 0;
};

// A player's folder and registry of their own, so that a replay starts as the recording did.
class PlayerHome {
 public:
  explicit PlayerHome(const std::filesystem::path& root) : mRegistry((root / "registry").string()) {
    std::filesystem::create_directories(root / "player");
    plat::SetSearchFolders((root / "player").string(), testsupport::GameDataFolder().string());
  }
  ~PlayerHome() { plat::SetSearchFolders("", ""); }

 private:
  plat::ScopedRegistryFile mRegistry;
};

enum class Run { kRecord, kPlayBack };

SessionOutcome RunSession(Plan plan, const std::string& demo, Run run) {
  const plat::ScopedReplacedFilesLog replaced;
  SessionGame game(plan, demo, run == Run::kRecord);
  game.Init();
  game.Start();
  game.mOutcome.updates = game.mUpdateCount;
  game.mOutcome.settingsWrites = replaced.ReplacedAt(plat::RegistryStore::Instance().File()).size();
  return game.mOutcome;
}

std::string PlayerFile() { return testsupport::ReadFileContents(plat::MapPath(kPlayerFilePath)); }

using WholeGame = testsupport::WholeGameTest;

TEST_F(WholeGame, ANewPlayerClearsALevelContinuesAfterARestartLosesEveryLifeAndBothRunsReplay) {
  const Plan plans[] = {Plan::kClearFirstLevel, Plan::kLoseEveryLife};
  const std::string demos[] = {mHome / "first.dmo", mHome / "second.dmo"};
  SessionOutcome recorded[2];
  {
    PlayerHome home(mHome.Path() / "recorded");
    const SessionOutcome& first = recorded[0] = RunSession(plans[0], demos[0], Run::kRecord);
    ASSERT_TRUE(first.finished) << "the first level was not cleared";
    EXPECT_EQ(first.playedScene, 1);
    EXPECT_EQ(first.playedLevel, 1);
    ASSERT_NE(gProfileStore.mCurrentProfile, nullptr);
    EXPECT_EQ(gProfileStore.mCurrentProfile->mName, "Anna");
    EXPECT_EQ(gProfileStore.mCurrentProfile->mProgress, "1000000000") << "saved as the level-complete screen came";
    EXPECT_EQ(gProfileStore.mCurrentProfile->mSavedLevel, 1);
    const std::string afterFirst = PlayerFile();
    EXPECT_NE(afterFirst.find("1000000000"), std::string::npos) << "the player file holds the progress";
    EXPECT_EQ(first.written.at(kPlayerFilePath), afterFirst);
    // At the start "InProgress", then the 3D self-test's results together, then the help screen's first
    // choice; at the end the settings together.
    EXPECT_EQ(first.settingsWrites, 4u);

    const SessionOutcome& second = recorded[1] = RunSession(plans[1], demos[1], Run::kRecord);
    ASSERT_TRUE(second.finished) << "the second run did not end at the menu after game over";
    EXPECT_EQ(second.playedScene, 1);
    EXPECT_EQ(second.playedLevel, 2) << "the saved game continues at the next level";
    EXPECT_TRUE(second.sawGameOver);
    EXPECT_FALSE(second.sawLevelComplete);
    const std::string scores = testsupport::ReadFileContents(plat::MapPath(kScoreFilePath));
    EXPECT_NE(scores.find("Anna"), std::string::npos) << "the score table holds the player";
    EXPECT_EQ(second.written.at(kScoreFilePath), scores);
    EXPECT_EQ(PlayerFile(), afterFirst) << "a lost level changes no progress";
    EXPECT_EQ(second.settingsWrites, 2u) << "\"InProgress\" and the settings: the rest stands as stored";
  }

  PlayerHome home(mHome.Path() / "replayed");
  for (int run = 0; run < 2; ++run) {
    const SessionOutcome replayed = RunSession(plans[run], demos[run], Run::kPlayBack);
    EXPECT_TRUE(replayed.finished) << "run " << run;
    EXPECT_EQ(replayed.updates, recorded[run].updates) << "run " << run;
    EXPECT_EQ(replayed.finalFrame, recorded[run].finalFrame) << "run " << run;
    EXPECT_EQ(replayed.written, recorded[run].written) << "run " << run;
    EXPECT_EQ(replayed.settingsWrites, 0u) << "run " << run;
  }
  EXPECT_FALSE(std::filesystem::exists(mHome.Path() / "replayed" / "player" / "userdata"))
      << "a playback leaves the player's files alone";
  for (const auto& box : mBoxes.Shown()) ADD_FAILURE() << "message box: " << box.text;
}

// "-level=1_1" at a first start: the name comes first, and what the level earns is the named player's, the
// progress of a cleared level as the score of a lost game.
TEST_F(WholeGame, ALevelNamedOnTheCommandLineAtTheFirstStartIsPlayedByTheNamedPlayer) {
  for (const Plan plan : {Plan::kClearFirstLevel, Plan::kLoseEveryLife}) {
    const bool clear = plan == Plan::kClearFirstLevel;
    PlayerHome home(mHome.Path() / (clear ? "cleared" : "lost"));
    SessionGame game(plan, mHome / (clear ? "cleared.dmo" : "lost.dmo"), true);
    game.mStartScene = 1;
    game.mStartLevel = 1;
    game.Init();
    game.Start();
    const SessionOutcome& run = game.mOutcome;
    ASSERT_TRUE(run.finished) << (clear ? "the level was not cleared" : "the game did not end at the menu");
    EXPECT_TRUE(run.askedForNameBeforePlay);
    EXPECT_FALSE(run.playedWithoutPlayer);
    EXPECT_EQ(run.playedScene, 1);
    EXPECT_EQ(run.playedLevel, 1);
    ASSERT_NE(gProfileStore.mCurrentProfile, nullptr);
    EXPECT_EQ(gProfileStore.mCurrentProfile->mName, "Anna");
    if (clear) {
      EXPECT_EQ(gProfileStore.mCurrentProfile->mProgress, "1000000000");
      EXPECT_NE(PlayerFile().find("1000000000"), std::string::npos) << "the player file holds the progress";
    } else {
      const std::string scores = testsupport::ReadFileContents(plat::MapPath(kScoreFilePath));
      EXPECT_NE(scores.find("Anna"), std::string::npos) << "the score is the player's";
      EXPECT_EQ(scores.find("player"), std::string::npos);
    }
  }
  for (const auto& box : mBoxes.Shown()) ADD_FAILURE() << "message box: " << box.text;
}

}  // namespace
