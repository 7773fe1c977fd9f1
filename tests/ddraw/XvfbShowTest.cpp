// Shows DirectDraw frames in a real X window: starts a private Xvfb server and runs the ddraw_show
// program against it. Skipped where Xvfb is not installed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    const size_t end = folders.find(':', start);
    const std::string candidate = folders.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return {};
}

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

// A private X server; it tells its display number through a pipe once it accepts clients.
class XvfbServer {
 public:
  explicit XvfbServer(const std::string& xvfb) {
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
  ~XvfbServer() {
    if (mPid > 0) {
      kill(mPid, SIGTERM);
      waitpid(mPid, nullptr, 0);
    }
  }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  const std::string& Display() const { return mDisplay; }

 private:
  pid_t mPid = -1;
  std::string mDisplay;
};

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

// The program checks a windowed frame and a full-screen flipped frame scaled over the whole screen.
TEST(XvfbShowTest, WindowedAndFullScreenFramesAreShownInARealWindowInBothDepths) {
  const std::string xvfb = FindOnPath("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed";
  const std::string program = ShowProgram();
  if (program.empty()) GTEST_SKIP() << "ddraw_show is not built";
  XvfbServer server(xvfb);
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
