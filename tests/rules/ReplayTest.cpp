// For each power-up, a short game in which the paddle catches it, recorded as the pointer input of every
// tick and played again from the same seed: the replay must reach the same final state, actor for actor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/data/Catalog.h"
#include "game/play/ActorScene.h"
#include "game/play/ObjectLibrary.h"
#include "tests/rules/RulesFixture.h"
#include "tests/support/Autopilot.h"

namespace {

using testsupport::PointerInput;

constexpr int kGameTicks = 1200;           // twelve seconds of play
constexpr const char* kMarker = "caught";  // the code that tells the test's power-up from dropped ones

class Replay : public rulestest::RulesTest, public testing::WithParamInterface<std::string> {
 protected:
  // Plays the game on a board with every kind of brick, the power-up falling from the middle; with inputs
  // given, replays them, else records what the paddle does: wait under the power-up, then the autopilot.
  // Returns the final state, "" when the power-up was not caught.
  std::string Play(std::vector<PointerInput>& inputs, bool record) {
    std::srand(7);
    mGame.mScore = 0;
    mGame.mLives = kLivesAtNewGame;
    mGame.mSounds.clear();
    gEndGameFrameCount = 0;
    for (int column = 0; column < 18; ++column) AddBrick("brick_cc_018", 40.0f + 40 * column, 60);
    const char* specials[] = {"brick_ee_001", "brick_bb_018", "brick_dd_006", "brick_ff_001",
                              "brick_gg_001", "brick_hh_001", "brick_ii_001", "brick_ii_001"};
    for (int i = 0; i < 8; ++i) AddBrick(specials[i], 60.0f + 90 * i, 140);
    for (Actor* brick : gActorScene.mBricks) gBoard.SetBrickHitPoints(brick);
    mGame.OpenPlayField();
    Actor* powerUp = gActorScene.CreateActor(gObjectLibrary.ObtainAnimation(GetParam()), kPowerUpKind);
    powerUp->mName = GetParam();
    powerUp->mCode = kMarker;
    powerUp->mX = 390;
    powerUp->mY = 250;
    powerUp->mVelY = 200;
    testsupport::Autopilot pilot;
    for (int tick = 0; tick < kGameTicks; ++tick) {
      if (record) inputs.push_back(pilot.Steer(Field()));
      if (const Actor* falling = TestPowerUp(); record && falling != nullptr)
        inputs.back().x = static_cast<int>(falling->mX + falling->mWidth * 0.5f);
      RunTickWith(inputs[tick]);
    }
    const std::string state = TestPowerUp() == nullptr ? DescribeField() : "";
    CloseField();
    gObjectLibrary.ClearInstances();
    return state;
  }

  static const Actor* TestPowerUp() {
    for (const auto& actor : gActorScene.mAllActors)
      if (actor->mCode == kMarker) return actor.get();
    return nullptr;
  }
};

TEST_P(Replay, AGameInWhichThePowerUpIsCaughtReplaysToTheSameFinalState) {
  std::vector<PointerInput> inputs;
  const std::string recorded = Play(inputs, true);
  ASSERT_NE(recorded, "") << "the paddle did not catch " << GetParam();
  EXPECT_EQ(Play(inputs, false), recorded);
}

INSTANTIATE_TEST_SUITE_P(PowerUps, Replay, testing::ValuesIn(gamedata::PowerUps()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
