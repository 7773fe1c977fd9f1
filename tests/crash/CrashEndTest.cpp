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
#include "tests/crash/SteppedClock.h"
#include "tests/support/FileContents.h"
#include "tests/support/PollUntil.h"
#include "tests/support/TempDir.h"
#include "tests/support/XvfbServer.h"

namespace {

using crashtest::CrashIn;
using Kit::CrashHandler;

// The child's own limit: a hang ends by SIGALRM, which no case expects.
constexpr unsigned kChildLimitSeconds = 60;

// The stepped clock of a case that runs on one; null on the real clock.
crashtest::SteppedClock* gSteppedClock = nullptr;

// The clock's time when the handling of the fault started.
std::atomic<std::uint64_t> gFaultAt{0};

unsigned long long NanosecondsSinceTheFault() { return (plat::CurrentClock().NowMicros() - gFaultAt) * 1000; }

// Any process but this one is the display server: the test's, which listens for it.
bool IsDisplayServer(int process) { return process > 0 && process != ::getpid(); }

// What the scheduler tells of the threads since the fault, as the kernel would; the handling runs on
// the main thread.
//
// Every thread, and the machine, has waited for a processor all but a twentieth of the time, each wait
// counted as it ended.
bool BusyMachine(int, int, plat::ThreadSchedule* schedule) {
  *schedule = plat::ThreadSchedule{};
  schedule->waitedNanoseconds = NanosecondsSinceTheFault() / 20 * 19;
  return true;
}

// Every thread sleeps.
bool QuietMachine(int, int, plat::ThreadSchedule* schedule) {
  *schedule = plat::ThreadSchedule{};
  return true;
}

// The handling thread runs all the time.
bool HandlingThreadRuns(int process, int, plat::ThreadSchedule* schedule) {
  *schedule = plat::ThreadSchedule{};
  if (process == ::getpid()) {
    schedule->ranNanoseconds = NanosecondsSinceTheFault();
    schedule->runnable = true;
  }
  return true;
}

// The display server is ready to run all the time but never gets a processor, so its wait is not
// counted yet (the kernel adds a wait when it ends).
bool StarvedDisplayServer(int process, int, plat::ThreadSchedule* schedule) {
  *schedule = plat::ThreadSchedule{};
  schedule->runnable = IsDisplayServer(process);
  return true;
}

// The display server runs all the time and never waits.
bool SpinningDisplayServer(int process, int, plat::ThreadSchedule* schedule) {
  *schedule = plat::ThreadSchedule{};
  if (IsDisplayServer(process)) {
    schedule->ranNanoseconds = NanosecondsSinceTheFault();
    schedule->runnable = true;
  }
  return true;
}

// Writes the clock's time into the file `name` of the child's folder.
void WriteClockInto(const char* name) { std::ofstream(name) << plat::CurrentClock().NowMicros(); }

std::chrono::microseconds ClockBetween(const std::string& startFile, std::uint64_t end) {
  return std::chrono::microseconds(end - std::stoull(testsupport::ReadFileContents(startFile)));
}

// Lets `seconds` pass on the stepped clock, one sleep of the watchdog at a time. Before each move,
// "clock-at" tells where the clock goes: where it stood when the watchdog killed the process.
void RunTheClockFor(int seconds) {
  const std::uint64_t until = gSteppedClock->NowMicros() + static_cast<std::uint64_t>(seconds) * 1'000'000;
  while (gSteppedClock->NowMicros() < until) {
    const std::uint64_t wake = gSteppedClock->NextWake();
    std::ofstream("clock-at") << wake;
    gSteppedClock->MoveTo(wake);
  }
}

constexpr int kHangs = 0;
// How long a hang may go on before a stepped case ends its child, with kStillAlive.
constexpr int kGiveUpSeconds = 10;
constexpr int kStillAlive = 7;

// An application whose text for the report is one long step that never feeds the watchdog: it lasts
// seconds of the clock and tells that it ended, or it waits for a lock that another thread holds for
// ever. When it started, the step writes the clock's time into "step-started".
class OneLongStepApp : public Kit::KitAppBase {
 public:
  explicit OneLongStepApp(int seconds) : mSeconds(seconds) {}
  std::string GetAppInfoText() override {
    WriteClockInto("step-started");
    if (mSeconds != kHangs) {
      RunTheClockFor(mSeconds);
      return "Long step: done";
    }
    static std::mutex never;
    static std::atomic<bool> taken{false};
    std::thread([] {
      never.lock();
      taken = true;
      for (;;) ::pause();
    }).detach();
    if (!testsupport::PollUntil([] { return taken.load(); })) return "Long step: the lock was never taken";
    if (gSteppedClock != nullptr)
      std::thread([] {
        RunTheClockFor(kGiveUpSeconds);
        std::_Exit(kStillAlive);
      }).detach();
    const std::lock_guard hang(never);
    return "Long step: the lock came";
  }

