#include "platform/win/PathMap.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace {

using plat::MapPath;

TEST(PathMap, SeparatorsBecomeOneSlashAndCaseIsResolvedPerComponent) {
  EXPECT_EQ(plat::NormalizeSeparators("data\\level1_2.vel"), "data/level1_2.vel");
  EXPECT_EQ(plat::NormalizeSeparators("a\\/\\b//c"), "a/b/c");
  EXPECT_EQ(plat::NormalizeSeparators(""), "");
  testsupport::TempDir dir;
  const std::string root = dir.Path().string();
  const std::string file = dir.Write("Data/Level1_2.vel", "x");
  EXPECT_EQ(MapPath(file), file);
  EXPECT_EQ(MapPath(root + "\\DATA\\level1_2.VEL"), file);
  // The tail that does not exist yet is kept as written, for creation.
  EXPECT_EQ(MapPath(root + "/data\\\\new\\playerdata.dat"), root + "/Data/new/playerdata.dat");
  // The exact case wins over another one.
  dir.Write("music/A.ogg", "1");
  const std::string lower = dir.Write("music/a.ogg", "2");
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
