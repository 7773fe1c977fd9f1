// A program ended from outside while a message box waits leaves nothing behind: not the box, which SDL
// shows on X11 from a child it forks, and not the single-instance lock, so the next start goes ahead.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "platform/win/Process.h"
#include "platform/win/Threads.h"
#include "tests/support/TempDir.h"
#include "tests/support/ToolProgram.h"
#include "tests/support/XTopLevelWindows.h"
#include "tests/support/XvfbServer.h"

namespace {

constexpr char kRunMark[] = "KIT_KILLED_WITH_A_BOX_UP";
constexpr char kBoxTitle[] = "FATAL ERROR";

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

// The copy on the X server: it starts, holding the lock, and shows a box that nobody answers.
[[noreturn]] void ShowABoxUntilEnded() {
  BoxedGame game;
  game.Init();
  game.Popup("Could not read player data.");
  std::_Exit(3);  // the box went by itself
}

bool WaitUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

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

// This process adopts what the processes it starts leave orphaned, so that it can see them end; what
// is still running at the end of the test is killed and reaped.
class Adopter {
 public:
  Adopter() { prctl(PR_SET_CHILD_SUBREAPER, 1); }
  ~Adopter() {
    for (pid_t process : mWatched) {
      kill(process, SIGKILL);
      waitpid(process, nullptr, 0);
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
  }
  void Watch(pid_t process) { mWatched.push_back(process); }
  // Whether the process has ended (and is reaped); its wait status in *status.
  bool Ended(pid_t process, int* status = nullptr) {
    int ignored = 0;
    if (waitpid(process, status ? status : &ignored, WNOHANG) != process) return false;
    std::erase(mWatched, process);  // its number may be another process's from now on
    return true;
  }

 private:
  std::vector<pid_t> mWatched;
};

class KilledWithABoxUp : public testing::TestWithParam<int> {};

TEST_P(KilledWithABoxUp, LeavesNeitherTheBoxNorTheLockBehind) {
  if (std::getenv(kRunMark) != nullptr) ShowABoxUntilEnded();
  const std::string xvfb = testsupport::FindXvfb();
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed: this test needs a real X window";
  testsupport::XvfbServer server(xvfb);
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  testsupport::TempDir scope;
  Adopter adopter;
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const pid_t game = testsupport::StartToolOnDisplay(
      "/proc/self/exe", server.Display(),
      {std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name()},
      {{kRunMark, "1"}, {"KIT_INSTANCE_SCOPE", scope.Path().string()}, {"LSAN_OPTIONS", "detect_leaks=0"}});
  ASSERT_GT(game, 0);
  adopter.Watch(game);
  testsupport::XTopLevelWindows screen(server.Display());
  ASSERT_TRUE(screen.Connected());
  ASSERT_TRUE(WaitUntil([&] { return screen.Shows(kBoxTitle); })) << "the box did not come up";
  const std::vector<pid_t> boxChildren = ChildrenOf(game);
  ASSERT_FALSE(boxChildren.empty()) << "SDL showed the box without a child of its own";
  for (pid_t child : boxChildren) adopter.Watch(child);

  const int signal = GetParam();
  ASSERT_EQ(kill(game, signal), 0);
  int status = 0;
  ASSERT_TRUE(WaitUntil([&] { return adopter.Ended(game, &status); })) << "the program did not end";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
  EXPECT_TRUE(WaitUntil([&] { return !screen.Shows(kBoxTitle); })) << "the box stayed on screen";
  for (pid_t child : boxChildren)
    EXPECT_TRUE(WaitUntil([&] { return adopter.Ended(child); })) << "the box's process lived on";

  plat::SetInstanceScope(scope.Path().string());
  plat::ScopedExitCatcher exits;
  BoxedGame next;
  try {
    next.Init();
  } catch (const plat::ProcessExit&) {
    ADD_FAILURE() << "the next start found the killed copy's lock held";
    next.mQuit = true;
  }
  plat::SetInstanceScope("");
}

INSTANTIATE_TEST_SUITE_P(Signals, KilledWithABoxUp, testing::Values(SIGTERM, SIGINT, SIGKILL),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

}  // namespace
