// The crash watchdog, internal to the layer: it ends the process when the handling of a fault stops
// making progress. A thread of its own, made when the fault handlers are installed, sleeps until a
// fault is handled and from then on looks at the handling every tenth of a second. Until then it also
// sends a fatal signal again when the handler put it off (plat::SendAgainSoon). Time in which the
// handling thread, or the main thread it may wait for, was ready to run but waited for a processor
// does not count: on a busy machine the handling is slow, not stuck. A timer of the kernel kills the
// process all the same after kCrashWatchdogCeilingSeconds without a feed, should the watchdog thread
// itself never run.
#pragma once

#include <sys/types.h>

namespace plat {

// However busy the machine, a handling that goes this long without progress is taken for a hang.
constexpr int kCrashWatchdogCeilingSeconds = 60;

// Makes the watchdog's thread; once, when the fault handlers are installed.
void StartCrashWatchdog();
// The fault's handling starts on `handlingThread`. Async-signal-safe: called in the signal handler.
void ArmCrashWatchdog(pid_t handlingThread);
// Has the watchdog's thread send `signal` to `thread` of this process again every
// kSendAgainMilliseconds, until plat::StopSendingAgain or a fault's handling starts; false when there
// is no such thread. Async-signal-safe, as are the two below.
constexpr int kSendAgainMilliseconds = 20;
bool SendAgainSoon(pid_t thread, int signal);
// The thread to which a signal is sent again; 0 when none.
pid_t SendingAgainTo();
// The thread got the signal sent again.
void StopSendingAgain();

}  // namespace plat
