// What a test changes of the process's state that outlives it (a variable of the environment, the folder
// of the single-instance lock), given back at the end of a scope however the test ends.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/win/process/SingleInstance.h"

namespace testsupport {

// The variable as Set makes it (a null value unsets it) until the end of the scope, then as it was.
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(std::string name, const char* value) : mName(std::move(name)) {
    if (const char* before = std::getenv(mName.c_str())) mBefore = before;
    Set(value);
  }
  ~ScopedEnvironmentVariable() { Set(mBefore ? mBefore->c_str() : nullptr); }
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;
  void Set(const char* value) { value ? setenv(mName.c_str(), value, 1) : unsetenv(mName.c_str()); }

 private:
  std::string mName;
  std::optional<std::string> mBefore;
};

// The single-instance lock kept in the folder until the end of the scope, then in the default one.
struct ScopedInstanceScope {
  explicit ScopedInstanceScope(std::string folder) { plat::SetInstanceScope(std::move(folder)); }
  ~ScopedInstanceScope() { plat::SetInstanceScope(""); }
  ScopedInstanceScope(const ScopedInstanceScope&) = delete;
  ScopedInstanceScope& operator=(const ScopedInstanceScope&) = delete;
};

}  // namespace testsupport
