// The debugger output channel: standard error by default, a test's collector when one is set.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/util/ScopedValue.h"
#include "platform/win/Types.h"

void OutputDebugString(LPCSTR text);
void OutputDebugStringA(LPCSTR text);

namespace plat {

using DebugSink = std::function<void(std::string_view text)>;
// Null restores standard error. The sink may be called from any thread, one call at a time. Returns the
// sink it replaces.
DebugSink SetDebugSink(DebugSink sink);

// Test seam: collects the debugger output while alive, then the sink before it is back.
class ScopedDebugCapture {
 public:
  ScopedDebugCapture();
  [[nodiscard]] std::string Text() const;

 private:
  mutable std::mutex mLock;
  std::string mText;
  // Last, so that the sink is in place only while the text it collects into is.
  ScopedValue<DebugSink, SetDebugSink> mCapture;
};

}  // namespace plat
