// The crash watchdog: it ends the process when the handling of a fault hangs. A thread of its own, made
// when the fault handlers are installed, sleeps until a fault is handled and from then on looks at the
// handling every tenth of a second. Until then it also sends a fatal signal again when the handler put
// it off (plat::SendAgainSoon).
//
// A hang is a handling thread that neither runs nor waits for anything that is still working. So the
// time counts as progress in which the handling thread ran (a slow step, such as reading the symbols
// of a large program) or was ready to run and waited for a processor, and the time in which the main
// thread, which the handling may wait for, or the display server, whose answers the crash window waits
// for, waited for a processor: on a busy machine the handling is slow, not stuck. A display server that
// hangs or spins gives no such time. A timer of the kernel kills the process all the same after
// kCrashWatchdogCeilingSeconds without a feed, whatever the machine and the server do, and should the
// watchdog's thread itself never run.
//
// The watchdog reads and sleeps on the program's clock (plat::CurrentClock) and learns what the threads
// did from the scheduler view (SchedulerView.cpp): a test that puts a clock and a reader of its own in
// place steps the watchdog through a hang look by look. The kernel's timer keeps the real time.
//
// Feed and Hold are called by the handling thread; the rest as each says.
#pragma once

#include <sys/types.h>

namespace plat {

// How long the handling of a fault may go without progress before the process is killed.
constexpr int kCrashWatchdogSeconds = 4;
// However busy the machine, a handling that goes this long without a feed is taken for a hang.
constexpr int kCrashWatchdogCeilingSeconds = 60;

// Makes the watchdog's thread; once, when the fault handlers are installed.
void StartCrashWatchdog();
// The fault's handling starts on `handlingThread`. Async-signal-safe: called in the signal handler.
void ArmCrashWatchdog(pid_t handlingThread);

// Tells the watchdog that the handling of a fault makes progress: its time starts again. Does nothing
// on a thread that handles no fault.
void FeedCrashWatchdog();
// Stops the watchdog's time until the next feed: around a wait for the user that pumps no messages.
void HoldCrashWatchdog();

// Has the watchdog's thread send `signal` to `thread` of this process again every
// kSendAgainMilliseconds, until plat::StopSendingAgain or a fault's handling starts; false when there
// is no such thread. Async-signal-safe, as are the two below.
constexpr int kSendAgainMilliseconds = 20;
bool SendAgainSoon(pid_t thread, int signal);
// The thread to which a signal is sent again; 0 when none.
pid_t SendingAgainTo();
// The thread got the signal sent again.
void StopSendingAgain();

// What the scheduler tells of one thread since it started: how long it ran, how long it was ready to
// run and waited for a processor (a wait is added when it ends), how often it gave up the processor to
// wait for something else (to sleep), and whether it is ready to run now (running or waiting for a
// processor).
struct ThreadSchedule {
  unsigned long long ranNanoseconds = 0;
  unsigned long long waitedNanoseconds = 0;
  unsigned long long sleeps = 0;
  bool runnable = false;
};
// The watchdog's view of the scheduler: thread `thread` of process `process` (a kernel thread id; the
// process's own id for its main thread); for process 0, the machine as a whole, whose `waitedNanoseconds`
// is the time in which any thread waited for a processor. False when the system does not tell. The
// watchdog asks about the handling thread, the main thread and the display server's main thread, or
// the machine when the server's process cannot be seen; it runs on a thread of its own and may not
// allocate. Tests put a reader of their own in place to stand for a busy or quiet machine; nullptr puts
// the system's back.
using ScheduleReader = bool (*)(int process, int thread, ThreadSchedule* schedule);
void SetScheduleReader(ScheduleReader reader);
// The system's reader: the kernel's scheduler statistics and processor pressure. Allocates nothing.
bool SystemSchedule(int process, int thread, ThreadSchedule* schedule);
// The process of the local display server that DISPLAY names, found as the peer of a connection to its
// socket: 0 when there is none (no display, one on another machine, or no server answers), -1 when
// there is one whose process is not known. Allocates nothing.
int DisplayServerProcess();

}  // namespace plat
