#include "game/play/Board.h"

#include <string_view>

#include "framework/app/KitAppBase.h"
#include "game/play/Actor.h"
#include "game/play/GameApp.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/ResourceIds.h"

Board gBoard;

namespace {

constexpr float kBounceBarLowestY = 600.0f;  // a bar at or below the floor protects nothing
constexpr int kSwirlHitPoints = -1;          // never counted down: swirl bricks never die

void KillActor(Actor* actor) {
  actor->mAlive = false;
  if (actor->mTmpl) actor->mTmpl->mRunning = false;
}

}  // namespace

bool IsTargetBrick(const Actor& brick) {
  const std::string_view code = brick.ColourCode();
  return code == "aa" || code == "bb" || code == "cc" || code == "ee";
}

void Board::BallHitsBrick(Actor* brick, Actor* hitter) {
  TheGame()->mScore += kBrickHitScore;
  if (brick->mHitPoints <= 0) return;
  if (--brick->mHitPoints == 0) KillActor(brick);
}

void Board::SpeedUpBall(Actor* ball) {}
void Board::SlowDownBall(Actor* ball) {}
void Board::TeleportBall(Actor* brick, Actor* ball) {}

void Board::SetBrickHitPoints(Actor* brick) {
  const std::string_view code = brick->ColourCode();
  const int difficulty = Kit::gKitApp->mDifficulty;
  if (code == "aa" || code == "ee") {
    brick->mHitPoints = 1;
  } else if (code == "bb") {
    brick->mHitPoints = 2;
  } else if (code == "cc") {
    brick->mHitPoints = 3;
  } else if (code == "dd") {
    brick->mHitPoints = 5 * difficulty;
  } else if (code == "ff") {
    brick->mHitPoints = 13 - 3 * difficulty;
  } else if (code == "gg" || code == "hh" || code == "ii") {
    brick->mHitPoints = kSwirlHitPoints;
  }
}

void Board::LengthenPaddle(Actor* paddle) {
  Kit::gKitApp->PlaySample(SOUND_CHANGEPADDLE);
  if (paddle->mName == "paddleshort") {
    ResizePaddle(paddle, "paddlemiddle");
  } else if (paddle->mName == "paddlemiddle") {
    ResizePaddle(paddle, "paddlelong");
  }
}

void Board::ShortenPaddle(Actor* paddle) {
  Kit::gKitApp->PlaySample(SOUND_CHANGEPADDLE);
  if (paddle->mName == "paddlelong") {
    ResizePaddle(paddle, "paddlemiddle");
  } else if (paddle->mName == "paddlemiddle") {
    ResizePaddle(paddle, "paddleshort");
  }
}

void Board::ResizePaddle(Actor* paddle, const std::string& newName) {
  const float centreX = paddle->mX + paddle->mWidth * 0.5f;
  ObjectTemplate* replacement = paddle->ReplaceTemplate(newName);
  if (!replacement) return;
  paddle->mX = centreX - replacement->mWidth * 0.5f;
  paddle->mName = newName;
}

Actor* Board::FindTopBounceActor() {
  Actor* top = nullptr;
  for (Actor* effect : gActorScene.mEffects) {
    if (!effect->mAlive || effect->mName != "bounce" || effect->mY >= kBounceBarLowestY) continue;
    if (top == nullptr || effect->mY < top->mY) top = effect;
  }
  return top;
}

void Board::BounceOffBrick(Actor* ball, Actor* bar) {
  Kit::gKitApp->PlaySample(SOUND_HITBORDER);
  ball->mVelY *= -1.0f;
  if (bar) KillActor(bar);
}

void Board::LoadEffects(std::string path) { LoadEffectFile(std::move(path), mEffectRecords); }
void Board::DropPowerUp(std::string name, float x, float y) {}

void Board::PowerUpLargeBall() {}
void Board::PowerUpSmallBall() {}
void Board::PowerUpAddVelocity() {}
void Board::PowerUpSubVelocity() {}
void Board::PowerUpThreeBall() {}
void Board::PowerUpEightBall() {}
void Board::PowerUpFireBall() {}
void Board::PowerUpThru() {}
void Board::PowerUpLongPaddle() {}
void Board::PowerUpShortPaddle() {}
void Board::PowerUpConvert() {}
void Board::PowerUpDown() {}
void Board::PowerUpUp() {}
void Board::PowerUpAddLife() {}
void Board::PowerUpSubLife() {}
void Board::PowerUpExplode() {}
void Board::PowerUpBounce() {}
void Board::PowerUpNewBall() {}
void Board::PowerUpCannon() {}
void Board::PowerUpReverse() {}
