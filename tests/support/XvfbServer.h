// A private Xvfb server for the tests that show frames in a real X window.
#pragma once

#include <sys/types.h>

#include <string>

namespace testsupport {

// The path of the X server binary, or empty where Xvfb is not installed.
std::string FindXvfb();

// Starts Xvfb with a 1024x768 screen of the depth and no TCP listener; the server reports its display
// number through a pipe once it accepts clients. Stopped and reaped when destroyed.
class XvfbServer {
 public:
  explicit XvfbServer(const std::string& xvfb, int depth = 24);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // ":<number>", or empty when the server did not start.
  const std::string& Display() const { return mDisplay; }

 private:
  pid_t mPid = -1;
  std::string mDisplay;
};

// Runs this test program once more, with the test filter, against the server with SDL's X11 driver;
// `childMark` is set in its environment so that the tests can tell the run apart. Its exit status, or
// -1 when it did not exit normally.
int RunSelfOnDisplay(const XvfbServer& server, const std::string& filter, const char* childMark);

// For a test that must run in a real X window. Outside the child run: starts a private Xvfb, runs the
// current test again on it (with `childMark` set), expects that run to pass (or skips without Xvfb) and
// returns false, so the caller returns. Inside the child run: returns true, and the caller goes on.
bool InRealWindowRun(const char* childMark, int depth = 24);

}  // namespace testsupport
