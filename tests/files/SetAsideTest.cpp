// A damaged file set aside, copied or moved, takes the first of its names that nothing holds when the copy
// is put in place: whatever holds a name then (a link planted after the caller looked for a free one) is
// passed by, never written through, never replaced.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win/files/FileReplace.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// What stands at the first name; a link there leads to `victim`, a file of someone else's.
struct Obstacle {
  const char* name;
  void (*plant)(const fs::path& at, const fs::path& victim);
};

void PrintTo(const Obstacle& obstacle, std::ostream* out) { *out << obstacle.name; }

const Obstacle kObstacles[] = {
    {"LinkToAFile", [](const fs::path& at, const fs::path& victim) { fs::create_symlink(victim, at); }},
    {"LinkToNothingYet",
     [](const fs::path& at, const fs::path& victim) { fs::create_symlink(victim.string() + "2", at); }},
    {"LinkToAFolder", [](const fs::path& at, const fs::path& v) { fs::create_directory_symlink(v.parent_path(), at); }},
    {"File", [](const fs::path& at, const fs::path&) { std::ofstream(at) << "theirs"; }},
    {"Folder", [](const fs::path& at, const fs::path&) { fs::create_directory(at); }},
};

// The kind, mode, size and link target of what stands at a path, not following a link.
std::string Standing(const fs::path& path) {
  struct stat info {};
  std::error_code error;
  return ::lstat(path.c_str(), &info) != 0 ? "nothing"
                                           : std::to_string(info.st_mode) + " " + std::to_string(info.st_size) + " " +
                                                 fs::read_symlink(path, error).string();
}

class SetAside : public testing::TestWithParam<std::tuple<Obstacle, bool>> {};

TEST_P(SetAside, PassesByWhatHoldsANameAndLeavesItAsItWas) {
  const auto& [obstacle, copied] = GetParam();
  testsupport::TempDir dir;
  const fs::path victim = dir.Write("elsewhere/victim.txt", "victim"), original = dir.Write("home/data", "damaged");
  fs::permissions(original, fs::perms::owner_read | fs::perms::owner_write);
  const std::vector<std::string> names = {dir / "home/data.bak", dir / "home/data.bak2"};
  obstacle.plant(names[0], victim);
  const std::string standing = Standing(names[0]), victimStanding = Standing(victim);

  EXPECT_EQ(copied ? plat::WriteCopyOf(original, names, "damaged") : plat::MoveAside(original, names), names[1]);
  EXPECT_EQ(testsupport::ReadFileContents(names[1]), "damaged");
  EXPECT_EQ(fs::status(names[1]).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Standing(names[0]), standing);
  EXPECT_EQ(Standing(victim), victimStanding);
  EXPECT_FALSE(fs::exists(fs::symlink_status(victim.string() + "2"))) << "made through a link";
  // With every name held, nothing is set aside.
  errno = 0;
  EXPECT_EQ(copied ? plat::WriteCopyOf(original, {names[0]}, "") : plat::MoveAside(names[1], {names[0]}), std::nullopt);
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(Standing(names[0]), standing);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() / "home"), {}), copied ? 3 : 2) << "a temporary is left";
}

INSTANTIATE_TEST_SUITE_P(Obstacles, SetAside, testing::Combine(testing::ValuesIn(kObstacles), testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "Copied" : "Moved");
                         });

}  // namespace
