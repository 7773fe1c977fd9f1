// The play field's state machine, physics step, input and drawing.
#include "game/play/PlayField.h"

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/util/Profiler.h"
#include "framework/widget/WidgetManager.h"
#include "game/play/Actor.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/Board.h"
#include "game/play/GameApp.h"
#include "game/play/LevelHud.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/ResourceIds.h"
#include "platform/win/input/VirtualKeys.h"

int gEndGameFrameCount = 0;

namespace {

constexpr float kPhysicsStepSeconds = 0.01f;
constexpr float kLaunchSpeedPerDifficulty = -200.0f;  // pixels per second, upwards
constexpr int kFlareBottomY = 575;
constexpr int kEndGameDropTicks = 1000;

// Puts the ball on top of the paddle, centred.
void SetBallOnPaddle(Actor* ball, const Actor* paddle) {
  ball->mX = paddle->mX + (paddle->mWidth - ball->mWidth) / 2;
  ball->mY = paddle->mY - ball->mHeight;
}

}  // namespace

PlayField::PlayField(GameApp* app) : mApp(app) {
  mFlareX = (kRightWallX - IMAGE_FLARE->GetWidth() / mFlareCelCount) / 2;
  mFlareY = kFlareBottomY - IMAGE_FLARE->GetHeight();
  gActorScene.mCollisionResponder = this;
  gActorScene.mRules = &gBoard;
}

PlayField::~PlayField() {
  gActorScene.Clear();
  gActorScene.mCollisionResponder = nullptr;
}

void PlayField::Update() {
  Kit::Profiler::BeginSection("Start_Of_Update");
  Widget::Update();
  gBackgroundAnim.Update();
  gObjectLibrary.UpdateAnimations();
  PollMouse();
  UpdateState();
  MarkDirty();
  Kit::Profiler::EndSection("Start_Of_Update");
}

void PlayField::UpdateState() {
  switch (mState) {
    case kStartOfLife:
      StartLife();
      mState = kWaitForPaddle;
      mApp->PlaySample(SOUND_BALLAPPEAR);
      [[fallthrough]];
    case kWaitForPaddle:
      StartReadyPhase();
      if (mState != kReady) break;
      [[fallthrough]];
    case kReady:
      UpdateReadyPhase();
      break;
    case kPlaying:
      CheckLevelCleared();
      CheckBallLost();
      UpdateEndGameHelper();
      break;
    case kLevelCleared:
    case kBallLost:
    case kGameOver:
      UpdateEndState();
      break;
    default:
      break;
  }
}

void PlayField::StartReadyPhase() {
  Actor* paddle = FindPaddle();
  if (paddle == nullptr) return;
  mState = kReady;
  mReadyTimer = 0;
  paddle->mTmpl->mVisible = true;
}

void PlayField::UpdateReadyPhase() {
  Actor* paddle = FindPaddle();
  if (paddle != nullptr) {
    paddle->mX = (kRightWallX - paddle->mWidth) / 2;
    if (Actor* ball = FindBall()) SetBallOnPaddle(ball, paddle);
  }
  if (++mReadyTimer == kReadyTicks) {
    mState = kBallOnPaddle;
    if (Actor* ball = FindBall()) ball->mTmpl->mVisible = true;
  }
  AdvanceFlare();
}

// The flare's cel index runs 0, 1, ..., 10, 1, ... over the lives of a level; 10 lies past the strip's
// last cel and draws nothing.
void PlayField::AdvanceFlare() {
  if (--mFlareCelDelayLeft != 0) return;
  mFlareCelDelayLeft = mFlareCelDelay;
  if (++mFlareCel > mFlareCelCount) mFlareCel = 1;
}

void PlayField::UpdateEndState() {
  if (++mStateTimer != kEndStateTicks) return;
  if (mState == kBallLost) {
    mState = kStartOfLife;
    return;
  }
  LeaveForNextScreen();
}

// The next screen takes the play field's place; the play field goes once this tick has unwound.
void PlayField::LeaveForNextScreen() {
  mApp->SetCursor(Kit::CURSOR_POINTER);
  const bool cleared = mState == kLevelCleared;
  mManager->RemoveWidget(this);
  mApp->SafeDeleteWidget(this);
  mApp->mPlayField = nullptr;
  if (cleared) {
    mApp->PlaySample(SOUND_BTNSLIDE);
    mApp->OpenLevelComplete();
  } else {
    mApp->ChangeMusic(kEndTrack);
    mApp->PlaySample(SOUND_GAMEOVER);
    mApp->OpenGameOver();
  }
}

void PlayField::CheckLevelCleared() {
  for (const auto& actor : gActorScene.mAllActors)
    if (actor->mAlive && actor->mKind == kBrickKind && IsTargetBrick(*actor)) return;
  mState = kLevelCleared;
  mStateTimer = 0;
}

