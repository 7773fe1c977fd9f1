// The twenty power-ups on one small board: what each action does, and when each counts as useless.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <set>

#include "game/play/ActorScene.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "game/play/ResourceIds.h"
#include "tests/rules/RulesFixture.h"

namespace {

using rulestest::PendingNames;
using rulestest::RulesTest;

// A large and a small ball, the middle paddle and one brick of each coloured kind, at difficulty 2.
struct SmallBoard {
  playtest::SoundLoggingGame& game;
  Actor* large;
  Actor* small;
  Actor* paddle;
  Actor* cc;
  Actor* bb;
  Actor* iron;
  Actor* explosive;
};

struct PowerUpCase {
  const char* name;
  std::function<void(SmallBoard&)> makeUseless;  // empty: never useless
  std::function<void(SmallBoard&)> check;        // what catching it did
};

std::ostream& operator<<(std::ostream& out, const PowerUpCase& c) { return out << c.name; }

class PowerUp : public RulesTest, public testing::WithParamInterface<PowerUpCase> {
 protected:
  SmallBoard MakeBoard() {
    SmallBoard field{mGame,
                     AddBall("balllarge", 200, 300, 120, -250),
                     AddBall("ballsmall", 400, 300, 0, -300),
                     AddPaddle("paddlemiddle"),
                     AddBrick("brick_cc_018", 100, 100),
                     AddBrick("brick_bb_018", 200, 100),
                     AddBrick("brick_dd_006", 300, 100),
                     AddBrick("brick_ee_001", 600, 100)};
    for (Actor* brick : gActorScene.mBricks) gBoard.SetBrickHitPoints(brick);
    return field;
  }
};

TEST_P(PowerUp, CatchingItDoesItsActionAndItIsUselessOnlyWhenItWouldDoNothing) {
  const PowerUpCase& c = GetParam();
  PlayField catcher(&mGame);
  SmallBoard field = MakeBoard();
  EXPECT_FALSE(gBoard.IsPowerUpUseless(c.name)) << "useful on the standard board";
  Actor caught;
  caught.mName = c.name;
  catcher.ApplyPowerUp(&caught);  // as when the paddle catches it
  c.check(field);
  gActorScene.Clear();
  SmallBoard fresh = MakeBoard();
  if (c.makeUseless) {
    c.makeUseless(fresh);
    EXPECT_TRUE(gBoard.IsPowerUpUseless(c.name));
  } else {
    gActorScene.Clear();
    EXPECT_FALSE(gBoard.IsPowerUpUseless(c.name)) << "not even on an empty board";
  }
}

void Rename(std::initializer_list<Actor*> actors, const char* name) {
  for (Actor* actor : actors) actor->mName = name;
}
std::vector<std::string> Repeat(int n, const char* name) { return std::vector<std::string>(n, name); }
float Speed(const Actor* ball) { return BallSpeed(*ball); }
float CentreX(const Actor* actor) { return actor->mX + actor->mWidth * 0.5f; }

constexpr int kCatchScore = 3;  // what catching a power-up scores

// Speeds: the large ball moves at (120, -250), 277.3 per second; the small one at 300 straight up.
const PowerUpCase kCases[] = {
    {"ups_largeball", [](SmallBoard& f) { Rename({f.small}, "balllarge"); },
     [](SmallBoard& f) {
       EXPECT_EQ(f.small->mName, "balllarge");
       EXPECT_EQ(f.small->mWidth, 16);
       EXPECT_EQ(f.game.CountSounds(SOUND_BIGBALL), 2) << "also for the ball that was large";
     }},
    {"ups_smallball", [](SmallBoard& f) { Rename({f.large}, "ballsmall"); },
     [](SmallBoard& f) {
       EXPECT_EQ(f.large->mName, "ballsmall");
       EXPECT_EQ(f.large->mRadius, 4.0f);
     }},
    {"ups_addvel", [](SmallBoard& f) { f.small->mVelY = -1000.5f; },
     [](SmallBoard& f) {
       EXPECT_NEAR(Speed(f.small), 340.0f, 1e-3) << "20 x difficulty 2";
       EXPECT_NEAR(f.large->mVelX / f.large->mVelY, -0.48f, 1e-5) << "the direction is kept";
     }},
    {"ups_subvel", [](SmallBoard& f) { f.small->mVelY = -99.0f; },
     [](SmallBoard& f) { EXPECT_NEAR(Speed(f.small), 260.0f, 1e-3) << "20 x (4 - difficulty 2)"; }},
    {"ups_threeball", nullptr,
     [](SmallBoard& f) {
       EXPECT_EQ(PendingNames(), Repeat(2, "balllarge")) << "only the first moving ball splits";
       EXPECT_NEAR(std::atan2(f.large->mVelY, f.large->mVelX), 4.537855692207813 - 2 * 3.14159265358979, 1e-5);
       EXPECT_EQ(f.game.CountSounds(SOUND_MULTIBALL), 1);
     }},
    {"ups_eightball", nullptr,
     [](SmallBoard& f) {
       EXPECT_EQ(PendingNames(), Repeat(7, "balllarge"));
       const Actor& last = *gActorScene.mPendingActors.back();
       EXPECT_NEAR(std::atan2(last.mVelY, last.mVelX), 290 * 3.14159265358979 / 180 - 2 * 3.14159265358979, 1e-5);
       EXPECT_NEAR(Speed(&last), Speed(f.large), 1e-2);
     }},
    {"ups_fireball",
     [](SmallBoard& f) {
       Rename({f.large, f.small}, "ballfire");
     },
     [](SmallBoard& f) {
       EXPECT_EQ(f.small->mName, "ballfire");
       EXPECT_EQ(f.small->mTmpl->mName, "fireball");
       EXPECT_EQ(f.small->mOverlay->mName, "fire");
       EXPECT_EQ(f.small->mRadius, 7.0f) << "half of 15, whole";
     }},
    {"ups_thru",
     [](SmallBoard& f) {
       Rename({f.large, f.small}, "ballthru");
     },
     [](SmallBoard& f) {
       EXPECT_EQ(f.small->mName, "ballthru");
       EXPECT_EQ(f.small->mTmpl->mName, "smallball") << "keeps its look";
       EXPECT_EQ(f.small->mOverlay->mName, "makeball");
     }},
    {"ups_longpaddle", [](SmallBoard& f) { Rename({f.paddle}, "paddlelong"); },
     [](SmallBoard& f) {
       EXPECT_EQ(f.paddle->mName, "paddlelong");
       EXPECT_EQ(f.paddle->mWidth, 140);
       EXPECT_EQ(CentreX(f.paddle), 400.0f) << "the centre stays";
     }},
    {"ups_shortpaddle", [](SmallBoard& f) { Rename({f.paddle}, "paddleshort"); },
     [](SmallBoard& f) {
       EXPECT_EQ(f.paddle->mName, "paddleshort");
       EXPECT_EQ(CentreX(f.paddle), 400.0f);
     }},
    {"ups_convert",
     [](SmallBoard& f) {
       for (Actor* brick : {f.cc, f.bb, f.iron}) brick->mAlive = false;
     },
     [](SmallBoard& f) {
       EXPECT_EQ(f.cc->mName, "brick_bb_018");
       EXPECT_EQ(f.cc->mHitPoints, 2);
       EXPECT_EQ(f.bb->mName, "brick_aa_018");
       EXPECT_EQ(f.iron->mName, "brick_cc_040");
       EXPECT_EQ(f.iron->mHitPoints, 3);
       EXPECT_EQ(f.game.mScore, kCatchScore + 2 * Board::kBrickHitScore) << "the iron brick scores nothing";
     }},
    {"ups_down", [](SmallBoard& f) { f.cc->mY = 481; },
     [](SmallBoard& f) {
       for (Actor* brick : gActorScene.mBricks) EXPECT_EQ(brick->mY, 110.0f);
     }},
    {"ups_up", [](SmallBoard& f) { f.cc->mY = 24.9f; },
     [](SmallBoard& f) {
       for (Actor* brick : gActorScene.mBricks) EXPECT_EQ(brick->mY, 90.0f);
     }},
    {"ups_addlive", nullptr, [](SmallBoard& f) { EXPECT_EQ(f.game.mLives, kLivesAtNewGame + 1); }},
    {"ups_sublive", nullptr,
     [](SmallBoard& f) {
       EXPECT_EQ(PendingNames(), Repeat(2, "smallyellowbom"));
       EXPECT_EQ(gActorScene.mPendingActors[0]->mMode, kBallKillerMode);
       EXPECT_TRUE(f.large->mAlive);
       EXPECT_FALSE(f.large->mTmpl->mVisible);
       EXPECT_EQ(Speed(f.large), 0.0f);
     }},
    {"ups_explode", [](SmallBoard& f) { f.explosive->mAlive = false; },
     [](SmallBoard& f) {
       EXPECT_FALSE(f.explosive->mAlive);
       EXPECT_EQ(gActorScene.mPendingActors.front()->mMode, kBombMode);
       EXPECT_EQ(f.game.mSounds.back(), SOUND_FIREEXPLODE);
     }},
    {"ups_bounce", nullptr,
     [](SmallBoard& f) {
       EXPECT_EQ(PendingNames(), Repeat(1, "bounce"));
       EXPECT_EQ(gActorScene.mPendingActors[0]->mY, 590.0f) << "on the bottom edge";
     }},
    {"ups_newball",
     [](SmallBoard& f) {
       Rename({f.large, f.small}, "ballnew");
     },
     [](SmallBoard& f) {
       EXPECT_EQ(f.small->mName, "ballnew");
       EXPECT_EQ(f.small->mTmpl->mName, "largeball");
       EXPECT_EQ(f.small->mOverlay->mName, "newball");
     }},
    {"ups_cannon", nullptr,
     [](SmallBoard& f) {
       EXPECT_TRUE(f.game.mSounds.empty());
       EXPECT_TRUE(PendingNames().empty());
     }},
    {"ups_reverse", nullptr,
     [](SmallBoard& f) {
       EXPECT_EQ(f.large->mVelX, -120.0f);
       EXPECT_EQ(f.large->mVelY, 250.0f);
     }},
};

INSTANTIATE_TEST_SUITE_P(All, PowerUp, testing::ValuesIn(kCases), testing::PrintToStringParamName());

TEST_F(RulesTest, SpeedingUpABallAtRestLeavesItAtRestWithoutNaN) {
  Actor* ball = AddBall("balllarge", 100, 100, 0, 0);  // stopped by a bomb
  gBoard.PowerUpAddVelocity();
  EXPECT_EQ(ball->mVelX, 0.0f);
  EXPECT_EQ(ball->mVelY, 0.0f);
}

TEST_F(RulesTest, WithoutABombLookALifeTakenByThePowerUpStillEnds) {
  Actor* ball = AddBall("ballfire", 100, 100, 0, -300);
  gObjectLibrary.ClearPrototypes();  // the bomb's among them
  gBoard.PowerUpSubLife();
  EXPECT_FALSE(ball->mAlive) << "no bomb would ever end it";
}

struct DropCase {
  int difficulty;
  int first, last;  // the drop table's indices that can come
};

void PrintTo(const DropCase& c, std::ostream* out) { *out << "Difficulty" << c.difficulty; }

class DropTable : public RulesTest, public testing::WithParamInterface<DropCase> {};

TEST_P(DropTable, ARandomDropComesFromTheDifficultysPartOfTheTable) {
  mGame.mDifficulty = GetParam().difficulty;
  AddBall("balllarge", 200, 300, 120, -250);
  AddBall("ballsmall", 400, 300, 0, -300);
  AddPaddle("paddlemiddle");
  for (const char* brick : {"brick_cc_018", "brick_ee_001"}) gBoard.SetBrickHitPoints(AddBrick(brick, 300, 100));
  std::set<std::string> dropped;
  for (int i = 0; i < 400; ++i) gBoard.DropPowerUp("random", 300, 200);
  for (const auto& powerUp : gActorScene.mPendingActors) {
    dropped.insert(powerUp->mName);
    EXPECT_EQ(powerUp->mVelX, 0.0f);
    EXPECT_TRUE(powerUp->mVelY >= 150 && powerUp->mVelY <= 249) << powerUp->mVelY;
    EXPECT_EQ(powerUp->mX + powerUp->mWidth * 0.5f, 300.0f) << "centred on the point";
  }
  EXPECT_EQ(dropped, std::set<std::string>(kPowerUpDropTable.begin() + GetParam().first,
                                           kPowerUpDropTable.begin() + GetParam().last + 1));
}

INSTANTIATE_TEST_SUITE_P(Difficulties, DropTable,
                         testing::Values(DropCase{1, 1, 15}, DropCase{2, 1, 19}, DropCase{3, 12, 19},
                                         DropCase{9, 12, 19}),  // held to hard
                         testing::PrintToStringParamName());

TEST_F(RulesTest, AUselessPowerUpIsNeverDroppedAndARandomDrawIsRepeatedUntilUseful) {
  AddBall("ballfire", 200, 300, 0, -300);
  gBoard.DropPowerUp("ups_fireball", 300, 200);
  EXPECT_TRUE(gActorScene.mPendingActors.empty()) << "asked for by name while useless";
  ScriptNextDraw(19, 7);  // "ups_fireball" at normal
  gBoard.DropPowerUp("random", 300, 200);
  ASSERT_EQ(gActorScene.mPendingActors.size(), 1u);
  EXPECT_NE(gActorScene.mPendingActors[0]->mName, "ups_fireball");
}

}  // namespace
