// The screens around a level, ticked one by one on the front end's bench: their slides and timers, what
// they record in the player's files, and where each leads.
#include <gtest/gtest.h>

#include <ostream>

#include "framework/graphics/MemoryImage.h"
#include "framework/widget/Checkbox.h"
#include "framework/widget/EditWidget.h"
#include "game/front/EnterNameDialog.h"
#include "game/front/GameOverScreen.h"
#include "game/front/HighScoreDialog.h"
#include "game/front/LevelCompleteScreen.h"
#include "game/front/LevelStartScreen.h"
#include "game/front/MessageDialogs.h"
#include "game/front/OptionsDialog.h"
#include "game/front/SceneSelectScreen.h"
#include "game/front/Screens.h"
#include "platform/win/registry/RegistryStore.h"
#include "tests/drawing/DrawingDoubles.h"
#include "tests/front/FrontTestSupport.h"

namespace {

using FrontTest::FrontFixture;

class Screens : public FrontFixture {
 protected:
  void AddPlayer(const std::string& progress, int savedScene = 0, int savedLevel = 0) {
    gProfileStore.AddProfile("Anna");
    gProfileStore.SelectProfile("Anna");
    gProfileStore.mCurrentProfile->mProgress = progress;
    gProfileStore.mCurrentProfile->mSavedScene = savedScene;
    gProfileStore.mCurrentProfile->mSavedLevel = savedLevel;
    gProfileStore.mCurrentProfile->mSavedScore = 500;
    gProfileStore.mCurrentProfile->mSavedLives = 4;
  }
  template <class Screen>
  void Tick(Screen*& screen, int ticks) {
    for (int i = 0; i < ticks && screen != nullptr; ++i) screen->Update();
  }
};

// A player at level 5 of scene 1 completes a level. The store's own rules (progress never lowered, at
// least three lives saved) are tested with the store.
struct LevelEnd {
  bool custom;
  int level;
  const char* progressAfter;  // recorded as the screen appears
  int levelAfter;
  bool nextLevelStarts, sceneSelectOpens;
};

TEST_F(Screens, LevelCompleteRecordsProgressAsItAppearsAndLeadsToTheNextLevelTheSceneSelectOrTheMenu) {
  AddPlayer("5000000000");
  for (const LevelEnd& c : {LevelEnd{false, 7, "7000000000", 8, true, false},
                            LevelEnd{false, 10, ":000000000", kSceneFinished, false, true},
                            LevelEnd{true, 9, "5000000000", 9, false, false}}) {
    gProfileStore.mCurrentProfile->mProgress = "5000000000";
    mApp.mCustomLevel = c.custom, mApp.mScene = 1, mApp.mLevel = c.level, mApp.mLives = 3;
    LevelCompleteScreen* screen = OpenScreen(&mApp, mApp.mLevelCompleteScreen);
    EXPECT_EQ(gProfileStore.mCurrentProfile->mProgress, c.progressAfter) << c.level;
    screen->Advance();
    EXPECT_EQ(mApp.mLevel, c.levelAfter) << c.level;
    EXPECT_EQ(mApp.mLevelStartScreen != nullptr, c.nextLevelStarts) << c.level;
    EXPECT_EQ(mApp.mSceneSelectScreen != nullptr && mApp.mSceneSelectScreen->mAfterFinishedScene, c.sceneSelectOpens);
    CloseScreen(&mApp, mApp.mLevelStartScreen);
    CloseScreen(&mApp, mApp.mSceneSelectScreen);
    CloseScreen(&mApp, mApp.mLevelCompleteScreen);
  }
}

TEST_F(Screens, TheLevelCompleteButtonWaitsForThePanel) {
  LevelCompleteScreen* screen = OpenScreen(&mApp, mApp.mLevelCompleteScreen);
  Tick(mApp.mLevelCompleteScreen, 21);  // 5 pixels a tick from 800 to 690
  EXPECT_TRUE(screen->mNextButton->mDisabled);
  Tick(mApp.mLevelCompleteScreen, 1);
  EXPECT_EQ(screen->mState, LevelCompleteScreen::kWaiting);
  EXPECT_FALSE(screen->mNextButton->mDisabled);
}

// A level without bricks could never be lost or won: on every road into it the player is told why it is
// not played, and it never counts as cleared.
struct LevelWithoutBricks {
  const char* name;
  const char* fileBytes;  // null: no file at all
  std::size_t size;
  const char* message;
};

void PrintTo(const LevelWithoutBricks& level, std::ostream* out) { *out << level.name; }

class UnplayableLevel : public Screens, public testing::WithParamInterface<LevelWithoutBricks> {
 protected:
  void WriteLevel(const std::string& programPath) {
    if (GetParam().fileBytes != nullptr) Put(programPath, std::string(GetParam().fileBytes, GetParam().size));
  }
};

TEST_P(UnplayableLevel, TheLevelStartTellsWhyAndLeavesForTheMenu) {
  AddPlayer("0000000000");
  mApp.mScene = 9, mApp.mLevel = 9;
  WriteLevel("data\\level9_9.vel");
  mApp.QueueAnswer(kMessageDialogId, Kit::kIdOk);
  OpenLevelStart(&mApp);
  Tick(mApp.mLevelStartScreen, 5);
  EXPECT_EQ(mApp.mLevelStartScreen, nullptr);
  EXPECT_EQ(mApp.mPlayField, nullptr) << "no play field for a level without bricks";
  EXPECT_EQ(mApp.mShownTexts,
            std::vector<std::string>{"The level data\\level9_9.vel " + std::string(GetParam().message)});
  EXPECT_EQ(gProfileStore.mCurrentProfile->mProgress, "0000000000");
}

TEST_P(UnplayableLevel, ALevelNamedOnTheCommandLineIsRefusedAlike) {
  mApp.mStartLevelPath = "custom\\x.lvx";
  mApp.mCustomLevel = true;
  WriteLevel(mApp.mStartLevelPath);
  mApp.QueueAnswer(kMessageDialogId, Kit::kIdOk);
  mApp.StartLevel();
  EXPECT_EQ(mApp.mPlayField, nullptr);
  EXPECT_EQ(mApp.mShownTexts, std::vector<std::string>{"The level custom\\x.lvx " + std::string(GetParam().message)});
}

// At the first start the name comes before the level; refused then, the level leaves the named player at
// the menu.
TEST_P(UnplayableLevel, ALevelNamedOnTheCommandLineAtTheFirstStartIsRefusedAfterTheNameAndLeavesTheMenu) {
  mApp.mStartLevelPath = "custom\\x.lvx";
  WriteLevel(mApp.mStartLevelPath);
  mApp.LoadGameData();
  EXPECT_TRUE(mApp.mShownTexts.empty()) << "nothing is loaded before the player is named";
  auto* nameDialog = dynamic_cast<EnterNameDialog*>(mApp.GetDialog(kEnterNameDialogId));
  ASSERT_NE(nameDialog, nullptr) << "no player yet: the name is asked for";
  EXPECT_EQ(nameDialog->mMode, EnterNameDialog::kNewPlayer);
  mApp.QueueAnswer(kMessageDialogId, Kit::kIdOk);
  nameDialog->mEdit->SetText("Anna");
  nameDialog->ButtonDepress(EnterNameDialog::kOkButton);
  EXPECT_EQ(mApp.mShownTexts, std::vector<std::string>{"The level custom\\x.lvx " + std::string(GetParam().message)});
  ASSERT_NE(mApp.mMainMenuScreen, nullptr);
  EXPECT_EQ(mApp.mPlayField, nullptr);
  EXPECT_EQ(mApp.GetDialog(kEnterNameDialogId), nullptr);
  ASSERT_NE(gProfileStore.mCurrentProfile, nullptr);
  EXPECT_EQ(gProfileStore.mCurrentProfile->mName, "Anna");
}

INSTANTIATE_TEST_SUITE_P(Files, UnplayableLevel,
                         testing::Values(LevelWithoutBricks{"NoFile", nullptr, 0, "could not be read."},
                                         LevelWithoutBricks{"HalfABackground", "\1\0", 2, "could not be read."},
                                         // background 1, no objects
                                         LevelWithoutBricks{"NoBricks", "\1\0\0\0\0\0\0\0", 8, "has no bricks."}),
                         testing::PrintToStringParamName());

TEST_F(Screens, TheGameOverTableOpensInTheSixHundredThirtyEighthTickAfterTheScoreWasRecorded) {
  mApp.mScore = 77;
  GameOverScreen* screen = OpenScreen(&mApp, mApp.mGameOverScreen);
  ASSERT_FALSE(gProfileStore.mScores.empty()) << "recorded as the screen appears";
  EXPECT_EQ(gProfileStore.mScores.front()->mScore, 77);
  const int startLeft = screen->mLeftX;
  Tick(mApp.mGameOverScreen, 637);
  EXPECT_EQ(screen->mRightX, GameOverScreen::kMeetingX);
  EXPECT_EQ(screen->mLeftX, startLeft + 240);
  EXPECT_EQ(mApp.GetDialog(kHighScoreDialogId), nullptr);
  Tick(mApp.mGameOverScreen, 1);
  EXPECT_NE(mApp.GetDialog(kHighScoreDialogId), nullptr);
  mApp.GetDialog(kHighScoreDialogId)->ButtonDepress(Kit::kIdOk);
  EXPECT_EQ(mApp.mGameOverScreen, nullptr) << "closing the table takes the screen away";
}

// Only the table a lost game opened ends the game-over screen; one opened just to look leaves it be.
TEST_F(Screens, TheTableOpenedToViewItLeavesTheGameOverScreenWhereItIs) {
  OpenScreen(&mApp, mApp.mGameOverScreen);
  OpenHighScoreDialog(&mApp, 205, HighScoreDialog::kViewMode)->ButtonDepress(Kit::kIdOk);
  EXPECT_EQ(mApp.GetDialog(kHighScoreDialogId), nullptr) << "Ok closes the table";
  EXPECT_NE(mApp.mGameOverScreen, nullptr);
}

TEST_F(Screens, SceneSelectSlidesInForThirtyTicksAndContinuesASavedGame) {
  AddPlayer("3000000000", 2, 4);
  mApp.QueueAnswer(kMessageDialogId, Kit::kIdYes);
  SceneSelectScreen* screen = OpenScreen(&mApp, mApp.mSceneSelectScreen);
  Tick(mApp.mSceneSelectScreen, 29);
  EXPECT_EQ(screen->mState, SceneSelectScreen::kSlidingIn);
  EXPECT_TRUE(screen->mButtons.Find(SceneSelectScreen::kBackButton)->mDisabled);
  Tick(mApp.mSceneSelectScreen, 1);
  EXPECT_EQ(screen->mState, SceneSelectScreen::kSlidingOutToLevel) << "the offer was accepted";
  EXPECT_EQ(mApp.mScene, 2);
  EXPECT_EQ(mApp.mLevel, 5);
  EXPECT_EQ(mApp.mScore, 500);
  EXPECT_EQ(mApp.mLives, 4);
}

// Only a saved game inside the ten scenes and levels counts: a damaged one is neither offered nor
// restored (no question is scripted, so an offer fails the test).
TEST_F(Screens, ASavedGameOutsideTheTenScenesIsNeitherOfferedNorRestored) {
  AddPlayer("3000000000");
  for (const auto& [scene, level] : {std::pair{0, 5}, std::pair{11, 5}, std::pair{-3, 5}, std::pair{11, 10}}) {
    gProfileStore.mCurrentProfile->mSavedScene = scene;
    gProfileStore.mCurrentProfile->mSavedLevel = level;
    mApp.mScore = 0;
    SceneSelectScreen* screen = OpenScreen(&mApp, mApp.mSceneSelectScreen);
    Tick(mApp.mSceneSelectScreen, 30);
    EXPECT_EQ(screen->mState, SceneSelectScreen::kWaiting) << scene << "/" << level;
    EXPECT_EQ(mApp.mScore, 0) << scene << "/" << level;
    CloseScreen(&mApp, mApp.mSceneSelectScreen);
  }
  EXPECT_TRUE(mApp.mShownTexts.empty());
}

// A progress string cut short counts the missing scenes as not begun: "0/10" under each of them.
TEST_F(Screens, SceneSelectShowsNoLevelDoneForScenesMissingFromTheProgress) {
  AddPlayer("3:");
  drawingtest::FixedFont font;
  FONT_LEVELTEXT = &font;
  SceneSelectScreen* screen = OpenScreen(&mApp, mApp.mSceneSelectScreen);
  Tick(mApp.mSceneSelectScreen, 30);
  drawingtest::RecordingImage picture(800, 600);
  Kit::Graphics g(&picture);
  screen->Draw(&g);
  std::vector<std::string> texts;
  for (const auto& drawn : font.drawn) texts.push_back(drawn.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"3/10", "10/10", "0/10", "0/10", "0/10", "0/10", "0/10", "0/10", "0/10",
                                             "0/10"}));
  FONT_LEVELTEXT = nullptr;
}

