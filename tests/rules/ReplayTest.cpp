// For each power-up, a short game in which the paddle catches it, recorded as the pointer input of every
// tick and played again from the same seed: the replay must reach the same final state, actor for actor.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/widget/WidgetManager.h"
#include "game/play/ActorScene.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "tests/rules/Autopilot.h"
#include "tests/rules/RulesFixture.h"

namespace {

using rulestest::PointerInput;

constexpr int kGameTicks = 1200;  // twelve seconds of play
constexpr unsigned kSeed = 7;
constexpr const char* kMarker = "caught";  // the code that tells the test's power-up from dropped ones

struct Recording {
  std::vector<PointerInput> inputs;
  std::string finalState;
  bool caught = false;
};

class Replay : public rulestest::RulesTest, public testing::WithParamInterface<const char*> {
 protected:
  // Plays the game; with inputs given, replays them instead of steering.
  Recording Play(const std::vector<PointerInput>* inputs) {
    StartGame();
    Recording recording;
    rulestest::Autopilot pilot;
    for (int tick = 0; tick < kGameTicks; ++tick) {
      PointerInput input = inputs ? (*inputs)[tick] : Steer(pilot);
      recording.inputs.push_back(input);
      mGame.mWidgetManager->MouseMoveEntry(input.x, 300);
      if (input.click) Field().MouseUp(input.x, 300, 1);
      RunTicks(1);
    }
    recording.caught = TestPowerUp() == nullptr;
    recording.finalState = DescribeState();
    EndGame();
    return recording;
  }

  // A board with every kind of brick, and the power-up falling from the middle of the field.
  void StartGame() {
    std::srand(kSeed);
    mGame.mScore = 0;
    mGame.mLives = kLivesAtNewGame;
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
  }

  void EndGame() {
    mGame.mWidgetManager->RemoveWidget(mGame.mPlayField);
    delete mGame.mPlayField;
    mGame.mPlayField = nullptr;
    gObjectLibrary.ClearInstances();
  }

  // The paddle waits under the test's power-up until it has it, then the autopilot plays.
  PointerInput Steer(rulestest::Autopilot& pilot) {
    PointerInput input = pilot.Steer(Field());
    if (const Actor* powerUp = TestPowerUp()) input.x = static_cast<int>(powerUp->mX + powerUp->mWidth * 0.5f);
    return input;
  }

  static const Actor* TestPowerUp() {
    for (const auto& actor : gActorScene.mAllActors)
      if (actor->mCode == kMarker) return actor.get();
    return nullptr;
  }

  std::string DescribeState() const {
    std::string state = "score " + std::to_string(mGame.mScore) + " lives " + std::to_string(mGame.mLives) +
                        " sounds " + std::to_string(mGame.mSounds.size()) + "\n";
    char line[256];
    for (const auto& actor : gActorScene.mAllActors) {
      std::snprintf(line, sizeof line, "%d %s %.3f %.3f %.3f %.3f %d %d\n", actor->mKind, actor->mName.c_str(),
                    actor->mX, actor->mY, actor->mVelX, actor->mVelY, actor->mHitPoints, actor->mAlive);
      state += line;
    }
    return state;
  }
};

TEST_P(Replay, AGameInWhichThePowerUpIsCaughtReplaysToTheSameFinalState) {
  const Recording recorded = Play(nullptr);
  ASSERT_TRUE(recorded.caught) << "the paddle caught " << GetParam();
  mGame.mSounds.clear();
  const Recording replayed = Play(&recorded.inputs);
  EXPECT_TRUE(replayed.caught);
  EXPECT_EQ(replayed.finalState, recorded.finalState);
}

INSTANTIATE_TEST_SUITE_P(PowerUps, Replay,
                         testing::Values("ups_largeball", "ups_smallball", "ups_addvel", "ups_subvel", "ups_threeball",
                                         "ups_eightball", "ups_fireball", "ups_thru", "ups_longpaddle",
                                         "ups_shortpaddle", "ups_convert", "ups_down", "ups_up", "ups_addlive",
                                         "ups_sublive", "ups_explode", "ups_bounce", "ups_newball", "ups_cannon",
                                         "ups_reverse"));

}  // namespace
