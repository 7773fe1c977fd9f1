#include "platform/win/window/MessageQueue.h"

#include <algorithm>

#include "platform/win/threads/Time.h"
#include "platform/win/window/WindowTable.h"

namespace plat {

bool MessagePassesFilter(UINT message, UINT filterMin, UINT filterMax) {
  if (filterMin == 0 && filterMax == 0) return true;
  return message >= filterMin && message <= filterMax;
}

namespace {

bool WindowPassesFilter(HWND messageWindow, HWND filter) {
  return !filter || WindowTable::Instance().IsWithin(messageWindow, filter);
}

DWORD NowMillis() { return static_cast<DWORD>(CurrentClock().NowMicros() / 1000); }

// The focus window when it belongs to the taking thread; else the window the input was meant for.
HWND KeyboardTarget(HWND translatedFor, std::thread::id self) {
  HWND focus = GetFocus();
  if (!focus || focus == translatedFor) return translatedFor;
  auto record = WindowTable::Instance().Find(focus);
  return record && record->owner == self ? focus : translatedFor;
}

}  // namespace

MessageQueues& MessageQueues::Instance() {
  static MessageQueues queues;
  return queues;
}

MessageQueues::Queue& MessageQueues::QueueOf(std::thread::id thread) { return mQueues[thread]; }

void MessageQueues::Append(std::thread::id owner, const MSG& msg, bool keyboardInput) {
  {
    std::lock_guard guard(mLock);
    MSG stamped = msg;
    stamped.time = NowMillis();
    QueueOf(owner).posted.push_back({stamped, keyboardInput});
  }
  mWake.notify_all();
}

void MessageQueues::Post(std::thread::id owner, const MSG& msg) { Append(owner, msg, false); }

void MessageQueues::PostKeyboardInput(std::thread::id owner, const MSG& msg) { Append(owner, msg, true); }

void MessageQueues::PostQuit(std::thread::id owner, int exitCode) {
  {
    std::lock_guard guard(mLock);
    Queue& queue = QueueOf(owner);
    queue.quit = true;
    queue.quitCode = exitCode;
  }
  mWake.notify_all();
}

LRESULT MessageQueues::SendAcross(std::thread::id owner, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto result = std::make_shared<std::promise<LRESULT>>();
  std::future<LRESULT> answer = result->get_future();
  {
    std::lock_guard guard(mLock);
    QueueOf(owner).sent.push_back({window, message, wParam, lParam, result});
  }
  mWake.notify_all();
  return answer.get();
}

std::size_t MessageQueues::SentCallsWaiting(std::thread::id owner) {
  std::lock_guard guard(mLock);
  return QueueOf(owner).sent.size();
}

void MessageQueues::PostWork(std::thread::id owner, std::function<void()> work) {
  {
    std::lock_guard guard(mLock);
    QueueOf(owner).work.push_back(std::move(work));
  }
  mWake.notify_all();
}

void MessageQueues::RunPendingCalls() {
  std::thread::id self = std::this_thread::get_id();
  // Only what was waiting when the pump began runs now: a thread that queues work as fast as it is
  // run (the cursor thread asking for presents) must not keep the pump from returning.
  std::size_t sentLeft;
  std::size_t workLeft;
  {
    std::lock_guard guard(mLock);
    Queue& queue = QueueOf(self);
    sentLeft = queue.sent.size();
    workLeft = queue.work.size();
  }
  for (;;) {
    std::optional<SentCall> call;
    std::function<void()> work;
    {
      std::lock_guard guard(mLock);
      Queue& queue = QueueOf(self);
      if (sentLeft > 0 && !queue.sent.empty()) {
        --sentLeft;
        call = std::move(queue.sent.front());
        queue.sent.pop_front();
      } else if (workLeft > 0 && !queue.work.empty()) {
        --workLeft;
        work = std::move(queue.work.front());
        queue.work.pop_front();
      } else {
        return;
      }
    }
    if (call) {
      auto record = WindowTable::Instance().Find(call->window);
      LRESULT result =
          record && record->proc ? record->proc(call->window, call->message, call->wParam, call->lParam) : 0;
      call->result->set_value(result);
    } else {
      work();
    }
  }
}

bool MessageQueues::Take(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
  std::thread::id self = std::this_thread::get_id();
  std::lock_guard guard(mLock);
  Queue& queue = QueueOf(self);
  for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
    MSG taken = it->msg;
    if (it->keyboardInput) taken.hwnd = KeyboardTarget(taken.hwnd, self);
    if (!MessagePassesFilter(taken.message, filterMin, filterMax) || !WindowPassesFilter(taken.hwnd, window)) continue;
    *msg = taken;
    if (remove) queue.posted.erase(it);
    return true;
  }
  if (queue.quit && MessagePassesFilter(WM_QUIT, filterMin, filterMax)) {
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, NowMillis(), {}};
    if (remove) queue.quit = false;
    return true;
  }
  if (MessagePassesFilter(WM_PAINT, filterMin, filterMax)) {
    // WM_PAINT stays until the window is validated (BeginPaint or ValidateRect).
    if (HWND invalid = WindowTable::Instance().FirstNeedingPaint(self, window)) {
      *msg = MSG{invalid, WM_PAINT, 0, 0, NowMillis(), {}};
      return true;
    }
  }
  if (MessagePassesFilter(WM_TIMER, filterMin, filterMax)) {
    std::uint64_t now = CurrentClock().NowMicros();
    for (Timer& timer : mTimers) {
      if (timer.owner != self || timer.dueMicros > now || !WindowPassesFilter(timer.window, window)) continue;
      *msg = MSG{
          timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc), static_cast<DWORD>(now / 1000), {}};
      // Timers do not pile up: one WM_TIMER however late, then the next period starts.
      if (remove) timer.dueMicros = now + timer.periodMicros;
      return true;
    }
  }
  return false;
}

