#include "platform/win/crash/CrashWatchdog.h"

#include <linux/futex.h>
#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <system_error>

#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"

namespace {

constexpr std::uint64_t kNanosPerSecond = 1000000000;
constexpr std::uint64_t kLookEveryMicros = 100000;

// 1 once the watchdog thread has started (its start allocates; the fault may find the allocator
// locked), waited on as a futex; 0 until a fault is handled, then 1.
std::atomic<int> gStarted{0};
std::atomic<int> gArmed{0};
// Goes up at each request to the watchdog thread, which waits on it as a futex: a fault to watch, or a
// signal to send again.
std::atomic<int> gRequests{0};
// The thread to which the signal is sent again until it tells that it got it; 0 while none.
std::atomic<pid_t> gSendAgainThread{0};
std::atomic<int> gSendAgainSignal{0};
std::atomic<pid_t> gHandlingThread{0};
// Goes up at every feed; the watchdog's time without progress starts again when it changed.
std::atomic<std::uint64_t> gFeeds{0};
// Set by a hold: the handling waits for the user, so no time counts until the next feed.
std::atomic<bool> gHeld{false};
std::atomic<plat::ScheduleReader> gReader{nullptr};
// The kernel's timer behind the watchdog thread (kCrashWatchdogCeilingSeconds); 0 while there is none.
int gCeilingTimer = 0;

// The program's clock, which a test may replace; the system's reads and sleeps without allocating.
std::uint64_t NowNanos() { return plat::CurrentClock().NowMicros() * 1000; }

// Due in `seconds`, or stopped for 0.
void SetCeiling(int seconds) {
  if (gCeilingTimer == 0) return;
  // The kernel's timer setting: the repeat interval (none), then the time until the first expiry.
  struct TimerDue {
    timespec interval;
    timespec first;
  } due{};
  due.first.tv_sec = seconds;
  ::syscall(SYS_timer_settime, gCeilingTimer - 1, 0, &due, nullptr);
}

void ArmCeiling() {
  sigevent event{};
  event.sigev_notify = SIGEV_SIGNAL;
  event.sigev_signo = SIGKILL;
  int timer = 0;
  if (::syscall(SYS_timer_create, CLOCK_MONOTONIC, &event, &timer) != 0) return;
  gCeilingTimer = timer + 1;
  SetCeiling(plat::kCrashWatchdogCeilingSeconds);
}

bool ReadSchedule(int process, int thread, plat::ThreadSchedule* schedule) {
  const plat::ScheduleReader reader = gReader.load();
  return (reader != nullptr ? reader : &plat::SystemSchedule)(process, thread, schedule);
}

// What one thread did between two looks of the watchdog, from the scheduler's counts. A thread that
// cannot be read, or none (process -1), did nothing.
class WatchedThread {
 public:
  struct Step {
    std::uint64_t ran = 0;
    std::uint64_t waited = 0;
  };

  WatchedThread(int process, int thread) : mProcess(process), mThread(thread) {
    mKnown = mProcess >= 0 && ReadSchedule(mProcess, mThread, &mLast);
  }

  // Of the `elapsed` nanoseconds since the last look.
  Step Look(std::uint64_t elapsed) {
    plat::ThreadSchedule now;
    if (mProcess < 0 || !ReadSchedule(mProcess, mThread, &now)) return {};
    Step step;
    if (mKnown) {
      // A count that went backwards (a reader that could not read before) gives nothing.
      step.ran = std::min<std::uint64_t>(elapsed, Grown(mLast.ranNanoseconds, now.ranNanoseconds));
      // The kernel adds a wait when it ends. A thread ready to run at both looks that did not sleep in
      // between waited whenever it did not run, counted yet or not; what is taken ahead of the count is
      // not taken again when it comes.
      std::uint64_t counted = Grown(mLast.waitedNanoseconds, now.waitedNanoseconds);
      const std::uint64_t settled = std::min(counted, mAhead);
      counted -= settled;
      mAhead -= settled;
      step.waited = counted;
      if (mLast.runnable && now.runnable && now.sleeps == mLast.sleeps && elapsed - step.ran > step.waited) {
        mAhead += elapsed - step.ran - step.waited;
        step.waited = elapsed - step.ran;
      }
      // A thread that stopped being ready has had its waits counted.
      if (!now.runnable) mAhead = 0;
      step.waited = std::min(step.waited, elapsed);
    }
    mLast = now;
    mKnown = true;
    return step;
  }

 private:
  static std::uint64_t Grown(unsigned long long before, unsigned long long after) {
    return after > before ? after - before : 0;
  }

