// ActorScene.h: the sprite engine. One global object, gActorScene, holds every actor of the current
// level in typed lists, moves them once per physics tick, tests the pairs of lists that can touch and
// hands each touching pair to the collision responder (the play field), retires dead actors, adds the
// actors made during the tick, and runs the timed specials of bombs and ball-holding bricks through the
// rules. It draws the actors in two passes, balls and paddles last. It owns its actors. Main thread
// only.
#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "game/play/Actor.h"

namespace Kit {
class Graphics;
}  // namespace Kit

class ObjectTemplate;

// The touching pairs the collision pass reports: (outer list, inner list).
enum CollisionPair : int {
  kBallPaddlePair = 1,
  kBallBrickPair = 2,
  kPowerUpPaddlePair = 3,
  kProjectileBrickPair = 4,
};

// Answers the scene's collision pass: the play field. A response may kill actors and change their
// fields, and makes new actors only with CreateActorDeferred.
class CollisionResponder {
 public:
  virtual void CollideActor(Actor* first, Actor* second, int pairType) = 0;

 protected:
  ~CollisionResponder() = default;
};

// The rules the scene's specials step applies: the rules object. Same restrictions as above.
class SceneRules {
 public:
  // A brick struck by a hitter (here: a bomb in its blast).
  virtual void BallHitsBrick(Actor* brick, Actor* hitter) = 0;
  // A ball let go by a swirl brick.
  virtual void SpeedUpBall(Actor* ball) = 0;
  virtual void SlowDownBall(Actor* ball) = 0;
  virtual void TeleportBall(Actor* brick, Actor* ball) = 0;

 protected:
  ~SceneRules() = default;
};

class ActorScene {
 public:
  // A bomb's blast reaches bricks whose centre is closer than this to its own, pixels.
  static constexpr double kBombRadiusPx = 70.0;
  // The template frame on which a bomb strikes.
  static constexpr int kBombFrame = 5;

  ActorScene() = default;
  virtual ~ActorScene();
  ActorScene(const ActorScene&) = delete;
  ActorScene& operator=(const ActorScene&) = delete;

  // A new actor on the template (position and size from it; mode 1, the given kind) in the scene's
  // lists at once. A null template leaves the actor at (0, 0) with no size.
  Actor* CreateActor(ObjectTemplate* tmpl, int kind);
  // The same, but the actor joins the lists at the next update: for anything made while the scene is
  // being walked (collision responses, rules, specials).
  Actor* CreateActorDeferred(ObjectTemplate* tmpl, int kind);
  // The first live actor whose name begins with prefix ("ball" finds "ballfire"), or null.
  Actor* FindActorByName(std::string_view prefix) const;

  // One physics tick of dt seconds scaled by scale; nothing while mUpdateEnabled is false.
  void Update(float dt, float scale);
  // Live actors with nonzero hit points: bricks, power-ups and effects, then balls and paddles.
  void Draw(Kit::Graphics* g) const;
  // Deletes every actor, pending ones included.
  void Clear();
  // Clear, and every field back to its start value (tests).
  void Reset();

  float mDeadZone = 0.0001f;                       // a force sum or velocity component no larger than this becomes 0
  float mGravity = 0.0f;                           // scale of the weight force; nothing changes it
  std::vector<std::unique_ptr<Actor>> mAllActors;  // creation order; owns the actors
  std::vector<Actor*> mBalls;
  std::vector<Actor*> mPaddles;
  std::vector<Actor*> mBricks;
  std::vector<Actor*> mPowerUps;
  std::vector<Actor*> mProjectiles;
  std::vector<Actor*> mEffects;
  std::vector<std::unique_ptr<Actor>> mPendingActors;  // made during a tick; join at the next update
  bool mWeightEnabled = true;
  bool mUpdateEnabled = true;  // cleared while the in-game menu is open
  // Installed by whoever runs the scene (the play field while it lives); null skips those calls.
  CollisionResponder* mCollisionResponder = nullptr;
  SceneRules* mRules = nullptr;

 private:
  std::unique_ptr<Actor> NewActor(ObjectTemplate* tmpl, int kind) const;
  // The kind list of a kind, or null for a kind outside 1..6.
  std::vector<Actor*>* KindList(int kind);
  // The six kind lists in kind order.
  std::array<std::vector<Actor*>*, 6> KindLists();
  void AddToLists(std::unique_ptr<Actor> actor);

  void SumForces();
  void ApplyWeight();
  void ApplyForces();
  void ResetForces();
  void Integrate(float dt, float scale);
  void Collide();
  template <typename Touching>
  void CollidePairs(const std::vector<Actor*>& outer, const std::vector<Actor*>& inner, int pairType,
                    Touching touching);
  void RemoveDeadActors();
  void AddPendingActors();
  void FinishEffects();
  void UpdateSpecials();
  void ExplodeBomb(Actor* bomb);
  void UpdateHeldBall(Actor* brick);
};

extern ActorScene gActorScene;
