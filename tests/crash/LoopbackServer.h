// A one-connection HTTP server on 127.0.0.1 for the transfer tests: it takes the request (up to the
// end of its header and as many body bytes as Content-Length says), answers with the given pieces,
// each sent on its own after a short pause so the client reads them apart, then closes.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace crashtest {

class LoopbackServer {
 public:
  // `holdOpen`: after the pieces, keep the connection open until the server is destroyed.
  explicit LoopbackServer(std::vector<std::string> pieces, bool holdOpen = false);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int Port() const { return mPort; }
  std::string Url(const std::string& path = "/report") const;
  // The request as received; complete once the server answered.
  std::string Request();

 private:
  void Serve(std::vector<std::string> pieces, bool holdOpen);

  int mPort = 0;  // before mListener, which sets it
  int mListener = -1;
  std::atomic<bool> mStopping{false};
  std::string mRequest;
  std::thread mThread;
};

}  // namespace crashtest
