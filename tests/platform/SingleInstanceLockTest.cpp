// Where the lock that keeps a second copy out lives, and that it ends with the copy that holds it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/win/DebugOutput.h"
#include "platform/win/Errors.h"
#include "platform/win/FileLock.h"
#include "platform/win/Threads.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr char kName[] = "ProductMutex";

class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : mName(name) {
    if (const char* old = std::getenv(name)) mOld = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (mOld.empty())
      unsetenv(mName);
    else
      setenv(mName, mOld.c_str(), 1);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* mName;
  std::string mOld;
};

// Runs `hold` in a first copy of this process, which then stays until the caller's check is done.
// True when `heldElsewhere`, run here meanwhile, finds the first copy's lock.
bool SecondCopyFindsTheLock(const std::function<void()>& hold, const std::function<bool()>& heldElsewhere) {
  int ready[2];
  int done[2];
  if (pipe(ready) != 0 || pipe(done) != 0) return false;
  const pid_t first = fork();
  if (first == 0) {
    close(done[1]);
    hold();
    char c = 'r';
    if (write(ready[1], &c, 1) != 1) _exit(2);
    _exit(read(done[0], &c, 1) == 0 ? 0 : 3);  // until the caller closes its end
  }
  char c;
  const bool started = read(ready[0], &c, 1) == 1;
  const bool found = started && heldElsewhere();
  close(done[1]);
  waitpid(first, nullptr, 0);
  for (int fd : {ready[0], ready[1], done[0]}) close(fd);
  return found;
}

bool MutexHeldElsewhere() {
  HANDLE mutex = CreateMutex(nullptr, TRUE, kName);
  const bool held = GetLastError() == ERROR_ALREADY_EXISTS;
  CloseHandle(mutex);
  return held;
}

// Each way the wanted folder can be unfit; the lock then goes to the fallback folder, where it still
// keeps a second copy out.
struct Unfit {
  const char* name;
  std::function<void(const fs::path& scope, const fs::path& elsewhere)> make;
  const char* told;
};

void PrintTo(const Unfit& unfit, std::ostream* out) { *out << unfit.name; }

class UnfitScope : public testing::TestWithParam<Unfit> {};

TEST_P(UnfitScope, IsLeftAloneAndTheLockIsKeptInTheUsersOwnFolder) {
  if (std::string(GetParam().name) == "AnotherUsersFolder" && geteuid() != 0)
    GTEST_SKIP() << "only root can give a folder to another user";
  testsupport::TempDir root;
  const fs::path scope = root.Path() / "scope";
  const fs::path elsewhere = root.Path() / "elsewhere";
  fs::create_directory(elsewhere);
  chmod(elsewhere.c_str(), 0755);
  GetParam().make(scope, elsewhere);
  const ScopedEnvironment state("XDG_STATE_HOME", (root.Path() / "state").string());
  plat::SetInstanceScope(scope.string());
  plat::ScopedDebugCapture debug;

  EXPECT_TRUE(SecondCopyFindsTheLock([] { CreateMutex(nullptr, TRUE, kName); }, MutexHeldElsewhere));
  const std::string fallback = (root.Path() / "state" / "quarvel").string();
  EXPECT_EQ(plat::InstanceScope(), fallback);
  EXPECT_NE(debug.Text().find(scope.string() + ", is not used: it " + GetParam().told + ". The lock is kept in " +
                              fallback + " instead."),
            std::string::npos)
      << debug.Text();
  struct stat info;
  ASSERT_EQ(stat(elsewhere.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0755u) << "the folder the link leads to changed";
  EXPECT_TRUE(fs::is_empty(elsewhere));
  if (fs::is_directory(fs::symlink_status(scope))) {
    EXPECT_TRUE(fs::is_empty(scope)) << "a lock was made in the refused folder";
  }
  plat::SetInstanceScope("");
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UnfitScope,
    testing::Values(
        Unfit{"ALinkToAnotherFolder",
              [](const fs::path& scope, const fs::path& elsewhere) { fs::create_directory_symlink(elsewhere, scope); },
              "is a link"},
        Unfit{"AFolderOthersMayUse",
              [](const fs::path& scope, const fs::path&) {
                fs::create_directory(scope);
                chmod(scope.c_str(), 0777);
              },
              "is open to other users (mode 0777)"},
        Unfit{"AnotherUsersFolder",
              [](const fs::path& scope, const fs::path&) {
                fs::create_directory(scope);
                chmod(scope.c_str(), 0700);
                ASSERT_EQ(chown(scope.c_str(), 65534, 65534), 0);
              },
              "belongs to another user (uid 65534)"},
        Unfit{"AFile", [](const fs::path& scope, const fs::path&) { std::ofstream(scope) << "x"; }, "is not a folder"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SingleInstanceLock, WithoutAnyFolderOfItsOwnNoCopyIsKeptOutAndThatIsTold) {
  testsupport::TempDir root;
  const fs::path elsewhere = root.Path() / "elsewhere";
  fs::create_directory(elsewhere);
  fs::create_directory_symlink(elsewhere, root.Path() / "scope");
  fs::create_directories(root.Path() / "state");
  fs::create_directory_symlink(elsewhere, root.Path() / "state" / "quarvel");
  const ScopedEnvironment state("XDG_STATE_HOME", (root.Path() / "state").string());
  plat::SetInstanceScope((root.Path() / "scope").string());
  plat::ScopedDebugCapture debug;
  EXPECT_FALSE(SecondCopyFindsTheLock([] { CreateMutex(nullptr, TRUE, kName); }, MutexHeldElsewhere));
  EXPECT_NE(debug.Text().find("which is a link: another copy may run at the same time."), std::string::npos)
      << debug.Text();
  EXPECT_TRUE(fs::is_empty(elsewhere));
  plat::SetInstanceScope("");
}

TEST(SingleInstanceLock, ALinkInPlaceOfTheLockFileIsNotFollowed) {
  testsupport::TempDir scope;
  testsupport::TempDir elsewhere;
  fs::create_symlink(elsewhere.Path() / "made", scope.Path() / (std::string(kName) + ".lock"));
  plat::SetInstanceScope(scope.Path().string());
  plat::ScopedDebugCapture debug;
  HANDLE mutex = CreateMutex(nullptr, TRUE, kName);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(mutex);
  EXPECT_TRUE(fs::is_empty(elsewhere.Path()));
  EXPECT_NE(debug.Text().find(".lock cannot be used"), std::string::npos) << debug.Text();
  plat::SetInstanceScope("");
}

// A child forked without exec (SDL's message box is one) shares the holder's descriptors; once it
// runs, the lock still ends with the holder, while the child lives on.
struct LockKind {
  const char* name;
  std::function<void(const fs::path& folder)> take;
  std::function<bool(const fs::path& folder)> heldElsewhere;
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
