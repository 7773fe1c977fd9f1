#include "game/play/ActorScene.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "framework/graphics/Graphics.h"
#include "game/play/ObjectLibrary.h"
#include "tests/objects/ObjectsFixture.h"
#include "tests/support/Canvas.h"

namespace {

constexpr float kTick = 0.01f;  // seconds per physics update

// Records what the scene hands over, and can act on a collision like the play field would.
struct SceneLog : CollisionResponder, SceneRules {
  void CollideActor(Actor* first, Actor* second, int pairType) override {
    pairs.emplace_back(first, second, pairType);
    if (onCollide) onCollide(first, second, pairType);
  }
  void BallHitsBrick(Actor* brick, Actor* hitter) override { calls.push_back("hit " + brick->mName); }
  void SpeedUpBall(Actor* ball) override { calls.push_back("speed up " + ball->mName); }
  void SlowDownBall(Actor* ball) override { calls.push_back("slow down " + ball->mName); }
  void TeleportBall(Actor* brick, Actor* ball) override { calls.push_back("teleport " + ball->mName); }

  std::vector<std::tuple<Actor*, Actor*, int>> pairs;
  std::vector<std::string> calls;
  std::function<void(Actor*, Actor*, int)> onCollide;
};

class ActorSceneTest : public ObjectsTest {
 protected:
  ActorSceneTest() {
    Scene().mCollisionResponder = &mLog;
    Scene().mRules = &mLog;
  }
  static ActorScene& Scene() { return gActorScene; }

  // An actor of the kind with a template of its own (owned by the library), placed and sized.
  Actor* Make(int kind, const std::string& name, float x, float y, int width = 10, int height = 10) {
    ObjectTemplate* tmpl = gObjectLibrary.AppendInstance();
    tmpl->mName = name;
    tmpl->mX = x;
    tmpl->mY = y;
    tmpl->mWidth = static_cast<float>(width);
    tmpl->mHeight = static_cast<float>(height);
    Actor* actor = Scene().CreateActor(tmpl, kind);
    actor->mName = name;
    return actor;
  }
  void Update(int times = 1) {
    for (int i = 0; i < times; ++i) Scene().Update(kTick, 1.0f);
  }
  bool InScene(const Actor* actor) const {
    for (const auto& held : gActorScene.mAllActors) {
      if (held.get() == actor) return true;
    }
    return false;
  }

