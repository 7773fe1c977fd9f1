#include "platform/win/files/PathMap.h"

#include <gtest/gtest.h>

#include "tests/support/ScopedSearchFolders.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnreadableFile.h"

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
  {
    const testsupport::ScopedSearchFolders folders(player.Path(), data.Path());
    EXPECT_EQ(MapPath("userdata\\playerdata.dat"), own);
    EXPECT_EQ(MapPath("data\\level1_1.vel"), shipped);
    EXPECT_EQ(MapPath("custom\\mine.lvx"), player.Path().string() + "/custom/mine.lvx");
    const std::string absolute = elsewhere.Write("x.txt", "x");
    EXPECT_EQ(MapPath(absolute), absolute);
  }
  EXPECT_EQ(MapPath("data\\level1_1.vel"), "data/level1_1.vel");
}

// What stands in the player's folder for one of the game's files but cannot be opened as a file is passed
// over for the game's copy; one that opens is the player's copy, damaged or not, and it is said to be
// theirs. A folder of the player's over one of the game's stays theirs.
class PathMapOverride : public testing::TestWithParam<testsupport::Unreadable> {};

TEST_P(PathMapOverride, ThatCannotBeOpenedIsPassedOverForTheGamesCopy) {
  testsupport::TempDir player, data;
  testsupport::MakeUnreadable(player.Path() / "images" / "menu.png", GetParam());
  const std::string shipped = data.Write("images/menu.png", "the game's");
  const testsupport::ScopedSearchFolders folders(player.Path(), data.Path());
  const bool opens = GetParam() == testsupport::Unreadable::kReadError;
  const std::string own = (player.Path() / "images" / "menu.png").string();
  EXPECT_EQ(MapPath("images\\menu.png"), opens ? own : shipped);
  EXPECT_EQ(plat::PlayersOwnCopy("images\\menu.png"), opens ? own : "");
  EXPECT_EQ(MapPath("images"), (player.Path() / "images").string());
}

INSTANTIATE_TEST_SUITE_P(Kinds, PathMapOverride, testing::ValuesIn(testsupport::kUnreadableKinds),
                         [](const auto& info) { return testsupport::UnreadableName(info.param); });

// The game's data: a build tree's beside the program, an installed copy's at the same place relative to
// the program wherever the prefix went, else the folder the build was configured to install to.
TEST(PathMap, TheDataFolderIsTheProgramsOwnThenBesideItThenTheConfiguredOne) {
  testsupport::TempDir tree;
  const std::string manifest = "properties/resources.xml";
  const std::string configured = tree / "usr/local/share/quarvel";
  tree.Write("build/" + manifest, "<ResourceManifest/>");
  tree.Write("moved/share/quarvel/" + manifest, "<ResourceManifest/>");
  tree.Write("moved/bin/quarvel", "");
  tree.Write("empty/bin/quarvel", "");
  struct Case {
    std::string programFolder, expected;
  } cases[] = {
      {tree / "build", tree / "build"},
      {tree / "moved/bin", tree / "moved/share/quarvel"},
      {tree / "empty/bin", configured},
      {"", configured},  // the program's own path could not be read
  };
  for (const Case& c : cases)
    EXPECT_EQ(plat::ChooseDataFolder(c.programFolder, "../share/quarvel", configured), c.expected) << c.programFolder;
  EXPECT_EQ(plat::ChooseDataFolder(tree / "moved/bin", "", configured), configured);
}
