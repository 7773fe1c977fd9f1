#include "game/front/GameOverScreen.h"

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/front/HighScoreDialog.h"
#include "game/front/ProfileStore.h"
#include "game/play/ActorScene.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/GameApp.h"
#include "game/play/LevelHud.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ResourceIds.h"

namespace {

constexpr int kLeftHalfRightEdgeX = 160;
constexpr int kBaseY = 249;
constexpr int kMirroredBaseX = 758;
constexpr int kTableX = 205;

}  // namespace

GameOverScreen::GameOverScreen(GameApp* app)
    : mApp(app), mLeftX(kLeftHalfRightEdgeX - (IMAGE_GAMEOVER_LEFT ? IMAGE_GAMEOVER_LEFT->GetWidth() : 0)) {}

void GameOverScreen::AddedToManager(Kit::WidgetManager* manager) {
  Kit::Widget::AddedToManager(manager);
  gProfileStore.RecordGameScore(mApp->mScore);
}

// Each state falls through to the next one's step in the same tick: the slide starts in tick 50, ends in
// tick 289 and the table opens in tick 638.
void GameOverScreen::Update() {
  Kit::Widget::Update();
  gBackgroundAnim.Update();
  gObjectLibrary.UpdateAnimations();
  if (mState == kFirstPause && ++mCounter == kFirstPauseTicks) {
    mState = kSliding;
    mCounter = 0;
  }
  if (mState == kSliding) {
    ++mLeftX;
    if (--mRightX == kMeetingX) {
      mState = kSecondPause;
      mCounter = 0;
    }
  }
  if (mState == kSecondPause && ++mCounter == kSecondPauseTicks) {
    mState = kTableOpened;
    mCounter = 0;
    OpenHighScoreDialog(mApp, kTableX, HighScoreDialog::kRecordMode);
  }
  MarkDirty();
}

void GameOverScreen::Draw(Kit::Graphics* g) {
  gBackgroundAnim.DrawOverBlack(g, mWidth, mHeight);
  gActorScene.Draw(g);
  g->DrawImage(IMAGE_HINTBAR, 0, 0);
  DrawLevelHud(g, *mApp);
  // While the halves slide the base lies over them; once they meet they and the text lie over it.
  if (mState == kFirstPause || mState == kSliding) {
    g->SetClipRect(0, 0, 800, 600);
    DrawHalves(g);
    g->ClearClipRect();
    DrawBase(g);
  } else {
    DrawBase(g);
    DrawHalves(g);
    g->DrawImage(IMAGE_GAMEOVER_TEXT, mTextX, mTextY);
  }
}

void GameOverScreen::DrawBase(Kit::Graphics* g) {
  g->DrawImage(IMAGE_GAMEOVER_BASE, 0, kBaseY);
  g->DrawImageMirror(IMAGE_GAMEOVER_BASE, kMirroredBaseX, kBaseY);
}

void GameOverScreen::DrawHalves(Kit::Graphics* g) {
  g->DrawImage(IMAGE_GAMEOVER_LEFT, mLeftX, mLeftY);
  g->DrawImage(IMAGE_GAMEOVER_RIGHT, mRightX, mRightY);
}
