// Board: the game's rules object, one global instance (gBoard). The play field, the level loading and
// the actor scene hand it every rule they meet: a brick struck, a brick's hit points, the paddle's
// length, the protective bounce bar, a power-up dropped or caught. This build answers a brick hit by
// scoring it and counting the brick's hit points down to its removal; the brick effects, the power-up
// drops and the twenty power-up actions take their places here as the rules grow. Owns nothing (the
// actors belong to the scene). Main thread only.
#pragma once

#include <string>
#include <vector>

#include "game/play/ActorScene.h"
#include "game/play/EffectFile.h"

class Actor;

class Board : public SceneRules {
 public:
  // Score for every strike on a brick.
  static constexpr int kBrickHitScore = 2;

  // Something struck the brick: a ball, a bomb, or nothing (null).
  void BallHitsBrick(Actor* brick, Actor* hitter) override;
  // A ball let go by a swirl brick.
  void SpeedUpBall(Actor* ball) override;
  void SlowDownBall(Actor* ball) override;
  void TeleportBall(Actor* brick, Actor* ball) override;

  // The brick's hit points from its colour code and the difficulty.
  void SetBrickHitPoints(Actor* brick);
  // One step longer or shorter ("paddleshort", "paddlemiddle", "paddlelong"), keeping the centre.
  void LengthenPaddle(Actor* paddle);
  void ShortenPaddle(Actor* paddle);
  // The highest live protective bar on the field, or null.
  Actor* FindTopBounceActor();
  // The ball turns back off the bar, which is used up.
  void BounceOffBrick(Actor* ball, Actor* bar);
  // Appends the records of the brick-effect table.
  void LoadEffects(std::string path);
  // Releases a falling power-up centred on (x, y); "random" draws one by difficulty.
  void DropPowerUp(std::string name, float x, float y);

  // The power-up actions, run when the paddle catches one.
  void PowerUpLargeBall();
  void PowerUpSmallBall();
  void PowerUpAddVelocity();
  void PowerUpSubVelocity();
  void PowerUpThreeBall();
  void PowerUpEightBall();
  void PowerUpFireBall();
  void PowerUpThru();
  void PowerUpLongPaddle();
  void PowerUpShortPaddle();
  void PowerUpConvert();
  void PowerUpDown();
  void PowerUpUp();
  void PowerUpAddLife();
  void PowerUpSubLife();
  void PowerUpExplode();
  void PowerUpBounce();
  void PowerUpNewBall();
  void PowerUpCannon();
  void PowerUpReverse();

  std::vector<BrickEffectRecord> mEffectRecords;  // in file order
  float mMaxBallSpeed = 1000.0f;                  // pixels per second
  float mMinBallSpeed = 100.0f;

 private:
  void ResizePaddle(Actor* paddle, const std::string& newName);
};

extern Board gBoard;

// Bricks of these codes hold a level open until they are gone.
bool IsTargetBrick(const Actor& brick);
