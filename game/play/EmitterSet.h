// EmitterSet: the global set of particle emitters (gEmitterSet) whose trails drift down the menu screens
// and the still-picture background. It is never reset between screens, so the trails carry on from one
// screen to the next. It owns its emitters. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "game/play/ParticleEmitter.h"

namespace Kit {
class Graphics;
}  // namespace Kit

class EmitterSet {
 public:
  virtual ~EmitterSet() { Clear(); }

  // Sets an emitter going on the 14-pixel grid (it may start below the screen and then restarts at the
  // top at its first move): the first inactive one, or a new one.
  void StartEmitter();
  void Update();
  void Draw(Kit::Graphics* g) const;
  // Deletes every emitter and its particles.
  void Clear();

  struct Rgb {
    int mRed, mGreen, mBlue;
  };
  Rgb mEmitterColor{40, 55, 94};  // the colour every started emitter gets
  std::vector<std::unique_ptr<ParticleEmitter>> mEmitters;
};

extern EmitterSet gEmitterSet;