  SceneLog mLog;
};

TEST_F(ActorSceneTest, CreationTakesThePlaceAndTruncatedSizeOfTheTemplate) {
  ObjectTemplate* tmpl = gObjectLibrary.AppendInstance();
  tmpl->mX = 3.5f;
  tmpl->mY = 4.5f;
  tmpl->mWidth = 15.9f;
  tmpl->mHeight = 1e30f;
  const Actor* actor = Scene().CreateActor(tmpl, kBrickKind);
  EXPECT_EQ(std::tie(actor->mX, actor->mY, actor->mWidth, actor->mHeight, actor->mMode, actor->mKind),
            std::make_tuple(3.5f, 4.5f, 15, INT_MAX, 1, 3));
  EXPECT_EQ(Scene().mBricks, std::vector<Actor*>{const_cast<Actor*>(actor)});
  const Actor* bare = Scene().CreateActor(nullptr, 9);
  EXPECT_EQ(std::tie(bare->mX, bare->mWidth, bare->mKind), std::make_tuple(0.0f, 0, 9));
  EXPECT_EQ(Scene().mAllActors.size(), 2u) << "a kind outside 1-6 lives only in the list of all actors";
}

TEST_F(ActorSceneTest, TinyVelocitiesSnapToZeroAndOthersMoveByVelocityTimesTickTimesScale) {
  Actor* ball = Make(kBallKind, "balllarge", 100.0f, 300.0f);
  ball->mVelX = 0.00005f;
  ball->mVelY = -300.0f;
  Scene().Update(kTick, 1.5f);
  EXPECT_EQ(ball->mVelX, 0.0f);
  EXPECT_EQ(ball->mX, 100.0f);
  EXPECT_FLOAT_EQ(ball->mY, 300.0f - 4.5f);
  EXPECT_EQ(ball->mPrevY, 300.0f);
}

TEST_F(ActorSceneTest, FindingByNamePrefixSkipsTheDead) {
  EXPECT_EQ(Scene().FindActorByName(""), nullptr) << "an empty scene";
  Make(kBallKind, "balllarge", 0, 0)->mAlive = false;
  Actor* fire = Make(kBallKind, "ballfire", 0, 0);
  Make(kPaddleKind, "paddlemiddle", 0, 0);
  EXPECT_EQ(Scene().FindActorByName("ball"), fire);
  EXPECT_EQ(Scene().FindActorByName("paddle")->mName, "paddlemiddle");
  EXPECT_EQ(Scene().FindActorByName("balls"), nullptr);
}

TEST_F(ActorSceneTest, PairsAreTestedListByListInCreationOrderWithoutRegardToDeaths) {
  Actor* ball1 = Make(kBallKind, "ball1", 100, 100);
  Actor* ball2 = Make(kBallKind, "ball2", 105, 105);
  Actor* paddle = Make(kPaddleKind, "paddle", 110, 110);  // ball1 touches it edge to edge
  Actor* brick = Make(kBrickKind, "brick", 102, 102);
  Actor* powerUp = Make(kPowerUpKind, "ups_fireball", 115, 115);
  Actor* projectile = Make(kProjectileKind, "bullet", 104, 104);
  Make(kEffectKind, "explode", 100, 100);
  Make(kBallKind, "ballfar", 500, 500);
  mLog.onCollide = [](Actor*, Actor* second, int) { second->mAlive = false; };  // kills the brick at once
  Update();
  using Pair = std::tuple<Actor*, Actor*, int>;
  EXPECT_EQ(mLog.pairs, (std::vector<Pair>{{ball1, paddle, 1},
                                           {ball2, paddle, 1},
                                           {ball1, brick, 2},
                                           {ball2, brick, 2},
                                           {powerUp, paddle, 3},
                                           {projectile, brick, 4}}));
  EXPECT_FALSE(InScene(brick)) << "deleted in the same update";
}

TEST_F(ActorSceneTest, ABrickWithARadiusCollidesAsACircle) {
  Actor* ball = Make(kBallKind, "ball", 0, 0);
  ball->mRadius = 5.0f;
  Actor* brick = Make(kBrickKind, "brick", 12, 12);  // centres (5, 5) and (17, 17): 16.97 apart
  brick->mRadius = 11.0f;
  Update();
  EXPECT_TRUE(mLog.pairs.empty()) << "the boxes touch, the circles do not";
  brick->mRadius = 12.0f;
  Update();
  EXPECT_EQ(mLog.pairs.size(), 1u);
}

TEST_F(ActorSceneTest, AnActorMadeDuringAResponseJoinsOnlyAfterTheUpdate) {
  Make(kBallKind, "ball", 0, 0);
  Make(kBrickKind, "brick", 5, 5);
  Actor* made = nullptr;
  mLog.onCollide = [&](Actor*, Actor*, int) {
    if (made) return;
    made = Scene().CreateActorDeferred(nullptr, kBallKind);
    made->mX = 5;
    made->mY = 5;
    made->mVelX = 100.0f;
  };
  Update();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(mLog.pairs.size(), 1u) << "not tested in the update that made it";
  EXPECT_EQ(made->mX, 5.0f) << "not moved either";
  EXPECT_EQ(Scene().mBalls.back(), made);
  Update();
  EXPECT_EQ(mLog.pairs.size(), 3u);
  EXPECT_EQ(made->mX, 6.0f);
}

TEST_F(ActorSceneTest, APausedSceneNeitherMovesNorCollidesNorRemovesButStillDraws) {
  Actor* ball = Make(kBallKind, "ball", 0, 0);
  Actor* brick = Make(kBrickKind, "brick", 5, 5);
  ball->mVelX = 100.0f;
  brick->mAlive = false;
  Scene().mUpdateEnabled = false;
  Update();
  EXPECT_EQ(ball->mX, 0.0f);
  EXPECT_TRUE(mLog.pairs.empty());
  EXPECT_TRUE(InScene(brick));
}

TEST_F(ActorSceneTest, AnEffectDiesWhenItsPlayOnceAnimationHasEndedAndABallKillerTakesEveryBall) {
  Actor* ball = Make(kBallKind, "ball", 0, 0);
  Actor* effect = Make(kEffectKind, "explode", 300, 300);
  effect->mMode = kBallKillerMode;
  effect->mTmpl->mFrameCount = 3;
  effect->mTmpl->mFrame = 2;
  Update();
  EXPECT_TRUE(effect->mAlive);
  effect->mTmpl->mFrame = 3;
  Update();
  EXPECT_FALSE(effect->mAlive);
  EXPECT_FALSE(effect->mTmpl->mRunning);
  EXPECT_FALSE(ball->mAlive);
  EXPECT_FALSE(ball->mTmpl->mRunning);
  Update();
  EXPECT_TRUE(Scene().mAllActors.empty());
}

TEST_F(ActorSceneTest, ABombOnFrameFiveStrikesEveryLiveBrickCloserThanSeventyPixelsOnEachUpdate) {
  Actor* bomb = Make(kEffectKind, "smallredbom", 100, 100);  // centre (105, 105)
  bomb->mMode = kBombMode;
  bomb->mTmpl->mFrameCount = 8;
  bomb->mTmpl->mFrame = ActorScene::kBombFrame;
  Make(kBrickKind, "near", 164.9f, 100);  // 69.9 away
  Make(kBrickKind, "edge", 100, 170);     // exactly 70 away
  Make(kBrickKind, "dead", 100, 120)->mAlive = false;
  Update(2);
  EXPECT_EQ(mLog.calls, (std::vector<std::string>{"hit near", "hit near"}));
}

TEST_F(ActorSceneTest, AHeldBallThatDiesIsLetGoBeforeItIsDeleted) {
  Actor* brick = Make(kBrickKind, "brick_ii_001", 300, 300);
  Actor* ball = Make(kBallKind, "balllarge", 302, 302);
  brick->mHeldBall = ball;
  brick->mHoldCounter = 50;
  brick->mTmpl->mFrameDelay = 1;
  ball->mAlive = false;  // a ball-killer took it
  Update();
  EXPECT_EQ(brick->mHeldBall, nullptr);
  EXPECT_EQ(brick->mTmpl->mFrameDelay, Actor::kFreeSwirlFrameDelay);
  Update(60);  // the countdown must not reach the freed ball
  EXPECT_TRUE(mLog.calls.empty());
}

TEST_F(ActorSceneTest, BallsAndPaddlesAreDrawnOverEverythingElseAndSpentBricksNotAtAll) {
  auto canvas = testsupport::Canvas(20, 20, 0xFF000000);
  auto red = testsupport::Canvas(4, 4, 0xFFFF0000), blue = testsupport::Canvas(4, 4, 0xFF0000FF);
  Actor* ball = Make(kBallKind, "ball", 2, 2);
  Actor* brick = Make(kBrickKind, "brick", 2, 2);
  Actor* spent = Make(kBrickKind, "spent", 10, 10);
  ball->mTmpl->mImage = red.get();
  brick->mTmpl->mImage = blue.get();
  spent->mTmpl->mImage = blue.get();
  spent->mHitPoints = 0;
  for (Actor* actor : {ball, brick, spent}) actor->mTmpl->mFrame = 0;
  Kit::Graphics g(canvas.get());
  Scene().Draw(&g);
  EXPECT_EQ(canvas->GetBits()[3 * 20 + 3], 0xFFFF0000u);
  EXPECT_EQ(canvas->GetBits()[11 * 20 + 11], 0xFF000000u);
}

}  // namespace
