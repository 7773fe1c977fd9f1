// Where the lock that keeps a second copy out lives, and that it ends with the copy that holds it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/files/FileLock.h"
#include "platform/win/process/DebugOutput.h"
#include "platform/win/threads/Errors.h"
#include "platform/win/threads/Threads.h"
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

// Whether a second copy finds the mutex that a first copy (a child process, there until then) took.
bool SecondCopyIsKeptOut() {
  int ready[2];
  int done[2];
  if (pipe(ready) != 0 || pipe(done) != 0) return false;
  const pid_t first = fork();
  if (first == 0) {
    close(done[1]);
    CreateMutex(nullptr, TRUE, kName);
    char c = 'r';
    if (write(ready[1], &c, 1) != 1) _exit(2);
    _exit(read(done[0], &c, 1) == 0 ? 0 : 3);  // until the second copy has looked
  }
  char c;
  const bool keptOut = read(ready[0], &c, 1) == 1 && MutexHeldElsewhere();
  close(done[1]);
  waitpid(first, nullptr, 0);
  for (int fd : {ready[0], ready[1], done[0]}) close(fd);
  return keptOut;
}

void MakeFolder(const fs::path& folder, mode_t mode) {
  fs::create_directory(folder);
  chmod(folder.c_str(), mode);
}

// The lock's folder, a folder a link there may lead to, and the user's own state folder.
struct Places {
  fs::path scope, elsewhere, fallback;
};

// What stands where the lock would go, and what the program makes of it: the user's own state folder
// takes the lock instead of an unfit folder, where it keeps a second copy out all the same; what is
// there is left alone, and a link is never followed.
struct Stand {
  const char* name;
  void (*make)(const Places& at);
  const char* told;
  bool keptOut;
};

void PrintTo(const Stand& stand, std::ostream* out) { *out << stand.name; }

class LockFolder : public testing::TestWithParam<Stand> {};

TEST_P(LockFolder, IsUsedOnlyWhenItIsTheUsersOwn) {
  if (std::string(GetParam().name) == "AnotherUsersFolder" && geteuid() != 0)
    GTEST_SKIP() << "only root can give a folder to another user";
  testsupport::TempDir root;
  const Places at{root.Path() / "scope", root.Path() / "elsewhere", root.Path() / "state" / "quarvel"};
  const fs::path& elsewhere = at.elsewhere;
  const fs::path& fallback = at.fallback;
  fs::create_directories(elsewhere);
  fs::create_directories(fallback.parent_path());
  chmod(elsewhere.c_str(), 0755);
  GetParam().make(at);
  const char* oldState = std::getenv("XDG_STATE_HOME");
  const std::string restoredState = oldState ? oldState : "";
  setenv("XDG_STATE_HOME", fallback.parent_path().c_str(), 1);
  plat::SetInstanceScope(at.scope.string());
  plat::ScopedDebugCapture debug;

  EXPECT_EQ(SecondCopyIsKeptOut(), GetParam().keptOut);
  EXPECT_NE(debug.Text().find(GetParam().told), std::string::npos) << debug.Text();
  if (GetParam().keptOut) {
    EXPECT_NE(debug.Text().find("The lock is kept in " + fallback.string() + " instead."), std::string::npos);
  }
  struct stat info;
  ASSERT_EQ(stat(elsewhere.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0755u) << "the folder a link leads to changed";
  EXPECT_TRUE(fs::is_empty(elsewhere));
  plat::SetInstanceScope("");
  if (oldState)
    setenv("XDG_STATE_HOME", restoredState.c_str(), 1);
  else
    unsetenv("XDG_STATE_HOME");
}

INSTANTIATE_TEST_SUITE_P(
    Stands, LockFolder,
    testing::Values(
        Stand{"ALinkToAnotherFolder", [](const Places& at) { fs::create_directory_symlink(at.elsewhere, at.scope); },
              "/scope, is not used: it is a link.", true},
        Stand{"AFolderOthersMayUse", [](const Places& at) { MakeFolder(at.scope, 0777); },
              "it is open to other users (mode 0777).", true},
        Stand{"AnotherUsersFolder",
              [](const Places& at) {
                MakeFolder(at.scope, 0700);
                ASSERT_EQ(chown(at.scope.c_str(), 65534, 65534), 0);
              },
              "it belongs to another user (uid 65534).", true},
        Stand{"AFile", [](const Places& at) { std::ofstream(at.scope) << "x"; }, "it is not a folder.", true},
        Stand{"ALinkWhereTheFallbackIsToo",
              [](const Places& at) {
                fs::create_directory_symlink(at.elsewhere, at.scope);
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
// runs, the lock still ends with the holder, while the child lives on.
struct LockKind {
  const char* name;
  void (*take)(const fs::path& folder);
  bool (*heldElsewhere)(const fs::path& folder);
};

void PrintTo(const LockKind& kind, std::ostream* out) { *out << kind.name; }

class LockOfAHolderWithAChild : public testing::TestWithParam<LockKind> {};

TEST_P(LockOfAHolderWithAChild, EndsWithTheHolder) {
  testsupport::TempDir folder;
  plat::SetInstanceScope(folder.Path().string());
  int letGo[2];
  ASSERT_EQ(pipe(letGo), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    GetParam().take(folder.Path());
    int running[2];
    if (pipe(running) != 0) _exit(2);
    // The child waits until the test closes its end of the pipe; the holder ends once the child runs.
    if (fork() == 0) {
      close(letGo[1]);
      char c = 'r';
      if (write(running[1], &c, 1) != 1) _exit(1);
      _exit(read(letGo[0], &c, 1) == 0 ? 0 : 1);
    }
    char c;
    _exit(read(running[0], &c, 1) == 1 ? 0 : 3);
  }
  close(letGo[0]);
  int status = 0;
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(GetParam().heldElsewhere(folder.Path())) << "the child kept the lock";
  close(letGo[1]);
  plat::SetInstanceScope("");
}

INSTANTIATE_TEST_SUITE_P(Locks, LockOfAHolderWithAChild,
                         testing::Values(LockKind{"SingleInstance",
                                                  [](const fs::path&) { CreateMutex(nullptr, TRUE, kName); },
                                                  [](const fs::path&) { return MutexHeldElsewhere(); }},
                                         LockKind{"PlayerFiles",
                                                  [](const fs::path& folder) {
                                                    new plat::FileLock((folder / "a.lock").string(),
                                                                       0);  // held until the holder ends
                                                  },
                                                  [](const fs::path& folder) {
                                                    return !plat::FileLock((folder / "a.lock").string(), 0).Held();
                                                  }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
