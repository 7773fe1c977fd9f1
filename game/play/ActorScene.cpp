#include "game/play/ActorScene.h"

#include <cmath>

#include "game/play/GameMath.h"
#include "game/play/ObjectTemplate.h"
#include "platform/util/ClampToInt.h"

ActorScene gActorScene;

namespace {

// |value| <= deadZone becomes exactly 0.
float SnapToZero(float value, float deadZone) { return std::fabs(value) <= deadZone ? 0.0f : value; }

// The inclusive box test: touching edges count.
bool BoxesTouch(const Actor* outer, const Actor* inner) {
  return inner->mX <= outer->mX + static_cast<float>(outer->mWidth) &&
         outer->mX <= inner->mX + static_cast<float>(inner->mWidth) &&
         inner->mY <= outer->mY + static_cast<float>(outer->mHeight) &&
         outer->mY <= inner->mY + static_cast<float>(inner->mHeight);
}

double CentreX(const Actor* actor) { return actor->mX + actor->mWidth * 0.5; }
double CentreY(const Actor* actor) { return actor->mY + actor->mHeight * 0.5; }

double CentreDistance(const Actor* a, const Actor* b) {
  return std::hypot(CentreX(a) - CentreX(b), CentreY(a) - CentreY(b));
}

// A ball against a brick: the brick's box, or its circle when it has a radius.
bool BallTouchesBrick(const Actor* ball, const Actor* brick) {
  if (brick->mRadius == Actor::kBoxRadius) return BoxesTouch(ball, brick);
  return CentreDistance(ball, brick) <= static_cast<double>(ball->mRadius) + brick->mRadius;
}

bool IsDead(const Actor* actor) { return !actor->mAlive; }

}  // namespace

ActorScene::~ActorScene() { Clear(); }

std::unique_ptr<Actor> ActorScene::NewActor(ObjectTemplate* tmpl, int kind) const {
  auto actor = std::make_unique<Actor>();
  actor->mMode = kNormalMode;
  actor->mTmpl = tmpl;
  if (tmpl) {
    actor->mX = tmpl->mX;
    actor->mY = tmpl->mY;
    actor->mWidth = plat::ClampToInt(tmpl->mWidth);
    actor->mHeight = plat::ClampToInt(tmpl->mHeight);
  }
  actor->mKind = kind;
  return actor;
}

std::vector<Actor*>* ActorScene::KindList(int kind) {
  switch (kind) {
    case kBallKind:
      return &mBalls;
    case kPaddleKind:
      return &mPaddles;
    case kBrickKind:
      return &mBricks;
    case kPowerUpKind:
      return &mPowerUps;
    case kProjectileKind:
      return &mProjectiles;
    case kEffectKind:
      return &mEffects;
    default:
      return nullptr;
  }
}

std::array<std::vector<Actor*>*, 6> ActorScene::KindLists() {
  return {&mBalls, &mPaddles, &mBricks, &mPowerUps, &mProjectiles, &mEffects};
}

void ActorScene::AddToLists(std::unique_ptr<Actor> actor) {
  if (std::vector<Actor*>* list = KindList(actor->mKind)) list->push_back(actor.get());
  mAllActors.push_back(std::move(actor));
}

Actor* ActorScene::CreateActor(ObjectTemplate* tmpl, int kind) {
  std::unique_ptr<Actor> actor = NewActor(tmpl, kind);
  Actor* created = actor.get();
  AddToLists(std::move(actor));
  return created;
}

Actor* ActorScene::CreateActorDeferred(ObjectTemplate* tmpl, int kind) {
  return mPendingActors.emplace_back(NewActor(tmpl, kind)).get();
}

Actor* ActorScene::FindActorByName(std::string_view prefix) const {
  for (const auto& actor : mAllActors) {
    if (actor->mAlive && actor->mName.starts_with(prefix)) return actor.get();
  }
  return nullptr;
}