TEST_F(Screens, TheBackButtonSlidesThePanelOutAndLeavesTheMenuUnderneath) {
  SceneSelectScreen* screen = OpenScreen(&mApp, mApp.mSceneSelectScreen);
  Tick(mApp.mSceneSelectScreen, 30);
  screen->ButtonDepress(SceneSelectScreen::kBackButton);
  EXPECT_TRUE(screen->mButtons.Find(0)->mDisabled) << "a second click does nothing";
  Tick(mApp.mSceneSelectScreen, 30);
  EXPECT_EQ(screen->mState, SceneSelectScreen::kLeavingForMenu);
  Tick(mApp.mSceneSelectScreen, 1);
  EXPECT_EQ(mApp.mSceneSelectScreen, nullptr);
  EXPECT_EQ(mApp.mLevelStartScreen, nullptr);
}

TEST_F(Screens, OptionsActAsOneDifficultyChoiceAndKeepTheHelpChoiceInTheRegistry) {
  plat::ScopedRegistryFile registry(mFolder / "registry");
  Kit::MemoryImage checkbox, track, thumb;
  checkbox.Create(20, 10), track.Create(100, 8), thumb.Create(10, 10);
  IMAGE_CHECKBOX = &checkbox, IMAGE_SLIDER_TRACK = &track, IMAGE_SLIDER_THUMB = &thumb;
  OptionsDialog* options = OpenOptionsDialog(&mApp, 105);
  EXPECT_TRUE(options->Box(OptionsDialog::kNormalCheckbox)->IsChecked()) << "difficulty 2 at the start";
  options->Box(OptionsDialog::kNormalCheckbox)->SetChecked(false);
  EXPECT_TRUE(options->Box(OptionsDialog::kNormalCheckbox)->IsChecked()) << "the chosen level stays chosen";
  options->Box(OptionsDialog::kHardCheckbox)->SetChecked(true);
  EXPECT_FALSE(options->Box(OptionsDialog::kNormalCheckbox)->IsChecked());
  options->Box(OptionsDialog::kShowHelpCheckbox)->SetChecked(false);
  EXPECT_TRUE(mApp.mShowHelp) << "nothing changes before Ok";
  options->ButtonDepress(Kit::kIdOk);
  EXPECT_EQ(mApp.mDifficulty, 3);
  EXPECT_FALSE(mApp.mShowHelp);
  bool stored = true;
  EXPECT_TRUE(mApp.RegistryReadBoolean("ShowHelp", &stored));
  EXPECT_FALSE(stored);
  EXPECT_EQ(mApp.GetDialog(kOptionsDialogId), nullptr) << "Ok closes the dialog";
}

}  // namespace
