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
