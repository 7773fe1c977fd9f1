// Actor.h: one sprite of the actor scene: a ball, the paddle, a brick, a falling power-up or a
// short-lived effect. A position, a size and a velocity with an animation instance from the object
// library, and the few fields the rules need. The scene's all-actors list owns every actor; an actor
// owns only its strings (its templates belong to the library). The game's rules read and write the
// fields directly. Main thread only.
#pragma once

#include <string>
#include <string_view>

namespace Kit {
class Graphics;
}  // namespace Kit

class ObjectTemplate;

// List membership and collision role.
enum ActorKind : int {
  kBallKind = 1,
  kPaddleKind = 2,
  kBrickKind = 3,
  kPowerUpKind = 4,
  kProjectileKind = 5,  // a striker of bricks that no operation of the game creates
  kEffectKind = 6,
};

enum ActorMode : int {
  kNormalMode = 1,
  kBombMode = 888,        // strikes the bricks around it while its template shows frame 5
  kBallKillerMode = 999,  // kills every ball when its animation ends
};

// The colour codes of the swirl bricks: each holds a ball a while, then lets it go sped up, slowed down,
// or out of another brick of its code.
inline constexpr std::string_view kSpeedUpSwirlCode = "gg";
inline constexpr std::string_view kSlowDownSwirlCode = "hh";
inline constexpr std::string_view kTeleportSwirlCode = "ii";
// The code is one of the three swirl codes.
bool IsSwirlCode(std::string_view code);

class Actor {
 public:
  // The radius of an actor that collides as a box.
  static constexpr float kBoxRadius = -1.0f;
  static constexpr double kPi = 3.14159265358979323846;
  // The number of force slots; slot 0 is the weight.
  static constexpr int kForceSlots = 6;
  // The frame delay of a swirl brick's template while it holds no ball, ticks.
  static constexpr int kFreeSwirlFrameDelay = 5;

  struct Force {
    float x = 0.0f;
    float y = 0.0f;
  };

  virtual ~Actor() = default;

  void ClearForces();
  // Puts the actor on its circle: the orbit angle about (mOrbitCenterX, mOrbitCenterY).
  void UpdateOrbitPosition();
  // The template's current cel at (mX, mY) in whole pixels (bricks, power-ups, effects).
  void Draw(Kit::Graphics* g) const;
  // Balls and paddles: the template at the float position, then the overlay centred on it; the flame
  // overlay "fire" first turns to point along the ball's motion.
  void DrawWithOverlay(Kit::Graphics* g) const;

  // A brick's colour code: characters 6 and 7 of its template's name ("cc" for "brick_cc_020"); empty
  // without a template or for a shorter name.
  std::string_view ColourCode() const;
  // Gives up the template for the library's animation of that name and takes its size. The old one is
  // released first, so the same name may hand the same record back. When the library has no such
  // animation (it beeps) the actor keeps its old template, running again, and null is returned.
  ObjectTemplate* ReplaceTemplate(const std::string& name);
  // Lets go of the held ball (null when none): the brick's template spins at its free pace again.
  Actor* ReleaseHeldBall();

  Actor* mHeldBall = nullptr;  // on a swirl brick: the ball it holds; cleared when that ball is deleted
  float mPrevX = 0.0f;         // position before the last integration step
  float mPrevY = 0.0f;
  float mX = 0.0f;  // top-left corner, screen pixels
  float mY = 0.0f;
  float mSavedVelX = 0.0f;  // a held ball's velocity, restored when the brick releases it
  float mSavedVelY = 0.0f;
  float mVelX = 0.0f;  // pixels per second of game time; y grows downwards
  float mVelY = 0.0f;
  Force mForces[kForceSlots];
  float mForceSumX = 0.0f;
  float mForceSumY = 0.0f;
  float mMass = 0.0f;  // forces act only when its magnitude exceeds 0.01
  int mMode = kNormalMode;
  int mKind = -1;
  int mHoldCounter = -1;  // on a holding brick: updates left before it releases its ball
  std::string mName;      // what the actor is: "balllarge", "paddlemiddle", "brick_dd_001", ...
  int mWidth = 0;         // the template's size truncated: the collision box
  int mHeight = 0;
  float mRadius = kBoxRadius;  // otherwise the circle radius used against balls
  float mOrbitAngle = 0.0f;
  float mOrbitRadius = 0.0f;
  float mAngularVelocity = 0.0f;
  float mOrbitCenterX = 0.0f;
  float mOrbitCenterY = 0.0f;
  bool mOrbiting = false;
  ObjectTemplate* mTmpl = nullptr;     // the actor's animation; owned by the object library
  ObjectTemplate* mOverlay = nullptr;  // drawn over a ball (the flame of a fire ball); library-owned
  int mHitPoints = 1;                  // hits a brick still takes; actors with 0 are not drawn
  bool mAlive = true;                  // cleared to kill; the scene deletes dead actors in its update
  std::string mCode;                   // on a brick: the power-up it drops

 private:
  void PointFlameAlongMotion() const;
};
