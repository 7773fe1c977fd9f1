// The per-thread message queues behind PostMessage, SendMessage across threads, timers and the
// main thread's work list. Internal to the layer.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/window/Messages.h"

namespace plat {

class MessageQueues {
 public:
  static MessageQueues& Instance();

  // Appends a message to the queue of `owner` and wakes it.
  void Post(std::thread::id owner, const MSG& msg);
  // Keyboard input from the devices: it goes to the window that has the focus when the message is
  // taken (when that window is the taking thread's), as on Windows, not when it was translated.
  void PostKeyboardInput(std::thread::id owner, const MSG& msg);
  void PostQuit(std::thread::id owner, int exitCode);
  // Hands a call to the owner thread and waits for its result; the window's destruction answers 0.
  LRESULT SendAcross(std::thread::id owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void PostWork(std::thread::id owner, std::function<void()> work);
  // The sent calls waiting for the thread, each with its sender blocked on it.
  std::size_t SentCallsWaiting(std::thread::id owner);

  // Runs the sent calls and queued work waiting for the calling thread.
  void RunPendingCalls();
  // The first message for the calling thread that passes the filters (posted, then WM_QUIT, then
  // WM_PAINT of windows that need it, then due timers).
  bool Take(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove);
  // Blocks the calling thread until something may have arrived or a timer is due (bounded wait).
  void Wait(std::chrono::microseconds longest);

  UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
  bool KillTimer(HWND window, UINT_PTR id);
  // Drops everything addressed to a window that is going away and answers calls waiting on it.
  void ForgetWindow(HWND window);

 private:
  struct SentCall {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::shared_ptr<std::promise<LRESULT>> result;
  };
  struct Timer {
    HWND window;
    UINT_PTR id;
    std::uint64_t periodMicros;
    std::uint64_t dueMicros;
    TIMERPROC proc;
    std::thread::id owner;
  };
  struct Posted {
    MSG msg;
    bool keyboardInput = false;
  };
  struct Queue {
    std::deque<Posted> posted;
    std::deque<SentCall> sent;
    std::deque<std::function<void()>> work;
    bool quit = false;
    int quitCode = 0;
  };

  Queue& QueueOf(std::thread::id thread);  // with mLock held
  void Append(std::thread::id owner, const MSG& msg, bool keyboardInput);
  std::optional<std::uint64_t> NextTimerDue(std::thread::id thread);

  std::mutex mLock;
  std::condition_variable mWake;
  std::map<std::thread::id, Queue> mQueues;
  std::vector<Timer> mTimers;
  UINT_PTR mNextThreadTimerId = 1;
};

[[nodiscard]] bool MessagePassesFilter(UINT message, UINT filterMin, UINT filterMax);
// The name a message id was registered under (RegisterWindowMessage), or empty.
[[nodiscard]] std::string RegisteredMessageName(UINT message);
// Posts to every top-level window of this process.
void PostLocalBroadcast(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace plat
