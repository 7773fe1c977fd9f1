// The play field's actors: the paddle and ball of each life, the answers to the scene's touching pairs,
// the paddle's bounce angle and the catching of power-ups.
#include <algorithm>
#include <cmath>
#include <string>

#include "framework/graphics/MemoryImage.h"
#include "game/play/Actor.h"
#include "game/play/Board.h"
#include "game/play/GameApp.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/PlayField.h"
#include "game/play/ResourceIds.h"
#include "platform/shell/Shell.h"
#include "platform/util/ClampToInt.h"

namespace {

constexpr DWORD kMissingActorBeepHz = 111;
constexpr DWORD kMissingActorBeepMs = 111;
constexpr float kPaddleTopY = 560.0f;
constexpr int kTargetBricksForEndGame = 4;
constexpr float kEndGameDropX = 400.0f;
constexpr float kEndGameDropY = 4.0f;
// At a paddle's end the ball leaves this fraction of the angle factor (about pi) off vertical.
constexpr double kPaddleAngleScale = 0.45;
constexpr int kPowerUpScore = 3;

void Kill(Actor* actor) {
  actor->mAlive = false;
  if (actor->mTmpl) actor->mTmpl->mRunning = false;
}

// A library animation, hidden until the ready phase shows it; a beep and null when the library has none.
ObjectTemplate* ObtainHidden(const char* name) {
  ObjectTemplate* look = gObjectLibrary.ObtainAnimation(name);
  if (look == nullptr) {
    Beep(kMissingActorBeepHz, kMissingActorBeepMs);
    return nullptr;
  }
  look->mName = name;
  look->mVisible = false;
  return look;
}

Actor* CreateOrBeep(ObjectTemplate* look, int kind) {
  Actor* actor = gActorScene.CreateActor(look, kind);
  if (actor == nullptr) Beep(kMissingActorBeepHz, kMissingActorBeepMs);
  return actor;
}

void MakePaddle() {
  ObjectTemplate* look = ObtainHidden("paddlemiddle");
  if (look == nullptr) return;
  Actor* paddle = CreateOrBeep(look, kPaddleKind);
  if (paddle == nullptr) return;
  paddle->mWidth = plat::ClampToInt(look->mWidth);
  paddle->mHeight = plat::ClampToInt(look->mHeight);
  paddle->mY = kPaddleTopY;
  paddle->mX = static_cast<float>((PlayField::kRightWallX - paddle->mWidth) / 2);
  paddle->mName = "paddlemiddle";
}

void MakeBall(float paddleAngleFactor) {
  ObjectTemplate* look = ObtainHidden("largeball");
  if (look == nullptr) return;
  look->mAngle = -paddleAngleFactor;
  Actor* ball = CreateOrBeep(look, kBallKind);
  if (ball == nullptr) return;
  ball->mWidth = plat::ClampToInt(look->mWidth);
  ball->mHeight = plat::ClampToInt(look->mHeight);
  ball->mRadius = static_cast<float>(ball->mWidth / 2);
  ball->mName = "balllarge";
}

using PowerUpAction = void (Board::*)();
struct PowerUpEntry {
  const char* mName;
  PowerUpAction mAction;
};
constexpr PowerUpEntry kPowerUps[] = {
    {"ups_largeball", &Board::PowerUpLargeBall},
    {"ups_smallball", &Board::PowerUpSmallBall},
    {"ups_addvel", &Board::PowerUpAddVelocity},
    {"ups_subvel", &Board::PowerUpSubVelocity},
    {"ups_threeball", &Board::PowerUpThreeBall},
    {"ups_eightball", &Board::PowerUpEightBall},
    {"ups_fireball", &Board::PowerUpFireBall},
    {"ups_thru", &Board::PowerUpThru},
    {"ups_longpaddle", &Board::PowerUpLongPaddle},
    {"ups_shortpaddle", &Board::PowerUpShortPaddle},
    {"ups_convert", &Board::PowerUpConvert},
    {"ups_down", &Board::PowerUpDown},
    {"ups_up", &Board::PowerUpUp},
    {"ups_addlive", &Board::PowerUpAddLife},
    {"ups_sublive", &Board::PowerUpSubLife},
    {"ups_explode", &Board::PowerUpExplode},
    {"ups_bounce", &Board::PowerUpBounce},
    {"ups_newball", &Board::PowerUpNewBall},
    {"ups_cannon", &Board::PowerUpCannon},
    {"ups_reverse", &Board::PowerUpReverse},
};

}  // namespace