  int mProcess;
  int mThread;
  bool mKnown = false;
  plat::ThreadSchedule mLast;
  std::uint64_t mAhead = 0;
};

// The display server's main thread, which serves the display's clients; the machine as a whole when
// the server's process cannot be seen; none without a local server.
WatchedThread DisplayServer() {
  const int server = plat::DisplayServerProcess();
  plat::ThreadSchedule probe;
  if (server > 0 && ReadSchedule(server, server, &probe)) return WatchedThread(server, server);
  return server != 0 ? WatchedThread(0, 0) : WatchedThread(-1, 0);
}

void WaitWhileZero(std::atomic<int>& flag) {
  while (flag.load() == 0) ::syscall(SYS_futex, &flag, FUTEX_WAIT_PRIVATE, 0, nullptr, nullptr, 0);
}

void SetAndWake(std::atomic<int>& flag) {
  flag = 1;
  ::syscall(SYS_futex, &flag, FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

void Request() {
  ++gRequests;
  ::syscall(SYS_futex, &gRequests, FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

// Sends the signals put off until the handling of a fault starts: every kSendAgainMilliseconds until
// the thread got one. A signal sent again while one from outside waits for the thread is lost in it.
void SendAgainUntilArmed() {
  int seen = 0;
  for (;;) {
    while (gRequests.load() == seen) ::syscall(SYS_futex, &gRequests, FUTEX_WAIT_PRIVATE, seen, nullptr, nullptr, 0);
    seen = gRequests.load();
    for (;;) {
      if (gArmed.load() != 0) return;
      plat::CurrentClock().SleepMicros(plat::kSendAgainMilliseconds * 1000);
      const pid_t thread = gSendAgainThread.load();
      if (gArmed.load() != 0) return;
      if (thread == 0) break;
      ::syscall(SYS_tgkill, ::getpid(), thread, gSendAgainSignal.load());
    }
  }
}

// Counts the time in which the handling made no progress; kills the process when it reaches
// kCrashWatchdogSeconds.
[[noreturn]] void Watch() {
  SetAndWake(gStarted);
  SendAgainUntilArmed();
  const pid_t process = ::getpid();
  WatchedThread handling(process, gHandlingThread.load());
  WatchedThread main(process, process);
  WatchedThread server = DisplayServer();
  std::uint64_t lastNow = NowNanos();
  std::uint64_t lastFeeds = gFeeds.load();
  std::uint64_t stalled = 0;
  for (;;) {
    plat::CurrentClock().SleepMicros(kLookEveryMicros);
    const std::uint64_t now = NowNanos();
    const std::uint64_t feeds = gFeeds.load();
    const std::uint64_t elapsed = now - lastNow;
    const WatchedThread::Step handlingStep = handling.Look(elapsed);
    const std::uint64_t busy = std::min(elapsed, std::max({handlingStep.ran + handlingStep.waited,
                                                           main.Look(elapsed).waited, server.Look(elapsed).waited}));
    if (feeds != lastFeeds)
      stalled = 0;
    else if (!gHeld.load())
      stalled += elapsed - busy;
    if (stalled >= static_cast<std::uint64_t>(plat::kCrashWatchdogSeconds) * kNanosPerSecond)
      ::kill(::getpid(), SIGKILL);
    lastNow = now;
    lastFeeds = feeds;
  }
}

bool OnHandlingThread() {
  const pid_t handling = gHandlingThread.load();
  return handling != 0 && handling == static_cast<pid_t>(GetCurrentThreadId());
}

}  // namespace

namespace plat {

void StartCrashWatchdog() {
  try {
    StartThread(&Watch).detach();
  } catch (const std::system_error&) {
    return;  // no thread to be had: the kernel's timer alone watches
  }
  WaitWhileZero(gStarted);
}

void ArmCrashWatchdog(pid_t handlingThread) {
  gHandlingThread = handlingThread;
  ArmCeiling();
  gArmed = 1;
  Request();
}

bool SendAgainSoon(pid_t thread, int signal) {
  if (gStarted.load() == 0) return false;
  gSendAgainSignal = signal;
  gSendAgainThread = thread;
  Request();
  return true;
}

pid_t SendingAgainTo() { return gSendAgainThread.load(); }

void StopSendingAgain() { gSendAgainThread = 0; }

void FeedCrashWatchdog() {
  if (!OnHandlingThread()) return;
  gHeld = false;
  ++gFeeds;
  SetCeiling(kCrashWatchdogCeilingSeconds);
}

void HoldCrashWatchdog() {
  if (!OnHandlingThread()) return;
  gHeld = true;
  SetCeiling(0);
}

void SetScheduleReader(ScheduleReader reader) { gReader = reader; }

}  // namespace plat
