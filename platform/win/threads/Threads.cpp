#include "platform/win/threads/Threads.h"

#include <sys/syscall.h>
#include <unistd.h>

#include "platform/win/Errors.h"
#include "platform/win/threads/FaultStack.h"

namespace plat {

std::thread StartThread(std::function<void()> work) {
  return std::thread([work = std::move(work)] {
    UseFaultStack();
    work();
  });
}

namespace {

const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));
thread_local int tPriority = THREAD_PRIORITY_NORMAL;

}  // namespace
}  // namespace plat

HANDLE GetCurrentThread() { return plat::kCurrentThread; }

DWORD GetCurrentThreadId() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

BOOL SetThreadPriority(HANDLE thread, int priority) {
  if (thread != plat::kCurrentThread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  plat::tPriority = priority;
  return TRUE;
}

int GetThreadPriority(HANDLE thread) {
  return thread == plat::kCurrentThread ? plat::tPriority : 0x7FFFFFFF;  // THREAD_PRIORITY_ERROR_RETURN
}
