#include "platform/win/PathMap.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace {

using plat::MapPath;
using plat::NormalizeSeparators;

TEST(PathMap, BackslashesBecomeSlashesAndRunsCollapse) {
  EXPECT_EQ(NormalizeSeparators("data\\level1_2.vel"), "data/level1_2.vel");
  EXPECT_EQ(NormalizeSeparators("userdata//playerdata.dat"), "userdata/playerdata.dat");
  EXPECT_EQ(NormalizeSeparators("a\\/\\b"), "a/b");
  EXPECT_EQ(NormalizeSeparators(""), "");
}

TEST(PathMap, ExistingPathIsKeptAsWritten) {
  testsupport::TempDir dir;
  std::string file = dir.Write("Data/Effect.txt", "x");
  EXPECT_EQ(MapPath(file), file);
}

TEST(PathMap, MissingCaseIsResolvedPerComponent) {
  testsupport::TempDir dir;
  std::string file = dir.Write("Data/Level1_2.vel", "x");
  std::string asked = dir.Path().string() + "\\DATA\\level1_2.VEL";
  EXPECT_EQ(MapPath(asked), file);
}

TEST(PathMap, UnresolvedTailIsKeptForCreation) {
  testsupport::TempDir dir;
  dir.Write("UserData/old.dat", "x");
  std::string asked = dir.Path().string() + "/userdata\\\\new\\playerdata.dat";
  EXPECT_EQ(MapPath(asked), dir.Path().string() + "/UserData/new/playerdata.dat");
}

TEST(PathMap, ExactCaseWinsOverOtherCases) {
  testsupport::TempDir dir;
  dir.Write("music/A.ogg", "1");
  std::string lower = dir.Write("music/a.ogg", "2");
  EXPECT_EQ(MapPath(lower), lower);
}

}  // namespace

// The game's two folders: what the player has wins, the game's data comes next, and new files go to
// the player's folder; absolute paths and the working folder are left alone.
TEST(PathMap, RelativePathsLookInThePlayersFolderThenTheData) {
  testsupport::TempDir player, data, elsewhere;
  const std::string own = player.Write("UserData/playerdata.dat", "p");
  const std::string shipped = data.Write("Data/Level1_1.vel", "d");
  data.Write("userdata/playerdata.dat", "shipped copy");
  plat::SetSearchFolders(player.Path().string(), data.Path().string());
  EXPECT_EQ(MapPath("userdata\\playerdata.dat"), own);
  EXPECT_EQ(MapPath("data\\level1_1.vel"), shipped);
  EXPECT_EQ(MapPath("custom\\mine.lvx"), player.Path().string() + "/custom/mine.lvx");
  const std::string absolute = elsewhere.Write("x.txt", "x");
  EXPECT_EQ(MapPath(absolute), absolute);
  plat::SetSearchFolders("", "");
  EXPECT_EQ(MapPath("data\\level1_1.vel"), "data/level1_1.vel");
}