 private:
  int mSeconds;
};

// In the child: crashes with the handling's one long step, the watchdog on the clock and scheduler
// given (a null clock: the real one, nullptr: the system's scheduler).
void CrashWithOneLongStep(const std::string& folder, int stepSeconds, crashtest::SteppedClock* clock,
                          plat::ScheduleReader scheduler) {
  ::alarm(kChildLimitSeconds);
  OneLongStepApp app(stepSeconds);
  gSteppedClock = clock;
  if (clock != nullptr) plat::SetClock(clock);
  gFaultAt = plat::CurrentClock().NowMicros();
  plat::SetScheduleReader(scheduler);
  CrashIn(folder, WriteThroughNull);
}

// A step that ends is slow, however long it took: the full report comes. A step that hangs is killed
// once it made no progress for the watchdog's time: the first report, written in the signal handler,
// is all there is.
struct WatchdogCase {
  const char* name;
  plat::ScheduleReader scheduler;
  int stepSeconds;  // kHangs: for ever
  bool displayServer;
};

void PrintTo(const WatchdogCase& c, std::ostream* out) { *out << c.name; }

class Watchdog : public testing::TestWithParam<WatchdogCase> {};

// The watchdog steps through the case's seconds one look at a time on a stepped clock.
TEST_P(Watchdog, KillsAHandlingThatHangsButNotOneThatIsSlow) {
  const WatchdogCase& c = GetParam();
  const bool hangs = c.stepSeconds == kHangs;
  testsupport::TempDir folder;
  const crashtest::FakeDisplayServer server;
  ASSERT_TRUE(!c.displayServer || !server.Display().empty()) << "no display number was free";
  EXPECT_EXIT(
      {
        if (c.displayServer)
          ::setenv("DISPLAY", server.Display().c_str(), 1);
        else
          ::unsetenv("DISPLAY");
        crashtest::SteppedClock clock;
        CrashWithOneLongStep(folder.Path().string(), c.stepSeconds, &clock, c.scheduler);
      },
      testing::KilledBySignal(hangs ? SIGKILL : SIGSEGV), "");
  const std::string report = testsupport::ReadFileContents(folder / "crash.txt");
  EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
  EXPECT_NE(report.find(hangs ? "\r\nRIP:" : "Long step: done"), std::string::npos) << report;
  if (!hangs) return;
  const auto hungFor =
      ClockBetween(folder / "step-started", std::stoull(testsupport::ReadFileContents(folder / "clock-at")));
  EXPECT_GE(hungFor, std::chrono::seconds(plat::kCrashWatchdogSeconds));
  EXPECT_LT(hungFor, std::chrono::seconds(plat::kCrashWatchdogSeconds + 1));
}

INSTANTIATE_TEST_SUITE_P(
    CrashEnd, Watchdog,
    testing::Values(WatchdogCase{"SlowStepOnABusyMachine", BusyMachine, plat::kCrashWatchdogSeconds + 1, false},
                    WatchdogCase{"StepThatRunsTenSeconds", HandlingThreadRuns, 10, false},
                    WatchdogCase{"WaitOnADisplayServerStarvedOfAProcessor", StarvedDisplayServer,
                                 2 * plat::kCrashWatchdogSeconds, true},
                    WatchdogCase{"StepBlockedOnALockThatNeverComes", QuietMachine, kHangs, false},
                    WatchdogCase{"WaitOnADisplayServerThatSpins", SpinningDisplayServer, kHangs, true}),
    [](const testing::TestParamInfo<WatchdogCase>& info) { return std::string(info.param.name); });

// End to end, on the real clock and what the system tells of its scheduler: a real hang is killed
// within seconds of its start.
TEST(CrashEnd, ARealHangIsKilledOnTheRealClock) {
  testsupport::TempDir folder;
  EXPECT_EXIT(
      {
        ::unsetenv("DISPLAY");
        CrashWithOneLongStep(folder.Path().string(), kHangs, nullptr, nullptr);
      },
      testing::KilledBySignal(SIGKILL), "");
  const auto hungFor = ClockBetween(folder / "step-started", plat::CurrentClock().NowMicros());
  EXPECT_NE(testsupport::ReadFileContents(folder / "crash.txt").find("\r\nRIP:"), std::string::npos);
  EXPECT_GE(hungFor, std::chrono::seconds(plat::kCrashWatchdogSeconds));
  EXPECT_LT(hungFor, std::chrono::seconds(10));
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
