// Every screen and dialog of the game in a real window: the game, on its generated data, runs against a
// private Xvfb server with SDL's X11 driver, and a player goes through all of them, from the loading
// screen and the name asked at the first start to the score table after a lost game and the
// congratulation after a finished scene. Each is presented and read back from the X window and must show,
// at known places, the pixels of the pictures it draws there; a dialog shows its frame's own pixels below
// its last line, not the screen behind. Where QUARVEL_SHOTS_DIR is set, the level-complete, game-over and
// score-table shots are written there at half size (pictures for the README); where QUARVEL_TOUR_DIR is
// set, every shot is written there whole, to look at each screen. Skipped without Xvfb.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/graphics/Image.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/EditWidget.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/CustomLevelDialog.h"
#include "game/front/EnterNameDialog.h"
#include "game/front/GameOverScreen.h"
#include "game/front/HelpScreen.h"
#include "game/front/HighScoreDialog.h"
#include "game/front/InGameMenuDialog.h"
#include "game/front/LevelCompleteScreen.h"
#include "game/front/MainMenuScreen.h"
#include "game/front/MessageDialogs.h"
#include "game/front/OptionsDialog.h"
#include "game/front/PlayerSelectDialog.h"
#include "game/front/SceneSelectScreen.h"
#include "game/play/GameApp.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"
#include "platform/win/input/InputInjector.h"
#include "platform/win/window/SdlWindow.h"
#include "tests/screens/WindowShot.h"
#include "tests/support/ScopedSearchFolders.h"
#include "tests/support/WholeGame.h"
#include "tests/support/XWindowPixels.h"
#include "tests/support/XvfbServer.h"

namespace {

using testsupport::KnownPixel;

constexpr const char* kChildMark = "QUARVEL_TOUR_XVFB_CHILD";
const std::vector<std::string> kReadmeShots = {"levelcomplete", "gameover", "scores"};

// A pixel of a dialog's frame just above its bottom edge, in the middle: below every line and button.
KnownPixel FrameBottom(const Kit::Dialog& dialog) {
  Kit::Image* frame = dialog.mComponentImage;
  const int width = frame->GetWidth(), height = frame->GetHeight();
  const int bottom = dialog.mY + dialog.mHeight - dialog.mBackgroundInsets.mBottom;
  return {frame, dialog.mX + dialog.mWidth / 2 - width / 2, bottom - height, width / 2, height - 12};
}

// Goes through every screen and dialog as a player would, shooting each once it has settled: first the
// main menu's dialogs, then a game through the help screen and the scene select into a level, its
// in-game menu and the dialogs behind it, a cleared level, a lost one with its score table, the offer to
// continue and a finished scene. The cleared and lost ends are brought about on the play field.
class TourGame : public testsupport::HeadlessGame {
 public:
  static constexpr int kSettleTicks = 20;

  // Only the shots are drawn.
  bool DrawFrame() override {
    mHasPendingDraw = false;
    return false;
  }
  // Loading waits until the loading screen has been shot in the first tick.
  void LoadingThreadProc() override {
    mLoadingShot.wait(false);
    HeadlessGame::LoadingThreadProc();
  }
  void UpdateFrames() override {
    if (!mLoadingShot) {
      if (mLoadingScreen != nullptr) Shoot("loading", {{IMAGE_LOADER_LOGO, 0, 0, 40, 520}});
      mLoadingShot = true;
      mLoadingShot.notify_all();
    }
    HeadlessGame::UpdateFrames();
    if (mQuit || mShutdownRequested) return;
    if (mUpdateCount >= kMaxTicks) Shutdown();
    if (mUpdateCount - mLastStepTick < kSettleTicks) return;
    mLastStepTick = mUpdateCount;
    Step();
  }

  std::vector<std::string> mShot;