std::optional<std::uint64_t> MessageQueues::NextTimerDue(std::thread::id thread) {
  std::optional<std::uint64_t> next;
  for (const Timer& timer : mTimers) {
    if (timer.owner == thread && (!next || timer.dueMicros < *next)) next = timer.dueMicros;
  }
  return next;
}

void MessageQueues::Wait(std::chrono::microseconds longest) {
  std::thread::id self = std::this_thread::get_id();
  std::optional<std::uint64_t> due;
  {
    std::unique_lock guard(mLock);
    Queue& queue = QueueOf(self);
    if (!queue.posted.empty() || !queue.sent.empty() || !queue.work.empty() || queue.quit) return;
    due = NextTimerDue(self);
    if (!due) {
      mWake.wait_for(guard, longest);
      return;
    }
  }
  // A timer is pending: sleep through the clock (a fake clock advances at once), in slices so that
  // posts from other threads are not held up for long.
  std::uint64_t now = CurrentClock().NowMicros();
  if (*due <= now) return;
  std::uint64_t slice = std::min<std::uint64_t>(*due - now, static_cast<std::uint64_t>(longest.count()));
  CurrentClock().SleepMicros(slice);
}

UINT_PTR MessageQueues::SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  std::lock_guard guard(mLock);
  // Windows raises periods below 10 ms to 10 ms.
  std::uint64_t period = static_cast<std::uint64_t>(std::max<UINT>(elapse, 10)) * 1000;
  std::uint64_t due = CurrentClock().NowMicros() + period;
  // A window's timer keeps the caller's id; a thread timer (no window) gets a new one.
  if (!window) id = mNextThreadTimerId++;
  UINT_PTR answer = id ? id : 1;
  for (Timer& timer : mTimers) {
    if (timer.window == window && timer.id == id && (window || timer.owner == std::this_thread::get_id())) {
      timer.periodMicros = period;
      timer.dueMicros = due;
      timer.proc = proc;
      return answer;
    }
  }
  mTimers.push_back({window, id, period, due, proc, std::this_thread::get_id()});
  return answer;
}

bool MessageQueues::KillTimer(HWND window, UINT_PTR id) {
  std::lock_guard guard(mLock);
  auto it = std::find_if(mTimers.begin(), mTimers.end(),
                         [&](const Timer& timer) { return timer.window == window && timer.id == id; });
  if (it == mTimers.end()) return false;
  mTimers.erase(it);
  return true;
}

void MessageQueues::ForgetWindow(HWND window) {
  std::vector<std::shared_ptr<std::promise<LRESULT>>> unanswered;
  {
    std::lock_guard guard(mLock);
    mTimers.erase(std::remove_if(mTimers.begin(), mTimers.end(), [&](const Timer& t) { return t.window == window; }),
                  mTimers.end());
    for (auto& [thread, queue] : mQueues) {
      std::erase_if(queue.posted, [&](const Posted& posted) { return posted.msg.hwnd == window; });
      for (auto it = queue.sent.begin(); it != queue.sent.end();) {
        if (it->window == window) {
          unanswered.push_back(it->result);
          it = queue.sent.erase(it);
        } else {
          ++it;
        }
      }
    }
  }
  for (auto& result : unanswered) result->set_value(0);
}

}  // namespace plat
