// Threads: the one way the program starts them, their ids and priorities.
#pragma once

#include <functional>
#include <thread>

#include "platform/win/Types.h"

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;

// A pseudo handle for the calling thread, valid only in that thread.
HANDLE GetCurrentThread();
// The kernel's id of the calling thread. Async-signal-safe.
DWORD GetCurrentThreadId();
// The calling thread's priority (the only thread asked about) is remembered and reported; Linux gives
// ordinary processes no higher priority.
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);

namespace plat {

// Every thread of the program starts here: it runs `work` with a fault stack of its own
// (UseFaultStack), so that a fault of the thread is reported even when its stack overflowed.
[[nodiscard]] std::thread StartThread(std::function<void()> work);

}  // namespace plat
