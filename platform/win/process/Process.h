// The process: its end, its command line and executable, and the seams tests use to stay alive
// through an exit.
#pragma once

#include <signal.h>

#include <functional>
#include <string>

#include "platform/util/ScopedValue.h"
#include "platform/win/Types.h"

// Ends the process at once with the code: stdio is flushed, no destructors or exit handlers run.
// With an exit hook installed (tests), the hook runs instead and is expected not to return.
[[noreturn]] void ExitProcess(UINT exitCode);
// The process's command line in Windows form: the program path, then the arguments, each quoted
// when it holds a blank.
LPSTR GetCommandLine();
LPSTR GetCommandLineA();
// The executable's full path for a null module; truncated (and terminated) when the buffer is
// short, with ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileName(HMODULE module, LPSTR fileName, DWORD size);
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
DWORD GetCurrentProcessId();

namespace plat {

// Thrown by ScopedExitCatcher's hook: the exit a test wanted to see.
struct ProcessExit {
  UINT code;
};

using ExitHook = std::function<void(UINT exitCode)>;
// Returns the hook it replaces.
ExitHook SetExitHook(ExitHook hook);

// While alive, ExitProcess throws ProcessExit instead of ending the test program; then the hook before
// it is back.
class ScopedExitCatcher : public ScopedValue<ExitHook, SetExitHook> {
 public:
  ScopedExitCatcher() : ScopedValue([](UINT code) { throw ProcessExit{code}; }) {}
};

// Termination requests (SIGTERM, SIGINT) are noted on their way to the handlers in place now (SDL's,
// which turn one into a quit message for the frame loop to read), so that a wait on the user that
// begins after one, when nothing reads that message any more, ends the process at once as well.
void NoteTerminationRequests();

// While alive, a termination request (SIGTERM, SIGINT, SIGHUP) ends the process at once, as the
// signal's default action does, whoever handled it before and whichever other threads block it: for a
// wait on the user that nothing else would end, such as the crash report's window or a message box. A
// request noted before (NoteTerminationRequests) ends it as the scope begins.
// Then the calling thread's signal mask is back as it was, and once the last such scope of any thread
// has ended, the handlers too.
class ScopedTerminationEndsProcess {
 public:
  ScopedTerminationEndsProcess();
  ~ScopedTerminationEndsProcess();
  ScopedTerminationEndsProcess(const ScopedTerminationEndsProcess&) = delete;
  ScopedTerminationEndsProcess& operator=(const ScopedTerminationEndsProcess&) = delete;

 private:
  sigset_t mPreviousMask;
};

// Replaces the command line GetCommandLine reports (the entry point passes argv; tests choose).
void SetCommandLine(std::string commandLine);
// Back to the process's own arguments.
void ResetCommandLine();
// Builds the Windows form of a command line from argv.
[[nodiscard]] std::string CommandLineFromArguments(int argc, const char* const* argv);

}  // namespace plat
