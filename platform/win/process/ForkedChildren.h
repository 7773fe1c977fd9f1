// What a child made by fork() without exec keeps of this process, and how long it lives. SDL shows its
// X11 message box from such a child: left alone, it would share the descriptors of the program's locks
// (an flock belongs to the open file, not to the process, so the child's copy keeps it alive after the
// program has gone) and it would outlive the program with its window on screen. The bookkeeping here is
// guarded across fork(), so any thread may open, close or fork at any time.
#pragma once

#include <sys/types.h>

#include "platform/util/ScopedValue.h"

namespace plat {

// openat(2) with O_CLOEXEC added, the descriptor withheld from every child forked from now on: the
// child closes its copy before it runs anything else. No fork falls between the open and the
// withholding. -1 with errno set on failure.
[[nodiscard]] int OpenWithheldFromChildren(int folder, const char* path, int flags, mode_t mode);
// Closes a descriptor that OpenWithheldFromChildren gave.
void CloseWithheld(int descriptor);

// Whether a child that the calling thread forks from now on is killed when this process ends (at once,
// also when the process had already ended by the time the child started); returns what held before.
bool SetForkedChildrenEndWithProcess(bool endWithProcess);

// While alive, the calling thread's children end with this process, so that nothing a child shows stays
// on screen after the program. A child that goes on to exec keeps this, so only waits whose helper
// never execs use it.
class ScopedForkedChildrenEndWithProcess : public ScopedValue<bool, SetForkedChildrenEndWithProcess> {
 public:
  ScopedForkedChildrenEndWithProcess() : ScopedValue(true) {}
};

}  // namespace plat
