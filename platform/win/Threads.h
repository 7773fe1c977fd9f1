// Threads, waits and handles, and the named mutex that keeps one copy of the program running.
#pragma once

#include <string>

#include "platform/win/Types.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);
struct SECURITY_ATTRIBUTES;

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
constexpr DWORD CREATE_SUSPENDED = 0x4;
constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_ABANDONED = 0x80;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// CREATE_SUSPENDED is not supported (null, ERROR_INVALID_PARAMETER): nothing here uses it.
HANDLE CreateThread(SECURITY_ATTRIBUTES* security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD flags, LPDWORD threadId);
// Waits for a thread to end (or a mutex to be free), on the real clock.
DWORD WaitForSingleObject(HANDLE handle, DWORD millis);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
BOOL CloseHandle(HANDLE handle);
// A pseudo handle for the calling thread, valid only in that thread.
HANDLE GetCurrentThread();
DWORD GetCurrentThreadId();
// Priorities are remembered and reported; Linux gives ordinary processes no higher priority.
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);

// A named mutex is also held against other processes of the same user and instance scope: when
// another copy holds the name, the handle is returned with ERROR_ALREADY_EXISTS and does not own it.
HANDLE CreateMutex(SECURITY_ATTRIBUTES* security, BOOL initialOwner, LPCSTR name);
HANDLE CreateMutexA(SECURITY_ATTRIBUTES* security, BOOL initialOwner, LPCSTR name);
BOOL ReleaseMutex(HANDLE mutex);

HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();

namespace plat {

// The folder where named mutexes live and single-instance notices travel: "KIT_INSTANCE_SCOPE"
// when set, else the user's runtime folder. Tests give each run its own, so that test programs
// running in parallel never see each other's copies.
void SetInstanceScope(std::string folder);
std::string InstanceScope();

// Delivers broadcasts of registered messages that other copies of the program sent to this one
// (called by the main thread's message pump).
void ReceiveBroadcasts();
// Sends a registered message by name to the other copies of the program in the instance scope.
void BroadcastToOtherInstances(const std::string& messageName);

}  // namespace plat
