// PlayField: the 800 by 600 widget on which a level is played. It drives one life after another
// through its state machine, runs the ball physics in its fractional update, lets the mouse steer the
// paddle and launch the ball, decides when the level is cleared, a ball is lost or the game is over,
// answers the actor scene's touching pairs, and draws the background, the actors and the head-up
// display. The actors live in the global actor scene, which the play field empties when it goes; the
// application owns the play field while GameApp::mPlayField points at it. Main thread only.
#pragma once

#include "framework/graphics/Rect.h"
#include "framework/widget/ButtonListener.h"
#include "framework/widget/Widget.h"
#include "game/play/ActorScene.h"

class Actor;
class GameApp;

namespace Kit {
class Image;
}

class PlayField : public Kit::Widget, public Kit::ButtonListener, public CollisionResponder {
 public:
  // The life and level states.
  enum State : int {
    kStartOfLife = -3,    // paddle and ball are made
    kWaitForPaddle = -2,  // left as soon as a paddle exists
    kReady = -1,          // paddle centred, ball hidden on it, the flare plays
    kBallOnPaddle = 1,    // the paddle follows the mouse with the ball on it; a left click launches
    kPlaying = 2,         // physics, collisions, level-cleared and ball-lost tests
    kLevelCleared = 3,    // kEndStateTicks, then the level-complete screen
    kBallLost = 4,        // kEndStateTicks, then the next life
    kGameOver = 5,        // kEndStateTicks, then the game-over screen
  };
  static constexpr int kReadyTicks = 40;
  static constexpr int kEndStateTicks = 100;
  // The field's edges, pixels: a ball is lost below kFloorY.
  static constexpr int kLeftWallX = 0;
  static constexpr int kRightWallX = 800;
  static constexpr int kTopWallY = 22;
  static constexpr int kFloorY = 600;

  explicit PlayField(GameApp* app);
  ~PlayField() override;

  void Update() override;
  void UpdateF(float fraction) override;
  void Draw(Kit::Graphics* g) override;
  void KeyDown(int keyCode) override {}
  void KeyUp(int keyCode) override;
  void MouseMove(int x, int y) override;
  void MouseUp(int x, int y, int clickCount) override;
  // Steers the paddle from the last pointer position the widget manager was given, every tick, so the
  // paddle follows the pointer even without new mouse messages. The position comes from the queued (and
  // so recorded) input, never from the live cursor: a recorded game replays exactly.
  virtual void PollMouse();

  void OpenInGameMenu();
  void CheckLevelCleared();
  void CheckBallLost();
  void UpdateEndGameHelper();

  // Makes or resets the paddle and makes a new ball, hidden; hides the pointer.
  void StartLife();
  // The first live actor named "paddle..." or "ball...", or null.
  Actor* FindPaddle() const;
  Actor* FindBall() const;
  void CollideActor(Actor* first, Actor* second, int pairType) override;
  // True when some pixel of the rectangle (screen pixels) is fully opaque in both actors' images.
  bool PixelOverlap(const Actor* a, const Actor* b, const Kit::Rect& rect) const;
  void BounceOffPaddle(Actor* ball, Actor* paddle);
  void ApplyPowerUp(Actor* powerUp);

  GameApp* mApp;
  int mState = kStartOfLife;
  int mStateTimer = 0;  // ticks spent in the level-cleared, ball-lost and game-over states
  int mFlareCelCount = 10;
  int mFlareCel = 0;
  int mFlareCelDelay = 5;  // ticks per cel
  int mFlareCelDelayLeft = 5;
  int mFlareX = 0;
  int mFlareY = 0;
  int mReadyTimer = 0;

 private:
  void UpdateState();
  void StartReadyPhase();
  void UpdateReadyPhase();
  void AdvanceFlare();
  void UpdateEndState();
  void LeaveForNextScreen();
  void MoveBallsOffWalls();
  void KeepBallInField(Actor* ball);
  void CollideBallAndPaddle(Actor* ball, Actor* paddle);
  void CollideBallAndBrick(Actor* ball, Actor* brick);
  void ReboundOffBrick(Actor* ball, const Actor* brick);
  void DrawHud(Kit::Graphics* g);
};

// Free helpers of the play field's tests and collisions.
// No live ball is left in the scene.
bool NoLiveBall();
// Fewer than 4 live bricks that hold a level open are left.
bool FewTargetBricksLeft();
// A three-ball power-up falls from the top of the field.
void DropThreeBallPowerUp();
// Whether the image's pixel at (x, y) is fully opaque. A pixel outside the image is transparent, and so
// is every pixel of a missing image or of one whose pixels cannot be read: it touches nothing.
bool ImageOpaqueAt(Kit::Image* image, int x, int y);
// A striker that is not a ball (kind 5) hits a brick: the rules answer it as a ball hit.
void ApplyBallKindHit(Actor* striker, Actor* brick);
// Whether the point lies within margin of the actor's box, or of its circle when it has a radius.
bool PointTouchesActor(float px, float py, float margin, const Actor& actor);

// Ticks spent with few target bricks left, counted over every play field of the run: every
// kEndGameDropTicks + 1 of them drop a three-ball power-up.
extern int gEndGameFrameCount;
