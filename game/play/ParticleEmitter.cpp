#include "game/play/ParticleEmitter.h"

#include <cstdlib>

namespace {

// Each move of an emitter on a grid point leaves the screen early with this chance in 100.
constexpr int kEarlyRestartPercent = 3;
constexpr int kEarlyRestartRowPx = 6;

}  // namespace

void ParticleEmitter::Update() {
  if (!mActive) return;
  Move();
  EmitParticles();
  for (const auto& particle : mParticles) particle->Update();
}

void ParticleEmitter::Move() {
  if (--mMoveTimer != 0) return;
  mMoveTimer = mMovePeriod;
  if (mDirection != "down") return;
  mY += mSpeed;
  if (mX % kColumnPx == 0 && mY % kEarlyRestartRowPx == 0 && std::rand() % 100 + 1 < kEarlyRestartPercent + 1)
    mY = kRestartY;
  if (mY >= kRestartY) RestartAtTop();
}

void ParticleEmitter::RestartAtTop() {
  mY = 0;
  mX = (std::rand() % kColumns) * kColumnPx;
  mSpeed = std::rand() % kMaxSpeed + 1;
}

void ParticleEmitter::EmitParticles() {
  for (int i = 0; i < mEmitCount; ++i) EmitParticle();
}

void ParticleEmitter::EmitParticle() {
  Particle* particle = nullptr;
  for (const auto& pooled : mParticles) {
    if (pooled->mActive == 0) {
      particle = pooled.get();
      break;
    }
  }
  if (particle == nullptr) particle = mParticles.emplace_back(std::make_unique<Particle>()).get();
  particle->SetFade(mFadeStep, mFadePeriod);
  particle->mRed = mRed;
  particle->mGreen = mGreen;
  particle->mBlue = mBlue;
  particle->mX = mX;
  particle->mY = mY;
  // Two draws, in this order: the size of the change, then its sign.
  const int change = std::rand() % (mLifeJitter + 1);
  const int sign = std::rand() % 2 == 1 ? -1 : 1;
  particle->mLife = mLife + change * sign;
  particle->mActive = 1;
  particle->mAlpha = 255;
}

void ParticleEmitter::Draw(Kit::Graphics* g) const {
  if (!mActive) return;
  for (const auto& particle : mParticles) particle->Draw(g);
}
