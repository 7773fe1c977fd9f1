#include "platform/win/window/MainThread.h"

#include <unistd.h>

#include "platform/win/threads/Threads.h"
#include "platform/win/window/MessageQueue.h"
#include "platform/win/window/SdlWindow.h"

namespace plat {
namespace {

// Static initialisation runs on the process's initial thread, so this holds its id even when a
// worker asks before the main thread has used the layer.
const std::thread::id gMainThread = std::this_thread::get_id();

}  // namespace

std::thread::id MainThreadId() { return gMainThread; }

// On Linux the initial thread's id equals the process id; this holds even during static
// initialisation of other files, before gMainThread is set.
bool IsMainThread() { return static_cast<pid_t>(GetCurrentThreadId()) == ::getpid(); }

void PostToMainThread(std::function<void()> work) {
  if (work) MessageQueues::Instance().PostWork(MainThreadId(), std::move(work));
}

}  // namespace plat
