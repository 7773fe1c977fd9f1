// The windowed presenting and cursor tests once more in a real X window: this program runs itself against a
// private Xvfb server with SDL's X11 driver. Skipped where Xvfb is not installed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "tests/support/XvfbServer.h"

namespace {

constexpr const char* kChildMark = "KIT_DISPLAY_XVFB_CHILD";

std::string SelfPath() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
  return length > 0 ? std::string(self, static_cast<std::size_t>(length)) : std::string();
}

TEST(XvfbDisplay, FramesAndTheCursorReachARealWindowPixelExact) {
  if (std::getenv(kChildMark)) GTEST_SKIP() << "already running under Xvfb";
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the X renderer's GL driver is not built for the thread sanitizer";
#endif
  const std::string xvfb = testsupport::FindXvfb();
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed";
  testsupport::XvfbServer server(xvfb);
  ASSERT_FALSE(server.Display().empty());
  const std::string self = SelfPath();
  ASSERT_FALSE(self.empty());
  const pid_t pid = fork();
  if (pid == 0) {
    setenv(kChildMark, "1", 1);
    setenv("DISPLAY", server.Display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    // SDL's X11 driver leaves a D-Bus buffer behind at exit; the headless runs check our leaks.
    setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
    execl(self.c_str(), self.c_str(), "--gtest_filter=Roads/PresentTest.*:Roads/CursorTest.*:-*FullScreen*",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
