// Windows Sockets 1.1 as the HTTP transfer uses it, over POSIX sockets. The calls whose names POSIX
// already has (socket, connect, send, recv, select, gethostbyname, inet_addr, htons) are POSIX's own;
// this adds the Windows-only ones and the Windows names of types, constants and error codes. One
// difference callers must mind: select's first argument is the highest socket plus one (Windows
// ignores it; passing that value is right on both).
#pragma once

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/win/Types.h"

using SOCKET = int;
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;
using SOCKADDR = sockaddr;
using SOCKADDR_IN = sockaddr_in;
using HOSTENT = hostent;
using TIMEVAL = timeval;

constexpr int WSAEINTR = 10004;
constexpr int WSAEBADF = 10009;
constexpr int WSAEACCES = 10013;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAEALREADY = 10037;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAENETDOWN = 10050;
constexpr int WSAENETUNREACH = 10051;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAEHOSTUNREACH = 10065;
constexpr int WSANOTINITIALISED = 10093;
constexpr int WSAHOST_NOT_FOUND = 11001;

struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[257];
  char szSystemStatus[129];
  unsigned short iMaxSockets;
  unsigned short iMaxUdpDg;
  char* lpVendorInfo;
};
using LPWSADATA = WSADATA*;

// Accepts versions 1.1 and later (the answer is the one asked for, at most 2.2).
int WSAStartup(WORD version, LPWSADATA data);
int WSACleanup();
// The calling thread's last socket error in Windows numbers (a pending non-blocking connect is
// WSAEWOULDBLOCK, as on Windows).
int WSAGetLastError();
int closesocket(SOCKET socket);

// FIONBIO switches non-blocking mode, FIONREAD reports the bytes waiting (Linux's values of both
// names; Windows' own FIONBIO number is accepted as well).
constexpr long FIONBIO_WINDOWS = static_cast<long>(0x8004667Eu);
int ioctlsocket(SOCKET socket, long command, unsigned long* argument);

// The readiness wait of later Windows Sockets, over poll: the same record (WSAPOLLFD is pollfd) and
// flags (POLLIN, POLLOUT, POLLERR, POLLHUP, POLLNVAL). The count of sockets ready, 0 when the time ran
// out, SOCKET_ERROR on failure (WSAGetLastError tells which).
using WSAPOLLFD = pollfd;
int WSAPoll(WSAPOLLFD* sockets, ULONG count, INT timeoutMs);

namespace plat {
// gethostbyname with a result of the calling thread's own, as Windows Sockets gives it (POSIX's
// shares one result among all threads); nullptr when the name is not found.
[[nodiscard]] HOSTENT* HostByName(const char* name);
}  // namespace plat
