#include "platform/win/window/Messages.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <string>

#include "platform/win/process/SingleInstance.h"
#include "platform/win/window/MessageQueue.h"
#include "platform/win/window/PaintedWindows.h"
#include "platform/win/window/SdlVideo.h"
#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/WindowTable.h"

namespace {

// Registered messages that other copies of the program broadcast reach this copy's windows as its own
// broadcasts do.
void PostBroadcastsFromOtherCopies() {
  for (const std::string& name : plat::TakeBroadcasts())
    if (UINT message = RegisterWindowMessage(name.c_str())) plat::PostLocalBroadcast(message, 0, 0);
}

// Everything the calling thread must do before looking at its queue: answer calls from other
// threads, run the main thread's work and turn SDL's events into messages.
void Pump() {
  plat::MessageQueues::Instance().RunPendingCalls();
  if (plat::IsMainThread()) {
    if (plat::SdlVideoStarted()) plat::PumpSdlEvents();
    PostBroadcastsFromOtherCopies();
  }
  plat::PaintChangedWindows();
}

}  // namespace

BOOL PeekMessage(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
  if (!msg) return FALSE;
  Pump();
  return plat::MessageQueues::Instance().Take(msg, window, filterMin, filterMax, (removeMessage & PM_REMOVE) != 0)
             ? TRUE
             : FALSE;
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
  return PeekMessage(msg, window, filterMin, filterMax, removeMessage);
}

BOOL GetMessage(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  if (!msg) return -1;
  if (window && !IsWindow(window)) return -1;
  // The main thread wakes often to look at SDL's queue; other threads sleep until woken.
  const auto slice = plat::IsMainThread() ? std::chrono::microseconds(2000) : std::chrono::microseconds(50000);
  for (;;) {
    if (PeekMessage(msg, window, filterMin, filterMax, PM_REMOVE)) return msg->message == WM_QUIT ? FALSE : TRUE;
    if (window && !IsWindow(window)) return -1;
    plat::MessageQueues::Instance().Wait(slice);
  }
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  return GetMessage(msg, window, filterMin, filterMax);
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  switch (msg->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  if (!msg->hwnd) return 0;
  auto record = plat::WindowTable::Instance().Find(msg->hwnd);
  if (!record || !record->proc) return 0;
  LRESULT result = record->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  // A procedure that ignores WM_PAINT must not get it for ever.
  if (msg->message == WM_PAINT) ValidateRect(msg->hwnd, nullptr);
  return result;
}

LRESULT DispatchMessageA(const MSG* msg) { return DispatchMessage(msg); }

namespace plat {

void PostLocalBroadcast(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const WindowRecord& record : WindowTable::Instance().All()) {
    if (record.parent || (record.style & WS_CHILD)) continue;
    MessageQueues::Instance().Post(record.owner, MSG{record.handle, message, wParam, lParam, 0, {}});
  }
}

}  // namespace plat

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& queues = plat::MessageQueues::Instance();
  if (window == HWND_BROADCAST) {
    plat::PostLocalBroadcast(message, wParam, lParam);
    // Registered messages mean the same to every copy of the program: they reach the others too.
    std::string name = plat::RegisteredMessageName(message);
    if (!name.empty()) plat::BroadcastToOtherInstances(name);
    return TRUE;
  }
  if (!window) {
    queues.Post(std::this_thread::get_id(), MSG{nullptr, message, wParam, lParam, 0, {}});
    return TRUE;
  }
  auto record = plat::WindowTable::Instance().Find(window);
  if (!record) return FALSE;
  queues.Post(record->owner, MSG{window, message, wParam, lParam, 0, {}});
  return TRUE;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return PostMessage(window, message, wParam, lParam);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == HWND_BROADCAST) {
    for (const plat::WindowRecord& record : plat::WindowTable::Instance().All()) {
      if (!record.parent && !(record.style & WS_CHILD)) SendMessage(record.handle, message, wParam, lParam);
    }
    return 0;
  }
  auto record = plat::WindowTable::Instance().Find(window);
  if (!record || !record->proc) return 0;
  if (record->owner == std::this_thread::get_id()) return record->proc(window, message, wParam, lParam);
  return plat::MessageQueues::Instance().SendAcross(record->owner, window, message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessage(window, message, wParam, lParam);
}

std::size_t plat::SentCallsWaiting() {
  return plat::MessageQueues::Instance().SentCallsWaiting(std::this_thread::get_id());
}

void PostQuitMessage(int exitCode) { plat::MessageQueues::Instance().PostQuit(std::this_thread::get_id(), exitCode); }

namespace {

struct RegisteredMessages {
  std::mutex lock;
  std::map<std::string, UINT> ids;  // by lower-case name
  std::map<UINT, std::string> names;
};

RegisteredMessages& Registered() {
  static RegisteredMessages registered;
  return registered;
}

}  // namespace

std::string plat::RegisteredMessageName(UINT message) {
  RegisteredMessages& registered = Registered();
  std::lock_guard guard(registered.lock);
  auto it = registered.names.find(message);
  return it == registered.names.end() ? std::string() : it->second;
}

UINT RegisterWindowMessage(LPCSTR name) {
  if (!name || !*name) return 0;
  std::string key(name);
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
  RegisteredMessages& registered = Registered();
  std::lock_guard guard(registered.lock);
  auto [it, added] = registered.ids.emplace(key, static_cast<UINT>(0xC000 + registered.ids.size()));
  if (added) registered.names[it->second] = key;
  return it->second;
}

UINT RegisterWindowMessageA(LPCSTR name) { return RegisterWindowMessage(name); }

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMillis, TIMERPROC timerProc) {
  if (window && !IsWindow(window)) return 0;
  return plat::MessageQueues::Instance().SetTimer(window, id, elapseMillis, timerProc);
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  return plat::MessageQueues::Instance().KillTimer(window, id) ? TRUE : FALSE;
}
