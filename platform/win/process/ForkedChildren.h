// What a child made by fork() without exec keeps of this process, and how long it lives. SDL shows its
// X11 message box from such a child: left alone, it would share the descriptors of the program's locks
// (an flock belongs to the open file, not to the process, so the child's copy keeps it alive after the
// program has gone) and it would outlive the program with its window on screen. The bookkeeping here is
// guarded across fork(), so any thread may open, close or fork at any time.
#pragma once

#include <sys/types.h>

namespace plat {

// openat(2) with O_CLOEXEC added, the descriptor withheld from every child forked from now on: the
// child closes its copy before it runs anything else. No fork falls between the open and the
// withholding. -1 with errno set on failure.
[[nodiscard]] int OpenWithheldFromChildren(int folder, const char* path, int flags, mode_t mode);
// Closes a descriptor that OpenWithheldFromChildren gave.
void CloseWithheld(int descriptor);

// While alive, a child that the calling thread forks is killed when this process ends (at once, also
// when the process had already ended by the time the child started), so that nothing the child shows
// stays on screen after the program. A child that goes on to exec keeps this, so only waits whose
// helper never execs use it.
class ScopedForkedChildrenEndWithProcess {
 public:
  ScopedForkedChildrenEndWithProcess();
  ~ScopedForkedChildrenEndWithProcess();
  ScopedForkedChildrenEndWithProcess(const ScopedForkedChildrenEndWithProcess&) = delete;
  ScopedForkedChildrenEndWithProcess& operator=(const ScopedForkedChildrenEndWithProcess&) = delete;

 private:
  bool mPrevious;
};

}  // namespace plat
