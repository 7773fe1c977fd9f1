// A run as root in a player's folders (the player's HOME and XDG variables) never leaves the player unable
// to save: what it makes there is the player's, a lock file it left is still taken, and a file whose owner
// cannot be set (in a user namespace that does not map it) is saved all the same. Run as root, as in CI;
// skipped otherwise, for only root can give a file to another user.
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>

#include "framework/app/KitAppBase.h"
#include "framework/util/Buffer.h"
#include "framework/util/FileSystemUtil.h"
#include "platform/win/Windows.h"
#include "platform/win/crash/SignalSafeText.h"
#include "platform/win/files/FileLock.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScopedSearchFolders.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// The player, as far as the machine knows one: the user and group "nobody".
constexpr uid_t kPlayer = 65534;

// Runs body in a forked child; its result (0 to 255), or -1 when the child did not end normally.
int InChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The player's folders, their save, the folder's lock, the lock of one running copy, a crash report.
TEST(OwnersTest, WhatARunAsRootMakesInThePlayersFolderIsThePlayers) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  testsupport::TempDir dir;
  const fs::path home = dir.Path() / "home";
  fs::create_directory(home);
  ASSERT_EQ(::chown(home.c_str(), kPlayer, kPlayer), 0);
  {
    const testsupport::ScopedEnvironmentVariable data("XDG_DATA_HOME", (home / "share").c_str());
    const testsupport::ScopedSearchFolders cleared("", "");
    plat::UseGameFolders("quarvel", "", "");
  }
  Kit::Buffer bytes;
  bytes.WriteString("progress");
  EXPECT_TRUE(Kit::KitAppBase().WriteBufferToFile((home / "userdata\\playerdata.dat").string(), bytes));
  EXPECT_TRUE(plat::FileLock((home / ".lock").string(), 0).Held());
  {
    const testsupport::ScopedInstanceScope scope((home / "run/quarvel").string());
    CloseHandle(CreateMutex(nullptr, TRUE, "OwnersTest"));
  }
  EXPECT_TRUE(plat::SignalSafeFile((home / "crash.txt").c_str()).IsOpen());
  for (const char* made : {"share", "share/quarvel", "userdata", "userdata/playerdata.dat", ".lock", "run",
                           "run/quarvel", "run/quarvel/OwnersTest.lock", "crash.txt"}) {
    struct stat info {};
    EXPECT_EQ(::lstat((home / made).c_str(), &info), 0) << made;
    EXPECT_EQ(std::pair(info.st_uid, info.st_gid), std::pair(kPlayer, kPlayer)) << made;
  }
}

// A lock needs no write access: a lock file that a run as root left in the player's folder (root's, 0644)
// still keeps the player's runs apart, and is theirs to take.
TEST(OwnersTest, ALockFileARunAsRootLeftIsTakenByThePlayer) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can leave a file of its own in another user's folder";
  testsupport::TempDir dir;
  fs::permissions(dir.Path(), fs::perms::others_exec, fs::perm_options::add);
  const std::string lockFile = dir.Write("userdata/.lock", "");
  ASSERT_EQ(::chmod(lockFile.c_str(), 0644), 0);
  ASSERT_EQ(::chown((dir.Path() / "userdata").c_str(), kPlayer, kPlayer), 0);
  const auto playersRunTakesIt = [&] {
    return InChild([&] {
      if (::setgroups(0, nullptr) != 0 || ::setgid(kPlayer) != 0 || ::setuid(kPlayer) != 0) return 2;
      return plat::FileLock(lockFile, 0).Held() ? 0 : 1;
    });
  };
  {
    const plat::FileLock held(lockFile, 0);
    EXPECT_EQ(playersRunTakesIt(), 1) << "another run holds it";
  }
  EXPECT_EQ(playersRunTakesIt(), 0);
}

// In a user namespace that maps only the process's own user, the player's file cannot keep its owner,
// who is not mapped there: it is saved all the same.
TEST(OwnersTest, AFileWhoseOwnerIsNotMappedIsSavedAllTheSame) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can make a file of another user to save over";
  testsupport::TempDir dir;
  const std::string file = dir.Write("playerdata.dat", "old");
  ASSERT_EQ(::chown(file.c_str(), kPlayer, kPlayer), 0);
  constexpr int kNoNamespace = 100;
  const int saved = InChild([&] {
    const auto put = [](const char* file, const char* text) { return bool(std::ofstream(file) << text << std::flush); };
    if (::unshare(CLONE_NEWUSER) != 0 || !put("/proc/self/uid_map", "0 0 1") || !put("/proc/self/setgroups", "deny") ||
        !put("/proc/self/gid_map", "0 0 1"))
      return kNoNamespace;
    return Kit::WriteFileAtomically(file, reinterpret_cast<const std::uint8_t*>("new"), 3) ? 0 : errno;
  });
  if (saved == kNoNamespace) GTEST_SKIP() << "the kernel gives no user namespace here";
  EXPECT_EQ(saved, 0) << std::strerror(saved);
  EXPECT_EQ(testsupport::ReadFileContents(file), saved == 0 ? "new" : "old");
}

}  // namespace