 private:
  // The shot must show the known pixels and, over a dialog, the frame's flat colour all along the row
  // below its last line and button, not the screen behind.
  void Shoot(const std::string& name, std::vector<KnownPixel> known, const Kit::Dialog* dialog = nullptr) {
    if (Shot(name)) return;
    mShot.push_back(name);
    mWidgetManager->MarkAllDirty();
    GameApp::DrawFrame();
    const testsupport::WindowShot shot{mWidth, mHeight,
                                       testsupport::ReadXWindowPixels(plat::SdlWindowOf(mHWnd), mWidth, mHeight)};
    ASSERT_FALSE(shot.argb.empty()) << name << ": the window could not be read";
    if (dialog != nullptr) {
      const KnownPixel bottom = FrameBottom(*dialog);
      known.push_back(bottom);
      const int rim = bottom.image->GetWidth() / 3;
      testsupport::ExpectOneColour(shot, name, bottom.top + bottom.y, dialog->mX + rim,
                                   dialog->mX + dialog->mWidth - rim);
    }
    testsupport::ExpectShows(shot, name, known);
    testsupport::WriteReadmeShot(shot, name, kReadmeShots);
    if (const char* tour = std::getenv("QUARVEL_TOUR_DIR"))
      testsupport::WriteWhole(shot, std::string(tour) + "/" + name + ".png");
  }
  bool Shot(const std::string& name) const { return std::find(mShot.begin(), mShot.end(), name) != mShot.end(); }

  void Step() {
    if (mMainMenuScreen == nullptr) return;
    if (AnswerDialog()) return;
    if (GetDialogCount() != 0) return;
    if (mGameOverScreen != nullptr) {
      const KnownPixel base{IMAGE_GAMEOVER_BASE, 0, 249, 10, 50};
      if (mGameOverScreen->mState == GameOverScreen::kFirstPause) Shoot("gameoverstart", {base});
      if (mGameOverScreen->mState == GameOverScreen::kSecondPause)
        Shoot("gameover", {base, {IMAGE_GAMEOVER_LEFT, mGameOverScreen->mLeftX, mGameOverScreen->mLeftY, 40, 20}});
      return;
    }
    if (mLevelCompleteScreen != nullptr) {
      if (mLevelCompleteScreen->mState != LevelCompleteScreen::kWaiting) return;
      const Kit::Widget& next = *mLevelCompleteScreen->mNextButton;
      Shoot(mLevel == 10 ? "scenecomplete" : "levelcomplete",
            {{IMAGE_NEXTLEVEL, LevelCompleteScreen::kPanelShownX, 538, 8, 30},
             {IMAGE_BTN_NEXTLEVEL_UP, next.mX, next.mY, 10, 12}});
      testsupport::ClickOn(next);
      return;
    }
    if (mLevelStartScreen != nullptr) {
      Shoot("levelstart", {{IMAGE_HINTBAR, 0, 0, 40, 4}});
      return;
    }
    if (mPlayField != nullptr) {
      if (mPlayField->mState == PlayField::kBallOnPaddle) Play();
      return;
    }
    if (mSceneSelectScreen != nullptr) {
      if (mSceneSelectScreen->mState != SceneSelectScreen::kWaiting) return;
      // A new game plays the first scene; after the finished scene the player goes back to the menu.
      const bool finished = Shot("scenefinished");
      Shoot(finished ? "sceneselectfinished" : "sceneselect",
            {{IMAGE_BTN_SCENE1_UP, 11, 62, 90, 30}, {IMAGE_PREV, 690, 538, 8, 30}});
      testsupport::ClickOn(*mSceneSelectScreen->mButtons.Find(finished ? SceneSelectScreen::kBackButton
                                                                       : SceneSelectScreen::kFirstSceneButton));
      return;
    }
    if (mHelpScreen != nullptr) {
      Shoot("help", {{IMAGE_HELP, 0, 0, 5, 5}});
      testsupport::ClickOn(*mHelpScreen->mOkButton);
      return;
    }
    AtMainMenu();
  }

