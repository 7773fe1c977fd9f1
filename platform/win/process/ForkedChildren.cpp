#include "platform/win/process/ForkedChildren.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

namespace plat {
namespace {

// Held from just before a fork until just after it, on both sides: the list is never half-changed
// in a child, and nothing is opened or closed while a fork copies the descriptors.
struct Withheld {
  std::mutex lock;
  std::vector<int> descriptors;
  pid_t forkingProcess = 0;
};

Withheld& TheWithheld() {
  static Withheld withheld;
  return withheld;
}

thread_local bool tChildrenEndWithProcess = false;

void BeforeFork() {
  Withheld& withheld = TheWithheld();
  withheld.lock.lock();
  withheld.forkingProcess = ::getpid();
}

void InParentAfterFork() { TheWithheld().lock.unlock(); }

// Async-signal-safe calls only: the child of a threaded program may do no more until it execs.
void InChildAfterFork() {
  Withheld& withheld = TheWithheld();
  for (int descriptor : withheld.descriptors) ::close(descriptor);
  withheld.descriptors.clear();
  withheld.lock.unlock();
  if (tChildrenEndWithProcess) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have ended before the request was made; then nobody would send the signal.
    if (::getppid() != withheld.forkingProcess) ::_exit(EXIT_FAILURE);
  }
}

void WatchForks() {
  static std::once_flag once;
  std::call_once(once, [] {
    TheWithheld();
    ::pthread_atfork(&BeforeFork, &InParentAfterFork, &InChildAfterFork);
  });
}

}  // namespace

int OpenWithheldFromChildren(int folder, const char* path, int flags, mode_t mode) {
  WatchForks();
  Withheld& withheld = TheWithheld();
  std::lock_guard guard(withheld.lock);
  const int descriptor = ::openat(folder, path, flags | O_CLOEXEC, mode);
  if (descriptor >= 0) withheld.descriptors.push_back(descriptor);
  return descriptor;
}

void CloseWithheld(int descriptor) {
  Withheld& withheld = TheWithheld();
  std::lock_guard guard(withheld.lock);
  std::erase(withheld.descriptors, descriptor);
  ::close(descriptor);
}

bool SetForkedChildrenEndWithProcess(bool endWithProcess) {
  WatchForks();
  return std::exchange(tChildrenEndWithProcess, endWithProcess);
}

}  // namespace plat
