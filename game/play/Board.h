// Board: the game's rules object, one global instance (gBoard). It holds the brick-effect table and the
// two ball-speed limits, and the game's rules are its operations: what a brick struck by a ball, a bomb
// or nothing does (Board.cpp), which power-up drops and whether it would do anything now
// (BoardDrops.cpp), and the twenty power-up actions with the ball, paddle and brick operations they are
// built from (BoardPowerUps.cpp). It owns its effect records; the actors it works on belong to the
// scene and their templates to the object library. Main thread only.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "game/play/Actor.h"
#include "game/play/ActorScene.h"
#include "game/play/EffectFile.h"

// The power-ups a random drop draws from, by index 1 to 19 (index 0 is never drawn): easy draws the
// first fifteen, normal all nineteen, hard "ups_bounce" onwards. "ups_cannon" is never drawn.
inline constexpr std::array<const char*, 20> kPowerUpDropTable = {
    "",
    "ups_up",
    "ups_thru",
    "ups_threeball",
    "ups_subvel",
    "ups_newball",
    "ups_longpaddle",
    "ups_largeball",
    "ups_fireball",
    "ups_eightball",
    "ups_explode",
    "ups_convert",
    "ups_bounce",
    "ups_addlive",
    "ups_addvel",
    "ups_shortpaddle",
    "ups_reverse",
    "ups_down",
    "ups_smallball",
    "ups_sublive",
};

// The framework's difficulty, held to this range wherever a rule reads it.
inline constexpr int kEasyDifficulty = 1;
inline constexpr int kNormalDifficulty = 2;
inline constexpr int kHardDifficulty = 3;
int GameDifficulty();

// Plays one of the game's sounds (a resource id) through the application, which starts each sound at
// most once an update.
void PlaySound(int soundId);

class Board : public SceneRules {
 public:
  // Score for every strike on a brick.
  static constexpr int kBrickHitScore = 2;
  // A swirl brick holds a ball for this many scene updates.
  static constexpr int kSwirlHoldUpdates = 50;

  // ---- brick hits (Board.cpp) ----
  // Something struck the brick: a ball, a bomb, or nothing (null). Scores, then runs the hitter's rule.
  void BallHitsBrick(Actor* brick, Actor* hitter) override;
  // Plays the brick's effect for the key ("hitname", "deadname", "explodename", "fireballname"): up to
  // two animations centred on the brick; the first of an "ee" brick's is a bomb.
  void SpawnBrickEffect(Actor* brick, const std::string& key);
  // The ball kind changes; each plays no sound and does nothing to a ball that already is that kind.
  // Position and velocity stay.
  void MakeFireBall(Actor* ball);
  void MakeThruBall(Actor* ball);
  void MakeNewBall(Actor* ball);
  // The brick's hit points from its colour code and the difficulty; other codes keep theirs.
  void SetBrickHitPoints(Actor* brick);

  // ---- drops (BoardDrops.cpp) ----
  // Releases a falling power-up centred on (x, y); "random" draws one by difficulty. A power-up that
  // would do nothing now is not dropped.
  void DropPowerUp(std::string name, float x, float y);
  // Whether the named power-up would change nothing now; false for names it does not test.
  bool IsPowerUpUseless(std::string_view name) const;
  // The tests behind it, each on the live actors of the scene. "Every ball" holds also when there is
  // no ball; the speed tests ask about some ball.
  bool AllBallsLarge() const;
  bool AllBallsSmall() const;
  bool AnyBallAboveMaxSpeed() const;
  bool AnyBallBelowMinSpeed() const;
  bool HasLongPaddle() const;
  bool HasShortPaddle() const;
  bool NoExplosiveBrick() const;
  bool AllBallsThru() const;
  bool AllBallsNew() const;
  bool CannotMoveBricksUp() const;
  bool CannotMoveBricksDown() const;
  bool NoConvertibleBrick() const;
  bool AllBallsFire() const;
  // The brick's power-up name, or "none".
  static std::string GetDropName(const Actor& brick);

  // ---- power-up actions and their operations (BoardPowerUps.cpp) ----
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

