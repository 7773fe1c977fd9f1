// The rules object's brick hits: the six rules by hitter, the effects they play, weakening, the
// swirl bricks' capture, the new ball's extra ball and the ball kind changes.
#include "game/play/Board.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "framework/app/KitAppBase.h"
#include "framework/app/OwnCopyNote.h"
#include "game/play/Actor.h"
#include "game/play/GameApp.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/ResourceIds.h"
#include "platform/util/ClampToInt.h"

Board gBoard;

namespace {

constexpr int kSwirlHitPoints = -1;  // never counted down: swirl bricks never die
constexpr int kHeldSwirlFrameDelay = 1;
constexpr float kDegreesToRadians = 3.14159265358979323846 / 180.0;  // held as a float, as always
// The new ball's extra ball leaves no closer than this to the horizontal, degrees.
constexpr int kNearHorizontalDegrees = 10;
constexpr int kNearHorizontalShiftDegrees = 20;

float CentreX(const Actor& actor) { return actor.mX + actor.mWidth * 0.5f; }
float CentreY(const Actor& actor) { return actor.mY + actor.mHeight * 0.5f; }

bool IsColouredCode(std::string_view code) {
  return code == "aa" || code == "bb" || code == "cc" || code == "dd" || code == "ee" || code == "ff";
}

// The extra ball's direction in degrees, kept off the horizontal.
int ExtraBallDegrees(int drawn) {
  const bool nearHorizontal = drawn < kNearHorizontalDegrees ||
                              (drawn > 180 - kNearHorizontalDegrees && drawn < 180 + kNearHorizontalDegrees) ||
                              drawn > 360 - kNearHorizontalDegrees;
  return nearHorizontal ? drawn + kNearHorizontalShiftDegrees : drawn;
}

// An overlay a ball gives up goes back to the library.
void ReleaseOverlay(Actor* ball) {
  if (ball->mOverlay) ball->mOverlay->mRunning = false;
  ball->mOverlay = nullptr;
}

}  // namespace

int GameDifficulty() { return std::clamp(Kit::gKitApp->mDifficulty, kEasyDifficulty, kHardDifficulty); }

void PlaySound(int soundId) { Kit::gKitApp->PlaySample(soundId); }

bool IsTargetBrick(const Actor& brick) {
  const std::string_view code = brick.ColourCode();
  return code == "aa" || code == "bb" || code == "cc" || code == "ee";
}

void KillActor(Actor* actor) {
  actor->mAlive = false;
  if (actor->mTmpl) actor->mTmpl->mRunning = false;
  if (actor->mOverlay) actor->mOverlay->mRunning = false;
}

float BallSpeed(const Actor& ball) { return std::sqrt(ball.mVelX * ball.mVelX + ball.mVelY * ball.mVelY); }

void Board::LoadEffects(std::string path) {
  const std::string refusal = LoadEffectFile(path, mEffectRecords);
  // The game's own table is read without a word. A copy of the player's that cannot be read takes every
  // brick effect away, so the player is told which file it was and why.
  const std::string ownCopy = Kit::OwnCopyNote(path);
  if (refusal.empty() || ownCopy.empty() || Kit::gKitApp == nullptr) return;
  Kit::gKitApp->Notice("Failed to load brick effects: " + path + " (" + refusal + ")" + ownCopy);
}

void Board::ClearEffects() { mEffectRecords.Clear(); }

std::string Board::LookupEffect(std::string brickName, std::string key) const {
  return mEffectRecords.Lookup(brickName, key);
}

void Board::SetBrickHitPoints(Actor* brick) {
  const std::string_view code = brick->ColourCode();
  if (code == "aa" || code == "ee") {
    brick->mHitPoints = 1;
  } else if (code == "bb") {
    brick->mHitPoints = 2;
  } else if (code == "cc") {
    brick->mHitPoints = 3;
  } else if (code == "dd") {
    brick->mHitPoints = 5 * GameDifficulty();
  } else if (code == "ff") {
    brick->mHitPoints = 13 - 3 * GameDifficulty();
  } else if (IsSwirlCode(code)) {
    brick->mHitPoints = kSwirlHitPoints;
  }
}

void Board::BallHitsBrick(Actor* brick, Actor* hitter) {
  TheGame()->AddScore(kBrickHitScore);
  if (hitter == nullptr) return HitWithoutBall(brick);
  const std::string& name = hitter->mName;
  if (name == "balllarge" || name == "ballsmall" || name == "bullet") return HitByNormalBall(brick, hitter);
  if (name == "ballfire") return HitByFireBall(brick, hitter);
  if (name == "ballnew") return HitByNewBall(brick, hitter);
  if (name == "ballthru") return HitByThruBall(brick, hitter);
  if (hitter->mMode == kBombMode) HitByBomb(brick);
}

