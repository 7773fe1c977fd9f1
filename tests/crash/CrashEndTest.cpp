// How a crash ends: the watchdog kills a handling that hangs, not one that is slow; a crash window
// shows where it can and a termination request ends it.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <thread>

#include "framework/app/KitAppBase.h"
#include "framework/app/crash/CrashHandler.h"
#include "platform/win/Windows.h"
#include "platform/win/crash/CrashWatchdog.h"
#include "platform/win/crash/Exceptions.h"
#include "tests/crash/CrashChild.h"
#include "tests/crash/SteppedClock.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"
#include "tests/support/XvfbServer.h"

namespace {

using crashtest::CrashIn;
using crashtest::SteppedClock;
using Kit::CrashHandler;

// The child's own limit: a hang ends by SIGALRM, which no case expects.
constexpr unsigned kChildLimitSeconds = 60;
constexpr int kWatchdogSeconds = plat::kCrashWatchdogSeconds;

// A local display server that never answers: this process listens where the server of DISPLAY=":<n>"
// does ("/tmp/.X11-unix/X<n>" in the abstract namespace), on the first free number from a place of its
// own, so that the server's process is the test's.
class FakeDisplayServer {
 public:
  FakeDisplayServer() {
    constexpr int kFirst = 7100, kTried = 800;
    for (int i = 0; i < kTried && mDisplay.empty(); ++i) {
      const std::string number = std::to_string(kFirst + (::getpid() + i) % kTried);
      const std::string path = "/tmp/.X11-unix/X" + number;
      sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
      path.copy(address.sun_path + 1, path.size());
      mListener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
      if (::bind(mListener, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(mListener, 16) == 0)
        mDisplay = ":" + number;
      else
        ::close(mListener);
    }
  }
  ~FakeDisplayServer() {
    if (!mDisplay.empty()) ::close(mListener);
  }
  FakeDisplayServer(const FakeDisplayServer&) = delete;
  FakeDisplayServer& operator=(const FakeDisplayServer&) = delete;

  const std::string& Display() const { return mDisplay; }

 private:
  int mListener = -1;
  std::string mDisplay;
};

// An application whose text for the report is one long step that never feeds the watchdog: it lets the
// seconds of a stepped clock pass and tells that it ended; without one it hangs for real. As it starts,
// the step writes the clock's time into "step-started".
class OneLongStepApp : public Kit::KitAppBase {
 public:
  OneLongStepApp(SteppedClock* clock, int seconds) : mClock(clock), mSeconds(seconds) {}
  std::string GetAppInfoText() override {
    std::ofstream("step-started") << plat::CurrentClock().NowMicros();
    while (mClock == nullptr) ::pause();
    mClock->RunFor(mSeconds);
    return "Long step: done";
  }

