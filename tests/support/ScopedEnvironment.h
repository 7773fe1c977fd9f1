// What a test changes of the process's state that outlives it, given back at the end of a scope however
// the test ends (a failed assertion returns early): a variable of the environment, and the folder the
// single-instance lock is kept in.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/win/process/SingleInstance.h"

namespace testsupport {

// The variable as Set makes it until the end of the scope, then as it was before (unset when it was).
class ScopedEnvironmentVariable {
 public:
  // A null value unsets the variable.
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
class ScopedInstanceScope {
 public:
  explicit ScopedInstanceScope(std::string folder) { plat::SetInstanceScope(std::move(folder)); }
  ~ScopedInstanceScope() { plat::SetInstanceScope(""); }
  ScopedInstanceScope(const ScopedInstanceScope&) = delete;
  ScopedInstanceScope& operator=(const ScopedInstanceScope&) = delete;
};

}  // namespace testsupport
