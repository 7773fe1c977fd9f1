#include "platform/shell/Shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/Errors.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/window/SdlWindow.h"

extern char** environ;

namespace plat {
namespace {

std::mutex gLock;
std::optional<ShellRecord> gLog;
ShellOpener gOpener;

bool IsAddress(const std::string& target) {
  return target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0;
}

// What Windows' own error window does for a failed open: the player is told, in the program's code page.
void TellFailure(HWND owner, const std::string& target, const std::string& text) {
  const std::size_t slash = target.find_last_of('/');
  const std::string caption = IsAddress(target) || slash == std::string::npos ? target : target.substr(slash + 1);
  MessageBox(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

// The openers still running, each with a thread that waits for its end.
std::condition_variable gOpenerEnded;
int gOpenersRunning = 0;

// Starts the opener; false when it cannot be started (posix_spawn reports a failed exec itself). Its
// verdict is not waited for, so that the frame loop goes on while the opener looks for a program or
// shows the document. A thread of its own reaps it; an opener that fails within the verdict time found
// nothing to open the document with, and the player is told on the main thread. One that fails later
// was showing the document until then.
bool StartOpener(HWND owner, const std::string& target) {
  std::string program;
  std::chrono::milliseconds verdictTime;
  {
    std::lock_guard guard(gLock);
    program = gOpener.program;
    verdictTime = std::chrono::milliseconds(gOpener.verdictMillis);
  }
  const char* argv[] = {program.c_str(), target.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const auto started = std::chrono::steady_clock::now();
  const int result = posix_spawnp(&child, program.c_str(), &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return false;
  {
    std::lock_guard guard(gLock);
    ++gOpenersRunning;
  }
  plat::StartThread([child, owner, target, started, verdictTime] {
    int status = 0;
    pid_t reaped;
    do {
      reaped = waitpid(child, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    // A child that cannot be waited for (another part of the program reaped it) gave no verdict.
    const bool failed = reaped >= 0 && !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (failed && std::chrono::steady_clock::now() - started < verdictTime) {
      PostToMainThread([owner, target] { TellFailure(owner, target, "No program could open \"" + target + "\"."); });
    }
    std::lock_guard guard(gLock);
    --gOpenersRunning;
    gOpenerEnded.notify_all();
  }).detach();
  return true;
}

}  // namespace

ScopedShellLog::ScopedShellLog() {
  std::lock_guard guard(gLock);
  gLog = ShellRecord{};
}

ScopedShellLog::~ScopedShellLog() {
  std::lock_guard guard(gLock);
  gLog.reset();
}

ShellRecord ScopedShellLog::Record() const {
  std::lock_guard guard(gLock);
  return gLog ? *gLog : ShellRecord{};
}

ShellOpener SetShellOpener(ShellOpener opener) {
  std::lock_guard guard(gLock);
  return std::exchange(gOpener, std::move(opener));
}

void ScopedShellOpener::WaitForOpeners() const {
  std::unique_lock guard(gLock);
  gOpenerEnded.wait(guard, [] { return gOpenersRunning == 0; });
}

}  // namespace plat

HINSTANCE ShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, int) {
  auto result = [](LONG_PTR code) { return reinterpret_cast<HINSTANCE>(code); };
  if (!file || !*file || (verb && std::strcmp(verb, "open") != 0)) return result(SE_ERR_NOASSOC);
  std::string target = file;
  bool missing = false;
  if (!plat::IsAddress(target)) {
    target = plat::MapPath(target);
    struct stat info;
    missing = ::stat(target.c_str(), &info) != 0;
  }
  {
    std::lock_guard guard(plat::gLock);
    if (plat::gLog) {
      if (missing) return result(ERROR_FILE_NOT_FOUND);
      plat::gLog->opened.push_back(target);
      return result(42);
    }
  }
  if (missing) {
    plat::TellFailure(owner, target, "\"" + target + "\" could not be found.");
    return result(ERROR_FILE_NOT_FOUND);
  }
  if (plat::StartOpener(owner, target)) return result(42);
  plat::TellFailure(owner, target,
                    "There is no program to open \"" + target + "\": xdg-open (xdg-utils) is not installed.");
  return result(SE_ERR_NOASSOC);
}

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, int show) {
  return ShellExecute(owner, verb, file, parameters, folder, show);
}

BOOL Beep(DWORD frequency, DWORD durationMillis) {
  {
    std::lock_guard guard(plat::gLock);
    if (plat::gLog) {
      plat::gLog->beeps.emplace_back(frequency, durationMillis);
      return TRUE;
    }
  }
  if (::isatty(2)) {
    std::fputc('\a', stderr);
    std::fflush(stderr);
  }
  return TRUE;
}

BOOL PlaySound(LPCSTR, HMODULE, DWORD) { return FALSE; }

BOOL PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags) { return PlaySound(sound, module, flags); }
