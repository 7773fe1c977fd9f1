#include "game/play/Actor.h"

#include <algorithm>
#include <cmath>

#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "platform/util/ClampToInt.h"

void Actor::ClearForces() {
  for (Force& force : mForces) force = Force{};
  mForceSumX = 0.0f;
  mForceSumY = 0.0f;
}

void Actor::UpdateOrbitPosition() {
  mX = std::sin(mOrbitAngle) * mOrbitRadius + mOrbitCenterX - mWidth * 0.5f;
  mY = std::cos(mOrbitAngle) * mOrbitRadius + mOrbitCenterY - mHeight * 0.5f;
}

void Actor::Draw(Kit::Graphics* g) const {
  if (mTmpl) mTmpl->Draw(g, mX, mY);
}

void Actor::DrawWithOverlay(Kit::Graphics* g) const {
  if (!mTmpl) return;
  mTmpl->DrawF(g, mX, mY);
  if (!mOverlay) return;
  if (mOverlay->mName == "fire") PointFlameAlongMotion();
  mOverlay->Draw(g, mX + mTmpl->mWidth * 0.5f - mOverlay->mWidth * 0.5f,
                 mY + mTmpl->mHeight * 0.5f - mOverlay->mHeight * 0.5f);
}

// The flame's angle is (asin(-vy / speed) + pi / 2), negated when moving left. A ball at rest (held by
// a swirl brick) or with a speed that is not a number keeps the angle it had.
void Actor::PointFlameAlongMotion() const {
  const double velX = mVelX, velY = mVelY;
  const double speed = std::sqrt(velX * velX + velY * velY);
  if (!(speed > 0.0) || !std::isfinite(speed)) return;
  const double direction = velX < 0.0 ? -1.0 : 1.0;
  mOverlay->mAngle = (std::asin(std::clamp(-velY / speed, -1.0, 1.0)) + kPi * 0.5) * direction;
}

std::string_view Actor::ColourCode() const {
  if (!mTmpl || mTmpl->mName.size() < 8) return {};
  return std::string_view(mTmpl->mName).substr(6, 2);
}

bool IsSwirlCode(std::string_view code) {
  return code == kSpeedUpSwirlCode || code == kSlowDownSwirlCode || code == kTeleportSwirlCode;
}

ObjectTemplate* Actor::ReplaceTemplate(const std::string& name) {
  ObjectTemplate* old = mTmpl;
  if (old) old->mRunning = false;
  ObjectTemplate* replacement = gObjectLibrary.ObtainAnimation(name);
  if (!replacement) {
    if (old) old->mRunning = true;
    return nullptr;
  }
  mTmpl = replacement;
  mWidth = plat::ClampToInt(replacement->mWidth);
  mHeight = plat::ClampToInt(replacement->mHeight);
  return replacement;
}

Actor* Actor::ReleaseHeldBall() {
  Actor* ball = mHeldBall;
  mHeldBall = nullptr;
  if (ball && mTmpl) mTmpl->mFrameDelay = kFreeSwirlFrameDelay;
  return ball;
}