void ActorScene::Update(float dt, float scale) {
  if (!mUpdateEnabled) return;
  SumForces();
  ApplyForces();
  ResetForces();
  Integrate(dt, scale);
  Collide();
  RemoveDeadActors();
  AddPendingActors();
  FinishEffects();
  UpdateSpecials();
}

void ActorScene::ApplyWeight() {
  if (!mWeightEnabled) return;
  for (const auto& actor : mAllActors) actor->mForces[0] = {0.0f, actor->mMass * mGravity};
}

void ActorScene::SumForces() {
  ApplyWeight();
  for (const auto& actor : mAllActors) {
    if (!actor->mAlive) continue;
    float sumX = 0.0f, sumY = 0.0f;
    for (int slot = Actor::kForceSlots - 1; slot >= 0; --slot) {  // the last slot first
      sumX += actor->mForces[slot].x;
      sumY += actor->mForces[slot].y;
    }
    actor->mForceSumX = SnapToZero(sumX, mDeadZone);
    actor->mForceSumY = SnapToZero(sumY, mDeadZone);
  }
}

void ActorScene::ApplyForces() {
  for (const auto& actor : mAllActors) {
    if (!actor->mAlive) continue;
    if (actor->mOrbiting) {
      actor->mAngularVelocity -= std::sin(actor->mOrbitAngle) * mGravity / actor->mOrbitRadius;
      continue;
    }
    if (std::fabs(actor->mMass) > 0.01f) {  // a force acts once per tick, without dt
      actor->mVelX += actor->mForceSumX / actor->mMass;
      actor->mVelY += actor->mForceSumY / actor->mMass;
    }
    actor->mVelX = SnapToZero(actor->mVelX, mDeadZone);
    actor->mVelY = SnapToZero(actor->mVelY, mDeadZone);
  }
}

void ActorScene::ResetForces() {
  for (const auto& actor : mAllActors) actor->ClearForces();
}

void ActorScene::Integrate(float dt, float scale) {
  for (const auto& actor : mAllActors) {
    if (!actor->mAlive) continue;
    actor->mPrevX = actor->mX;
    actor->mPrevY = actor->mY;
    if (actor->mOrbiting) {
      actor->mOrbitAngle += dt * actor->mAngularVelocity;
      actor->UpdateOrbitPosition();
    } else {
      actor->mX += actor->mVelX * dt * scale;
      actor->mY += actor->mVelY * dt * scale;
    }
  }
}

// Indices rather than iterators: a response that creates an actor at once must not invalidate the walk.
template <typename Touching>
void ActorScene::CollidePairs(const std::vector<Actor*>& outer, const std::vector<Actor*>& inner, int pairType,
                              Touching touching) {
  for (std::size_t i = 0; i < outer.size(); ++i) {
    for (std::size_t j = 0; j < inner.size(); ++j) {
      if (touching(outer[i], inner[j])) mCollisionResponder->CollideActor(outer[i], inner[j], pairType);
    }
  }
}

// No test of mAlive: an actor killed earlier in the pass still takes part in its later pairs.
void ActorScene::Collide() {
  if (!mCollisionResponder) return;
  // Lambdas rather than function pointers: each pass gets its own test inlined.
  const auto boxes = [](const Actor* a, const Actor* b) { return BoxesTouch(a, b); };
  CollidePairs(mBalls, mPaddles, kBallPaddlePair, boxes);
  CollidePairs(mBalls, mBricks, kBallBrickPair, [](const Actor* a, const Actor* b) { return BallTouchesBrick(a, b); });
  CollidePairs(mPowerUps, mPaddles, kPowerUpPaddlePair, boxes);
  CollidePairs(mProjectiles, mBricks, kProjectileBrickPair, boxes);
}

void ActorScene::RemoveDeadActors() {
  for (std::vector<Actor*>* list : KindLists()) std::erase_if(*list, IsDead);
  // A brick must not go on holding a ball that is about to be deleted.
  for (const auto& actor : mAllActors) {
    if (actor->mAlive && actor->mHeldBall && !actor->mHeldBall->mAlive) actor->ReleaseHeldBall();
  }
  std::erase_if(mAllActors, [](const std::unique_ptr<Actor>& actor) { return IsDead(actor.get()); });
}

