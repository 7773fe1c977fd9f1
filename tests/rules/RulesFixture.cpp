#include "tests/rules/RulesFixture.h"

#include <cstdlib>

#include "game/data/Catalog.h"
#include "game/play/ActorScene.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"

namespace rulestest {

namespace {

// The effects: a spark for a hit, pieces and dust at death, a blast, a burn. An explosive brick's effects
// all open with "boom", which becomes its bomb.
BrickEffectRecord EffectsOf(const std::string& brick) {
  if (brick == "brick_ee_001") return {brick, "spark", "boom:dust", "boom:dust", "boom"};
  return {brick, "spark", "shatter:dust", "boom:dust", "burn"};
}

}  // namespace

RulesTest::RulesTest() {
  std::srand(1);
  mGame.mDifficulty = 2;
  mGame.mScore = 0;
  mGame.mLives = kLivesAtNewGame;
  gActorScene.mRules = &gBoard;
  AddPrototype("smallball", 8, 8, 0xFFFFFFFF);
  AddPrototype("fireball", 15, 15, 0xFFFFFFFF);
  for (const char* overlay : {"fire", "makeball", "newball", "spark", "shatter", "dust", "burn"})
    AddPrototype(overlay, 10, 10, 0xFFFFFFFF);
  AddPrototype("paddleshort", 60, kPaddleHeightPx, 0xFFFFFFFF);
  AddPrototype("paddlelong", 140, kPaddleHeightPx, 0xFFFFFFFF);
  AddPrototype("bounce", 800, 10, 0xFFFFFFFF);
  for (const char* bomb : {"boom", "smallyellowbom"}) {
    AddPrototype(bomb, 40, 40, 0xFFFFFFFF);
    ObjectTemplate* prototype = gObjectLibrary.Prototypes().back().get();
    prototype->mFrameCount = kBombFrameCount;
    prototype->mFrameStep = 1;
  }
  for (const std::string& powerUp : gamedata::PowerUps()) AddPrototype(powerUp, 20, 10, 0xFFFFFFFF);
  for (const char* brick : {"brick_aa_018", "brick_bb_018", "brick_cc_018", "brick_cc_040"}) {
    AddPrototype(brick, 40, 20, 0xFFFFFFFF);
  }
  for (const char* brick :
       {"brick_aa_018", "brick_bb_018", "brick_cc_018", "brick_dd_006", "brick_ee_001", "brick_ff_001", "brick_cc_040"})
    gBoard.mEffectRecords.Append(EffectsOf(brick));
}

RulesTest::~RulesTest() {
  gBoard.ClearEffects();
  mGame.mDifficulty = 2;
}

Actor* RulesTest::AddBall(const std::string& kind, float x, float y, float velX, float velY) {
  const std::string look = kind == "ballsmall" ? "smallball" : kind == "ballfire" ? "fireball" : "largeball";
  Actor* ball = gActorScene.CreateActor(gObjectLibrary.ObtainAnimation(look), kBallKind);
  ball->mName = kind;
  ball->mX = ball->mPrevX = x;
  ball->mY = ball->mPrevY = y;
  ball->mVelX = velX;
  ball->mVelY = velY;
  ball->mRadius = static_cast<float>(ball->mWidth / 2);
  return ball;
}

Actor* RulesTest::AddPaddle(const std::string& name) {
  Actor* paddle = gActorScene.CreateActor(gObjectLibrary.ObtainAnimation(name), kPaddleKind);
  paddle->mName = name;
  paddle->mX = 350;
  paddle->mY = 560;
  return paddle;
}

void RulesTest::SettleScene() { gActorScene.Update(0.0f, 1.0f); }

std::vector<std::string> PendingNames() {
  std::vector<std::string> names;
  for (const auto& actor : gActorScene.mPendingActors) names.push_back(actor->mName);
  return names;
}

void RulesTest::ScriptNextDraw(int modulus, int value) {
  for (unsigned seed = 1;; ++seed) {
    std::srand(seed);
    if (std::rand() % modulus != value) continue;
    std::srand(seed);
    return;
  }
}

}  // namespace rulestest
