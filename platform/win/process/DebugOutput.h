// The debugger output channel: standard error by default, a test's collector when one is set.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/win/Types.h"

void OutputDebugString(LPCSTR text);
void OutputDebugStringA(LPCSTR text);

namespace plat {

using DebugSink = std::function<void(std::string_view text)>;
// Null restores standard error. The sink may be called from any thread, one call at a time.
void SetDebugSink(DebugSink sink);

// Test seam: collects the debugger output while alive.
class ScopedDebugCapture {
 public:
  ScopedDebugCapture();
  ~ScopedDebugCapture();
  ScopedDebugCapture(const ScopedDebugCapture&) = delete;
  ScopedDebugCapture& operator=(const ScopedDebugCapture&) = delete;
  [[nodiscard]] std::string Text() const;

 private:
  mutable std::mutex mLock;
  std::string mText;
};

}  // namespace plat
