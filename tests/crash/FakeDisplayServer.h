// A stand-in for a local X server, for the crash watchdog's tests: it listens where the server of
// DISPLAY=":<n>" does ("/tmp/.X11-unix/X<n>" in the abstract namespace). Owned by the test's thread;
// the processes it starts are killed and reaped with it.
#pragma once

#include <sys/types.h>

#include <string>

namespace crashtest {

class FakeDisplayServer {
 public:
  // With no `starvedSeconds`, a server that never answers: the test's process listens. Else a server
  // process that is ready to run but starved of a processor that long (it shares one with a busy
  // process of higher priority); then it sends a byte on every connection.
  explicit FakeDisplayServer(int starvedSeconds = 0);
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
