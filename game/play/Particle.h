// Particle: one glowing dot of an emitter's trail. It stands still where it was emitted and fades by a
// fixed step until its life runs out; an emitter keeps it in its pool and reuses it once it has gone
// out. Owned by its emitter. Main thread only.
#pragma once

namespace Kit {
class Graphics;
}  // namespace Kit

class Particle {
 public:
  virtual ~Particle() = default;

  // The alpha lost per fade step, and the updates between steps.
  void SetFade(int step, int period);
  // One update: the life counts down (the particle goes out at 0), then the fade timer.
  void Update();
  // IMAGE_PTC1 centred on (mX, mY), additively, in the particle's colour and alpha.
  void Draw(Kit::Graphics* g) const;

  int mFadeTimer = -1;  // updates left until the next fade step
  int mLife = 1;        // updates left until the particle goes out
  int mRed = 255;
  int mGreen = 255;
  int mBlue = 255;
  int mFadeStep = 1;    // alpha removed per fade step
  int mFadePeriod = 1;  // updates between fade steps
  int mAlpha = 255;     // never below 0
  int mX = 0;           // centre, screen pixels
  int mY = 0;
  int mActive = 1;  // nonzero while it lives; an inactive particle waits in the pool
};