void PlayField::StartLife() {
  if (Actor* paddle = FindPaddle()) {
    // Whatever its length, two steps shorter and one longer leave the middle paddle.
    gBoard.ShortenPaddle(paddle);
    gBoard.ShortenPaddle(paddle);
    gBoard.LengthenPaddle(paddle);
  } else {
    MakePaddle();
  }
  MakeBall(mApp->mPaddleAngleFactor);
  mApp->SetCursor(Kit::CURSOR_NONE);
}

Actor* PlayField::FindPaddle() const { return gActorScene.FindActorByName("paddle"); }

Actor* PlayField::FindBall() const { return gActorScene.FindActorByName("ball"); }

bool NoLiveBall() {
  return std::none_of(gActorScene.mAllActors.begin(), gActorScene.mAllActors.end(),
                      [](const auto& actor) { return actor->mAlive && actor->mKind == kBallKind; });
}

bool FewTargetBricksLeft() {
  const auto targets = std::count_if(
      gActorScene.mAllActors.begin(), gActorScene.mAllActors.end(),
      [](const auto& actor) { return actor->mAlive && actor->mKind == kBrickKind && IsTargetBrick(*actor); });
  return targets < kTargetBricksForEndGame;
}

void DropThreeBallPowerUp() { gBoard.DropPowerUp("ups_threeball", kEndGameDropX, kEndGameDropY); }

void PlayField::CollideActor(Actor* first, Actor* second, int pairType) {
  switch (pairType) {
    case kBallPaddlePair:
      CollideBallAndPaddle(first, second);
      break;
    case kBallBrickPair:
      CollideBallAndBrick(first, second);
      break;
    case kPowerUpPaddlePair:
      ApplyPowerUp(first);
      Kill(first);
      break;
    case kProjectileBrickPair:
      ApplyBallKindHit(first, second);
      Kill(first);
      break;
    default:
      break;
  }
}

void PlayField::CollideBallAndPaddle(Actor* ball, Actor* paddle) {
  // Only while the ball's centre is above the paddle's bottom edge.
  if (!(ball->mY + ball->mRadius < paddle->mY + paddle->mHeight)) return;
  const int left = std::max(plat::ClampToInt(ball->mX), plat::ClampToInt(paddle->mX));
  const int right = std::min(plat::ClampToInt(ball->mX + ball->mWidth), plat::ClampToInt(paddle->mX + paddle->mWidth));
  const int top = std::max(plat::ClampToInt(ball->mY), plat::ClampToInt(paddle->mY));
  const int bottom =
      std::min(plat::ClampToInt(ball->mY + ball->mHeight), plat::ClampToInt(paddle->mY + paddle->mHeight));
  if (PixelOverlap(ball, paddle, Kit::Rect(left, top, right - left, bottom - top))) BounceOffPaddle(ball, paddle);
}

// A ball is answered only on the step in which it reaches a brick, not while it is still inside.
void PlayField::CollideBallAndBrick(Actor* ball, Actor* brick) {
  const float r = ball->mRadius;
  if (PointTouchesActor(ball->mPrevX + r, ball->mPrevY + r, r, *brick)) return;
  if (!PointTouchesActor(ball->mX + r, ball->mY + r, r, *brick) || brick->mHitPoints == 0) return;
  gBoard.BallHitsBrick(brick, ball);
  if (ball->mName == "ballthru" || IsSwirlCode(brick->ColourCode())) return;
  ReboundOffBrick(ball, brick);
}

