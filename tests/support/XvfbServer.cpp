#include "tests/support/XvfbServer.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/ToolProgram.h"

namespace testsupport {

std::string FindXvfb() { return access("/usr/bin/Xvfb", X_OK) == 0 ? "/usr/bin/Xvfb" : ""; }

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
  if (server.Display().empty()) return -1;
  // SDL's X11 driver leaves a D-Bus buffer behind at exit; the headless runs check our leaks.
  return RunToolOnDisplay("/proc/self/exe", server.Display(), {"--gtest_filter=" + filter},
                          {{childMark, "1"}, {"LSAN_OPTIONS", "detect_leaks=0"}});
}

bool InRealWindowRun(const char* childMark) {
  if (std::getenv(childMark) != nullptr) return true;
  const std::string xvfb = FindXvfb();
  if (xvfb.empty()) {
    [] { GTEST_SKIP() << "Xvfb is not installed: this test needs a real X window"; }();
    return false;
  }
  XvfbServer server(xvfb);
  if (server.Display().empty()) {
    ADD_FAILURE() << "Xvfb did not start";
    return false;
  }
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  EXPECT_EQ(RunSelfOnDisplay(server, std::string(test->test_suite_name()) + "." + test->name(), childMark), 0);
  return false;
}

}  // namespace testsupport