void PlayField::CheckBallLost() {
  if (mState != kPlaying) return;
  if (NoLiveBall()) {
    mState = kBallLost;
    mStateTimer = 0;
    --mApp->mLives;
  }
  if (mApp->mLives == 0) {
    mState = kGameOver;
    mStateTimer = 0;
  }
}

// The count stands still while the in-game menu pauses the scene.
void PlayField::UpdateEndGameHelper() {
  if (!gActorScene.mUpdateEnabled || !FewTargetBricksLeft()) return;
  if (++gEndGameFrameCount <= kEndGameDropTicks) return;
  gEndGameFrameCount = 0;
  DropThreeBallPowerUp();
}

void PlayField::UpdateF(float fraction) {
  if (mState != kPlaying) return;
  gActorScene.Update(kPhysicsStepSeconds, fraction);
  // A paused scene moves no ball, so no ball meets a wall or the bar either.
  if (gActorScene.mUpdateEnabled) MoveBallsOffWalls();
}

void PlayField::MoveBallsOffWalls() {
  for (const auto& actor : gActorScene.mAllActors)
    if (actor->mAlive && actor->mKind == kBallKind) KeepBallInField(actor.get());
}

// The tests run in this order on the same ball, each on what the one before left.
void PlayField::KeepBallInField(Actor* ball) {
  ObjectTemplate* look = ball->mTmpl;
  look->mFrameStep = ball->mVelY > 0.0f ? 1 : -1;
  if (ball->mX <= kLeftWallX) {
    ball->mX = kLeftWallX;
    ball->mVelX = -ball->mVelX;
    look->mAngle = -look->mAngle;
    mApp->PlaySample(SOUND_HITBORDER);
  }
  if (ball->mX + ball->mWidth >= kRightWallX) {
    ball->mX = static_cast<float>(kRightWallX - ball->mWidth);
    ball->mVelX = -ball->mVelX;
    look->mAngle = -look->mAngle;
    mApp->PlaySample(SOUND_HITBORDER);
  }
  if (ball->mY <= kTopWallY) {
    ball->mY = kTopWallY;
    ball->mVelY = -ball->mVelY;
    look->mAngle = -look->mAngle;
    mApp->PlaySample(SOUND_HITBORDER);
  }
  if (ball->mY > kFloorY) {
    ball->mAlive = false;
    look->mRunning = false;
    if (ball->mOverlay) ball->mOverlay->mRunning = false;
  }
  Actor* bar = gBoard.FindTopBounceActor();
  if (bar != nullptr && ball->mY + ball->mHeight > bar->mY) gBoard.BounceOffBrick(ball, bar);
}

void PlayField::PollMouse() { MouseMove(mManager->mLastMouseX - mX, mManager->mLastMouseY - mY); }

void PlayField::MouseMove(int x, int y) {
  if (mState != kBallOnPaddle && mState != kPlaying) return;
  Actor* paddle = FindPaddle();
  if (paddle == nullptr) return;
  const float halfWidth = paddle->mWidth * 0.5f;
  float left = x - halfWidth;
  if (left < -halfWidth) left = -halfWidth;
  if (left > kRightWallX - halfWidth) left = kRightWallX - halfWidth;
  paddle->mX = left;
  if (mState != kBallOnPaddle) return;
  if (Actor* ball = FindBall()) SetBallOnPaddle(ball, paddle);
}

void PlayField::MouseUp(int x, int y, int clickCount) {
  if (clickCount == -1 && (mState == kBallOnPaddle || mState == kPlaying)) {
    OpenInGameMenu();
    return;
  }
  if (clickCount != 1 || mState != kBallOnPaddle) return;
  Actor* ball = FindBall();
  if (ball == nullptr) return;
  const int left = static_cast<int>(ball->mX);
  const int right = static_cast<int>(ball->mX + ball->mWidth);
  if (left <= kLeftWallX || right >= kRightWallX) return;
  mState = kPlaying;
  ball->mVelX = 0.0f;
  ball->mVelY = kLaunchSpeedPerDifficulty * GameDifficulty();
}

void PlayField::KeyUp(int keyCode) {
  if (keyCode == VK_ESCAPE && (mState == kBallOnPaddle || mState == kPlaying)) OpenInGameMenu();
}

void PlayField::OpenInGameMenu() {
  mApp->SetCursor(Kit::CURSOR_POINTER);
  gActorScene.mUpdateEnabled = false;
  mApp->OpenInGameMenu();
}

void PlayField::Draw(Kit::Graphics* g) {
  gBackgroundAnim.DrawOverBlack(g, mWidth, mHeight);
  gActorScene.Draw(g);
  if (mState == kReady) {
    g->SetDrawMode(Kit::Graphics::kDrawModeAdditive);
    g->DrawImageCel(IMAGE_FLARE, mFlareX, mFlareY, mFlareCel);
    g->SetDrawMode(Kit::Graphics::kDrawModeNormal);
  }
  g->DrawImage(IMAGE_HINTBAR, 0, 0);
  DrawLevelHud(g, *mApp);
}
