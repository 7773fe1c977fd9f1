#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "platform/win/Winsock.h"

namespace {

// A one-shot server on the loopback interface that answers a request with a fixed response.
class LoopbackServer {
 public:
  LoopbackServer() {
    mListener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    address.sin_port = 0;
    ::bind(mListener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::listen(mListener, 1);
    socklen_t length = sizeof(address);
    ::getsockname(mListener, reinterpret_cast<sockaddr*>(&address), &length);
    mPort = ntohs(address.sin_port);
    mThread = std::thread([this] {
      int client = ::accept(mListener, nullptr, nullptr);
      char buffer[256];
      ssize_t got = ::recv(client, buffer, sizeof(buffer), 0);
      mRequest.assign(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
      const char reply[] = "HTTP/1.0 200 OK\r\n\r\nbody";
      ::send(client, reply, sizeof(reply) - 1, 0);
      ::close(client);
    });
  }
  ~LoopbackServer() {
    mThread.join();
    ::close(mListener);
  }
  unsigned short Port() const { return mPort; }
  std::string mRequest;

 private:
  int mListener;
  unsigned short mPort = 0;
  std::thread mThread;
};

bool WaitReady(SOCKET socket, bool read, bool write) {
  for (int i = 0; i < 50; ++i) {
    fd_set readSet, writeSet, errorSet;
    FD_ZERO(&readSet);
    FD_ZERO(&writeSet);
    FD_ZERO(&errorSet);
    if (read) FD_SET(socket, &readSet);
    if (write) FD_SET(socket, &writeSet);
    FD_SET(socket, &errorSet);
    TIMEVAL timeout{0, 100000};
    int result = select(socket + 1, &readSet, &writeSet, &errorSet, &timeout);
    if (result < 0 || FD_ISSET(socket, &errorSet)) return false;
    if (result > 0) return true;
  }
  return false;
}

TEST(WinsockTest, NonBlockingTransferInTheWindowsStyle) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(0x0101, &data), 0);
  EXPECT_EQ(data.wVersion, 0x0101);
  LoopbackServer server;
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  ASSERT_NE(socket, INVALID_SOCKET);
  unsigned long nonBlocking = 1;
  ASSERT_EQ(ioctlsocket(socket, FIONBIO, &nonBlocking), 0);
  SOCKADDR_IN address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = inet_addr("127.0.0.1");
  address.sin_port = htons(server.Port());
  if (connect(socket, reinterpret_cast<SOCKADDR*>(&address), sizeof(address)) == SOCKET_ERROR) {
    EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK) << "a pending connect reads as 'would block'";
  }
  ASSERT_TRUE(WaitReady(socket, false, true));
  const char request[] = "GET / HTTP/1.0\r\n\r\n";
  ASSERT_EQ(send(socket, request, sizeof(request) - 1, 0), static_cast<ssize_t>(sizeof(request) - 1));
  std::string response;
  char buffer[64];
  while (WaitReady(socket, true, false)) {
    ssize_t got = recv(socket, buffer, sizeof(buffer), 0);
    if (got <= 0) break;
    response.append(buffer, static_cast<std::size_t>(got));
  }
  EXPECT_EQ(response, "HTTP/1.0 200 OK\r\n\r\nbody");
  EXPECT_EQ(closesocket(socket), 0);
  EXPECT_EQ(closesocket(socket), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEBADF);
  EXPECT_EQ(WSACleanup(), 0);
  EXPECT_EQ(WSACleanup(), SOCKET_ERROR) << "more cleanups than startups";
  EXPECT_EQ(server.mRequest, request);
}

TEST(WinsockTest, RefusedConnectionAndOldVersions) {
  WSADATA data;
  EXPECT_NE(WSAStartup(0x0001, &data), 0);
  ASSERT_EQ(WSAStartup(0x0202, &data), 0);
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  SOCKADDR_IN address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = inet_addr("127.0.0.1");
  address.sin_port = htons(1);  // nothing listens on port 1
  EXPECT_EQ(connect(socket, reinterpret_cast<SOCKADDR*>(&address), sizeof(address)), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
  closesocket(socket);
  WSACleanup();
}

}  // namespace
