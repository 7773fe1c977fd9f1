// ParticleEmitter: a point that drifts down the 800 x 600 screen, column by column, leaving a trail of
// fading particles behind it. It owns its pool of particles and reuses the ones that have gone out.
// Owned by the emitter set. Main thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "game/play/Particle.h"

namespace Kit {
class Graphics;
}  // namespace Kit

class ParticleEmitter {
 public:
  // Emitters move on columns this many pixels apart.
  static constexpr int kColumnPx = 14;
  static constexpr int kColumns = 57;  // columns 0 to 784
  // An emitter that reaches this y starts again at the top.
  static constexpr int kRestartY = 601;
  // Speeds are 1 to kMaxSpeed pixels per move.
  static constexpr int kMaxSpeed = 3;

  virtual ~ParticleEmitter() = default;

  // One update: move, emit, then update every particle of the pool (the new ones included).
  void Update();
  void Move();
  void EmitParticles();
  // Lights the first particle of the pool that has gone out, or a new one, at the emitter.
  void EmitParticle();
  void Draw(Kit::Graphics* g) const;
  // Back to the top of the screen on a random column, at a random speed.
  void RestartAtTop();

  int mMoveTimer = 1;  // updates left until the next move
  std::vector<std::unique_ptr<Particle>> mParticles;
  int mEmitCount = 1;  // particles per update
  int mRed = 91;       // the colour of new particles
  int mGreen = 42;
  int mBlue = 42;
  int mMovePeriod = 1;  // updates between moves
  int mLife = 50;       // a new particle's life, updates
  int mLifeJitter = 0;  // the largest random change of that life
  int mFadeStep = 5;
  int mFadePeriod = 1;
  int mX = 0;  // screen pixels
  int mY = 0;
  int mSpeed = 1;  // pixels per move
  bool mActive = true;
  std::string mDirection = "down";  // every emitter of the game moves down
};