  // Answers the dialog on top, when there is one, after shooting it.
  bool AnswerDialog() {
    if (auto* name = dynamic_cast<EnterNameDialog*>(GetDialog(kEnterNameDialogId))) {
      Shoot("entername", {}, name);
      name->mEdit->mText.empty() ? (void)plat::inject::Text("Anna") : testsupport::ClickOn(*name->mOkButton);
    } else if (auto* players = dynamic_cast<PlayerSelectDialog*>(GetDialog(kPlayerSelectDialogId))) {
      Shoot("playerselect", {}, players);
      testsupport::ClickOn(*players->mCancelButton);
    } else if (auto* custom = dynamic_cast<CustomLevelDialog*>(GetDialog(kCustomLevelDialogId))) {
      Shoot("customlevel", {}, custom);
      testsupport::ClickOn(*custom->mCancelButton);
    } else if (Kit::Dialog* message = GetDialog(kMessageDialogId)) {
      const std::string& text = message->mBodyText;
      const bool question = message->mNoButton != nullptr;
      Shoot(!question                    ? "scenefinished"
            : text.starts_with("Quit")   ? "quitquestion"
            : text.starts_with("Return") ? "returnquestion"
                                         : "continuequestion",
            {}, message);
      testsupport::ClickOn(question ? *message->mNoButton : *message->mYesButton);
    } else if (Kit::Dialog* options = GetDialog(kOptionsDialogId)) {
      Shoot(mPlayField != nullptr ? "ingameoptions" : "options", {}, options);
      testsupport::ClickOn(*options->mYesButton);
    } else if (Kit::Dialog* table = GetDialog(kHighScoreDialogId)) {
      Shoot(mGameOverScreen != nullptr ? "scores" : mPlayField != nullptr ? "ingamescores" : "highscores", {}, table);
      testsupport::ClickOn(*table->mYesButton);
    } else if (auto* menu = dynamic_cast<InGameMenuDialog*>(GetDialog(kInGameMenuDialogId))) {
      // Through the scores, the options and the question to leave, then back to the game.
      const int order[] = {InGameMenuDialog::kHighScoresButton, InGameMenuDialog::kOptionsButton,
                           InGameMenuDialog::kMainMenuButton, InGameMenuDialog::kResumeButton};
      Shoot("ingamemenu", {}, menu);
      testsupport::ClickOn(*menu->mButtons.Find(order[std::min(mInGameMenuVisits++, 3)]));
    } else {
      return false;
    }
    return true;
  }

  // The first level is paused and then cleared; the second is lost; the first again, taken for the
  // scene's tenth, finishes the scene.
  void Play() {
    if (!Shot("level")) Shoot("level", {{IMAGE_HINTBAR, 0, 0, 40, 4}});
    if (mInGameMenuVisits < 4) {
      plat::inject::Tap("Escape");
    } else if (!Shot("levelcomplete")) {
      mPlayField->mState = PlayField::kLevelCleared;
    } else if (!Shot("gameover")) {
      mPlayField->mState = PlayField::kGameOver;
    } else {
      mLevel = 10;
      mPlayField->mState = PlayField::kLevelCleared;
    }
  }

  // Opens each of the menu's dialogs in turn, then plays; after the finished scene the tour ends here.
  void AtMainMenu() {
    const int order[] = {MainMenuScreen::kSwitchPlayerButton, MainMenuScreen::kCustomLevelButton,
                         MainMenuScreen::kOptionsButton,      MainMenuScreen::kHighScoresButton,
                         MainMenuScreen::kQuitButton,         MainMenuScreen::kPlayButton};
    const Kit::Widget& play = *mMainMenuScreen->mButtons.Find(MainMenuScreen::kPlayButton);
    if (Shot("sceneselectfinished")) {
      Shoot("mainmenuagain", {{IMAGE_BTN_START_UP, play.mX, play.mY, 70, 10}});
      Shutdown();
      return;
    }
    Shoot("mainmenu", {{IMAGE_BTN_START_UP, play.mX, play.mY, 70, 10}, {IMAGE_MENU, 598, 0, 20, 300}});
    testsupport::ClickOn(*mMainMenuScreen->mButtons.Find(order[std::min(mMenuVisits++, 5)]));
  }

  std::atomic<bool> mLoadingShot{false};
  int mLastStepTick = 0;
  int mMenuVisits = 0;
  int mInGameMenuVisits = 0;
};

using ScreenShots = testsupport::WholeGameTest;

TEST_F(ScreenShots, EveryScreenAndDialogShowsItsPicturesInARealWindow) {
  if (!testsupport::InRealWindowRun(kChildMark)) return;
  setenv("SDL_VIDEODRIVER", "x11", 1);
  const testsupport::ScopedSearchFolders folders = PlayerAndGameFolders();
  {
    TourGame game;
    game.Init();
    game.Start();
    EXPECT_EQ(game.mShot, (std::vector<std::string>{"loading",        "entername",     "mainmenu",
                                                    "playerselect",   "customlevel",   "options",
                                                    "highscores",     "quitquestion",  "help",
                                                    "sceneselect",    "levelstart",    "level",
                                                    "ingamemenu",     "ingamescores",  "ingameoptions",
                                                    "returnquestion", "levelcomplete", "gameoverstart",
                                                    "gameover",       "scores",        "continuequestion",
                                                    "scenecomplete",  "scenefinished", "sceneselectfinished",
                                                    "mainmenuagain"}));
  }
}

}  // namespace
