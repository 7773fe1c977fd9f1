#include "platform/win/system/Shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/win/dialogs/MessageBox.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/threads/Errors.h"
#include "platform/win/threads/Threads.h"

extern char** environ;

namespace plat {
namespace {

std::mutex gLock;
std::optional<ShellRecord> gLog;
std::string gOpenerProgram = "xdg-open";
unsigned gVerdictMillis = kOpenerVerdictMillis;

bool IsAddress(const std::string& target) {
  return target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0;
}

enum class Opening { kOpened, kNoOpener, kNotOpened };

// Starts the opener and waits for its verdict, up to the verdict time; the child is reaped on a thread
// of its own whatever happens, so that no zombie is left behind.
Opening RunOpener(const std::string& target) {
  std::string program;
  unsigned verdictMillis;
  {
    std::lock_guard guard(gLock);
    program = gOpenerProgram;
    verdictMillis = gVerdictMillis;
  }
  const char* argv[] = {program.c_str(), target.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  int result = posix_spawnp(&child, program.c_str(), &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return Opening::kNoOpener;
  auto verdict = std::make_shared<std::promise<bool>>();
  std::future<bool> opened = verdict->get_future();
  plat::StartThread([child, verdict] {
    int status = 0;
    pid_t reaped;
    do {
      reaped = waitpid(child, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    // A child that cannot be waited for (another part of the program reaped it) gave no verdict.
    verdict->set_value(reaped < 0 || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
  }).detach();
  if (opened.wait_for(std::chrono::milliseconds(verdictMillis)) == std::future_status::timeout) return Opening::kOpened;
  return opened.get() ? Opening::kOpened : Opening::kNotOpened;
}

// What Windows' own error window does for a failed open: the player is told, in the program's code page.
void TellFailure(HWND owner, const std::string& target, const std::string& text) {
  const std::size_t slash = target.find_last_of('/');
  const std::string caption = IsAddress(target) || slash == std::string::npos ? target : target.substr(slash + 1);
  MessageBox(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
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

ScopedShellOpener::ScopedShellOpener(std::string program, unsigned verdictMillis) {
  std::lock_guard guard(gLock);
  gOpenerProgram = std::move(program);
  gVerdictMillis = verdictMillis;
}

ScopedShellOpener::~ScopedShellOpener() {
  std::lock_guard guard(gLock);
  gOpenerProgram = "xdg-open";
  gVerdictMillis = kOpenerVerdictMillis;
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
  switch (plat::RunOpener(target)) {
    case plat::Opening::kOpened:
      return result(42);
    case plat::Opening::kNoOpener:
      plat::TellFailure(owner, target,
                        "There is no program to open \"" + target + "\": xdg-open (xdg-utils) is not installed.");
      return result(SE_ERR_NOASSOC);
    case plat::Opening::kNotOpened:
      plat::TellFailure(owner, target, "No program could open \"" + target + "\".");
      return result(SE_ERR_NOASSOC);
  }
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