void Board::HitWithoutBall(Actor* brick) {
  const std::string code(brick->ColourCode());
  if (code == "bb" || code == "cc") {
    SpawnBrickEffect(brick, "hitname");
    Weaken(brick, code == "cc" ? "bb" : "aa");
  } else if (code == "ee") {
    SpawnBrickEffect(brick, "deadname");
  }
  Tail(brick, false);
}

void Board::HitByNormalBall(Actor* brick, Actor* ball) {
  NormalBallStrikes(brick, ball);
  Tail(brick, true);
}

// A normal ball's rule; a brick it kills also lets out a small ball.
void Board::HitByNewBall(Actor* brick, Actor* ball) {
  NormalBallStrikes(brick, ball);
  if (Tail(brick, true)) ReleaseNewBallExtra(*ball);
}

// What a normal or new ball does to a brick before the count-down: the effects and sounds by code,
// weakening, the random drop of a power-up brick and the capture by a swirl brick.
void Board::NormalBallStrikes(Actor* brick, Actor* ball) {
  const std::string code(brick->ColourCode());
  if (code == "aa") {
    SpawnBrickEffect(brick, "deadname");
    PlaySound(SOUND_BALLDEAD);
  } else if (code == "bb" || code == "cc") {
    SpawnBrickEffect(brick, "hitname");
    PlaySound(SOUND_HITCRASH);
    Weaken(brick, code == "cc" ? "bb" : "aa");
  } else if (code == "dd") {
    SpawnBrickEffect(brick, "hitname");
    PlaySound(SOUND_IRON);
  } else if (code == "ee") {
    SpawnBrickEffect(brick, "deadname");
    PlaySound(SOUND_FIREEXPLODE);
  } else if (code == "ff") {
    SpawnBrickEffect(brick, brick->mHitPoints > 1 ? "hitname" : "deadname");
    PlaySound(SOUND_HITPOWER);
    DropRandomPowerUp(*brick);
  } else if (IsSwirlCode(code)) {
    Capture(brick, ball);
  }
}

void Board::HitByFireBall(Actor* brick, Actor* ball) {
  HitByDestroyingBall(brick, ball, "fireballname", SOUND_FIREBALLHIT);
}

void Board::HitByThruBall(Actor* brick, Actor* ball) { HitByDestroyingBall(brick, ball, "deadname", SOUND_THRUHIT); }

// A fire or through ball destroys every coloured brick at once (an explosive one with its own sound)
// and is caught by a swirl brick like any ball.
void Board::HitByDestroyingBall(Actor* brick, Actor* ball, const std::string& effectKey, int sound) {
  const std::string_view code = brick->ColourCode();
  if (IsColouredCode(code)) {
    DestroyByForce(brick, effectKey, code == "ee" ? SOUND_FIREEXPLODE : sound);
  } else if (IsSwirlCode(code)) {
    Capture(brick, ball);
  }
}

void Board::HitByBomb(Actor* brick) {
  if (IsColouredCode(brick->ColourCode())) DestroyByForce(brick, "explodename", SOUND_FIREEXPLODE);
}

void Board::DestroyByForce(Actor* brick, const std::string& effectKey, int sound) {
  const bool powerUpBrick = brick->ColourCode() == "ff";
  SpawnBrickEffect(brick, effectKey);
  PlaySound(sound);
  Destroy(brick);
  if (powerUpBrick) {
    DropRandomPowerUp(*brick);
  } else {
    DropOwnPowerUp(*brick);
  }
}

void Board::SpawnBrickEffect(Actor* brick, const std::string& key) {
  const std::string value = LookupEffect(brick->mTmpl ? brick->mTmpl->mName : "", key);
  const std::string first = TextBefore(value, ":");
  const std::string second = TextAfter(value, ":");
  if (!first.empty()) SpawnEffectAnimation(*brick, first, brick->ColourCode() == "ee");
  if (!second.empty()) SpawnEffectAnimation(*brick, second, false);
}

void Board::SpawnEffectAnimation(const Actor& brick, const std::string& name, bool bomb) {
  ObjectTemplate* look = gObjectLibrary.ObtainAnimation(name);
  if (look == nullptr) return;
  look->mFrame = 0;
  Actor* effect = gActorScene.CreateActorDeferred(look, kEffectKind);
  effect->mX = CentreX(brick) - look->mWidth * 0.5f;
  effect->mY = CentreY(brick) - look->mHeight * 0.5f;
  effect->mName = look->mName;
  if (bomb) effect->mMode = kBombMode;
}

