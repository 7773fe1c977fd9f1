#include "tests/support/ToolProgram.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "tests/support/PollUntil.h"

namespace testsupport {

std::string ToolProgram(const std::string& name) {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (length <= 0) return {};
  std::string folder(self, static_cast<size_t>(length));
  folder = folder.substr(0, folder.rfind('/'));
  const std::string program = folder + "/../tools/" + name;
  return access(program.c_str(), X_OK) == 0 ? program : std::string();
}

void ApplyEnvironment(const Environment& environment) {
  for (const auto& [name, value] : environment) {
    if (value.empty())
      unsetenv(name.c_str());
    else
      setenv(name.c_str(), value.c_str(), 1);
  }
}

pid_t StartToolOnDisplay(const std::string& program, const std::string& display,
                         const std::vector<std::string>& arguments, const Environment& environment) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    // libdbus, which SDL's X11 driver starts, keeps an allocation past exit; the program's own code
    // runs under the leak checker in the headless tests.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 0);
    // Mesa's GL driver, which an X window loads, synchronises its own threads out of the race
    // checker's sight.
    setenv("TSAN_OPTIONS", "ignore_noninstrumented_modules=1", 0);
    ApplyEnvironment(environment);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

pid_t StartThisTestOnDisplay(const std::string& display, Environment environment) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  // SDL's X11 driver leaves a D-Bus buffer behind at exit; the headless runs check our leaks.
  environment.emplace_back("LSAN_OPTIONS", "detect_leaks=0");
  return StartToolOnDisplay("/proc/self/exe", display,
                            {std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name()},
                            environment);
}

ScopedChild::~ScopedChild() {
  if (mPid > 0 && waitpid(mPid, nullptr, WNOHANG) == 0 && kill(mPid, SIGKILL) == 0) waitpid(mPid, nullptr, 0);
}

testing::AssertionResult ScopedChild::Ends(int* status) const {
  return PollUntil([&] { return waitpid(mPid, status, WNOHANG) == mPid; });
}

int RunToolOnDisplay(const std::string& program, const std::string& display, const std::vector<std::string>& arguments,
                     const Environment& environment) {
  const pid_t pid = StartToolOnDisplay(program, display, arguments, environment);
  if (pid < 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport
