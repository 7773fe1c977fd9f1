// Loading a level: its file by scene and level or from the custom queue, the background it selects and
// the music that follows it.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "game/data/ObjectRecords.h"
#include "game/play/BackgroundAnim.h"
#include "game/play/LevelLoading.h"
#include "tests/play/PlayFixture.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"

namespace {

using playtest::PlayFieldTest;

class LevelLoading : public PlayFieldTest {
 protected:
  // A level file without objects: its background value, then a count of 0.
  void WriteLevel(const std::string& name, std::int32_t background) {
    mFolder.Write(name, gamedata::EncodeLevel({background, {}}));
  }

  testsupport::TempDir mFolder;
  testsupport::ScopedCurrentFolder mInFolder{mFolder.Path()};
};

TEST_F(LevelLoading, ACustomLevelTakesTheFrontOfTheQueue) {
  mGame.mCustomLevel = true;
  mGame.mCustomLevelPaths = {"custom\\a.vel", "custom\\b.vel"};
  EXPECT_EQ(TakeLevelPath(mGame), "custom\\a.vel");
  EXPECT_EQ(TakeLevelPath(mGame), "custom\\b.vel");
  EXPECT_TRUE(mGame.mCustomLevelPaths.empty());
}

// The level file's background value, the kind it selects and the track that then fades in.
struct MusicCase {
  std::int32_t background;
  int kind;
  const char* fadeIn;
};

void PrintTo(const MusicCase& c, std::ostream* out) { *out << "Background" << c.background; }

class LevelMusic : public LevelLoading, public testing::WithParamInterface<MusicCase> {};

TEST_P(LevelMusic, ALevelFadesTheOldTrackOutAndTheTrackOfItsBackgroundIn) {
  gBackgroundAnim.SetKind(BackgroundAnim::kFallKind);
  mGame.mMusicTrack = kMenuTrack;
  mGame.mScene = 1;
  mGame.mLevel = 1;
  WriteLevel("data/level1_1.vel", GetParam().background);
  LoadLevelObjects(mGame);
  EXPECT_EQ(gBackgroundAnim.mKind, GetParam().kind);
  const std::vector<std::string>& fades = mGame.Music()->mFades;
  ASSERT_GE(fades.size(), 1u);
  EXPECT_EQ(fades[0], "out 0");
  EXPECT_EQ(fades.size() > 1 ? fades[1] : std::string("none"), GetParam().fadeIn);
}

INSTANTIATE_TEST_SUITE_P(Backgrounds, LevelMusic,
                         testing::Values(MusicCase{1, 1, "in 1"}, MusicCase{2, 2, "in 2"}, MusicCase{3, 0, "in 3"},
                                         // An unknown value keeps the kind, which still has its track.
                                         MusicCase{0, 2, "in 2"}, MusicCase{4, 2, "in 2"}),
                         testing::PrintToStringParamName());

}  // namespace
