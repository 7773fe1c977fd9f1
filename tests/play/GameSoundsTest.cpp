// The game's sound starts: one sound started several times in one update sounds once (the copies would
// start in phase and only add up past full scale); other sounds, and the same sound in a later update,
// all start.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "game/play/GameApp.h"
#include "tests/resource/TestResourceHost.h"

namespace {

// Logs the sounds asked for; it has no instances to hand out, so nothing plays.
class StartLog : public testresources::RecordingSoundManager {
 public:
  explicit StartLog(std::vector<unsigned int>& log) : mLog(log) {}
  Kit::SoundInstance* GetSoundInstance(unsigned int soundId) override {
    mLog.push_back(soundId);
    return nullptr;
  }

 private:
  std::vector<unsigned int>& mLog;
};

struct SoundStarts {
  const char* what;
  std::vector<std::vector<int>> playedPerUpdate;
  std::vector<unsigned int> started;
  friend void PrintTo(const SoundStarts& starts, std::ostream* out) { *out << starts.what; }
};

class GameSounds : public testing::TestWithParam<SoundStarts> {};

TEST_P(GameSounds, StartOncePerUpdate) {
  std::vector<unsigned int> started;
  GameApp game;
  game.mSoundManager = std::make_unique<StartLog>(started);
  for (const std::vector<int>& update : GetParam().playedPerUpdate) {
    ++game.mUpdateCount;
    for (int sound : update) game.PlaySample(sound);
  }
  EXPECT_EQ(started, GetParam().started);
}

INSTANTIATE_TEST_SUITE_P(Updates, GameSounds,
                         testing::Values(SoundStarts{"PaddleSetBackAtANewLife", {{7, 7, 7}}, {7}},
                                         SoundStarts{"TwoSoundsInOneUpdate", {{7, 3, 7, 3}}, {7, 3}},
                                         SoundStarts{"TheSameSoundInTheNextUpdate", {{7}, {7, 7}}, {7, 7}}),
                         testing::PrintToStringParamName());

}  // namespace
