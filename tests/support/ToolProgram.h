// The developer programs of the same build (tools/ beside the test programs' tests/ folder), run in
// a child process of their own.
#pragma once

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

}  // namespace testsupport
