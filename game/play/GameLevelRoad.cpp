// The application's part in the road of a level: loading it, putting up its play field, and what
// follows a cleared level, a lost game and a pause.
#include "framework/widget/Dialog.h"
#include "framework/widget/WidgetManager.h"
#include "game/front/DialogStyle.h"
#include "game/play/Actor.h"
#include "game/play/ActorScene.h"
#include "game/play/GameApp.h"
#include "game/play/LevelLoading.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"

namespace {

// The pause box, pixels.
constexpr int kPauseWidth = 260;
constexpr int kPauseHeight = 140;
constexpr Kit::Insets kPauseInsets(24, 24, 24, 24);
constexpr int kPauseHeaderGap = 10;

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

void GameApp::OpenLevelComplete() {
  if (!mCustomLevel && ++mLevel > kLevelsPerScene) {
    mLevel = 1;
    mScene = mScene % kLastScene + 1;
  }
  mLevelToStart = true;
}

void GameApp::OpenGameOver() {
  mScore = 0;
  mLives = kLivesAtNewGame;
  mLevelToStart = true;
}

void GameApp::UpdateFrames() {
  if (mLevelToStart) {
    mLevelToStart = false;
    StartLevel();
  }
  KitAppBase::UpdateFrames();
}

void GameApp::OpenInGameMenu() {
  auto* pause = new Kit::Dialog(IMAGE_DIALOGM_BOX, IMAGE_DIALOG_BUTTON, kInGameMenuDialogId, true, "Paused",
                                "The game waits for you.", "Resume", Kit::BUTTONS_FOOTER);
  DialogStyle::Apply(pause, kPauseInsets, kPauseHeaderGap, {FONT_ARIAL13, FONT_ARIAL12, FONT_ARIAL13});
  pause->Resize((mWidth - kPauseWidth) / 2, (mHeight - kPauseHeight) / 2, kPauseWidth, kPauseHeight);
  AddDialog(kInGameMenuDialogId, pause);  // the application owns registered dialogs
}

void GameApp::ButtonDepress(int id) {
  if (id != kInGameMenuDialogId + kDialogOkReport) return;
  KillDialog(kInGameMenuDialogId);
  gActorScene.mUpdateEnabled = true;
  SetCursor(Kit::CURSOR_NONE);
}
