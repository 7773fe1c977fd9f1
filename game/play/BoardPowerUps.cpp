// The rules object's twenty power-up actions and the ball, paddle and brick operations they are built
// from, some of which the play field and the scene's swirl bricks use too.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "framework/app/KitAppBase.h"
#include "game/play/Actor.h"
#include "game/play/Board.h"
#include "game/play/GameApp.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/ResourceIds.h"
#include "platform/shell/Shell.h"

namespace {

constexpr float kFirstExtraBallRadians = 0.34906584f;         // 20 degrees
constexpr float kThreeBallStepRadians = 2.0943949f;           // 120 degrees
constexpr float kEightBallStepRadians = 0.78539813f;          // 45 degrees
constexpr double kThreeBallFinalRadians = 4.537855692207813;  // 260 degrees
constexpr double kEightBallFinalRadians = 5.846852846443653;  // 335 degrees
constexpr float kLeastSplitSpeed = 0.1f;                      // pixels per second
constexpr DWORD kMissingBallBeepHz = 111;
constexpr DWORD kMissingBallBeepMs = 111;
constexpr float kBricksLowestBottomY = 500.0f;  // no brick moves down once one reaches below this
constexpr float kBricksHighestTopY = 25.0f;     // nor up once one is above this
constexpr float kFieldBottomY = 600.0f;
// Per difficulty 1, 2, 3: how far a brick moves down and up, pixels.
constexpr float kBrickStepDown[] = {5.0f, 10.0f, 20.0f};
constexpr float kBrickStepUp[] = {15.0f, 10.0f, 5.0f};
constexpr int kSpeedStepPerDifficulty = 20;  // pixels per second

struct IronConversion {
  const char* mIron;
  const char* mColoured;
};
constexpr IronConversion kIronConversions[] = {
    {"brick_dd_001", "brick_cc_018"}, {"brick_dd_002", "brick_cc_019"}, {"brick_dd_003", "brick_cc_020"},
    {"brick_dd_004", "brick_cc_025"}, {"brick_dd_005", "brick_cc_026"}, {"brick_dd_006", "brick_cc_040"},
    {"brick_dd_007", "brick_cc_042"},
};

}  // namespace

void Board::PowerUpLargeBall() {
  ForEachLiveActor(kBallKind, [this](Actor* ball) { MakeLargeBall(ball, true); });
}

void Board::PowerUpSmallBall() {
  ForEachLiveActor(kBallKind, [this](Actor* ball) { MakeSmallBall(ball, true); });
}

void Board::PowerUpAddVelocity() {
  ForEachLiveActor(kBallKind, [this](Actor* ball) { SpeedUpBall(ball); });
}

void Board::PowerUpSubVelocity() {
  ForEachLiveActor(kBallKind, [this](Actor* ball) { SlowDownBall(ball); });
}

void Board::PowerUpThreeBall() {
  auto moving = [](const Actor& ball) { return BallSpeed(ball) > kLeastSplitSpeed; };
  if (Actor* ball = FindLiveActor(kBallKind, moving)) SplitBallInThree(ball);
}

void Board::PowerUpEightBall() {
  auto moving = [](const Actor& ball) { return BallSpeed(ball) > kLeastSplitSpeed; };
  if (Actor* ball = FindLiveActor(kBallKind, moving)) SplitBallInEight(ball);
}

void Board::PowerUpFireBall() {
  PlaySound(SOUND_FIREBALL);
  ForEachLiveActor(kBallKind, [this](Actor* ball) { MakeFireBall(ball); });
}

void Board::PowerUpThru() {
  PlaySound(SOUND_THRUBALL);
  ForEachLiveActor(kBallKind, [this](Actor* ball) { MakeThruBall(ball); });
}

void Board::PowerUpLongPaddle() {
  ForEachLiveActor(kPaddleKind, [this](Actor* paddle) { LengthenPaddle(paddle); });
}

