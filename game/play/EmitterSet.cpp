#include "game/play/EmitterSet.h"

#include <cstdlib>

EmitterSet gEmitterSet;

void EmitterSet::StartEmitter() {
  ParticleEmitter* emitter = nullptr;
  for (const auto& existing : mEmitters) {
    if (!existing->mActive) {
      emitter = existing.get();
      break;
    }
  }
  if (emitter == nullptr) emitter = mEmitters.emplace_back(std::make_unique<ParticleEmitter>()).get();
  emitter->mDirection = "down";
  emitter->mX = (std::rand() % ParticleEmitter::kColumns) * ParticleEmitter::kColumnPx;
  emitter->mY = (std::rand() % ParticleEmitter::kColumns) * ParticleEmitter::kColumnPx;
  emitter->mActive = true;
  emitter->mRed = mEmitterColor.mRed;
  emitter->mGreen = mEmitterColor.mGreen;
  emitter->mBlue = mEmitterColor.mBlue;
  emitter->mSpeed = std::rand() % ParticleEmitter::kMaxSpeed + 1;
}

void EmitterSet::Update() {
  for (const auto& emitter : mEmitters) emitter->Update();
}

void EmitterSet::Draw(Kit::Graphics* g) const {
  for (const auto& emitter : mEmitters) emitter->Draw(g);
}

void EmitterSet::Clear() { mEmitters.clear(); }
