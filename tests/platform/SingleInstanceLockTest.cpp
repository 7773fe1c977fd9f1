// Where the lock that keeps a second copy out lives, and that it ends with the copy that holds it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/win/Errors.h"
#include "platform/win/files/FileLock.h"
#include "platform/win/process/DebugOutput.h"
#include "platform/win/process/SingleInstance.h"
#include "platform/win/threads/Threads.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr char kName[] = "ProductMutex";

bool MutexHeldElsewhere() {
  HANDLE mutex = CreateMutex(nullptr, TRUE, kName);
  const bool held = GetLastError() == ERROR_ALREADY_EXISTS;
  CloseHandle(mutex);
  return held;
}

// Forks a child that runs `take`, then stays until every writing end of the pipe `stay` is closed.
// Returns once the child has taken, with the child; -1 when it could not.
pid_t ForkStaying(const int stay[2], const std::function<void()>& take) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(stay[1]);
    take();
    char c = 'r';
    _exit(write(ready[1], &c, 1) == 1 && read(stay[0], &c, 1) == 0 ? 0 : 1);
  }
  close(ready[1]);
  char c;
  const bool taken = child > 0 && read(ready[0], &c, 1) == 1;
  close(ready[0]);
  if (!taken && child > 0) waitpid(child, nullptr, 0);
  return taken ? child : -1;
}

// Whether a second copy finds the mutex that a first copy (a child process, there until then) took.
bool SecondCopyIsKeptOut() {
  int stay[2];
  if (pipe(stay) != 0) return false;
  const pid_t first = ForkStaying(stay, [] { CreateMutex(nullptr, TRUE, kName); });
  const bool keptOut = first > 0 && MutexHeldElsewhere();
  for (int fd : stay) close(fd);
  if (first > 0) waitpid(first, nullptr, 0);
  return keptOut;
}

// The lock's folder, a folder a link there may lead to, and the user's own state folder.
struct Places {
  fs::path scope, elsewhere, fallback;
};

// What stands where the lock would go, and what the program makes of it: the user's own state folder
// takes the lock instead of an unfit folder, and keeps a second copy out all the same; what is there is
// left alone, and a link is never followed.
struct Stand {
  const char* name;
  void (*make)(const Places& at);
  const char* told;
  bool keptOut;
};

void PrintTo(const Stand& stand, std::ostream* out) { *out << stand.name; }

void MakeFolder(const fs::path& folder, mode_t mode) {
  fs::create_directory(folder);
  chmod(folder.c_str(), mode);
}

class LockFolder : public testing::TestWithParam<Stand> {};

TEST_P(LockFolder, IsUsedOnlyWhenItIsTheUsersOwn) {
  if (std::string(GetParam().name) == "AnotherUsersFolder" && geteuid() != 0)
    GTEST_SKIP() << "only root can give a folder to another user";
  testsupport::TempDir root;
  const Places at{root.Path() / "scope", root.Path() / "elsewhere", root.Path() / "state" / "quarvel"};
  fs::create_directories(at.fallback.parent_path());
  MakeFolder(at.elsewhere, 0755);
  GetParam().make(at);
  const testsupport::ScopedEnvironmentVariable state("XDG_STATE_HOME", at.fallback.parent_path().c_str());
  const testsupport::ScopedInstanceScope scope(at.scope.string());
  plat::ScopedDebugCapture debug;

  EXPECT_EQ(SecondCopyIsKeptOut(), GetParam().keptOut);
  EXPECT_NE(debug.Text().find(GetParam().told), std::string::npos) << debug.Text();
  if (GetParam().keptOut) {
    EXPECT_NE(debug.Text().find("The lock is kept in " + at.fallback.string() + " instead."), std::string::npos);
  }
  struct stat info;
  ASSERT_EQ(stat(at.elsewhere.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0755u) << "the folder a link leads to changed";
  EXPECT_TRUE(fs::is_empty(at.elsewhere));
}

void LinkScope(const Places& at) { fs::create_directory_symlink(at.elsewhere, at.scope); }

INSTANTIATE_TEST_SUITE_P(
    Stands, LockFolder,
    testing::Values(Stand{"ALinkToAnotherFolder", LinkScope, "/scope, is not used: it is a link.", true},
                    Stand{"AFolderOthersMayUse", [](const Places& at) { MakeFolder(at.scope, 0777); },
                          "it is open to other users (mode 0777).", true},
                    Stand{"AnotherUsersFolder",
                          [](const Places& at) {
                            MakeFolder(at.scope, 0700);
                            ASSERT_EQ(chown(at.scope.c_str(), 65534, 65534), 0);
                          },
                          "it belongs to another user (uid 65534).", true},
                    Stand{"AFile", [](const Places& at) { std::ofstream(at.scope) << "x"; }, "it is not a folder.",
                          true},
                    Stand{"ALinkWhereTheFallbackIsToo",
                          [](const Places& at) {
                            LinkScope(at);
                            fs::create_directory_symlink(at.elsewhere, at.fallback);
                          },
                          "which is a link: another copy may run at the same time.", false},
                    Stand{"ALinkInPlaceOfTheLockFile",
                          [](const Places& at) {
                            MakeFolder(at.scope, 0700);
                            fs::create_symlink(at.elsewhere / "made", at.scope / (std::string(kName) + ".lock"));
                          },
                          ".lock cannot be used", false}),
    [](const auto& info) { return std::string(info.param.name); });

// A child forked without exec (SDL's message box is one) shares the holder's descriptors; once it
// runs, the lock still ends with the holder, while the child lives on. The lock: the single-instance
// mutex, or a player file's lock.
class LockOfAHolderWithAChild : public testing::TestWithParam<bool> {};

TEST_P(LockOfAHolderWithAChild, EndsWithTheHolder) {
  testsupport::TempDir folder;
  const testsupport::ScopedInstanceScope scope(folder.Path().string());
  const std::string file = (folder.Path() / "a.lock").string();
  int letGo[2];
  ASSERT_EQ(pipe(letGo), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    GetParam() ? (void)new plat::FileLock(file, 0) : (void)CreateMutex(nullptr, TRUE, kName);  // held until it ends
    _exit(ForkStaying(letGo, [] {}) > 0 ? 0 : 3);  // the holder ends once its child runs
  }
  close(letGo[0]);
  int status = 0;
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(GetParam() ? !plat::FileLock(file, 0).Held() : MutexHeldElsewhere()) << "the child kept the lock";
  close(letGo[1]);
}

INSTANTIATE_TEST_SUITE_P(Locks, LockOfAHolderWithAChild, testing::Bool(),
                         [](const auto& info) { return info.param ? "PlayerFiles" : "SingleInstance"; });

}  // namespace
