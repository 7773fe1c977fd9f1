// The developer programs of the same build (tools/ beside the test programs' tests/ folder), or this
// test program again, run in a child process of their own.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// The program's path, or empty when it is not built.
std::string ToolProgram(const std::string& name);

// Environment changes for a child process, applied in order: an empty value unsets the variable.
using Environment = std::vector<std::pair<std::string, std::string>>;
void ApplyEnvironment(const Environment& environment);

// Runs the program with the arguments on an X display, with the environment changes given (an
// empty value unsets the variable); its exit status, or -1 when it did not exit normally.
int RunToolOnDisplay(const std::string& program, const std::string& display, const std::vector<std::string>& arguments,
                     const Environment& environment = {});
// The same, without waiting: the child's process id, for the caller to reap.
pid_t StartToolOnDisplay(const std::string& program, const std::string& display,
                         const std::vector<std::string>& arguments, const Environment& environment = {});
// This test program on the display, running only the current test, with the environment changes given.
pid_t StartThisTestOnDisplay(const std::string& display, Environment environment);

// A child process that does not outlive the scope: killed and reaped there unless reaped before.
class ScopedChild {
 public:
  explicit ScopedChild(pid_t pid) : mPid(pid) {}
  ~ScopedChild();
  ScopedChild(const ScopedChild&) = delete;
  ScopedChild& operator=(const ScopedChild&) = delete;
  pid_t Pid() const { return mPid; }
  // Waits until it ends (the wait only a net against a hang) and reaps it; its wait status.
  testing::AssertionResult Ends(int* status) const;

 private:
  pid_t mPid;
};

}  // namespace testsupport