 private:
  SteppedClock* mClock;
  int mSeconds;
};

// What the scheduler tells of a thread since the fault, as the kernel would: the twentieths of the time
// in which it ran and waited for a processor (a wait is counted as it ends), and whether it is ready to
// run.
struct Schedule {
  int ranTwentieths = 0;
  int waitedTwentieths = 0;
  bool runnable = false;
};

// A step that ends is slow, however long it took: the full report comes. A step that made no progress
// for the watchdog's time is killed: the first report, written in the signal handler, is all there is.
struct WatchdogCase {
  const char* name;
  Schedule program;                       // each thread of the crashing program
  std::optional<Schedule> displayServer;  // none: no display
  int stepSeconds;
  bool killed;
};

void PrintTo(const WatchdogCase& c, std::ostream* out) { *out << c.name; }

const WatchdogCase* gCase = nullptr;

bool CaseSchedule(int process, int, plat::ThreadSchedule* schedule) {
  const Schedule seen = process == ::getpid() ? gCase->program : gCase->displayServer.value_or(Schedule{});
  const unsigned long long twentieth = plat::CurrentClock().NowMicros() * 1000 / 20;  // from 0 at the fault
  *schedule = {.ranNanoseconds = twentieth * seen.ranTwentieths,
               .waitedNanoseconds = twentieth * seen.waitedTwentieths,
               .runnable = seen.runnable};
  return true;
}

void ExpectReport(const testsupport::TempDir& folder, const char* has) {
  const std::string report = testsupport::ReadFileContents(folder / "crash.txt");
  EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
  EXPECT_NE(report.find(has), std::string::npos) << report;
}

// A hang lasts from the step's start to `end` on the clock.
void ExpectHung(const testsupport::TempDir& folder, std::uint64_t end, std::chrono::seconds bound) {
  const std::chrono::microseconds hungFor(end - std::stoull(testsupport::ReadFileContents(folder / "step-started")));
  EXPECT_GE(hungFor, std::chrono::seconds(kWatchdogSeconds));
  EXPECT_LT(hungFor, bound);
}

class Watchdog : public testing::TestWithParam<WatchdogCase> {};

TEST_P(Watchdog, KillsAHandlingThatHangsButNotOneThatIsSlow) {
  const WatchdogCase& c = GetParam();
  testsupport::TempDir folder;
  const FakeDisplayServer server;
  ASSERT_TRUE(!c.displayServer || !server.Display().empty()) << "no display number was free";
  EXPECT_EXIT(
      {
        ::alarm(kChildLimitSeconds);
        c.displayServer ? ::setenv("DISPLAY", server.Display().c_str(), 1) : ::unsetenv("DISPLAY");
        SteppedClock clock;
        plat::SetClock(&clock);
        gCase = &c;
        plat::SetScheduleReader(CaseSchedule);
        OneLongStepApp app(&clock, c.stepSeconds);
        CrashIn(folder.Path().string(), WriteThroughNull);
      },
      testing::KilledBySignal(c.killed ? SIGKILL : SIGSEGV), "");
  ExpectReport(folder, c.killed ? "\r\nRIP:" : "Long step: done");
  if (c.killed)
    ExpectHung(folder, std::stoull(testsupport::ReadFileContents(folder / "clock-at")),
               std::chrono::seconds(kWatchdogSeconds + 1));
}

INSTANTIATE_TEST_SUITE_P(
    CrashEnd, Watchdog,
    testing::Values(
        // Every thread has waited for a processor all but a twentieth of the time.
        WatchdogCase{"SlowStepOnABusyMachine", {0, 19, false}, std::nullopt, kWatchdogSeconds + 1, false},
        WatchdogCase{"StepThatRunsTenSeconds", {20, 0, true}, std::nullopt, 10, false},
        // Ready to run all along but never given a processor, so that its wait is not counted yet.
        WatchdogCase{"WaitOnADisplayServerStarvedOfAProcessor", {}, Schedule{0, 0, true}, 2 * kWatchdogSeconds, false},
        // Every thread sleeps, as one blocked on a lock that never comes.
        WatchdogCase{"StepBlockedOnALockThatNeverComes", {}, std::nullopt, 10, true},
        WatchdogCase{"WaitOnADisplayServerThatSpins", {}, Schedule{20, 0, true}, 10, true}),
    [](const testing::TestParamInfo<WatchdogCase>& info) { return std::string(info.param.name); });

// End to end, on the real clock and what the system tells of its scheduler: a real hang is killed
// within seconds of its start.
TEST(CrashEnd, ARealHangIsKilledOnTheRealClock) {
  testsupport::TempDir folder;
  EXPECT_EXIT(
      {
        ::alarm(kChildLimitSeconds);
        ::unsetenv("DISPLAY");
        OneLongStepApp app(nullptr, 0);
        CrashIn(folder.Path().string(), WriteThroughNull);
      },
      testing::KilledBySignal(SIGKILL), "");
  ExpectReport(folder, "\r\nRIP:");
  ExpectHung(folder, plat::CurrentClock().NowMicros(), std::chrono::seconds(10));
}

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