// The brick takes the template of the same name with the given code; when the template data has no
// such brick the brick keeps its look and name, and only its hit points go on counting.
void Board::Weaken(Actor* brick, std::string_view code) {
  std::string name = brick->mTmpl->mName;
  name.replace(6, 2, code);
  if (brick->ReplaceTemplate(name)) brick->mName = name;
}

void Board::Destroy(Actor* brick) {
  brick->mHitPoints = 0;
  KillActor(brick);
}

bool Board::Tail(Actor* brick, bool withIronEffect) {
  if (brick->mHitPoints > 0) --brick->mHitPoints;
  if (brick->mHitPoints != 0) return false;
  if (withIronEffect && brick->ColourCode() == "dd") SpawnBrickEffect(brick, "deadname");
  KillActor(brick);
  DropOwnPowerUp(*brick);
  return true;
}

std::string Board::GetDropName(const Actor& brick) { return brick.mCode.empty() ? "none" : brick.mCode; }

void Board::DropOwnPowerUp(const Actor& brick) {
  const std::string name = GetDropName(brick);
  if (name != "none") DropPowerUp(name, CentreX(brick), CentreY(brick));
}

void Board::DropRandomPowerUp(const Actor& brick) { DropPowerUp("random", CentreX(brick), CentreY(brick)); }

// A swirl brick holds one ball at a time, at rest on its centre, and spins fast while it does.
void Board::Capture(Actor* brick, Actor* ball) {
  if (brick->mHeldBall != nullptr) return;
  ball->mSavedVelX = ball->mVelX;
  ball->mSavedVelY = ball->mVelY;
  ball->mVelX = 0.0f;
  ball->mVelY = 0.0f;
  brick->mHoldCounter = kSwirlHoldUpdates;
  brick->mTmpl->mFrameDelay = kHeldSwirlFrameDelay;
  brick->mHeldBall = ball;
  ball->mX = CentreX(*brick) - ball->mWidth * 0.5f;
  ball->mY = CentreY(*brick) - ball->mHeight * 0.5f;
  PlaySound(SOUND_SWIRL_IN);
}

// A small ball at the new ball's place before the step, at its speed, in a random direction.
void Board::ReleaseNewBallExtra(const Actor& ball) {
  const float speed = BallSpeed(ball);
  const int degrees = ExtraBallDegrees(std::rand() % 360);
  const float radians = degrees * kDegreesToRadians;
  ObjectTemplate* look = gObjectLibrary.ObtainAnimation("smallball");
  if (look == nullptr) return;  // the template data has no small ball: no extra ball
  Actor* extra = gActorScene.CreateActorDeferred(look, kBallKind);
  extra->mX = ball.mPrevX;
  extra->mY = ball.mPrevY;
  extra->mRadius = static_cast<float>(extra->mWidth / 2);
  extra->mName = "ballsmall";
  extra->mVelX = std::cos(radians) * speed;
  extra->mVelY = std::sin(radians) * speed;
  look->mAngle = radians;
}

// The new look's size, and a radius of half its width in whole pixels. Without that template in the
// data the ball keeps its look.
void Board::ChangeBallLook(Actor* ball, const std::string& look) {
  ball->ReplaceTemplate(look);
  ball->mRadius = static_cast<float>(plat::ClampToInt(ball->mWidth * 0.5));
}

void Board::MakeFireBall(Actor* ball) {
  if (ball->mName == "ballfire") return;
  ReleaseOverlay(ball);
  ChangeBallLook(ball, "fireball");
  ball->mOverlay = gObjectLibrary.ObtainAnimation("fire");
  ball->mName = "ballfire";
}

void Board::MakeThruBall(Actor* ball) {
  if (ball->mName == "ballthru") return;
  ReleaseOverlay(ball);
  if (ball->mName == "ballfire") ChangeBallLook(ball, "largeball");
  ball->mOverlay = gObjectLibrary.ObtainAnimation("makeball");
  ball->mName = "ballthru";
}

void Board::MakeNewBall(Actor* ball) {
  if (ball->mName == "ballnew") return;
  ReleaseOverlay(ball);
  ChangeBallLook(ball, "largeball");
  ball->mOverlay = gObjectLibrary.ObtainAnimation("newball");
  ball->mName = "ballnew";
}

void Board::MakeLargeBall(Actor* ball, bool withSound) {
  if (withSound) PlaySound(SOUND_BIGBALL);
  if (ball->mName == "balllarge") return;
  ReleaseOverlay(ball);
  ChangeBallLook(ball, "largeball");
  ball->mName = "balllarge";
}

void Board::MakeSmallBall(Actor* ball, bool withSound) {
  if (withSound) PlaySound(SOUND_SMALLBALL);
  if (ball->mName == "ballsmall") return;
  ReleaseOverlay(ball);
  ChangeBallLook(ball, "smallball");
  ball->mName = "ballsmall";
}
