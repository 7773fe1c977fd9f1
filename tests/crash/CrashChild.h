// What the crash tests' child processes share: a fault to make and the handler to catch it.
#pragma once

#include <string>

// Outside any namespace and never inlined, so that the stacks name it plainly.
void WriteThroughNull();

namespace crashtest {

// In the child: installs the handler, which reports into `folder` and shows its window only when
// asked, then runs the fault.
void CrashIn(const std::string& folder, void (*fault)(), bool showWindow = false);

// Faults inside the X library on SDL's own connection, while Xlib holds that connection's lock: the
// predicate of XCheckIfEvent runs with the display locked, here for an event sent to a test window.
// Needs SDL's X11 driver.
void FaultWhileXlibHoldsTheDisplay();
// The same place, where SIGSEGV sent by another process lands instead of a fault; then waits outside
// Xlib for the signal for ever.
void SignalFromOutsideWhileXlibHoldsTheDisplay();

}  // namespace crashtest
