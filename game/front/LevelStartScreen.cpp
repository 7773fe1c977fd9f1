#include "game/front/LevelStartScreen.h"

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/front/MessageDialogs.h"
#include "game/front/Screens.h"
#include "game/play/Actor.h"
#include "game/play/ActorScene.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/GameApp.h"
#include "game/play/LevelHud.h"
#include "game/play/LevelLoading.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"

namespace {

bool IsBrickActor(const Actor& actor) {
  return actor.mKind == kBrickKind && actor.mTmpl != nullptr && ToLowerCopy(actor.mName.substr(0, 5)) == "brick";
}

}  // namespace

void LevelStartScreen::LoadLevel() {
  ClearPreviousLevel();
  LoadLevelFile();
}

void LevelStartScreen::LoadLevelFile() {
  mLevelPath = PeekLevelPath(*mApp);
  mLevelContents = ReadLevelFile(*mApp);
}

void LevelStartScreen::Update() {
  Kit::Widget::Update();
  gBackgroundAnim.Update();
  gObjectLibrary.UpdateAnimations();
  if (mLevelContents != LevelContents::kBricks) {
    LeaveUnplayableLevel();
    return;
  }
  if (mState == kRevealing) {
    UpdateReveal();
  } else if (mState == kAllRevealed) {
    mState = kPlayStarted;
    MouseUp(1, 1, 1);
  }
  MarkDirty();
}

// A group is searched for in one tick and revealed over the next 30: a flare cel every 2 ticks, the
// bricks appearing at step 15.
void LevelStartScreen::UpdateReveal() {
  if (!mRevealing) {
    mRevealName = FindHiddenBrick();
    if (mRevealName == kNoBrick) {
      mState = kAllRevealed;
      return;
    }
    mRevealing = true;
    mRevealStep = 0;
    mApp->PlaySample(SOUND_BRICKAPPEAR);
    return;
  }
  if (--mStepTimer == 0) {
    mStepTimer = kStepTicks;
    ++mRevealStep;
  }
  if (mRevealStep == kRevealStep) RevealBrick(mRevealName);
  if (mRevealStep > kLastFlareCel) {
    mRevealStep = 0;
    mRevealing = false;
  }
}

// Nothing of the level is played or recorded: the player is told why and the main menu comes back.
void LevelStartScreen::LeaveUnplayableLevel() {
  const std::string text = UnplayableLevelText(mLevelPath, mLevelContents);
  mLevelContents = LevelContents::kBricks;
  mStarted = true;
  GameApp* app = mApp;
  CloseScreen(app, app->mLevelStartScreen);
  ShowMessageDialog(app, nullptr, text, 0);
  app->ChangeMusic(kMenuTrack);
}

void LevelStartScreen::MouseUp(int x, int y, int clickCount) {
  if (mStarted || mLevelContents != LevelContents::kBricks) return;
  mStarted = true;
  GameApp* app = mApp;
  app->mPlayField = new PlayField(app);
  app->mPlayField->Resize(0, 0, app->mWidth, app->mHeight);
  app->mWidgetManager->AddWidget(app->mPlayField);
  app->mWidgetManager->SetFocus(app->mPlayField);
  CloseScreen(app, app->mLevelStartScreen);
  for (const auto& actor : gActorScene.mAllActors)
    if (IsBrickActor(*actor)) actor->mTmpl->mVisible = true;
}

std::string LevelStartScreen::FindHiddenBrick() const {
  for (const auto& actor : gActorScene.mAllActors)
    if (IsBrickActor(*actor) && !actor->mTmpl->mVisible) return actor->mTmpl->mName;
  return kNoBrick;
}

void LevelStartScreen::RevealBrick(const std::string& name) {
  if (name == kNoBrick) return;
  for (const auto& actor : gActorScene.mAllActors)
    if (IsBrickActor(*actor) && actor->mTmpl->mName == name) actor->mTmpl->mVisible = true;
}

void LevelStartScreen::Draw(Kit::Graphics* g) {
  gBackgroundAnim.DrawOverBlack(g, mWidth, mHeight);
  if (mState == kRevealing && mRevealing) DrawFlares(g);
  gActorScene.Draw(g);
  g->DrawImage(IMAGE_HINTBAR, 0, 0);
  DrawLevelHud(g, *mApp);
}

// The flare's cel for this step, centred on each brick of the group being revealed.
void LevelStartScreen::DrawFlares(Kit::Graphics* g) {
  const int celWidth = IMAGE_FLAREBRICK->GetCelWidth();
  const int celHeight = IMAGE_FLAREBRICK->GetCelHeight();
  for (const auto& actor : gActorScene.mAllActors) {
    if (!IsBrickActor(*actor) || actor->mTmpl->mName != mRevealName) continue;
    const int x = static_cast<int>(actor->mX + static_cast<float>(actor->mWidth / 2 - celWidth / 2));
    const int y = static_cast<int>(actor->mY + static_cast<float>(actor->mHeight / 2 - celHeight / 2));
    g->DrawImageCel(IMAGE_FLAREBRICK, x, y, mRevealStep);
  }
}
