// What a brick does when something strikes it: each brick kind against each ball kind, a bomb and no
// ball, the weakening chain, iron bricks, bomb chains, swirl bricks and the new ball's extra ball.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <ostream>

#include "game/play/ActorScene.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/ResourceIds.h"
#include "tests/rules/RulesFixture.h"

namespace {

using rulestest::PendingNames;
using rulestest::RulesTest;

struct HitCase {
  const char* brick;
  const char* hitter;  // a ball kind, "bomb", "none" or "stranger" (not a ball, mode 1)
  int hitPointsAfter;
  const char* templateAfter;      // the brick's look afterwards
  int* sound;                     // the one sound played, or null for none
  std::vector<std::string> made;  // the actors the hit makes, in order
};

void PrintTo(const HitCase& c, std::ostream* out) { *out << c.brick << "_by_" << c.hitter; }

class BrickHit : public RulesTest, public testing::WithParamInterface<HitCase> {
 protected:
  Actor* Hitter(const std::string& kind) {
    if (kind == "none") return nullptr;
    if (kind == "bomb" || kind == "stranger") {
      Actor* other = gActorScene.CreateActor(gObjectLibrary.ObtainAnimation("boom"), kEffectKind);
      other->mName = kind;
      other->mMode = kind == "bomb" ? kBombMode : kNormalMode;
      return other;
    }
    return AddBall(kind, 100, 100, 0, -300);
  }
};

TEST_P(BrickHit, TheBrickReactsAsItsCodeAndTheHitterSay) {
  const HitCase& c = GetParam();
  Actor* brick = AddBrick(c.brick, 380, 200);
  brick->mCode = "ups_bounce";  // a drop the board always finds useful
  gBoard.SetBrickHitPoints(brick);
  Actor* hitter = Hitter(c.hitter);
  mGame.mSounds.clear();
  gBoard.BallHitsBrick(brick, hitter);
  EXPECT_EQ(mGame.mScore, Board::kBrickHitScore) << "every strike scores";
  EXPECT_EQ(brick->mHitPoints, c.hitPointsAfter);
  EXPECT_EQ(brick->mAlive, c.hitPointsAfter != 0);
  EXPECT_EQ(brick->mTmpl->mName, c.templateAfter);
  EXPECT_EQ(brick->mName, c.templateAfter) << "a weakened brick is renamed with its look";
  EXPECT_EQ(mGame.mSounds, c.sound ? std::vector<int>{*c.sound} : std::vector<int>{});
  EXPECT_EQ(PendingNames(), c.made);
  if (std::string(c.brick) == "brick_ee_001") {
    EXPECT_EQ(gActorScene.mPendingActors.front()->mMode, kBombMode) << "its first effect is the bomb";
  }
}

// Difficulty 2: iron bricks take 10 hits, power-up bricks 7. "spark" is the hit effect, "shatter" and
// "dust" the death effect, "boom" and "dust" the blast, "burn" the fire ball's; a dead brick drops its
// "ups_bounce", a power-up brick a random one (the first draw of seed 1 gives "ups_subvel").
INSTANTIATE_TEST_SUITE_P(
    Rules, BrickHit,
    testing::Values(
        HitCase{"brick_aa_018", "balllarge", 0, "brick_aa_018", &SOUND_BALLDEAD, {"shatter", "dust", "ups_bounce"}},
        HitCase{"brick_bb_018", "ballsmall", 1, "brick_aa_018", &SOUND_HITCRASH, {"spark"}},
        HitCase{"brick_cc_018", "balllarge", 2, "brick_bb_018", &SOUND_HITCRASH, {"spark"}},
        HitCase{"brick_dd_006", "balllarge", 9, "brick_dd_006", &SOUND_IRON, {"spark"}},
        HitCase{"brick_ee_001", "balllarge", 0, "brick_ee_001", &SOUND_FIREEXPLODE, {"boom", "dust", "ups_bounce"}},
        HitCase{"brick_ff_001", "balllarge", 6, "brick_ff_001", &SOUND_HITPOWER, {"spark", "ups_subvel"}},
        HitCase{"brick_gg_001", "balllarge", -1, "brick_gg_001", &SOUND_SWIRL_IN, {}},
        HitCase{"brick_xx_001", "balllarge", 0, "brick_xx_001", nullptr, {"ups_bounce"}},
        HitCase{"brick", "balllarge", 0, "brick", nullptr, {"ups_bounce"}},  // a name too short for a code
        HitCase{"brick_cc_018", "ballnew", 2, "brick_bb_018", &SOUND_HITCRASH, {"spark"}},
        HitCase{"brick_dd_006", "ballfire", 0, "brick_dd_006", &SOUND_FIREBALLHIT, {"burn", "ups_bounce"}},
        HitCase{"brick_ee_001", "ballfire", 0, "brick_ee_001", &SOUND_FIREEXPLODE, {"boom", "ups_bounce"}},
        HitCase{"brick_ff_001", "ballthru", 0, "brick_ff_001", &SOUND_THRUHIT, {"shatter", "dust", "ups_subvel"}},
        HitCase{"brick_hh_001", "ballthru", -1, "brick_hh_001", &SOUND_SWIRL_IN, {}},
        HitCase{"brick_xx_001", "ballfire", 1, "brick_xx_001", nullptr, {}},
        HitCase{"brick_cc_018", "bomb", 0, "brick_cc_018", &SOUND_FIREEXPLODE, {"boom", "dust", "ups_bounce"}},
        HitCase{"brick_ii_001", "bomb", -1, "brick_ii_001", nullptr, {}},
        HitCase{"brick_cc_018", "none", 2, "brick_bb_018", nullptr, {"spark"}},
        HitCase{"brick_aa_018", "none", 0, "brick_aa_018", nullptr, {"ups_bounce"}},
        HitCase{"brick_ee_001", "none", 0, "brick_ee_001", nullptr, {"boom", "dust", "ups_bounce"}},
        HitCase{"brick_aa_018", "stranger", 1, "brick_aa_018", nullptr, {}}),
    testing::PrintToStringParamName());

// No limit of the game's own: the counts grow until the int ends, and stop there rather than overflow.
TEST_F(RulesTest, TheScoreAndTheLivesGrowUntilTheIntEnds) {
  Actor* brick = AddBrick("brick_dd_006", 380, 200);
  gBoard.SetBrickHitPoints(brick);
  mGame.mScore = INT_MAX - 3;  // a hit scores 2
  mGame.mLives = INT_MAX - 1;
  for (int hit = 0; hit < 3; ++hit) gBoard.BallHitsBrick(brick, AddBall("balllarge", 100, 100, 0, -300));
  for (int life = 0; life < 2; ++life) gBoard.PowerUpAddLife();
  EXPECT_EQ(mGame.mScore, INT_MAX);
  EXPECT_EQ(mGame.mLives, INT_MAX);
}

TEST_F(RulesTest, AnIronBrickSurvivesNineHitsAtNormalAndDiesAtTheTenthWithBothEffects) {
  Actor* brick = AddBrick("brick_dd_006", 380, 200);
  gBoard.SetBrickHitPoints(brick);
  Actor* ball = AddBall("balllarge", 100, 100, 0, -300);
  for (int hit = 0; hit < 9; ++hit) gBoard.BallHitsBrick(brick, ball);
  EXPECT_TRUE(brick->mAlive);
  EXPECT_EQ(mGame.CountSounds(SOUND_IRON), 9);
  SettleScene();
  gBoard.BallHitsBrick(brick, ball);
  EXPECT_FALSE(brick->mAlive);
  EXPECT_EQ(PendingNames(), (std::vector<std::string>{"spark", "shatter", "dust"}));
}

TEST_F(RulesTest, ABombChainSpreadsFromExplosiveBrickToExplosiveBrickWithinTheRadius) {
  // Centres 60 apart: each blast reaches the next brick but not the one after.
  const char* names[] = {"brick_ee_001", "brick_ee_001", "brick_cc_018", "brick_aa_018"};
  for (int i = 0; i < 4; ++i) gBoard.SetBrickHitPoints(AddBrick(names[i], 100.0f + 60 * i, 200));
  gBoard.PowerUpExplode();
  for (int update = 0; update < 3 * kBombFrameCount; ++update) {
    SettleScene();
    gObjectLibrary.UpdateAnimations();
  }
  ASSERT_EQ(gActorScene.mBricks.size(), 1u) << "the first bomb takes the second brick, its bomb the third";
  EXPECT_EQ(gActorScene.mBricks[0]->mX, 280) << "no bomb sits on an ordinary brick";
}

struct SwirlCase {
  const char* brick;
  float speedAfter;  // at difficulty 2, from 300
  float xAfter;      // of the ball's centre
};

void PrintTo(const SwirlCase& c, std::ostream* out) { *out << c.brick; }

class SwirlRelease : public RulesTest, public testing::WithParamInterface<SwirlCase> {};

TEST_P(SwirlRelease, ASwirlBrickHoldsTheBallFiftyUpdatesThenLetsItGo) {
  const SwirlCase& c = GetParam();
  Actor* swirl = AddBrick(c.brick, 100, 100);
  Actor* other = AddBrick("brick_ii_001", 500, 100);
  gBoard.SetBrickHitPoints(swirl);
  gBoard.SetBrickHitPoints(other);
  Actor* ball = AddBall("balllarge", 110, 130, 180, -240);
  Actor* second = AddBall("balllarge", 110, 130, 0, -300);
  gBoard.BallHitsBrick(swirl, ball);
  gBoard.BallHitsBrick(swirl, second);
  EXPECT_EQ(swirl->mHeldBall, ball) << "one ball at a time";
  EXPECT_EQ(second->mVelY, -300.0f);
  for (int update = 0; update < Board::kSwirlHoldUpdates - 1; ++update) SettleScene();
  EXPECT_EQ(BallSpeed(*ball), 0.0f);
  SettleScene();
  EXPECT_EQ(swirl->mHeldBall, nullptr);
  EXPECT_NEAR(BallSpeed(*ball), c.speedAfter, 1e-3);
  EXPECT_NEAR(ball->mVelX / ball->mVelY, -0.75f, 1e-5) << "the direction is kept";
  EXPECT_FLOAT_EQ(ball->mX + ball->mWidth * 0.5f, c.xAfter);
  EXPECT_TRUE(swirl->mAlive);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SwirlRelease,
                         testing::Values(SwirlCase{"brick_gg_001", 340, 120},   // sped up by 20 x 2
                                         SwirlCase{"brick_hh_001", 260, 120},   // slowed by 20 x (4 - 2)
                                         SwirlCase{"brick_ii_001", 300, 520}),  // out of the other "ii" brick
                         testing::PrintToStringParamName());

struct ExtraBallCase {
  int drawn;    // rand() % 360
  int degrees;  // where the extra ball leaves
};

void PrintTo(const ExtraBallCase& c, std::ostream* out) { *out << "Drawn" << c.drawn; }

class NewBallExtra : public RulesTest, public testing::WithParamInterface<ExtraBallCase> {};

TEST_P(NewBallExtra, ANewBallThatKillsABrickReleasesASmallBallOffTheHorizontal) {
  Actor* brick = AddBrick("brick_aa_018", 380, 200);
  Actor* ball = AddBall("ballnew", 390, 230, 0, -300);
  ball->mPrevX = 391;
  ball->mPrevY = 233;
  ScriptNextDraw(360, GetParam().drawn);
  gBoard.BallHitsBrick(brick, ball);
  ASSERT_EQ(gActorScene.mPendingActors.size(), 3u) << "the two effects, then the extra ball";
  const Actor& extra = *gActorScene.mPendingActors.back();
  EXPECT_EQ(extra.mName, "ballsmall");
  EXPECT_EQ(extra.mX, 391);
  EXPECT_EQ(extra.mY, 233);
  EXPECT_EQ(extra.mRadius, 4.0f);
  const double radians = GetParam().degrees * 3.14159265358979 / 180;
  EXPECT_NEAR(extra.mVelX, std::cos(radians) * 300, 1e-2);
  EXPECT_NEAR(extra.mVelY, std::sin(radians) * 300, 1e-2);
}

INSTANTIATE_TEST_SUITE_P(Draws, NewBallExtra,
                         testing::Values(ExtraBallCase{5, 25}, ExtraBallCase{180, 200}, ExtraBallCase{355, 375},
                                         ExtraBallCase{90, 90}),
                         testing::PrintToStringParamName());

TEST_F(RulesTest, WithoutTheEffectTableAnExplosiveBrickDiesSoundingButSetsOffNoBomb) {
  gBoard.ClearEffects();
  gBoard.LoadEffects("no such folder\\effect.txt");
  Actor* brick = AddBrick("brick_ee_001", 380, 200);
  brick->mCode = "ups_bounce";
  gBoard.BallHitsBrick(brick, AddBall("balllarge", 100, 100, 0, -300));
  EXPECT_FALSE(brick->mAlive);
  EXPECT_EQ(mGame.CountSounds(SOUND_FIREEXPLODE), 1);
  EXPECT_EQ(PendingNames(), std::vector<std::string>{"ups_bounce"}) << "the drop, and no effect or bomb";
}

TEST_F(RulesTest, TheDifficultyIsHeldToOneToThreeWhereTheRulesReadIt) {
  Actor* iron = AddBrick("brick_dd_006", 100, 100);
  mGame.mDifficulty = 0;
  gBoard.SetBrickHitPoints(iron);
  EXPECT_EQ(iron->mHitPoints, 5);
  mGame.mDifficulty = 7;
  gBoard.SetBrickHitPoints(iron);
  EXPECT_EQ(iron->mHitPoints, 15);
}

}  // namespace
