// Balls against the walls, the paddle (through the pixels of both images) and the bricks, one physics
// step at a time.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/widget/WidgetManager.h"
#include "game/play/ActorScene.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/ResourceIds.h"
#include "tests/play/PlayFixture.h"
#include "tests/support/Canvas.h"

namespace {

using playtest::PlayFieldTest;

class Collisions : public PlayFieldTest {
 protected:
  void SetUp() override {
    AddBrick("brick_aa_001", 700, 60);  // keeps the level open, out of the way
    StartLevelWithBallOnPaddle();
    mGame.mWidgetManager->MouseMoveEntry(400, 300);  // the paddle stays centred
    Launch();
  }
  void Place(float x, float y, float velX, float velY) {
    Actor* ball = Ball();
    ball->mX = ball->mPrevX = x;
    ball->mY = ball->mPrevY = y;
    ball->mVelX = velX;
    ball->mVelY = velY;
  }
};

struct WallCase {
  const char* wall;
  float x, y, velX, velY;
  float expectedX, expectedY, expectedVelX, expectedVelY;
};

void PrintTo(const WallCase& c, std::ostream* out) { *out << c.wall; }

class WallBounce : public Collisions, public testing::WithParamInterface<WallCase> {};

TEST_P(WallBounce, ABallLeavingTheFieldComesBackAtTheWallWithOneBorderSound) {
  const WallCase& c = GetParam();
  Place(c.x, c.y, c.velX, c.velY);
  RunTicks(1);
  EXPECT_FLOAT_EQ(Ball()->mX, c.expectedX);
  EXPECT_FLOAT_EQ(Ball()->mY, c.expectedY);
  EXPECT_EQ(Ball()->mVelX, c.expectedVelX);
  EXPECT_EQ(Ball()->mVelY, c.expectedVelY);
  EXPECT_EQ(mGame.CountSounds(SOUND_HITBORDER), 1);
}

INSTANTIATE_TEST_SUITE_P(Walls, WallBounce,
                         testing::Values(WallCase{"Left", 1, 300, -300, 0, 0, 300, 300, 0},       // x 1 - 3 becomes 0
                                         WallCase{"Right", 783, 300, 300, 0, 784, 300, -300, 0},  // x + 16 reaches 800
                                         WallCase{"Top", 400, 24, 0, -400, 400, 22, 0, 400}),     // y 20 becomes 22
                         testing::PrintToStringParamName());

// The menu pauses the field: a ball the last step left on a wall keeps its direction, silently, however
// long the menu stays open, and the end-game count (one target brick left here) stands still.
TEST_F(Collisions, WhileTheInGameMenuIsOpenABallOnTheWallNeitherTurnsNorSounds) {
  Place(0, 300, -300, 0);  // on the left wall, moving into it
  Field().KeyUp(27);
  ASSERT_FALSE(gActorScene.mUpdateEnabled);
  RunTicks(3);
  EXPECT_EQ(Ball()->mVelX, -300.0f);
  EXPECT_EQ(mGame.CountSounds(SOUND_HITBORDER), 0);
}

TEST_F(Collisions, WhileTheInGameMenuIsOpenTheEndGameCountStandsStill) {
  gEndGameFrameCount = 1000;  // the next counted tick drops three balls
  Field().KeyUp(27);
  RunTicks(5);
  EXPECT_EQ(gEndGameFrameCount, 1000);
}

TEST_F(Collisions, ABallBelowTheFloorDiesAndItsAnimationStops) {
  ObjectTemplate* look = Ball()->mTmpl;
  Place(400, 598, 0, 400);
  RunTicks(1);
  EXPECT_FALSE(look->mRunning);
  EXPECT_EQ(Ball(), nullptr);
}

TEST_F(Collisions, ABallFallingOntoThePaddleMiddleLeavesStraightUpAtTheSameSpeed) {
  const float paddleCentre = Paddle()->mX + kPaddleWidthPx / 2;
  Place(paddleCentre - kBallSizePx / 2, Paddle()->mY - kBallSizePx - 1, 0, 300);
  RunTicks(1);
  EXPECT_NEAR(Ball()->mVelX, 0.0f, 1e-3);
  EXPECT_NEAR(Ball()->mVelY, -300.0f, 1e-3);
  EXPECT_EQ(mGame.CountSounds(SOUND_BALLHITPADDLE), 1);
}

TEST_F(Collisions, ABallOnThePaddleRightEndLeavesAtNearlyHalfPiToTheRight) {
  Actor* ball = Ball();
  ball->mX = Paddle()->mX + kPaddleWidthPx - ball->mRadius;  // its centre over the right end
  ball->mVelX = 0;
  ball->mVelY = 300;
  Field().BounceOffPaddle(ball, Paddle());
  const double angle = 0.45 * 3.1415925f;
  EXPECT_NEAR(ball->mVelX, 300 * std::sin(angle), 1e-3);
  EXPECT_NEAR(ball->mVelY, -300 * std::cos(angle), 1e-3);
  EXPECT_NEAR(ball->mTmpl->mAngle, -angle, 1e-6);
}

TEST_F(Collisions, ATransparentBallPassesThroughThePaddleBox) {
  mImages.push_back(testsupport::Canvas(kBallSizePx, kBallSizePx, 0x80FFFFFF));  // alpha 128: no pixel counts
  Ball()->mTmpl->mImage = mImages.back().get();
  Place(Paddle()->mX + 20, Paddle()->mY - kBallSizePx + 2, 0, 300);
  RunTicks(1);
  EXPECT_EQ(Ball()->mVelY, 300.0f);
  EXPECT_EQ(mGame.CountSounds(SOUND_BALLHITPADDLE), 0);
}

struct PixelCase {
  const char* where;
  int x, y;
  bool opaque;
};

void PrintTo(const PixelCase& c, std::ostream* out) { *out << c.where; }

class PixelAt : public testing::TestWithParam<PixelCase> {};

TEST_P(PixelAt, OnlyFullyOpaquePixelsInsideTheImageCount) {
  auto image = testsupport::Canvas(4, 3, 0xFF000000);
  image->GetBits()[1 * 4 + 2] = 0xFE000000;  // (2, 1) is nearly opaque
  EXPECT_EQ(ImageOpaqueAt(image.get(), GetParam().x, GetParam().y), GetParam().opaque);
}

INSTANTIATE_TEST_SUITE_P(Edges, PixelAt,
                         testing::Values(PixelCase{"TopLeft", 0, 0, true}, PixelCase{"BottomRight", 3, 2, true},
                                         PixelCase{"NearlyOpaque", 2, 1, false}, PixelCase{"LeftOfIt", -1, 0, false},
                                         PixelCase{"RightOfIt", 4, 0, false}, PixelCase{"BelowIt", 0, 3, false},
                                         PixelCase{"AboveIt", 0, -1, false}),
                         testing::PrintToStringParamName());

TEST(ImageWithoutPixels, HasNoOpaquePixel) {
  Kit::Image noPixels;
  EXPECT_FALSE(ImageOpaqueAt(&noPixels, 5, 5));
  EXPECT_FALSE(ImageOpaqueAt(nullptr, 0, 0));
}

TEST_F(Collisions, ABallWithoutAnImagePassesThroughThePaddle) {
  Ball()->mTmpl->mImage = nullptr;
  Place(Paddle()->mX + 20, Paddle()->mY - kBallSizePx + 2, 0, 300);
  RunTicks(1);
  EXPECT_EQ(Ball()->mVelY, 300.0f);
  EXPECT_EQ(mGame.CountSounds(SOUND_BALLHITPADDLE), 0);
}

// A ball reaching a 40 x 20 brick at (380, 200): which velocity components turn back.
struct BrickCase {
  const char* name;
  const char* ballName;
  float x, y, velX, velY;
  bool turnsX, turnsY;
};

void PrintTo(const BrickCase& c, std::ostream* out) { *out << c.name; }

class BrickRebound : public Collisions, public testing::WithParamInterface<BrickCase> {};

TEST_P(BrickRebound, TheCrossedEdgesOfTheGrownBrickTurnTheBallBack) {
  const BrickCase& c = GetParam();
  Actor* brick = AddBrick("brick_cc_018", 380, 200);
  brick->mHitPoints = 3;
  Ball()->mName = c.ballName;
  Place(c.x, c.y, c.velX, c.velY);
  const int score = mGame.mScore;
  RunTicks(1);
  EXPECT_EQ(mGame.mScore, score + 2) << "one hit";
  if (c.ballName == std::string("ballthru")) {
    EXPECT_EQ(gActorScene.mBricks.size(), 1u) << "a through ball destroys it";
  } else {
    EXPECT_EQ(brick->mHitPoints, 2);
  }
  EXPECT_EQ(Ball()->mVelX, c.turnsX ? -c.velX : c.velX);
  EXPECT_EQ(Ball()->mVelY, c.turnsY ? -c.velY : c.velY);
}

INSTANTIATE_TEST_SUITE_P(Edges, BrickRebound,
                         testing::Values(BrickCase{"OntoTheTop", "balllarge", 390, 182, 0, 300, false, true},
                                         BrickCase{"IntoTheBottom", "balllarge", 390, 222, 0, -300, false, true},
                                         BrickCase{"IntoTheLeftSide", "balllarge", 362, 202, 300, 0, true, false},
                                         BrickCase{"TheTopLeftCorner", "balllarge", 362, 182, 300, 300, true, true},
                                         // a through ball keeps going
                                         BrickCase{"ThroughBall", "ballthru", 390, 182, 0, 300, false, false}),
                         testing::PrintToStringParamName());

TEST_F(Collisions, ABallStillInsideABrickFromTheStepBeforeIsNotAnsweredAgain) {
  Actor* brick = AddBrick("brick_cc_018", 380, 200);
  brick->mHitPoints = 3;
  Place(390, 195, 0, 300);  // its centre already within the grown box
  const int score = mGame.mScore;
  RunTicks(1);
  EXPECT_EQ(mGame.mScore, score);
  EXPECT_EQ(brick->mHitPoints, 3);
}

}  // namespace
