// Test seams of the software Direct3D device: chosen calls made to fail with chosen results, and a log
// of the calls made. Both are process-wide.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/win/Types.h"

namespace plat {

// A Direct3D call as the log records it: its name ("CreateDevice", "SetRenderState", ...), its
// numeric arguments (states and values, primitive type and vertex count, ...) and its result.
struct D3DCallRecord {
  std::string call;
  std::vector<DWORD> args;
  HRESULT result;
  bool operator==(const D3DCallRecord&) const = default;
};

// Makes the calls named `call` fail with `result`: the first `skip` such calls still run, the next
// `times` fail without doing anything.
void InjectD3DFault(const std::string& call, HRESULT result, int skip = 0, int times = 1);

// For the duration of a test: faults may be injected, every call is logged, and both are cleared and
// stopped at the end.
class ScopedD3DHooks {
 public:
  ScopedD3DHooks();
  ~ScopedD3DHooks();
  ScopedD3DHooks(const ScopedD3DHooks&) = delete;
  ScopedD3DHooks& operator=(const ScopedD3DHooks&) = delete;

  // The calls logged so far; the log is emptied.
  [[nodiscard]] std::vector<D3DCallRecord> TakeLog();
};

namespace d3d {
// For the device: the injected result for this call, if one is due.
[[nodiscard]] std::optional<HRESULT> TakeFault(const char* call);
// For the device: records a finished call while a log is kept.
void LogCall(const char* call, std::vector<DWORD> args, HRESULT result);
[[nodiscard]] bool LoggingCalls();
}  // namespace d3d

}  // namespace plat
