// The crash path never waits for ever: a fault while the main thread holds a lock that shutting down
// takes still ends the process with a report, and a main thread waiting for a crashed thread keeps
// pumping, so that thread's crash window (made through the main thread's pump) can show.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "framework/app/CrashHandler.h"
#include "framework/app/KitAppBase.h"
#include "platform/win/SdlWindow.h"
#include "platform/win/Time.h"
#include "tests/support/TempDir.h"

namespace {

volatile int* volatile gNothing = nullptr;

__attribute__((noinline, no_sanitize("undefined"))) void FaultNow() { *gNothing = 1; }

class LockingApp : public Kit::KitAppBase {
 public:
  using KitAppBase::mCursorThreadLock;
  using KitAppBase::StartCursorThread;
  using KitAppBase::StartLoadingThread;
  using KitAppBase::WaitForLoadingThread;
  std::atomic<bool> mWorkRan{false};

  // Stands for a crash window: the work is done by the main thread's pump, and this thread waits.
  void LoadingThreadProc() override {
    plat::PostToMainThread([this] { mWorkRan = true; });
    while (!mWorkRan) Sleep(5);
  }
};

TEST(CrashWait, AFaultWhileTheMainThreadHoldsTheCursorLockStillReports) {
  testsupport::TempDir folder;
  EXPECT_EXIT(
      {
        ::alarm(60);  // a hang ends by SIGALRM, not SIGSEGV (sanitizer builds make the report slowly)
        LockingApp app;
        app.StartCursorThread();
        if (::chdir(folder.Path().c_str()) != 0) std::_Exit(3);
        Kit::CrashHandler::mShowWindow = false;
        Kit::CrashHandler::Install();
        std::lock_guard<std::mutex> held(app.mCursorThreadLock);
        FaultNow();
      },
      testing::KilledBySignal(SIGSEGV), "");
  EXPECT_TRUE(std::filesystem::exists(folder / "crash.txt"));
}

TEST(CrashWait, WaitingForTheLoadingThreadPumpsTheMainThread) {
  EXPECT_EXIT(
      {
        ::alarm(60);
        {
          LockingApp app;
          app.StartLoadingThread();
          app.WaitForLoadingThread();
          if (!app.mWorkRan) std::_Exit(4);
        }
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
