// A program ended from outside while a message box waits leaves nothing behind: not the box, which SDL
// shows on X11 from a child it forks (its window goes with its process), and not the single-instance
// lock, so the next start goes ahead. Nor does a request made before the box leave it waiting.
#include <SDL.h>
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
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/process/Process.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/window/SdlVideo.h"
#include "tests/support/PollUntil.h"
#include "tests/support/ScopedEnvironment.h"
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
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const testsupport::ScopedChild game(testsupport::StartThisTestOnDisplay(
      server.Display(), {{kRunMark, std::to_string(ready[1])}, {"KIT_INSTANCE_SCOPE", scope.Path().string()}}));
  ASSERT_GT(game.Pid(), 0);
  close(ready[1]);
  char started = 0;
  // The box is up once SDL has forked its child (by then the program's only one: the one libdbus may
  // start in Init has ended).
  std::vector<pid_t> box;
  if (read(ready[0], &started, 1) == 1) testsupport::PollUntil([&] { return !(box = ChildrenOf(game.Pid())).empty(); });
  close(ready[0]);
  ASSERT_EQ(box.size(), 1u) << "the program showed no box from a child of its own";
  const testsupport::ScopedChild boxProcess(box[0]);

  kill(game.Pid(), GetParam());
  int status = 0;
  EXPECT_TRUE(game.Ends(&status)) << "the program did not end";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam()) << "status " << status;
  EXPECT_TRUE(boxProcess.Ends(&status)) << "the box outlived its program";

  const testsupport::ScopedInstanceScope inScope(scope.Path().string());
  plat::ScopedExitCatcher exits;
  BoxedGame next;
  try {
    next.Init();
  } catch (const plat::ProcessExit&) {
    ADD_FAILURE() << "the next start found the lock held";
    next.mQuit = true;
  }
  prctl(PR_SET_CHILD_SUBREAPER, 0);
}

// A request that comes while nothing reads it, as while the display starts (and falls back to full
// screen and to a window again), ends the box that comes up after it rather than leave it waiting: one
// made once SDL's video runs, and one that SDL's events took while the video was still starting.
class KilledBeforeABox : public testing::TestWithParam<bool> {};

TEST_P(KilledBeforeABox, TheBoxEndsTheProgramAtOnce) {
  const bool whileTheVideoStarts = GetParam();
  EXPECT_EXIT(
      {
        ::alarm(static_cast<unsigned>(testsupport::kHangNet.count()));
        // SDL's events take termination requests, for their next pump.
        if (whileTheVideoStarts && SDL_InitSubSystem(SDL_INIT_EVENTS) == 0) ::raise(SIGTERM);
        plat::EnsureSdlVideo();
        if (!whileTheVideoStarts) ::raise(SIGTERM);
        const plat::ScopedPaintedMessageBoxes waitsForAPerson;
        MessageBox(nullptr, "Please set your desktop color depth to 16 bit.", "FATAL ERROR", MB_ICONERROR);
        std::_Exit(4);
      },
      testing::KilledBySignal(SIGTERM), "");
}

INSTANTIATE_TEST_SUITE_P(Requests, KilledBeforeABox, testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "WhileTheVideoStarts" : "OnceTheVideoRuns");
});

INSTANTIATE_TEST_SUITE_P(Signals, KilledWithABoxUp, testing::Values(SIGTERM, SIGINT, SIGKILL),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

}  // namespace
