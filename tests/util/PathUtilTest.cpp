#include "framework/util/PathUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace Kit;

// Either slash separates components; the result takes "\" when any is present. A used-up folder
// leaves the rest relative; nothing goes above a drive's root.
TEST(PathUtil, GetPathFromResolvesAgainstTheFolder) {
  const char* const cases[][3] = {
      {"..\\images\\a.png", "c:\\game\\data\\", "c:\\game\\images\\a.png"},
      {"b/c.txt", "x/y", "x/y/b/c.txt"},
      {"d:\\z.txt", "c:\\anything", "d:\\z.txt"},
      {"./a/./b.txt", "base", "base/a/b.txt"},
      {"file.txt", "", "file.txt"},
      {"a/b\\c.txt", "", "a\\b\\c.txt"},
      {"../fonts/big.txt", "c:\\game\\data", "c:\\game\\fonts\\big.txt"},
      {"..\\x/y.png", "res/img/", "res\\x\\y.png"},
      {"sub/f.txt", "c:/game\\data", "c:\\game\\data\\sub\\f.txt"},
      {"../../x", "a/b/", "x"},
      {"../../x", "a/", "../x"},
      {"../x", "../", "../../x"},
      {"\\top\\f.txt", "c:\\game\\data", "c:\\top\\f.txt"},
      {"..\\..\\f.txt", "c:\\game", "c:\\f.txt"},
  };
  for (const auto& [path, folder, resolved] : cases) EXPECT_EQ(GetPathFrom(path, folder), resolved) << path;
}

TEST(PathUtil, GetFileNameAndDir) {
  EXPECT_EQ(GetFileName("dir\\name.ext", true), "name");
  EXPECT_EQ(GetFileName("dir\\name.ext", false), "name.ext");
  EXPECT_EQ(GetFileName("bare"), "bare");
  EXPECT_EQ(GetFileName("bare.txt", true), "bare");
  EXPECT_EQ(GetFileName("a.dir\\noext", true), "noext");
  EXPECT_EQ(GetFileName("archive.tar.gz", true), "archive.tar");
  EXPECT_EQ(GetFileName("dir\\", false), "");
  EXPECT_EQ(GetFileDir("a\\b\\c.txt"), "a\\b");
  EXPECT_EQ(GetFileDir("a\\b\\c.txt", true), "a\\b\\");
  EXPECT_EQ(GetFileDir("c.txt", true), "");
}

TEST(PathUtil, GetFileNameAndDirSplitAtTheLastOfEitherSlash) {
  EXPECT_EQ(GetFileName("a/b\\c/d.txt"), "d.txt");
  EXPECT_EQ(GetFileName("userdata//playerdata.dat", true), "playerdata");
  EXPECT_EQ(GetFileDir("a/b\\c/d.txt"), "a/b\\c");
  EXPECT_EQ(GetFileDir("c:\\game/levels\\l1.vel", true), "c:\\game/levels\\");
}

TEST(PathUtil, TrailingSlashes) {
  EXPECT_EQ(AddTrailingSlash(""), "");
  EXPECT_EQ(AddTrailingSlash("a/"), "a/");
  EXPECT_EQ(AddTrailingSlash("a\\", false), "a\\");
  EXPECT_EQ(AddTrailingSlash("a"), "a\\");
  EXPECT_EQ(AddTrailingSlash("a", false), "a/");
  EXPECT_EQ(RemoveTrailingSlash("a\\"), "a");
  EXPECT_EQ(RemoveTrailingSlash("a//"), "a/");
  EXPECT_EQ(RemoveTrailingSlash("a"), "a");
  EXPECT_EQ(RemoveTrailingSlash(""), "");
}

}  // namespace