void ActorScene::AddPendingActors() {
  for (auto& actor : mPendingActors) AddToLists(std::move(actor));
  mPendingActors.clear();
}

// An effect whose play-once animation has run past its last cel dies; a ball-killer takes every ball.
void ActorScene::FinishEffects() {
  bool killBalls = false;
  for (Actor* effect : mEffects) {
    ObjectTemplate* tmpl = effect->mTmpl;
    if (!effect->mAlive || !tmpl || tmpl->mFrame != tmpl->mFrameCount) continue;
    tmpl->mRunning = false;
    effect->mAlive = false;
    if (effect->mMode == kBallKillerMode) killBalls = true;
  }
  if (!killBalls) return;
  for (Actor* ball : mBalls) {
    if (ball->mKind != kBallKind || !ball->mAlive) continue;
    ball->mAlive = false;
    if (ball->mTmpl) ball->mTmpl->mRunning = false;
  }
}

void ActorScene::UpdateSpecials() {
  if (!mRules) return;
  for (std::size_t i = 0; i < mEffects.size(); ++i) {
    Actor* effect = mEffects[i];
    if (effect->mAlive && effect->mMode == kBombMode && effect->mTmpl && effect->mTmpl->mFrame == kBombFrame) {
      ExplodeBomb(effect);
    }
  }
  for (std::size_t i = 0; i < mBricks.size(); ++i) {
    if (mBricks[i]->mAlive) UpdateHeldBall(mBricks[i]);
  }
}

void ActorScene::ExplodeBomb(Actor* bomb) {
  for (std::size_t i = 0; i < mBricks.size(); ++i) {
    Actor* brick = mBricks[i];
    if (brick->mAlive && CentreDistance(brick, bomb) < kBombRadiusPx) mRules->BallHitsBrick(brick, bomb);
  }
}

// A swirl brick counts down its hold and lets the ball go sped up, slowed down or out of another brick
// of its code.
void ActorScene::UpdateHeldBall(Actor* brick) {
  const std::string_view code = brick->ColourCode();
  if (!IsSwirlCode(code)) return;
  if (!brick->mHeldBall) return;
  brick->mHoldCounter = WrappingAdd(brick->mHoldCounter, -1);
  if (brick->mHoldCounter != 0) return;
  Actor* ball = brick->ReleaseHeldBall();
  ball->mVelX = ball->mSavedVelX;
  ball->mVelY = ball->mSavedVelY;
  if (code == kSpeedUpSwirlCode) mRules->SpeedUpBall(ball);
  if (code == kSlowDownSwirlCode) mRules->SlowDownBall(ball);
  if (code == kTeleportSwirlCode) mRules->TeleportBall(brick, ball);
  ball->mSavedVelX = 0.0f;
  ball->mSavedVelY = 0.0f;
}

void ActorScene::Draw(Kit::Graphics* g) const {
  auto drawn = [](const Actor* actor) { return actor->mAlive && actor->mHitPoints != 0; };
  auto ballOrPaddle = [](const Actor* actor) { return actor->mKind == kBallKind || actor->mKind == kPaddleKind; };
  for (const auto& actor : mAllActors) {
    if (drawn(actor.get()) && !ballOrPaddle(actor.get())) actor->Draw(g);
  }
  for (const auto& actor : mAllActors) {
    if (drawn(actor.get()) && ballOrPaddle(actor.get())) actor->DrawWithOverlay(g);
  }
}

void ActorScene::Clear() {
  for (std::vector<Actor*>* list : KindLists()) list->clear();
  mAllActors.clear();
  mPendingActors.clear();
}

void ActorScene::Reset() {
  Clear();
  mDeadZone = 0.0001f;
  mGravity = 0.0f;
  mWeightEnabled = true;
  mUpdateEnabled = true;
  mCollisionResponder = nullptr;
  mRules = nullptr;
}
