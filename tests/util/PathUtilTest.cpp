#include "framework/util/PathUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace Kit;

TEST(PathUtil, GetPathFromResolvesAgainstTheFolder) {
  EXPECT_EQ(GetPathFrom("..\\images\\a.png", "c:\\game\\data\\"), "c:\\game\\images\\a.png");
  EXPECT_EQ(GetPathFrom("b/c.txt", "x/y"), "x/y/b/c.txt");
  EXPECT_EQ(GetPathFrom("d:\\z.txt", "c:\\anything"), "d:\\z.txt");
  EXPECT_EQ(GetPathFrom("./a/./b.txt", "base"), "base/a/b.txt");
  EXPECT_EQ(GetPathFrom("file.txt", ""), "file.txt");
  EXPECT_EQ(GetPathFrom("a/b\\c.txt", ""), "a\\b\\c.txt");
}

TEST(PathUtil, GetPathFromWithMixedSeparators) {
  // Either slash separates components; the result takes "\" when any is present.
  EXPECT_EQ(GetPathFrom("../fonts/big.txt", "c:\\game\\data"), "c:\\game\\fonts\\big.txt");
  EXPECT_EQ(GetPathFrom("..\\x/y.png", "res/img/"), "res\\x\\y.png");
  EXPECT_EQ(GetPathFrom("sub/f.txt", "c:/game\\data"), "c:\\game\\data\\sub\\f.txt");
}

TEST(PathUtil, GetPathFromDotDotAndRoot) {
  EXPECT_EQ(GetPathFrom("../../x", "a/b/"), "x");
  EXPECT_EQ(GetPathFrom("../../x", "a/"), "../x");  // the folder is used up; the rest stays relative
  EXPECT_EQ(GetPathFrom("../x", "../"), "../../x");
  EXPECT_EQ(GetPathFrom("\\top\\f.txt", "c:\\game\\data"), "c:\\top\\f.txt");
  EXPECT_EQ(GetPathFrom("..\\..\\f.txt", "c:\\game"), "c:\\f.txt");  // never above the root
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
