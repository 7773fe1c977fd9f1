// A stand-in for a local X server that never answers, for the crash watchdog's tests: the test's own
// process listens where the server of DISPLAY=":<n>" does ("/tmp/.X11-unix/X<n>" in the abstract
// namespace), so that a connection's peer, the server's process, is the test's. Owned by the test's
// thread.
#pragma once

#include <string>

namespace crashtest {

class FakeDisplayServer {
 public:
  FakeDisplayServer();
  ~FakeDisplayServer();
  FakeDisplayServer(const FakeDisplayServer&) = delete;
  FakeDisplayServer& operator=(const FakeDisplayServer&) = delete;

  // ":<n>", or empty when no display number was free.
  const std::string& Display() const { return mDisplay; }

 private:
  int mListener = -1;
  std::string mDisplay;
};

}  // namespace crashtest
