#include "tests/support/XvfbServer.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace testsupport {

std::string FindXvfb() {
  const char* path = std::getenv("PATH");
  const std::string folders = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    const size_t end = folders.find(':', start);
    const std::string candidate = folders.substr(start, end - start) + "/Xvfb";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return {};
}

XvfbServer::XvfbServer(const std::string& xvfb) {
  int fds[2];
  if (pipe(fds) != 0) return;
  mPid = fork();
  if (mPid == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execl(xvfb.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (!number.empty()) mDisplay = ":" + number;
}

XvfbServer::~XvfbServer() {
  if (mPid > 0) {
    kill(mPid, SIGTERM);
    waitpid(mPid, nullptr, 0);
  }
}

int RunSelfOnDisplay(const XvfbServer& server, const std::string& filter, const char* childMark) {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (length <= 0 || server.Display().empty()) return -1;
  self[length] = '\0';
  const pid_t pid = fork();
  if (pid == 0) {
    setenv(childMark, "1", 1);
    setenv("DISPLAY", server.Display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    // SDL's X11 driver leaves a D-Bus buffer behind at exit; the headless runs check our leaks.
    setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
    const std::string filterArgument = "--gtest_filter=" + filter;
    execl(self, self, filterArgument.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace testsupport
