// A program ended from outside while a message box waits leaves nothing behind: not the box, which SDL
// shows on X11 from a child it forks (its window goes with its process), and not the single-instance
// lock, so the next start goes ahead.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "platform/win/process/Process.h"
#include "platform/win/process/SingleInstance.h"
#include "platform/win/threads/Threads.h"
#include "tests/support/PollUntil.h"
#include "tests/support/TempDir.h"
#include "tests/support/ToolProgram.h"
#include "tests/support/XvfbServer.h"

namespace {

constexpr char kRunMark[] = "KIT_KILLED_WITH_A_BOX_UP";

// Started twice under the same name: the copy that shows the box, then the next start.
class BoxedGame : public Kit::KitAppBase {
 public:
  BoxedGame() {
    mProdName = "BoxedGame";
    mCmdLineParsed = true;
    mNoSoundNeeded = true;
  }
  bool ChangeDirHook(const char*) override { return true; }
};

// The children of every thread of the process.
std::vector<pid_t> ChildrenOf(pid_t process) {
  std::vector<pid_t> children;
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(process) + "/task", error)) {
    std::ifstream list(task.path() / "children");
    for (pid_t child; list >> child;) children.push_back(child);
  }
  return children;
}

// Reaps the process (this test adopts orphans) once it has ended.
testing::AssertionResult Reaped(pid_t process, int* status) {
  return testsupport::PollUntil([&] { return waitpid(process, status, WNOHANG) == process; });
}

class KilledWithABoxUp : public testing::TestWithParam<int> {};

TEST_P(KilledWithABoxUp, LeavesNeitherTheBoxNorTheLockBehind) {
  if (const char* ready = std::getenv(kRunMark)) {
    BoxedGame game;
    game.Init();
    if (write(std::atoi(ready), "r", 1) != 1) std::_Exit(2);
    game.Popup("Could not read player data.");
    std::_Exit(3);  // the box went by itself
  }
  const std::string xvfb = testsupport::FindXvfb();
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed: this test needs a real X window";
  testsupport::XvfbServer server(xvfb);
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  testsupport::TempDir scope;
  prctl(PR_SET_CHILD_SUBREAPER, 1);
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t game =
      testsupport::StartToolOnDisplay("/proc/self/exe", server.Display(),
                                      {std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name()},
                                      {{kRunMark, std::to_string(ready[1])},
                                       {"KIT_INSTANCE_SCOPE", scope.Path().string()},
                                       {"LSAN_OPTIONS", "detect_leaks=0"}});
  ASSERT_GT(game, 0);
  close(ready[1]);
  char started = 0;
  // The box is up once SDL has forked its child (by then the program's only one: the one libdbus may
  // start in Init has ended).
  std::vector<pid_t> box;
  if (read(ready[0], &started, 1) == 1) testsupport::PollUntil([&] { return !(box = ChildrenOf(game)).empty(); });
  close(ready[0]);
  if (box.size() != 1) {
    kill(game, SIGKILL);
    waitpid(game, nullptr, 0);
    FAIL() << "the program showed no box from a child of its own";
  }

  kill(game, GetParam());
  int status = 0;
  EXPECT_TRUE(Reaped(game, &status)) << "the program did not end";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam()) << "status " << status;
  EXPECT_TRUE(Reaped(box[0], &status)) << "the box outlived its program";

  plat::SetInstanceScope(scope.Path().string());
  plat::ScopedExitCatcher exits;
  BoxedGame next;
  try {
    next.Init();
  } catch (const plat::ProcessExit&) {
    ADD_FAILURE() << "the next start found the lock held";
    next.mQuit = true;
  }
  plat::SetInstanceScope("");
  for (pid_t process : {game, box[0]})  // what a failure left running goes
    if (waitpid(process, nullptr, WNOHANG) == 0 && kill(process, SIGKILL) == 0) waitpid(process, nullptr, 0);
  prctl(PR_SET_CHILD_SUBREAPER, 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, KilledWithABoxUp, testing::Values(SIGTERM, SIGINT, SIGKILL),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

}  // namespace
