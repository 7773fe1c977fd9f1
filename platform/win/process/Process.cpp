#include "platform/win/process/Process.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/win/Errors.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/modules/Modules.h"

namespace plat {
namespace {

std::mutex gLock;
ExitHook gExitHook;

struct CommandLineState {
  bool set = false;
  std::vector<char> text;
};

CommandLineState& CommandLine() {
  static CommandLineState state;
  return state;
}

std::string QuoteIfNeeded(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The real arguments of this process, read from /proc since the layer has no access to argv.
std::string OwnCommandLine() {
  std::string raw;
  // Far beyond what the kernel lets a command line hold; unread, it is left empty.
  constexpr std::size_t kMaxCommandLineBytes = 64u << 20;
  static_cast<void>(ReadWholeFile("/proc/self/cmdline", &raw, kMaxCommandLineBytes));
  std::vector<std::string> arguments;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    arguments.push_back(raw.substr(start, end - start));
    start = end + 1;
  }
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  // The program path is the executable's, as Windows reports it.
  char path[4096];
  ssize_t length = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
  std::string program = length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
  if (!pointers.empty() && !program.empty()) pointers[0] = program.c_str();
  return CommandLineFromArguments(static_cast<int>(pointers.size()), pointers.data());
}

}  // namespace

ExitHook SetExitHook(ExitHook hook) {
  std::lock_guard guard(gLock);
  return std::exchange(gExitHook, std::move(hook));
}

namespace {

constexpr int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handlers from before the first of the scopes alive, kept until the last one ends.
struct TerminationScopes {
  std::mutex lock;
  int alive = 0;
  struct sigaction previous[std::size(kTerminationSignals)];
};

TerminationScopes& TheTerminationScopes() {
  static TerminationScopes scopes;
  return scopes;
}

// The signals whose handlers a frame loop relies on (SDL's): the first of them, once one came.
constexpr int kNotedSignals[] = {SIGTERM, SIGINT};
std::atomic<int> gNotedRequest{0};
struct sigaction gPassedOn[std::size(kNotedSignals)];

void NoteAndPassOn(int signal, siginfo_t* info, void* context) {
  int none = 0;
  gNotedRequest.compare_exchange_strong(none, signal);
  for (std::size_t i = 0; i < std::size(kNotedSignals); ++i) {
    if (kNotedSignals[i] != signal) continue;
    const struct sigaction& next = gPassedOn[i];
    if (next.sa_flags & SA_SIGINFO) {
      next.sa_sigaction(signal, info, context);
    } else if (next.sa_handler == SIG_DFL) {
      ::signal(signal, SIG_DFL);
      ::raise(signal);  // taken as this handler returns
    } else if (next.sa_handler != SIG_IGN) {
      next.sa_handler(signal);
    }
  }
}

}  // namespace

void NoteTerminationRequests() {
  static std::once_flag once;
  std::call_once(once, [] {
    TerminationScopes& scopes = TheTerminationScopes();
    std::lock_guard guard(scopes.lock);
    struct sigaction noting {};
    noting.sa_sigaction = NoteAndPassOn;
    noting.sa_flags = SA_SIGINFO;
    sigemptyset(&noting.sa_mask);
    for (std::size_t i = 0; i < std::size(kNotedSignals); ++i) {
      // While a scope ends requests itself, the handler it gives back on its end is the one noted.
      const int signal = kNotedSignals[i];
      const auto scoped = std::find(std::begin(kTerminationSignals), std::end(kTerminationSignals), signal);
      struct sigaction* passedOnLater =
          scopes.alive > 0 ? &scopes.previous[scoped - std::begin(kTerminationSignals)] : nullptr;
      if (passedOnLater) {
        gPassedOn[i] = *passedOnLater;
        *passedOnLater = noting;
      } else {
        ::sigaction(signal, &noting, &gPassedOn[i]);
      }
    }
  });
}

ScopedTerminationEndsProcess::ScopedTerminationEndsProcess() {
  TerminationScopes& scopes = TheTerminationScopes();
  sigset_t unblocked;
  sigemptyset(&unblocked);
  {
    std::lock_guard guard(scopes.lock);
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigemptyset(&plain.sa_mask);
    for (std::size_t i = 0; i < std::size(kTerminationSignals); ++i) {
      if (scopes.alive == 0) ::sigaction(kTerminationSignals[i], &plain, &scopes.previous[i]);
      sigaddset(&unblocked, kTerminationSignals[i]);
    }
    ++scopes.alive;
  }
  ::pthread_sigmask(SIG_UNBLOCK, &unblocked, &mPreviousMask);
  if (const int noted = gNotedRequest.load()) ::raise(noted);
}

ScopedTerminationEndsProcess::~ScopedTerminationEndsProcess() {
  ::pthread_sigmask(SIG_SETMASK, &mPreviousMask, nullptr);
  TerminationScopes& scopes = TheTerminationScopes();
  std::lock_guard guard(scopes.lock);
  if (--scopes.alive > 0) return;
  for (std::size_t i = 0; i < std::size(kTerminationSignals); ++i)
    ::sigaction(kTerminationSignals[i], &scopes.previous[i], nullptr);
}

void SetCommandLine(std::string commandLine) {
  std::lock_guard guard(gLock);
  CommandLineState& state = CommandLine();
  state.text.assign(commandLine.begin(), commandLine.end());
  state.text.push_back('\0');
  state.set = true;
}

void ResetCommandLine() {
  std::lock_guard guard(gLock);
  CommandLine().set = false;
}

std::string CommandLineFromArguments(int argc, const char* const* argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    if (i) line += ' ';
    line += QuoteIfNeeded(argv[i] ? argv[i] : "");
  }
  return line;
}

}  // namespace plat

void ExitProcess(UINT exitCode) {
  plat::ExitHook hook;
  {
    std::lock_guard guard(plat::gLock);
    hook = plat::gExitHook;
  }
  if (hook) hook(exitCode);
  std::fflush(nullptr);
  ::_exit(static_cast<int>(exitCode));
}

LPSTR GetCommandLine() {
  std::lock_guard guard(plat::gLock);
  plat::CommandLineState& state = plat::CommandLine();
  if (!state.set) {
    std::string line = plat::OwnCommandLine();
    state.text.assign(line.begin(), line.end());
    state.text.push_back('\0');
    state.set = true;
  }
  return state.text.data();
}

LPSTR GetCommandLineA() { return GetCommandLine(); }

DWORD GetModuleFileName(HMODULE module, LPSTR fileName, DWORD size) {
  if (!fileName || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  char path[4096];
  ssize_t length = -1;
  Dl_info object{};
  if (module && module != GetModuleHandle(nullptr) && ::dladdr(module, &object) && object.dli_fbase == module &&
      object.dli_fname && ::realpath(object.dli_fname, path)) {
    // A shared object by its load address (what VirtualQuery reports as an allocation base).
    length = static_cast<ssize_t>(std::strlen(path));
  } else {
    // The executable, and the layer's own modules, which live inside it.
    length = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
  }
  if (length <= 0) {
    fileName[0] = '\0';
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  auto count = static_cast<DWORD>(length);
  if (count >= size) {
    std::memcpy(fileName, path, size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(fileName, path, count);
  fileName[count] = '\0';
  SetLastError(ERROR_SUCCESS);
  return count;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  return GetModuleFileName(module, fileName, size);
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }
