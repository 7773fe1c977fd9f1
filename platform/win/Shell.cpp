#include "platform/win/Shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>

#include "platform/win/Errors.h"
#include "platform/win/PathMap.h"
#include "platform/win/Threads.h"

extern char** environ;

namespace plat {
namespace {

std::mutex gLock;
std::optional<ShellRecord> gLog;

bool IsAddress(const std::string& target) {
  return target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0;
}

// Starts xdg-open and reaps it on a thread of its own, so that no zombie is left behind.
bool StartOpener(const std::string& target) {
  const char* argv[] = {"xdg-open", target.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  int result = posix_spawnp(&child, "xdg-open", &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return false;
  plat::StartThread([child] {
    int status;
    waitpid(child, &status, 0);
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

}  // namespace plat

HINSTANCE ShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, int) {
  auto result = [](LONG_PTR code) { return reinterpret_cast<HINSTANCE>(code); };
  if (!file || !*file || (verb && std::strcmp(verb, "open") != 0)) return result(SE_ERR_NOASSOC);
  std::string target = file;
  if (!plat::IsAddress(target)) {
    target = plat::MapPath(target);
    struct stat info;
    if (::stat(target.c_str(), &info) != 0) return result(ERROR_FILE_NOT_FOUND);
  }
  {
    std::lock_guard guard(plat::gLock);
    if (plat::gLog) {
      plat::gLog->opened.push_back(target);
      return result(42);
    }
  }
  return plat::StartOpener(target) ? result(42) : result(SE_ERR_NOASSOC);
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
