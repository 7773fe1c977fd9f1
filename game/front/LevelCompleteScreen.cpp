#include "game/front/LevelCompleteScreen.h"

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "game/front/ProfileStore.h"
#include "game/front/SceneSelectScreen.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/EmitterSet.h"
#include "game/play/GameApp.h"
#include "game/play/LevelHud.h"
#include "game/play/ResourceIds.h"

void LevelCompleteScreen::AddedToManager(Kit::WidgetManager* manager) {
  Kit::Widget::AddedToManager(manager);
  mNextButton = MakeImageButton(
      {kNextButton, {705, 570, 78, 24}, IMAGE_BTN_NEXTLEVEL_UP, IMAGE_BTN_NEXTLEVEL_OVER, IMAGE_BTN_NEXTLEVEL_OVER},
      this);
  manager->AddWidget(mNextButton.get());
  SetNextButtonActive(false);
  RecordLevel();
}

void LevelCompleteScreen::RemovedFromManager(Kit::WidgetManager* manager) {
  Kit::Widget::RemovedFromManager(manager);
  if (mNextButton != nullptr && mNextButton->mManager != nullptr) manager->RemoveWidget(mNextButton.get());
}

// Active: shown and enabled; inactive: hidden and disabled.
void LevelCompleteScreen::SetNextButtonActive(bool active) {
  if (mNextButton == nullptr) return;
  mNextButton->SetVisible(active);
  mNextButton->SetDisabled(!active);
}

// A custom level is no part of the player's progress.
void LevelCompleteScreen::RecordLevel() {
  if (mApp->mCustomLevel) return;
  gProfileStore.RecordLevelComplete(mApp->mScene, mApp->mLevel, mApp->mScore, mApp->mLives);
}

void LevelCompleteScreen::ButtonDepress(int id) {
  if (id != kNextButton) return;
  mState = kSlidingOut;
  SetNextButtonActive(false);
  mApp->PlaySample(SOUND_BTNSLIDE);
}

// 22 ticks in, 22 ticks out.
void LevelCompleteScreen::Update() {
  Kit::Widget::Update();
  gEmitterSet.Update();
  gBackgroundAnim.Update();
  if (mState == kSlidingIn) {
    mPanelX -= kPanelStepPx;
    if (mPanelX == kPanelShownX) {
      mState = kWaiting;
      SetNextButtonActive(true);
    }
  } else if (mState == kSlidingOut) {
    mPanelX += kPanelStepPx;
    if (mPanelX == kPanelHiddenX) mState = kAdvancing;
  } else if (mState == kAdvancing) {
    mState = kDone;
    Advance();
    CloseScreen(mApp, mApp->mLevelCompleteScreen);
    return;
  }
  MarkDirty();
}

void LevelCompleteScreen::Advance() {
  if (mApp->mCustomLevel) {
    AdvanceCustom();
    return;
  }
  if (++mApp->mLevel < kSceneFinished) {
    OpenLevelStart(mApp);
    return;
  }
  OpenSceneSelect(mApp);
  mApp->mSceneSelectScreen->SetReturnMode(SceneSelectScreen::kAfterFinishedScene);
  mApp->ChangeMusic(kMenuTrack);
}

// The next queued file, score and lives carried over; after the last one the main menu underneath.
void LevelCompleteScreen::AdvanceCustom() {
  if (mApp->mCustomLevelPaths.empty()) {
    mApp->ChangeMusic(kMenuTrack);
    return;
  }
  OpenLevelStart(mApp);
}

void LevelCompleteScreen::Draw(Kit::Graphics* g) {
  gBackgroundAnim.DrawOverBlack(g, mWidth, mHeight);
  g->DrawImage(IMAGE_NEXTLEVEL, mPanelX, mPanelY);
  g->DrawImage(IMAGE_HINTBAR, 0, 0);
  DrawLevelHud(g, *mApp);
}