void Board::PowerUpShortPaddle() {
  ForEachLiveActor(kPaddleKind, [this](Actor* paddle) { ShortenPaddle(paddle); });
}

void Board::PowerUpConvert() {
  PlaySound(SOUND_CONVERT);
  ForEachLiveActor(kBrickKind, [this](Actor* brick) { ConvertBrick(brick); });
}

void Board::PowerUpDown() {
  PlaySound(SOUND_BRICKDOWN);
  if (!CanMoveBricksDown()) return;
  ForEachLiveActor(kBrickKind, [this](Actor* brick) { MoveBricksDown(brick); });
}

void Board::PowerUpUp() {
  PlaySound(SOUND_BRICKUP);
  if (!CanMoveBricksUp()) return;
  ForEachLiveActor(kBrickKind, [this](Actor* brick) { MoveBricksUp(brick); });
}

void Board::PowerUpAddLife() {
  PlaySound(SOUND_ADDLIVE);
  AddLife();
}

// No upper limit of the game's own: the count only stops where the int ends, rather than overflow.
void Board::AddLife() {
  if (TheGame()->mLives < std::numeric_limits<int>::max()) ++TheGame()->mLives;
}

void Board::PowerUpSubLife() {
  PlaySound(SOUND_SUBLIVE);
  ForEachLiveActor(kBallKind, [this](Actor* ball) { KillBallWithBomb(ball); });
}

void Board::PowerUpExplode() {
  Actor* brick = FindLiveActor(kBrickKind, [](const Actor& candidate) { return candidate.ColourCode() == "ee"; });
  if (brick == nullptr) return;
  ExplodeBrick(brick);
  PlaySound(SOUND_FIREEXPLODE);
}

void Board::PowerUpBounce() {
  PlaySound(SOUND_BOUNCE);
  AddBounceBar();
}

void Board::PowerUpNewBall() {
  PlaySound(SOUND_NEWBALL);
  ForEachLiveActor(kBallKind, [this](Actor* ball) { MakeNewBall(ball); });
}

// The cannon was never armed: catching it changes nothing.
void Board::PowerUpCannon() {}

void Board::PowerUpReverse() {
  PlaySound(SOUND_REVERSE);
  ForEachLiveActor(kBallKind, [this](Actor* ball) { ReverseBall(ball); });
}

// The direction is kept; a ball at rest (held by a swirl brick, stopped by a bomb) has none and stays
// at rest.
void Board::SetBallSpeed(Actor* ball, float speed) {
  const float current = BallSpeed(*ball);
  if (!(current > 0.0f)) return;
  ball->mVelX = ball->mVelX / current * speed;
  ball->mVelY = ball->mVelY / current * speed;
}

// Not clamped: one step may end above the maximum.
void Board::SpeedUpBall(Actor* ball) {
  PlaySound(SOUND_ADDVEL);
  const float speed = BallSpeed(*ball);
  if (speed <= mMaxBallSpeed) SetBallSpeed(ball, speed + kSpeedStepPerDifficulty * GameDifficulty());
}

void Board::SlowDownBall(Actor* ball) {
  PlaySound(SOUND_SUBVEL);
  const float speed = BallSpeed(*ball);
  if (speed >= mMinBallSpeed) SetBallSpeed(ball, speed - kSpeedStepPerDifficulty * (4 - GameDifficulty()));
}

void Board::SplitBallInThree(Actor* ball) { SplitBall(ball, 2, kThreeBallStepRadians, kThreeBallFinalRadians); }

void Board::SplitBallInEight(Actor* ball) { SplitBall(ball, 7, kEightBallStepRadians, kEightBallFinalRadians); }

