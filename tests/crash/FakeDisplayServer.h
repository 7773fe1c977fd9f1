// A stand-in for a local X server, for the crash watchdog's tests: it listens where a display's
// server does ("/tmp/.X11-unix/X<n>" in the abstract namespace), so that DISPLAY=":<n>" leads to it.
// Owned by the test's thread; the processes it starts are killed and reaped when it is destroyed.
#pragma once

#include <sys/types.h>

#include <string>

namespace crashtest {

class FakeDisplayServer {
 public:
  // A server that never answers: the test's process listens.
  FakeDisplayServer();
  // A server process starved of a processor for `starvedSeconds`: ready to run all the time, it shares
  // one with a busy process of higher priority. Then it sends a byte on every connection.
  explicit FakeDisplayServer(int starvedSeconds);
  ~FakeDisplayServer();
  FakeDisplayServer(const FakeDisplayServer&) = delete;
  FakeDisplayServer& operator=(const FakeDisplayServer&) = delete;

  // ":<n>", or empty when no display number was free.
  const std::string& Display() const { return mDisplay; }

 private:
  int mListener = -1;
  std::string mDisplay;
  pid_t mServer = -1;
  pid_t mHog = -1;
};

// In a child: connects to the display DISPLAY names and waits for a byte from its server; false when
// it cannot connect or the connection ends without one.
bool WaitForDisplayServerAnswer();

}  // namespace crashtest
