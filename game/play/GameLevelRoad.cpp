// The application's part in the road of a level: a level named on the command line goes straight into
// play, and the play field hands over here to the screens that follow a cleared level, a lost game and
// a pause.
#include "framework/widget/Dialog.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/GameOverScreen.h"
#include "game/front/HighScoreDialog.h"
#include "game/front/InGameMenuDialog.h"
#include "game/front/LevelCompleteScreen.h"
#include "game/front/Screens.h"
#include "game/play/Actor.h"
#include "game/play/ActorScene.h"
#include "game/play/GameApp.h"
#include "game/play/LevelLoading.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/PlayField.h"

namespace {

// The framework reports a dialog's OK button to the application as a button of this id plus the dialog's.
constexpr int kDialogOkReport = 2000;

}  // namespace

void GameApp::StartLevel() {
  if (mCustomLevel && mCustomLevelPaths.empty()) mCustomLevelPaths.push_back(mStartLevelPath);
  LoadLevelObjects(*this);
  for (Actor* brick : gActorScene.mBricks)
    if (brick->mTmpl) brick->mTmpl->mVisible = true;
  OpenPlayField();
}

void GameApp::OpenPlayField() {
  mPlayField = new PlayField(this);
  mPlayField->Resize(0, 0, mWidth, mHeight);
  mWidgetManager->AddWidget(mPlayField);
  mWidgetManager->SetFocus(mPlayField);
}

void GameApp::OpenLevelComplete() { OpenScreen(this, mLevelCompleteScreen); }

void GameApp::OpenGameOver() { OpenScreen(this, mGameOverScreen); }

void GameApp::OpenInGameMenu() { OpenInGameMenuDialog(this); }

// Closing the high-score table that followed a lost game takes the game-over screen away: the main menu
// underneath shows again.
void GameApp::ButtonDepress(int id) {
  if (id == kHighScoreDialogId + kDialogOkReport) CloseScreen(this, mGameOverScreen);
}
