// How a crash ends: the watchdog kills a handling that hangs, not one that is slow; a crash window
// shows where it can and a termination request ends it.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

#include "framework/app/KitAppBase.h"
#include "framework/app/crash/CrashHandler.h"
#include "platform/win/Windows.h"
#include "platform/win/crash/CrashWatchdog.h"
#include "platform/win/crash/Exceptions.h"
#include "tests/crash/CrashChild.h"
#include "tests/crash/FakeDisplayServer.h"
#include "tests/support/FileContents.h"
#include "tests/support/PollUntil.h"
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
// the fault.
std::atomic<std::int64_t> gBusySince{0};

bool BusyMachine(int, int, plat::ThreadSchedule* schedule) {
  schedule->waitedNanoseconds = static_cast<unsigned long long>((NowNanos() - gBusySince) / 20 * 19);
  return true;
}

// A quiet machine whose display server (any other process) runs all the time and never waits.
bool SpinningDisplayServer(int process, int, plat::ThreadSchedule* schedule) {
  *schedule = plat::ThreadSchedule{};
  if (process != 0 && process != ::getpid()) {
    schedule->ranNanoseconds = static_cast<unsigned long long>(NowNanos() - gBusySince);
    schedule->runnable = true;
  }
  return true;
}

// The step of the report that the watchdog looks at, in GetAppInfoText.
enum class Step {
  kSleepPastTheWatchdog,  // sleeps a second longer than the watchdog's time
  kRunTenSeconds,         // keeps the processor busy for ten seconds
  kWaitForDisplayServer,  // waits for an answer of the display server that DISPLAY names
  kBlockOnALockForEver,   // waits for a lock that another thread holds for ever
};

constexpr auto kSlowStepLasts = std::chrono::seconds(10);

// An application whose text for the report is one long step that never feeds the watchdog. The text
// tells that the step ended, and not too soon: when it started, the step writes the time into
// "step-started".
class OneLongStepApp : public Kit::KitAppBase {
 public:
  explicit OneLongStepApp(Step step) : mStep(step) {}
  std::string GetAppInfoText() override {
    const auto start = std::chrono::steady_clock::now();
    std::ofstream("step-started") << NowNanos();
    auto atLeast = std::chrono::seconds(plat::kCrashWatchdogSeconds + 1);
    switch (mStep) {
      case Step::kSleepPastTheWatchdog:
        while (std::chrono::steady_clock::now() < start + atLeast)
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
        break;
      case Step::kRunTenSeconds:
        atLeast = kSlowStepLasts;
        while (std::chrono::steady_clock::now() < start + atLeast) {
        }
        break;
      case Step::kWaitForDisplayServer:
        atLeast = std::chrono::seconds(2 * plat::kCrashWatchdogSeconds);
        if (!crashtest::WaitForDisplayServerAnswer()) return "Long step: no answer";
        break;
      case Step::kBlockOnALockForEver: {
        static std::mutex never;
        static std::atomic<bool> taken{false};
        std::thread([] {
          never.lock();
          taken = true;
          for (;;) ::pause();
        }).detach();
        if (!testsupport::PollUntil([] { return taken.load(); })) return "Long step: the lock was never taken";
        const std::lock_guard hang(never);
        break;
      }
    }
    return std::chrono::steady_clock::now() - start >= atLeast ? "Long step: done" : "Long step: ended too soon";
  }

 private:
  Step mStep;
};

struct WatchdogCase {
  const char* name;
  plat::ScheduleReader machine;  // nullptr: the system's
  Step step;
  enum { kNoDisplay, kStarvedDisplayServer, kSilentDisplayServer } display;
  int endingSignal;
  const char* reportHas;
};

void PrintTo(const WatchdogCase& c, std::ostream* out) { *out << c.name; }

class Watchdog : public testing::TestWithParam<WatchdogCase> {};

TEST_P(Watchdog, KillsAHandlingThatHangsButNotOneThatIsSlow) {
  const WatchdogCase& c = GetParam();
  testsupport::TempDir folder;
  const crashtest::FakeDisplayServer server(c.display == WatchdogCase::kStarvedDisplayServer ? kSlowStepLasts.count()
                                                                                             : 0);
  ASSERT_TRUE(c.display == WatchdogCase::kNoDisplay || !server.Display().empty()) << "no display number was free";
  EXPECT_EXIT(
      {
        ::alarm(kChildLimitSeconds);
        if (c.display == WatchdogCase::kNoDisplay)
          ::unsetenv("DISPLAY");
        else
          ::setenv("DISPLAY", server.Display().c_str(), 1);
        OneLongStepApp app(c.step);
        gBusySince = NowNanos();
        plat::SetScheduleReader(c.machine);
        CrashIn(folder.Path().string(), WriteThroughNull);
      },
      testing::KilledBySignal(c.endingSignal), "");
  const auto end = NowNanos();
  const std::string report = testsupport::ReadFileContents(folder / "crash.txt");
  EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
  EXPECT_NE(report.find(c.reportHas), std::string::npos) << report;
  if (c.endingSignal != SIGKILL) return;
  // A hang ends the process within seconds of its start, however busy the machine.
  const auto hungFor =
      std::chrono::nanoseconds(end - std::stoll(testsupport::ReadFileContents(folder / "step-started")));
  EXPECT_GE(hungFor, std::chrono::seconds(plat::kCrashWatchdogSeconds));
  EXPECT_LT(hungFor, std::chrono::seconds(10));
}

