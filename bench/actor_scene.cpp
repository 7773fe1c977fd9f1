// One physics update of the actor scene in play: 16 balls among 200 bricks, a paddle, a few falling
// power-ups and effects, with the pair tests and the collision callbacks (the responder bounces a ball
// off what it touches, as the play field does). Beside it, the floor: the same 16 x 200 box tests as a
// bare loop over plain rectangles.
#include <benchmark/benchmark.h>

#include <vector>

#include "game/play/ActorScene.h"
#include "game/play/ObjectLibrary.h"

namespace {

constexpr int kBalls = 16;
constexpr int kBrickColumns = 20;
constexpr int kBrickRows = 10;

struct Bouncer : CollisionResponder, SceneRules {
  void CollideActor(Actor* ball, Actor*, int) override {
    ++callbacks;
    ball->mVelY = -ball->mVelY;
    ball->mX = ball->mPrevX;
    ball->mY = ball->mPrevY;
  }
  void BallHitsBrick(Actor*, Actor*) override {}
  void SpeedUpBall(Actor*) override {}
  void SlowDownBall(Actor*) override {}
  void TeleportBall(Actor*, Actor*) override {}

  long long callbacks = 0;
};

Actor* Place(int kind, const char* name, float x, float y, int width, int height) {
  ObjectTemplate* tmpl = gObjectLibrary.AppendInstance();
  tmpl->mName = name;
  tmpl->mX = x;
  tmpl->mY = y;
  tmpl->mWidth = static_cast<float>(width);
  tmpl->mHeight = static_cast<float>(height);
  Actor* actor = gActorScene.CreateActor(tmpl, kind);
  actor->mName = name;
  return actor;
}

void BuildLevel(Bouncer& bouncer) {
  gActorScene.Reset();
  gObjectLibrary.Reset();
  gActorScene.mCollisionResponder = &bouncer;
  gActorScene.mRules = &bouncer;
  for (int row = 0; row < kBrickRows; ++row) {
    for (int column = 0; column < kBrickColumns; ++column) {
      Place(kBrickKind, "brick_cc_020", 40.0f * column, 60.0f + 20.0f * row, 40, 20);
    }
  }
  Place(kPaddleKind, "paddlemiddle", 350.0f, 560.0f, 100, 16);
  for (int i = 0; i < 4; ++i) Place(kPowerUpKind, "ups_fireball", 100.0f + 150 * i, 300.0f, 30, 16)->mVelY = 80.0f;
  for (int i = 0; i < 8; ++i) Place(kEffectKind, "hitexplode", 50.0f * i, 100.0f, 64, 64);
  for (int i = 0; i < kBalls; ++i) {
    Actor* ball = Place(kBallKind, "balllarge", 20.0f + 47.0f * i, 200.0f + 13.0f * i, 15, 15);
    ball->mRadius = 7.0f;
    ball->mVelX = 150.0f + 10.0f * i;
    ball->mVelY = -300.0f;
  }
}

// Walls, so that the balls stay among the bricks for as long as the benchmark runs.
void KeepBallsInTheField() {
  for (Actor* ball : gActorScene.mBalls) {
    if (ball->mX < 0.0f || ball->mX > 785.0f) ball->mVelX = -ball->mVelX;
    if (ball->mY < 22.0f || ball->mY > 585.0f) ball->mVelY = -ball->mVelY;
  }
}

void BM_ActorSceneUpdate_16Balls200Bricks(benchmark::State& state) {
  Bouncer bouncer;
  BuildLevel(bouncer);
  for (auto _ : state) {
    gActorScene.Update(0.01f, 1.0f);
    KeepBallsInTheField();
  }
  state.counters["callbacks/update"] =
      benchmark::Counter(static_cast<double>(bouncer.callbacks) / static_cast<double>(state.iterations()));
  gActorScene.Reset();
  gObjectLibrary.Reset();
}
BENCHMARK(BM_ActorSceneUpdate_16Balls200Bricks);

struct Box {
  float x, y, width, height;
};

void BM_PlainBoxTests_16x200(benchmark::State& state) {
  std::vector<Box> balls, bricks;
  for (int i = 0; i < kBalls; ++i) balls.push_back({20.0f + 47.0f * i, 200.0f + 13.0f * i, 15, 15});
  for (int i = 0; i < kBrickRows * kBrickColumns; ++i) {
    bricks.push_back({40.0f * (i % kBrickColumns), 60.0f + 20.0f * (i / kBrickColumns), 40, 20});
  }
  for (auto _ : state) {
    int touching = 0;
    for (const Box& a : balls) {
      for (const Box& b : bricks) {
        touching += b.x <= a.x + a.width && a.x <= b.x + b.width && b.y <= a.y + a.height && a.y <= b.y + b.height;
      }
    }
    benchmark::DoNotOptimize(touching);
  }
}
BENCHMARK(BM_PlainBoxTests_16x200);

}  // namespace
