#include "platform/d3d/D3DHooks.h"

#include <atomic>
#include <mutex>
#include <utility>

namespace plat {
namespace {

struct Fault {
  std::string call;
  HRESULT result;
  int skip;
  int times;
};

struct Hooks {
  std::mutex mutex;
  std::vector<Fault> faults;
  std::vector<D3DCallRecord> log;
};

Hooks& TheHooks() {
  static Hooks hooks;
  return hooks;
}

// Lets the device skip the mutex while no test asked for anything.
std::atomic<bool> gFaultsArmed{false};
std::atomic<bool> gLogging{false};

}  // namespace

void InjectD3DFault(const std::string& call, HRESULT result, int skip, int times) {
  Hooks& hooks = TheHooks();
  std::lock_guard lock(hooks.mutex);
  hooks.faults.push_back({call, result, skip, times});
  gFaultsArmed = true;
}

ScopedD3DHooks::ScopedD3DHooks() {
  Hooks& hooks = TheHooks();
  std::lock_guard lock(hooks.mutex);
  hooks.log.clear();
  gLogging = true;
}

ScopedD3DHooks::~ScopedD3DHooks() {
  Hooks& hooks = TheHooks();
  std::lock_guard lock(hooks.mutex);
  hooks.faults.clear();
  hooks.log.clear();
  gFaultsArmed = false;
  gLogging = false;
}

std::vector<D3DCallRecord> ScopedD3DHooks::TakeLog() {
  Hooks& hooks = TheHooks();
  std::lock_guard lock(hooks.mutex);
  return std::exchange(hooks.log, {});
}

namespace d3d {

std::optional<HRESULT> TakeFault(const char* call) {
  if (!gFaultsArmed) return std::nullopt;
  Hooks& hooks = TheHooks();
  std::lock_guard lock(hooks.mutex);
  for (auto it = hooks.faults.begin(); it != hooks.faults.end(); ++it) {
    if (it->call != call) continue;
    if (it->skip > 0) {
      --it->skip;
      return std::nullopt;
    }
    const HRESULT result = it->result;
    if (--it->times <= 0) hooks.faults.erase(it);
    return result;
  }
  return std::nullopt;
}

bool LoggingCalls() { return gLogging; }

void LogCall(const char* call, std::vector<DWORD> args, HRESULT result) {
  if (!gLogging) return;
  Hooks& hooks = TheHooks();
  std::lock_guard lock(hooks.mutex);
  hooks.log.push_back({call, std::move(args), result});
}

}  // namespace d3d
}  // namespace plat
