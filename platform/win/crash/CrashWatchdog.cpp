#include "platform/win/crash/CrashWatchdog.h"

#include <fcntl.h>
#include <linux/futex.h>
#include <signal.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <system_error>

#include "platform/win/Threads.h"
#include "platform/win/crash/Exceptions.h"

namespace {

constexpr std::uint64_t kNanosPerSecond = 1000000000;
constexpr long kLookEveryNanos = 100000000;

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
std::atomic<plat::ProcessorWaitReader> gWaitReader{nullptr};
// The kernel's timer behind the watchdog thread (kCrashWatchdogCeilingSeconds); 0 while there is none.
int gCeilingTimer = 0;

pid_t ThreadId() { return static_cast<pid_t>(::syscall(SYS_gettid)); }

std::uint64_t NowNanos() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * kNanosPerSecond + static_cast<std::uint64_t>(now.tv_nsec);
}

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

std::uint64_t ProcessorWait(pid_t thread) {
  plat::ProcessorWaitReader reader = gWaitReader.load();
  unsigned long long waited = 0;
  if (!(reader != nullptr ? reader : &plat::SystemProcessorWait)(thread, &waited)) return 0;
  return waited;
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
      const timespec delay{0, plat::kSendAgainMilliseconds * 1000000L};
      ::clock_nanosleep(CLOCK_MONOTONIC, 0, &delay, nullptr);
      const pid_t thread = gSendAgainThread.load();
      if (gArmed.load() != 0) return;
      if (thread == 0) break;
      ::syscall(SYS_tgkill, ::getpid(), thread, gSendAgainSignal.load());
    }
  }
}

// Counts the time in which the handling could have run and made no progress; kills the process when
// it reaches kCrashWatchdogSeconds.
[[noreturn]] void Watch() {
  SetAndWake(gStarted);
  SendAgainUntilArmed();
  const pid_t handling = gHandlingThread.load();
  const pid_t main = ::getpid();
  std::uint64_t lastNow = NowNanos();
  std::uint64_t lastHandlingWait = ProcessorWait(handling);
  std::uint64_t lastMainWait = ProcessorWait(main);
  std::uint64_t lastFeeds = gFeeds.load();
  std::uint64_t stalled = 0;
  for (;;) {
    const timespec step{0, kLookEveryNanos};
    ::clock_nanosleep(CLOCK_MONOTONIC, 0, &step, nullptr);
    const std::uint64_t now = NowNanos();
    const std::uint64_t handlingWait = ProcessorWait(handling);
    const std::uint64_t mainWait = ProcessorWait(main);
    const std::uint64_t feeds = gFeeds.load();
    const std::uint64_t elapsed = now - lastNow;
    // A count that went backwards (a reader that could not read) gives no waiting time.
    const std::uint64_t waited =
        std::min(elapsed, std::max(handlingWait > lastHandlingWait ? handlingWait - lastHandlingWait : 0,
                                   mainWait > lastMainWait ? mainWait - lastMainWait : 0));
    if (feeds != lastFeeds)
      stalled = 0;
    else if (!gHeld.load())
      stalled += elapsed - waited;
    if (stalled >= static_cast<std::uint64_t>(plat::kCrashWatchdogSeconds) * kNanosPerSecond)
      ::kill(::getpid(), SIGKILL);
    lastNow = now;
    lastHandlingWait = handlingWait;
    lastMainWait = mainWait;
    lastFeeds = feeds;
  }
}

bool OnHandlingThread() {
  const pid_t handling = gHandlingThread.load();
  return handling != 0 && handling == ThreadId();
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

void SetProcessorWaitReader(ProcessorWaitReader reader) { gWaitReader = reader; }

// The second field of /proc/self/task/<thread>/schedstat: the time the thread spent ready to run on
// a run queue. Reads into buffers on the stack only: the allocator may be broken by the fault.
bool SystemProcessorWait(int thread, unsigned long long* waitedNanoseconds) {
  char path[64] = "/proc/self/task/";
  std::size_t length = 16;
  char digits[16];
  int count = 0;
  for (auto value = static_cast<unsigned>(thread); count == 0 || value != 0; value /= 10)
    digits[count++] = static_cast<char>('0' + value % 10);
  while (count > 0) path[length++] = digits[--count];
  for (const char* tail = "/schedstat"; *tail != '\0'; ++tail) path[length++] = *tail;
  path[length] = '\0';
  const int file = ::open(path, O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  char text[128];
  const ssize_t got = ::read(file, text, sizeof(text) - 1);
  ::close(file);
  if (got <= 0) return false;
  text[got] = '\0';
  const char* at = text;
  while (*at >= '0' && *at <= '9') ++at;
  if (*at != ' ') return false;
  ++at;
  if (*at < '0' || *at > '9') return false;
  unsigned long long waited = 0;
  for (; *at >= '0' && *at <= '9'; ++at) waited = waited * 10 + static_cast<unsigned long long>(*at - '0');
  *waitedNanoseconds = waited;
  return true;
}

}  // namespace plat