  void MakeLargeBall(Actor* ball, bool withSound);
  void MakeSmallBall(Actor* ball, bool withSound);
  void SpeedUpBall(Actor* ball) override;
  void SlowDownBall(Actor* ball) override;
  void SplitBallInThree(Actor* ball);
  void SplitBallInEight(Actor* ball);
  // One step longer or shorter ("paddleshort", "paddlemiddle", "paddlelong"), keeping the centre.
  void LengthenPaddle(Actor* paddle);
  void ShortenPaddle(Actor* paddle);
  void ConvertBrick(Actor* brick);
  void ConvertIronBrick(Actor* brick);
  bool CanMoveBricksDown() const;
  bool CanMoveBricksUp() const;
  void MoveBricksDown(Actor* brick);
  void MoveBricksUp(Actor* brick);
  void ExplodeBrick(Actor* brick);
  // Hides and stops the ball and sets a ball-killer bomb on it.
  void KillBallWithBomb(Actor* ball);
  // One more life, with no upper limit.
  void AddLife();
  void AddBounceBar();
  int CountBounceActors() const;
  // The highest live protective bar on the field, or null.
  Actor* FindTopBounceActor() const;
  // The ball turns back off the bar, which is used up.
  void BounceOffBrick(Actor* ball, Actor* bar);
  void ReverseBall(Actor* ball);
  // The release of a ball by an "ii" brick: out of another live "ii" brick, or this one.
  void TeleportBall(Actor* brick, Actor* ball) override;
  Actor* PickOtherTeleportBrick(const Actor* brick) const;

  // Appends the records of the brick-effect table.
  void LoadEffects(std::string path);
  // Empties the table.
  void ClearEffects();
  // The effect value the table holds for the brick under the key ("hitname", "deadname", "explodename",
  // "fireballname"): the last record of that brick name decides; empty when none.
  std::string LookupEffect(std::string brickName, std::string key) const;

  EffectTable mEffectRecords;
  float mMaxBallSpeed = 1000.0f;  // pixels per second: no speed-up above it
  float mMinBallSpeed = 100.0f;   // no slow-down below it

 private:
  // The six hit rules, by hitter.
  void HitWithoutBall(Actor* brick);
  void HitByNormalBall(Actor* brick, Actor* ball);
  void HitByFireBall(Actor* brick, Actor* ball);
  void HitByNewBall(Actor* brick, Actor* ball);
  void HitByThruBall(Actor* brick, Actor* ball);
  void HitByBomb(Actor* brick);
  void HitByDestroyingBall(Actor* brick, Actor* ball, const std::string& effectKey, int sound);
  void NormalBallStrikes(Actor* brick, Actor* ball);
  // The steps the rules are made of.
  void SpawnEffectAnimation(const Actor& brick, const std::string& name, bool bomb);
  void Weaken(Actor* brick, std::string_view code);
  void Destroy(Actor* brick);
  // Counts the brick down; when it reaches 0 the brick dies and drops its power-up. Returns whether it
  // died; withIronEffect plays an iron brick's death effect first.
  bool Tail(Actor* brick, bool withIronEffect);
  void DropOwnPowerUp(const Actor& brick);
  void DropRandomPowerUp(const Actor& brick);
  void Capture(Actor* brick, Actor* ball);
  // Destroys a coloured brick for a fire ball, a through ball or a bomb: the effect, the sound, the
  // drop.
  void DestroyByForce(Actor* brick, const std::string& effectKey, int sound);
  void ReleaseNewBallExtra(const Actor& ball);

  std::string DrawRandomPowerUp() const;
  void ResizePaddle(Actor* paddle, const std::string& newName);
  void SplitBall(Actor* ball, int extraBalls, float stepRadians, double finalRadians);
  void MakeBallOfSameKind(Actor* newBall, const std::string& kind);
  void SetBallSpeed(Actor* ball, float speed);
  void ChangeBallLook(Actor* ball, const std::string& look);
};

extern Board gBoard;

// Bricks of these codes hold a level open until they are gone.
bool IsTargetBrick(const Actor& brick);
// Kills the actor and gives its template (and overlay) back to the library.
void KillActor(Actor* actor);
// A ball's speed, pixels per second.
float BallSpeed(const Actor& ball);

// The first live actor of the kind, in creation order, that passes the test; null when none does.
template <typename Test>
Actor* FindLiveActor(int kind, Test test) {
  for (const auto& actor : gActorScene.mAllActors)
    if (actor->mAlive && actor->mKind == kind && test(*actor)) return actor.get();
  return nullptr;
}

// Runs the action on every live actor of the kind, in creation order. The action may create actors
// only deferred, so the walk stays valid.
template <typename Action>
void ForEachLiveActor(int kind, Action action) {
  for (const auto& actor : gActorScene.mAllActors)
    if (actor->mAlive && actor->mKind == kind) action(actor.get());
}