// The extra balls fan out from the ball's top-left corner at its speed and of its kind; the ball itself
// turns to the final angle.
void Board::SplitBall(Actor* ball, int extraBalls, float stepRadians, double finalRadians) {
  PlaySound(SOUND_MULTIBALL);
  const float speed = BallSpeed(*ball);
  for (int i = 0; i < extraBalls; ++i) {
    const float angle = i * stepRadians + kFirstExtraBallRadians;
    ObjectTemplate* look = gObjectLibrary.ObtainAnimation("largeball");
    if (look == nullptr) {
      Beep(kMissingBallBeepHz, kMissingBallBeepMs);
      continue;
    }
    Actor* extra = gActorScene.CreateActorDeferred(look, kBallKind);
    extra->mX = ball->mX;
    extra->mY = ball->mY;
    extra->mRadius = static_cast<float>(extra->mWidth / 2);
    extra->mName = "balllarge";
    extra->mVelX = static_cast<float>(std::cos(angle) * speed);
    extra->mVelY = static_cast<float>(std::sin(angle) * speed);
    look->mAngle = angle;
    MakeBallOfSameKind(extra, ball->mName);
  }
  ball->mVelX = static_cast<float>(std::cos(finalRadians) * speed);
  ball->mVelY = static_cast<float>(std::sin(finalRadians) * speed);
  if (ball->mTmpl) ball->mTmpl->mAngle = finalRadians;
}

void Board::MakeBallOfSameKind(Actor* newBall, const std::string& kind) {
  if (kind == "ballsmall") MakeSmallBall(newBall, false);
  if (kind == "ballfire") MakeFireBall(newBall);
  if (kind == "ballnew") MakeNewBall(newBall);
  if (kind == "ballthru") MakeThruBall(newBall);
}

void Board::LengthenPaddle(Actor* paddle) {
  PlaySound(SOUND_CHANGEPADDLE);
  if (paddle->mName == "paddleshort") {
    ResizePaddle(paddle, "paddlemiddle");
  } else if (paddle->mName == "paddlemiddle") {
    ResizePaddle(paddle, "paddlelong");
  }
}

void Board::ShortenPaddle(Actor* paddle) {
  PlaySound(SOUND_CHANGEPADDLE);
  if (paddle->mName == "paddlelong") {
    ResizePaddle(paddle, "paddlemiddle");
  } else if (paddle->mName == "paddlemiddle") {
    ResizePaddle(paddle, "paddleshort");
  }
}

// The paddle keeps its centre; without that template in the data it keeps its length.
void Board::ResizePaddle(Actor* paddle, const std::string& newName) {
  const float centreX = paddle->mX + paddle->mWidth * 0.5f;
  ObjectTemplate* replacement = paddle->ReplaceTemplate(newName);
  if (!replacement) return;
  paddle->mX = centreX - replacement->mWidth * 0.5f;
  paddle->mName = newName;
}

// A "bb" or "cc" brick takes one hit without a ball; an iron brick turns into a coloured one.
void Board::ConvertBrick(Actor* brick) {
  const std::string_view code = brick->ColourCode();
  if (code == "bb" || code == "cc") BallHitsBrick(brick, nullptr);
  if (brick->ColourCode() == "dd") ConvertIronBrick(brick);
}

void Board::ConvertIronBrick(Actor* brick) {
  for (const IronConversion& conversion : kIronConversions) {
    if (brick->mTmpl->mName != conversion.mIron) continue;
    if (!brick->ReplaceTemplate(conversion.mColoured)) return;
    brick->mName = conversion.mColoured;
    SetBrickHitPoints(brick);
    return;
  }
}

bool Board::CanMoveBricksDown() const {
  auto tooLow = [](const Actor& brick) { return static_cast<float>(brick.mHeight) + brick.mY > kBricksLowestBottomY; };
  return FindLiveActor(kBrickKind, tooLow) == nullptr;
}

bool Board::CanMoveBricksUp() const {
  auto tooHigh = [](const Actor& brick) { return brick.mY < kBricksHighestTopY; };
  return FindLiveActor(kBrickKind, tooHigh) == nullptr;
}

void Board::MoveBricksDown(Actor* brick) { brick->mY += kBrickStepDown[GameDifficulty() - 1]; }

