#include "tests/crash/LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace crashtest {

namespace {

int ListenOnLoopback(int* port) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(listener, 4) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    std::abort();
  *port = ntohs(address.sin_port);
  return listener;
}

// Whether the request read so far is whole: its header ended and the announced body arrived.
bool RequestComplete(const std::string& request) {
  const std::size_t headerEnd = request.find("\r\n\r\n");
  if (headerEnd == std::string::npos) return false;
  const std::size_t lengthAt = request.find("Content-Length: ");
  const std::size_t body = lengthAt < headerEnd ? std::strtoul(request.c_str() + lengthAt + 16, nullptr, 10) : 0;
  return request.size() >= headerEnd + 4 + body;
}

}  // namespace

LoopbackServer::LoopbackServer(std::vector<std::string> pieces, bool holdOpen)
    : mListener(ListenOnLoopback(&mPort)), mThread([this, pieces, holdOpen] { Serve(pieces, holdOpen); }) {}

LoopbackServer::~LoopbackServer() {
  mStopping = true;
  if (mThread.joinable()) mThread.join();
  ::close(mListener);
}

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(mPort) + path;
}

std::string LoopbackServer::Request() {
  if (mThread.joinable()) mThread.join();
  return mRequest;
}

void LoopbackServer::Serve(std::vector<std::string> pieces, bool holdOpen) {
  pollfd waiting{mListener, POLLIN, 0};
  while (!mStopping && ::poll(&waiting, 1, 50) == 0) {
  }
  if (mStopping) return;
  const int connection = ::accept(mListener, nullptr, nullptr);
  char bytes[4096];
  while (!RequestComplete(mRequest)) {
    const ssize_t received = ::recv(connection, bytes, sizeof(bytes), 0);
    if (received <= 0) break;
    mRequest.append(bytes, static_cast<std::size_t>(received));
  }
  for (const std::string& piece : pieces) {
    ::send(connection, piece.data(), piece.size(), MSG_NOSIGNAL);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  while (holdOpen && !mStopping) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ::close(connection);
}

}  // namespace crashtest
