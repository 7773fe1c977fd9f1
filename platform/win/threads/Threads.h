// Threads, waits and handles, and the named mutex that keeps one copy of the program running.
#pragma once

#include <functional>
#include <string>
#include <thread>

#include "platform/win/Types.h"

struct SECURITY_ATTRIBUTES;

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;

BOOL CloseHandle(HANDLE handle);
// A pseudo handle for the calling thread, valid only in that thread.
HANDLE GetCurrentThread();
// The kernel's id of the calling thread. Async-signal-safe.
DWORD GetCurrentThreadId();
// The calling thread's priority (the only thread asked about) is remembered and reported; Linux gives
// ordinary processes no higher priority.
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);

// A named mutex is held against other processes of the same user and instance scope, until its last
// handle is closed: when another copy holds the name, the handle comes with ERROR_ALREADY_EXISTS.
HANDLE CreateMutex(SECURITY_ATTRIBUTES* security, BOOL initialOwner, LPCSTR name);
HANDLE CreateMutexA(SECURITY_ATTRIBUTES* security, BOOL initialOwner, LPCSTR name);

HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();

namespace plat {

// Every thread of the program starts here: it runs `work` with a fault stack of its own
// (UseFaultStack), so that a fault of the thread is reported even when its stack overflowed.
std::thread StartThread(std::function<void()> work);

// The folder where named mutexes live and single-instance notices travel: the one set here, else
// "KIT_INSTANCE_SCOPE" when set, else "quarvel" in the user's runtime folder, else /tmp/quarvel-<uid>.
// It is used only as a folder of the user's own, closed to others and not a link (made so when
// missing); otherwise $XDG_STATE_HOME/quarvel (~/.local/state/quarvel) is, with a note on the debugger
// output, and when that is refused too, none: no lock is held then. Tests give each run its own, so
// that test programs running in parallel never see each other's copies.
void SetInstanceScope(std::string folder);
// The folder in use (chosen at the first use after SetInstanceScope); empty when none could be.
std::string InstanceScope();

// Delivers broadcasts of registered messages that other copies of the program sent to this one
// (called by the main thread's message pump).
void ReceiveBroadcasts();
// Sends a registered message by name to the other copies of the program in the instance scope.
void BroadcastToOtherInstances(const std::string& messageName);

}  // namespace plat
