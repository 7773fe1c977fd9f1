// The application's part in the road of a level: a level named on the command line goes straight into
// play, and the play field hands over here to the screens that follow a cleared level, a lost game and
// a pause.
#include "framework/widget/WidgetManager.h"
#include "game/front/GameOverScreen.h"
#include "game/front/InGameMenuDialog.h"
#include "game/front/LevelCompleteScreen.h"
#include "game/front/MessageDialogs.h"
#include "game/front/Screens.h"
#include "game/play/Actor.h"
#include "game/play/ActorScene.h"
#include "game/play/GameApp.h"
#include "game/play/LevelLoading.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/PlayField.h"

// A level without bricks is refused here as on the level-start screen: the menu underneath stays.
bool GameApp::StartLevel() {
  if (mCustomLevel && mCustomLevelPaths.empty()) mCustomLevelPaths.push_back(mStartLevelPath);
  const std::string path = PeekLevelPath(*this);
  const LevelContents contents = LoadLevelObjects(*this);
  if (contents != LevelContents::kBricks) {
    ShowMessageDialog(this, nullptr, UnplayableLevelText(path, contents), 0);
    ChangeMusic(kMenuTrack);
    return false;
  }
  for (Actor* brick : gActorScene.mBricks)
    if (brick->mTmpl) brick->mTmpl->mVisible = true;
  OpenPlayField();
  return true;
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