void Board::MoveBricksUp(Actor* brick) { brick->mY -= kBrickStepUp[GameDifficulty() - 1]; }

void Board::ExplodeBrick(Actor* brick) { BallHitsBrick(brick, nullptr); }

// The ball stays alive, hidden and at rest until the bomb's animation ends and takes every ball. When
// the template data has no bomb, nothing would ever end it: the ball dies at once instead.
void Board::KillBallWithBomb(Actor* ball) {
  if (ball->mTmpl) ball->mTmpl->mVisible = false;
  if (ball->mOverlay) ball->mOverlay->mVisible = false;
  ball->mVelX = 0.0f;
  ball->mVelY = 0.0f;
  const float centreX = ball->mX + ball->mWidth * 0.5f;
  const float centreY = ball->mY + ball->mHeight * 0.5f;
  ObjectTemplate* look = gObjectLibrary.ObtainAnimation("smallyellowbom");
  if (look == nullptr) {
    KillActor(ball);
    return;
  }
  look->mFrame = 0;
  Actor* bomb = gActorScene.CreateActorDeferred(look, kEffectKind);
  bomb->mX = centreX - look->mWidth * 0.5f;
  bomb->mY = centreY - look->mHeight * 0.5f;
  bomb->mName = "smallyellowbom";
  bomb->mMode = kBallKillerMode;
}

// Bars stack upwards from the bottom edge; one still pending is not counted.
void Board::AddBounceBar() {
  ObjectTemplate* look = gObjectLibrary.ObtainAnimation("bounce");
  if (look == nullptr) return;
  const int bars = CountBounceActors();
  Actor* bar = gActorScene.CreateActorDeferred(look, kEffectKind);
  bar->mX = 0.0f;
  bar->mY = kFieldBottomY - (bars + 1) * look->mHeight;
  bar->mName = "bounce";
}

int Board::CountBounceActors() const {
  int bars = 0;
  for (const Actor* effect : gActorScene.mEffects)
    if (effect->mAlive && effect->mName == "bounce") ++bars;
  return bars;
}

Actor* Board::FindTopBounceActor() const {
  Actor* top = nullptr;
  for (Actor* effect : gActorScene.mEffects) {
    if (!effect->mAlive || effect->mName != "bounce" || effect->mY >= kFieldBottomY) continue;
    if (top == nullptr || effect->mY < top->mY) top = effect;
  }
  return top;
}

void Board::BounceOffBrick(Actor* ball, Actor* bar) {
  PlaySound(SOUND_HITBORDER);
  ball->mVelY *= -1.0f;
  if (bar) KillActor(bar);
}

void Board::ReverseBall(Actor* ball) {
  ball->mVelX *= -1.0f;
  ball->mVelY *= -1.0f;
}

void Board::TeleportBall(Actor* brick, Actor* ball) {
  Actor* target = PickOtherTeleportBrick(brick);
  if (target == nullptr) target = brick;
  ball->mX = target->mX + target->mWidth * 0.5f - ball->mWidth * 0.5f;
  ball->mY = target->mY + target->mHeight * 0.5f - ball->mHeight * 0.5f;
  ball->mPrevX = ball->mX;
  ball->mPrevY = ball->mY;
  PlaySound(SOUND_SWIRL_OUT);
}

Actor* Board::PickOtherTeleportBrick(const Actor* brick) const {
  auto isOther = [brick](const Actor* candidate) {
    return candidate != brick && candidate->mAlive && candidate->ColourCode() == kTeleportSwirlCode;
  };
  const int count = static_cast<int>(std::count_if(gActorScene.mBricks.begin(), gActorScene.mBricks.end(), isOther));
  if (count == 0) return nullptr;
  int skip = std::rand() % count;
  for (Actor* candidate : gActorScene.mBricks) {
    if (isOther(candidate) && skip-- == 0) return candidate;
  }
  return nullptr;
}
