// Shows DirectDraw frames in a real X window: starts a private Xvfb server and runs the ddraw_show
// program against it. Skipped where Xvfb is not installed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/XvfbServer.h"

namespace {

// The ddraw_show program of the same build: tools/ beside this program's tests/ folder.
std::string ShowProgram() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (length <= 0) return {};
  std::string folder(self, static_cast<size_t>(length));
  folder = folder.substr(0, folder.rfind('/'));
  const std::string program = folder + "/../tools/ddraw_show";
  return access(program.c_str(), X_OK) == 0 ? program : std::string();
}

// Runs the program on the display with an SDL render driver (empty: SDL's own choice, the accelerated
// one the application gets); its exit status.
int RunShow(const std::string& program, const std::string& display, const char* bits, const std::string& driver) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    if (driver.empty()) {
      unsetenv("SDL_RENDER_DRIVER");
    } else {
      setenv("SDL_RENDER_DRIVER", driver.c_str(), 1);
    }
    // libdbus, which SDL's X11 driver starts, keeps an allocation past exit; the program's own code
    // runs under the leak checker in the headless tests.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 0);
    execl(program.c_str(), "ddraw_show", "--bits", bits, "--hold", "300", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The render drivers a window may get: the software one keeps its own copy of the window's pixels,
// the accelerated one draws into the X window's drawable, which follows the window's real size.
std::vector<std::string> RenderDrivers() {
#if defined(__SANITIZE_THREAD__)
  // The X renderer's GL driver is not built for the thread sanitizer.
  return {"software"};
#else
  return {"software", ""};
#endif
}

// The program checks a windowed frame, a full-screen flipped frame scaled over the whole screen, the
// flip back to the system's surface, and a windowed frame after full screen gave the window back.
TEST(XvfbShowTest, WindowedAndFullScreenFramesAreShownInARealWindowInBothDepths) {
  const std::string xvfb = testsupport::FindXvfb();
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed";
  const std::string program = ShowProgram();
  if (program.empty()) GTEST_SKIP() << "ddraw_show is not built";
  testsupport::XvfbServer server(xvfb);
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  for (const std::string& driver : RenderDrivers()) {
    for (const char* bits : {"32", "16"}) {
      const int status = RunShow(program, server.Display(), bits, driver);
      if (status == 77) GTEST_SKIP() << "no window could be opened on " << server.Display();
      EXPECT_EQ(status, 0) << bits << "-bit, render driver " << (driver.empty() ? "SDL's choice" : driver);
    }
  }
}

}  // namespace
