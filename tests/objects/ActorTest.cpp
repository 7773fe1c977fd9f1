#include "game/play/Actor.h"

#include <gtest/gtest.h>

#include <cmath>

#include "framework/graphics/Graphics.h"
#include "game/play/ObjectLibrary.h"
#include "tests/objects/ObjectsFixture.h"
#include "tests/support/Canvas.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class ActorTest : public ObjectsTest {
 protected:
  ActorTest() : mCanvas(testsupport::Canvas(32, 32, 0xFF000000)) {
    mBall.mTmpl = gObjectLibrary.AppendInstance();
    mBall.mOverlay = gObjectLibrary.AppendInstance();
    mBall.mOverlay->mName = "fire";
  }
  double FlameAngleAfterDraw(float velX, float velY) {
    mBall.mVelX = velX;
    mBall.mVelY = velY;
    mBall.DrawWithOverlay(&mGraphics);
    return mBall.mOverlay->mAngle;
  }

  std::unique_ptr<Kit::MemoryImage> mCanvas;
  Kit::Graphics mGraphics{mCanvas.get()};
  Actor mBall;
};

TEST_F(ActorTest, TheFlamePointsAlongTheBallsMotion) {
  EXPECT_DOUBLE_EQ(FlameAngleAfterDraw(0.0f, -300.0f), kPi);
  EXPECT_DOUBLE_EQ(FlameAngleAfterDraw(0.0f, 300.0f), 0.0);
  EXPECT_DOUBLE_EQ(FlameAngleAfterDraw(300.0f, 0.0f), kPi / 2);
  EXPECT_DOUBLE_EQ(FlameAngleAfterDraw(-300.0f, 0.0f), -kPi / 2) << "moving left negates the angle";
  EXPECT_DOUBLE_EQ(FlameAngleAfterDraw(1e-30f, -1e-30f), 3 * kPi / 4);
}

TEST_F(ActorTest, ABallAtRestOrWithoutANumberForASpeedKeepsItsFlameAngle) {
  FlameAngleAfterDraw(0.0f, -300.0f);
  EXPECT_DOUBLE_EQ(FlameAngleAfterDraw(0.0f, 0.0f), kPi);
  EXPECT_DOUBLE_EQ(FlameAngleAfterDraw(std::nanf(""), 1.0f), kPi);
  EXPECT_DOUBLE_EQ(FlameAngleAfterDraw(INFINITY, 1.0f), kPi);
}

TEST_F(ActorTest, ABallWithoutATemplateDrawsNeitherItselfNorItsOverlay) {
  auto red = testsupport::Canvas(2, 2, 0xFFFF0000);
  mBall.mOverlay->mImage = red.get();
  mBall.mOverlay->mFrame = 0;
  mBall.mTmpl = nullptr;
  mBall.mX = mBall.mY = 5.0f;
  mBall.DrawWithOverlay(&mGraphics);
  EXPECT_EQ(mCanvas->GetBits()[5 * 32 + 5], 0xFF000000u);
}

TEST_F(ActorTest, ReplacingATemplateTakesTheNewSizeOrKeepsTheOldOneWhenTheLibraryHasNone) {
  ObjectTemplate* prototype = gObjectLibrary.AppendPrototype();
  prototype->mName = "templatebrick_aa_020";
  prototype->mWidth = 40.9f;
  prototype->mHeight = 20.0f;
  ObjectTemplate* old = mBall.mTmpl;
  EXPECT_EQ(mBall.ReplaceTemplate("brick_zz_020"), nullptr);
  EXPECT_EQ(mBall.mTmpl, old);
  EXPECT_TRUE(old->mRunning);
  EXPECT_EQ(Beeps().size(), 1u);
  ObjectTemplate* weaker = mBall.ReplaceTemplate("brick_aa_020");
  ASSERT_NE(weaker, nullptr);
  EXPECT_EQ(mBall.mTmpl, weaker);
  EXPECT_FALSE(old->mRunning) << "the old template goes back to the library";
  EXPECT_EQ(std::tie(mBall.mWidth, mBall.mHeight), std::make_tuple(40, 20));
}

}  // namespace
