// Every generated level cleared by the autopilot with all the rules on, headless, tick by tick: proof
// that each level can be finished and that no rule hangs a life. The levels are read from the generated
// data folder with the game's own readers; images are not loaded, so every prototype is given an opaque
// box of its size, and the balls meet the paddle by their boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "game/play/ActorScene.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/Board.h"
#include "game/play/LevelLoading.h"
#include "game/play/ObjectLibrary.h"
#include "game/play/ObjectTemplate.h"
#include "tests/play/PlayFixture.h"
#include "tests/support/Canvas.h"
#include "tests/support/ScopedCurrentFolder.h"

namespace {

constexpr int kMaxTicksPerLevel = 20 * 60 * 100;  // twenty minutes of game time at 10 ms a tick
constexpr int kLivesPerLevel = 1000;              // lives are counted, and never run out
// Every level of every scene in the plain build; the sanitizer build, many times slower, checks the
// memory of the rules on the first two levels of each scene.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kLevelsPlayed = 2;
#else
constexpr int kLevelsPlayed = kLevelsPerScene;
#endif

class AllLevels : public playtest::PlayFieldTest, public testing::WithParamInterface<int> {
 protected:
  AllLevels() : mDataFolder(QUARVEL_DATA_DIR) {
    gObjectLibrary.Reset();  // the generated templates, not the fixture's
    gObjectLibrary.LoadTemplates("data\\template.dat");
    for (const auto& prototype : gObjectLibrary.Prototypes()) {
      const int width = std::max(1, static_cast<int>(prototype->mWidth));
      const int height = std::max(1, static_cast<int>(prototype->mHeight));
      mImages.push_back(testsupport::Canvas(width, height, 0xFFFFFFFF));
      prototype->mImage = mImages.back().get();
    }
    gBoard.LoadEffects("data\\effect.txt");
    mGame.mDifficulty = 2;
  }
  ~AllLevels() override { gBoard.ClearEffects(); }

  // Plays the level until it is cleared or the time is up.
  void PlayLevel(int scene, int level) {
    mGame.mScene = scene;
    mGame.mLevel = level;
    mGame.mLives = kLivesPerLevel;
    LoadLevelObjects(mGame);
    ASSERT_FALSE(gActorScene.mBricks.empty()) << "no level file for " << scene << "_" << level;
    gBackgroundAnim.SetKind(-1);  // the backdrop needs its images; the rules do not
    mGame.OpenPlayField();
    testsupport::Autopilot pilot;
    int tick = 0;
    for (; tick < kMaxTicksPerLevel && Field().mState != PlayField::kLevelCleared; ++tick)
      RunTickWith(pilot.Steer(Field()));
    EXPECT_LT(tick, kMaxTicksPerLevel) << "level " << scene << "_" << level << " not cleared:\n" << DescribeField();
    // Lives won by power-ups less lives lost.
    std::printf("level %d_%d: %d ticks, lives %+d\n", scene, level, tick, mGame.mLives - kLivesPerLevel);
    CloseField();
  }

  testsupport::ScopedCurrentFolder mDataFolder;
};

TEST_P(AllLevels, TheAutopilotClearsEveryLevelOfTheSceneWithinTwentyMinutes) {
  for (int level = 1; level <= kLevelsPlayed; ++level) PlayLevel(GetParam(), level);
}

INSTANTIATE_TEST_SUITE_P(Scenes, AllLevels, testing::Range(1, kLastScene + 1), testing::PrintToStringParamName());

}  // namespace
