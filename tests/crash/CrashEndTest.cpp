// How a crash ends: the watchdog kills a handling that hangs, not one that is slow on a busy machine;
// a fault no one can see, or one that interrupted the display's own library, ends by itself after its
// full report, but a signal sent from outside into that library waits until the library is left; a
// termination request ends a crash window that waits for the user.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "framework/app/KitAppBase.h"
#include "framework/app/crash/CrashHandler.h"
#include "platform/win/Windows.h"
#include "platform/win/crash/Exceptions.h"
#include "tests/crash/CrashChild.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"
#include "tests/support/XvfbServer.h"

namespace {

using crashtest::CrashIn;
using Kit::CrashHandler;

// The child's own limit: a hang ends by SIGALRM, which no case expects.
constexpr unsigned kChildLimitSeconds = 60;

std::int64_t NowNanos() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A machine so busy that every thread has waited for a processor all but a twentieth of the time since
// the fault; and a quiet one, where no thread waits.
std::atomic<std::int64_t> gBusySince{0};

bool BusyMachine(int, unsigned long long* waitedNanoseconds) {
  *waitedNanoseconds = static_cast<unsigned long long>((NowNanos() - gBusySince) / 20 * 19);
  return true;
}

bool QuietMachine(int, unsigned long long* waitedNanoseconds) {
  *waitedNanoseconds = 0;
  return true;
}

// An application whose text for the report is one long step that never feeds the watchdog: a second
// longer than the watchdog's time, or for ever.
class OneLongStepApp : public Kit::KitAppBase {
 public:
  explicit OneLongStepApp(bool endless) : mEndless(endless) {}
  std::string GetAppInfoText() override {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(plat::kCrashWatchdogSeconds + 1);
    while (mEndless || std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return "Long step: done";
  }

 private:
  bool mEndless;
};

struct WatchdogCase {
  const char* name;
  plat::ProcessorWaitReader machine;
  bool endless;
  int endingSignal;
  const char* reportHas;
};

class Watchdog : public testing::TestWithParam<WatchdogCase> {};

TEST_P(Watchdog, KillsAHandlingThatHangsButNotOneThatWaitsForAProcessor) {
  const WatchdogCase& c = GetParam();
  testsupport::TempDir folder;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EXIT(
      {
        ::alarm(kChildLimitSeconds);
        OneLongStepApp app(c.endless);
        gBusySince = NowNanos();
        plat::SetProcessorWaitReader(c.machine);
        CrashIn(folder.Path().string(), WriteThroughNull);
      },
      testing::KilledBySignal(c.endingSignal), "");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(plat::kCrashWatchdogSeconds));
  const std::string report = testsupport::ReadFileContents(folder / "crash.txt");
  EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
  EXPECT_NE(report.find(c.reportHas), std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(CrashEnd, Watchdog,
                         testing::Values(
                             // The full report comes, however long the step took.
                             WatchdogCase{"SlowStepOnABusyMachine", BusyMachine, false, SIGSEGV, "Long step: done"},
                             // Killed: the first report, written in the signal handler, is all there is.
                             WatchdogCase{"HangingStepOnAQuietMachine", QuietMachine, true, SIGKILL, "\r\nRIP:"}),
                         [](const testing::TestParamInfo<WatchdogCase>& info) { return std::string(info.param.name); });

double ThreadCpuSeconds() {
  timespec used{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
  return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

// Two threads that never sleep share one processor: each waits for it while the other runs, and the
// system's reader tells so. In the child: ends with 0 when it did.
[[noreturn]] void CompeteForOneProcessor() {
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(static_cast<unsigned>(::sched_getcpu()), &one);
  if (::sched_setaffinity(0, sizeof(one), &one) != 0) std::_Exit(3);
  const int self = static_cast<int>(::gettid());
  unsigned long long before = 0;
  if (!plat::SystemProcessorWait(self, &before)) std::_Exit(4);
  std::atomic<bool> started{false};
  std::atomic<bool> done{false};
  std::thread rival([&] {  // it inherits the one processor
    started = true;
    while (!done) {
    }
  });
  while (!started) {
  }
  for (const double until = ThreadCpuSeconds() + 0.1; ThreadCpuSeconds() < until;) {
  }
  done = true;
  rival.join();
  unsigned long long after = 0;
  std::_Exit(plat::SystemProcessorWait(self, &after) && after > before ? 0 : 5);
}

TEST(CrashEnd, TheSystemTellsHowLongAThreadWaitedForAProcessor) {
  EXPECT_EXIT(
      {
        ::alarm(kChildLimitSeconds);
        CompeteForOneProcessor();
      },
      testing::ExitedWithCode(0), "");
}

std::string FullReportIn(const testsupport::TempDir& folder) {
  const std::string report = testsupport::ReadFileContents(folder / "crash.txt");
  EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
  EXPECT_NE(report.find("\r\nModule: "), std::string::npos) << report;
  EXPECT_NE(report.find("WriteThroughNull"), std::string::npos) << report;
  return report;
}

TEST(CrashEnd, AFaultNoOneCanSeeEndsByItselfAfterTheFullReport) {
  testsupport::TempDir folder;
  EXPECT_EXIT(
      {
        ::alarm(kChildLimitSeconds);
        CrashIn(folder.Path().string(), WriteThroughNull, true);
      },
      testing::KilledBySignal(SIGSEGV), "");
  FullReportIn(folder);
}

// A thread timer of the crashing thread, which the crash window's loop runs: once the crash window is
// up, the process is asked to end, as `kill` would.
void TerminateOnceTheCrashWindowShows(HWND, UINT, UINT_PTR, DWORD) {
  HWND window = GetActiveWindow();
  char title[64] = {};
  GetWindowText(window, title, sizeof(title));
  if (std::string(title) == "Fatal Error!" && IsWindowVisible(window)) ::kill(::getpid(), SIGTERM);
}

TEST(CrashEnd, ATerminationRequestEndsAWaitingCrashWindow) {
  EXPECT_EXIT(
      {
        ::alarm(kChildLimitSeconds);
        SetTimer(nullptr, 0, 30, &TerminateOnceTheCrashWindowShows);
        CrashHandler::ShowErrorWindow("Exception at 0010:00000020", "the report\r\n");
        std::_Exit(4);
      },
      testing::KilledBySignal(SIGTERM), "");
}

constexpr const char* kRealWindowMark = "KIT_CRASH_XVFB_CHILD";

// A child that crashes by `fault` in a real X window and leaves its report in `folder`. Where the crash
// window is to show, a termination request ends the child once it does; else the fault ends it.
void CrashInARealWindow(const testsupport::TempDir& folder, void (*fault)(), bool windowShows) {
  setenv("SDL_VIDEODRIVER", "x11", 1);
  EXPECT_EXIT(
      {
        ::alarm(kChildLimitSeconds);
        if (windowShows) SetTimer(nullptr, 0, 30, &TerminateOnceTheCrashWindowShows);
        CrashIn(folder.Path().string(), fault, true);
      },
      testing::KilledBySignal(windowShows ? SIGTERM : SIGSEGV), "");
}

TEST(CrashEnd, InARealWindowTheCrashWindowShowsAndATerminationRequestEndsIt) {
  if (!testsupport::InRealWindowRun(kRealWindowMark)) return;
  testsupport::TempDir folder;
  CrashInARealWindow(folder, WriteThroughNull, true);
  FullReportIn(folder);
}

TEST(CrashEnd, AFaultInsideTheDisplayLibraryEndsAfterTheFullReportWithoutAWindow) {
  if (!testsupport::InRealWindowRun(kRealWindowMark)) return;
  testsupport::TempDir folder;
  CrashInARealWindow(folder, crashtest::FaultWhileXlibHoldsTheDisplay, false);
  EXPECT_NE(FullReportIn(folder).find("XCheckIfEvent"), std::string::npos);
}

// A signal sent from outside is no fault of the code it interrupts: the thread leaves Xlib first, and
// then the crash window shows.
TEST(CrashEnd, ASignalSentFromOutsideIntoTheDisplayLibraryShowsTheCrashWindowOnceTheLibraryIsLeft) {
  if (!testsupport::InRealWindowRun(kRealWindowMark)) return;
  testsupport::TempDir folder;
  CrashInARealWindow(folder, crashtest::SignalFromOutsideWhileXlibHoldsTheDisplay, true);
  const std::string report = testsupport::ReadFileContents(folder / "crash.txt");
  EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
  EXPECT_NE(report.find("SignalFromOutsideWhileXlibHoldsTheDisplay"), std::string::npos) << report;
  EXPECT_EQ(report.find("XCheckIfEvent"), std::string::npos) << report;
}

}  // namespace
