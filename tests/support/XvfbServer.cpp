#include "tests/support/XvfbServer.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/PollUntil.h"
#include "tests/support/ToolProgram.h"

namespace testsupport {

std::string FindXvfb() { return access("/usr/bin/Xvfb", X_OK) == 0 ? "/usr/bin/Xvfb" : ""; }

XvfbServer::XvfbServer(const std::string& xvfb, int depth) {
  const std::string screen = "1024x768x" + std::to_string(depth);
  int fds[2];
  if (pipe(fds) != 0) return;
  mPid = fork();
  if (mPid == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execl(xvfb.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
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
  if (mPid <= 0) return;
  // The server's SIGTERM handler only raises a flag that its main loop reads before it waits for
  // clients; a SIGTERM that lands between that check and the wait is taken and then forgotten until
  // the next event, up to ten minutes later. So the request is repeated every 100 ms until the server
  // has gone: one that arrives during the wait interrupts it. A server that never ends fails the test
  // instead of hanging it.
  auto nextRequest = std::chrono::steady_clock::now();
  const auto requestAgain = [&] {
    if (std::chrono::steady_clock::now() >= nextRequest) {
      kill(mPid, SIGTERM);
      nextRequest += std::chrono::milliseconds(100);
    }
    PauseBriefly();
  };
  if (PollUntil([this] { return waitpid(mPid, nullptr, WNOHANG) != 0; }, requestAgain)) return;
  kill(mPid, SIGKILL);
  waitpid(mPid, nullptr, 0);
  ADD_FAILURE() << "Xvfb did not end on SIGTERM";
}

int RunSelfOnDisplay(const XvfbServer& server, const std::string& filter, const char* childMark) {
  if (server.Display().empty()) return -1;
  // SDL's X11 driver leaves a D-Bus buffer behind at exit; the headless runs check our leaks.
  return RunToolOnDisplay("/proc/self/exe", server.Display(), {"--gtest_filter=" + filter},
                          {{childMark, "1"}, {"LSAN_OPTIONS", "detect_leaks=0"}});
}

bool InRealWindowRun(const char* childMark, int depth) {
  if (std::getenv(childMark) != nullptr) return true;
  const std::string xvfb = FindXvfb();
  if (xvfb.empty()) {
    [] { GTEST_SKIP() << "Xvfb is not installed: this test needs a real X window"; }();
    return false;
  }
  XvfbServer server(xvfb, depth);
  if (server.Display().empty()) {
    ADD_FAILURE() << "Xvfb did not start";
    return false;
  }
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  EXPECT_EQ(RunSelfOnDisplay(server, std::string(test->test_suite_name()) + "." + test->name(), childMark), 0);
  return false;
}

}  // namespace testsupport