// The ball's path from its previous centre P to its centre N crosses the brick's box grown by the
// radius; the edges it crosses turn the matching velocity component back (both at a corner).
void PlayField::ReboundOffBrick(Actor* ball, const Actor* brick) {
  const float r = ball->mRadius;
  const float px = ball->mPrevX + r, py = ball->mPrevY + r;
  const float nx = ball->mX + r, ny = ball->mY + r;
  const float left = brick->mX - r, right = brick->mX + brick->mWidth + r;
  const float top = brick->mY - r, bottom = brick->mY + brick->mHeight + r;
  const float edgeX = ball->mVelX >= 0.0f ? left : right;
  const float edgeY = ball->mVelY >= 0.0f ? top : bottom;
  const auto reverse = [ball](float& velocity) {
    velocity = -velocity;
    ball->mTmpl->mAngle = -ball->mTmpl->mAngle;
    ball->mX = ball->mPrevX;
    ball->mY = ball->mPrevY;
  };
  if (px != nx) {
    const float y = ny + (edgeX - nx) * (py - ny) / (px - nx);
    if (top <= y && y <= bottom) reverse(ball->mVelX);
  }
  if (py != ny) {
    const float x = nx + (edgeY - ny) * (px - nx) / (py - ny);
    if (left <= x && x <= right) reverse(ball->mVelY);
  }
}

bool PointTouchesActor(float px, float py, float margin, const Actor& actor) {
  if (actor.mRadius == Actor::kBoxRadius)
    return actor.mX - margin <= px && px <= actor.mX + actor.mWidth + margin && actor.mY - margin <= py &&
           py <= actor.mY + actor.mHeight + margin;
  const float dx = px - (actor.mX + actor.mWidth * 0.5f);
  const float dy = py - (actor.mY + actor.mHeight * 0.5f);
  return std::sqrt(dx * dx + dy * dy) <= actor.mRadius + margin;
}

bool ImageOpaqueAt(Kit::Image* image, int x, int y) {
  auto* pixels = dynamic_cast<Kit::MemoryImage*>(image);
  const std::uint32_t* bits = pixels != nullptr ? pixels->GetBits() : nullptr;
  if (bits == nullptr) return false;
  if (x < 0 || y < 0 || x >= image->GetWidth() || y >= image->GetHeight()) return false;
  return (bits[y * image->GetWidth() + x] >> 24) == 0xFF;
}

bool PlayField::PixelOverlap(const Actor* a, const Actor* b, const Kit::Rect& rect) const {
  Kit::Image* imageA = a->mTmpl ? a->mTmpl->mImage : nullptr;
  Kit::Image* imageB = b->mTmpl ? b->mTmpl->mImage : nullptr;
  for (int i = 0; i < rect.mWidth; ++i) {
    for (int j = 0; j < rect.mHeight; ++j) {
      const int px = rect.mX + i;
      const int py = rect.mY + j;
      if (ImageOpaqueAt(imageA, plat::ClampToInt(px - a->mX), plat::ClampToInt(py - a->mY)) &&
          ImageOpaqueAt(imageB, plat::ClampToInt(px - b->mX), plat::ClampToInt(py - b->mY)))
        return true;
    }
  }
  return false;
}

// The further from the paddle's centre the ball lands, the flatter it leaves; its speed is kept.
void PlayField::BounceOffPaddle(Actor* ball, Actor* paddle) {
  const float speed = std::sqrt(ball->mVelX * ball->mVelX + ball->mVelY * ball->mVelY);
  const float halfWidth = paddle->mTmpl->mWidth * 0.5f;
  if (!(halfWidth > 0.0f)) return;  // a paddle without width has no angle to give
  const float offset = ((paddle->mX + halfWidth) - (ball->mX + ball->mRadius)) / halfWidth;
  const double angle = offset * mApp->mPaddleAngleFactor * kPaddleAngleScale;
  ball->mVelX = static_cast<float>(-speed * std::sin(angle));
  ball->mVelY = static_cast<float>(-speed * std::cos(angle));
  ball->mTmpl->mAngle = angle;
  mApp->PlaySample(SOUND_BALLHITPADDLE);
}

void PlayField::ApplyPowerUp(Actor* powerUp) {
  mApp->AddScore(kPowerUpScore);
  for (const PowerUpEntry& entry : kPowerUps) {
    if (powerUp->mName == entry.mName) {
      (gBoard.*entry.mAction)();
      return;
    }
  }
}

void ApplyBallKindHit(Actor* striker, Actor* brick) { gBoard.BallHitsBrick(brick, striker); }