INSTANTIATE_TEST_SUITE_P(
    CrashEnd, Watchdog,
    testing::Values(
        // The full report comes, however long the step took.
        WatchdogCase{"SlowStepOnABusyMachine", BusyMachine, Step::kSleepPastTheWatchdog, WatchdogCase::kNoDisplay,
                     SIGSEGV, "Long step: done"},
        WatchdogCase{"StepThatRunsTenSeconds", nullptr, Step::kRunTenSeconds, WatchdogCase::kNoDisplay, SIGSEGV,
                     "Long step: done"},
        WatchdogCase{"WaitOnADisplayServerStarvedOfAProcessor", nullptr, Step::kWaitForDisplayServer,
                     WatchdogCase::kStarvedDisplayServer, SIGSEGV, "Long step: done"},
        // Killed: the first report, written in the signal handler, is all there is.
        WatchdogCase{"StepBlockedOnALockThatNeverComes", nullptr, Step::kBlockOnALockForEver, WatchdogCase::kNoDisplay,
                     SIGKILL, "\r\nRIP:"},
        WatchdogCase{"WaitOnADisplayServerThatSpins", SpinningDisplayServer, Step::kWaitForDisplayServer,
                     WatchdogCase::kSilentDisplayServer, SIGKILL, "\r\nRIP:"}),
    [](const testing::TestParamInfo<WatchdogCase>& info) { return std::string(info.param.name); });

double ThreadCpuSeconds() {
  timespec used{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
  return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

// Two threads that never sleep share one processor: each runs a while and waits for it while the other
// runs, ready to run all along; then one sleeps. The system's reader tells so (its run time may lag
// behind by the slice being run). In the child: ends with 0 when it did, else with what it missed.
[[noreturn]] void CompeteForOneProcessor() {
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(static_cast<unsigned>(::sched_getcpu()), &one);
  if (::sched_setaffinity(0, sizeof(one), &one) != 0) std::_Exit(3);
  const int self = static_cast<int>(::gettid());
  plat::ThreadSchedule before;
  if (!plat::SystemSchedule(::getpid(), self, &before)) std::_Exit(4);
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
  plat::ThreadSchedule after;
  const bool read = plat::SystemSchedule(::getpid(), self, &after);
  done = true;
  rival.join();
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
  plat::ThreadSchedule slept;
  if (!read || !plat::SystemSchedule(::getpid(), self, &slept)) std::_Exit(5);
  if (after.waitedNanoseconds <= before.waitedNanoseconds) std::_Exit(6);
  if (after.ranNanoseconds < before.ranNanoseconds + 50000000ull) std::_Exit(7);
  if (!after.runnable) std::_Exit(8);
  std::_Exit(slept.sleeps > after.sleeps ? 0 : 9);
}

TEST(CrashEnd, TheSystemTellsHowLongAThreadRanAndWaitedForAProcessor) {
  EXPECT_EXIT(
      {
        ::alarm(kChildLimitSeconds);
        CompeteForOneProcessor();
      },
      testing::ExitedWithCode(0), "");
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

// A crash that may show its window. Where no one can see it, or where the fault interrupted the
// display's own library, the fault ends the process after the full report; in a real X window the
// crash window shows and a termination request ends it. A signal sent from outside is no fault of the
// code it interrupts: the thread leaves Xlib first, and then the crash window shows.
struct WindowedCrash {
  const char* name;
  bool realWindow;
  void (*fault)();
  bool windowShows;
  std::array<const char*, 2> reportHas;
  const char* reportLacks;
};

void PrintTo(const WindowedCrash& c, std::ostream* out) { *out << c.name; }

class CrashWithItsWindow : public testing::TestWithParam<WindowedCrash> {};

TEST_P(CrashWithItsWindow, EndsAfterTheFullReport) {
  const WindowedCrash& c = GetParam();
  if (c.realWindow && !testsupport::InRealWindowRun("KIT_CRASH_XVFB_CHILD")) return;
  if (c.realWindow) setenv("SDL_VIDEODRIVER", "x11", 1);
  testsupport::TempDir folder;
  EXPECT_EXIT(
      {
        ::alarm(kChildLimitSeconds);
        if (c.windowShows) SetTimer(nullptr, 0, 30, &TerminateOnceTheCrashWindowShows);
        CrashIn(folder.Path().string(), c.fault, true);
      },
      testing::KilledBySignal(c.windowShows ? SIGTERM : SIGSEGV), "");
  const std::string report = testsupport::ReadFileContents(folder / "crash.txt");
  EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
  EXPECT_NE(report.find("\r\nModule: "), std::string::npos) << report;
  for (const char* has : c.reportHas) EXPECT_TRUE(!has || report.find(has) != std::string::npos) << has << report;
  EXPECT_TRUE(!c.reportLacks || report.find(c.reportLacks) == std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(
    CrashEnd, CrashWithItsWindow,
    testing::Values(WindowedCrash{"AFaultNoOneCanSee", false, WriteThroughNull, false, {"WriteThroughNull"}, nullptr},
                    WindowedCrash{"InARealWindow", true, WriteThroughNull, true, {"WriteThroughNull"}, nullptr},
                    WindowedCrash{"AFaultInsideTheDisplayLibrary",
                                  true,
                                  crashtest::FaultWhileXlibHoldsTheDisplay,
                                  false,
                                  {"WriteThroughNull", "XCheckIfEvent"},
                                  nullptr},
                    WindowedCrash{"ASignalSentFromOutsideIntoTheDisplayLibrary",
                                  true,
                                  crashtest::SignalFromOutsideWhileXlibHoldsTheDisplay,
                                  true,
                                  {"SignalFromOutsideWhileXlibHoldsTheDisplay"},
                                  "XCheckIfEvent"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
