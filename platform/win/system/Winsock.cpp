#include "platform/win/system/Winsock.h"

#include <poll.h>

#include <fcntl.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

std::atomic<int> gStartups{0};

int WindowsErrorOf(int error) {
  switch (error) {
    case 0:
      return 0;
    case EINTR:
      return WSAEINTR;
    case EBADF:
      return WSAEBADF;
    case EACCES:
      return WSAEACCES;
    case EFAULT:
      return WSAEFAULT;
    case EINVAL:
      return WSAEINVAL;
    case EINPROGRESS:
    case EAGAIN:
      return WSAEWOULDBLOCK;
    case EALREADY:
      return WSAEALREADY;
    case ENOTSOCK:
      return WSAENOTSOCK;
    case EADDRINUSE:
      return WSAEADDRINUSE;
    case ENETDOWN:
      return WSAENETDOWN;
    case ENETUNREACH:
      return WSAENETUNREACH;
    case ECONNABORTED:
      return WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE:
      return WSAECONNRESET;
    case ENOTCONN:
      return WSAENOTCONN;
    case ETIMEDOUT:
      return WSAETIMEDOUT;
    case ECONNREFUSED:
      return WSAECONNREFUSED;
    case EHOSTUNREACH:
      return WSAEHOSTUNREACH;
    default:
      return WSAEINVAL;
  }
}

}  // namespace

int WSAStartup(WORD version, LPWSADATA data) {
  if (!data) return WSAEFAULT;
  BYTE major = LOBYTE(version), minor = HIBYTE(version);
  if (major < 1 || (major == 1 && minor < 1)) return WSAEINVAL;  // WSAVERNOTSUPPORTED in effect
  std::memset(data, 0, sizeof(WSADATA));
  data->wVersion = major >= 2 ? MAKEWORD(2, 2) : version;
  data->wHighVersion = MAKEWORD(2, 2);
  std::strncpy(data->szDescription, "POSIX sockets", sizeof(data->szDescription) - 1);
  std::strncpy(data->szSystemStatus, "Running", sizeof(data->szSystemStatus) - 1);
  data->iMaxSockets = 0xFFFF;
  ++gStartups;
  return 0;
}

int WSACleanup() {
  int count = gStartups.load();
  while (count > 0 && !gStartups.compare_exchange_weak(count, count - 1)) {
  }
  if (count <= 0) {
    errno = 0;
    return SOCKET_ERROR;
  }
  return 0;
}

int WSAGetLastError() { return WindowsErrorOf(errno); }

int WSAPoll(WSAPOLLFD* sockets, ULONG count, INT timeoutMs) {
  const int ready = ::poll(sockets, count, timeoutMs);
  return ready < 0 ? SOCKET_ERROR : ready;
}

int closesocket(SOCKET socket) { return ::close(socket) == 0 ? 0 : SOCKET_ERROR; }

int ioctlsocket(SOCKET socket, long command, unsigned long* argument) {
  if (!argument) {
    errno = EFAULT;
    return SOCKET_ERROR;
  }
  if (command == static_cast<long>(FIONBIO) || command == FIONBIO_WINDOWS) {
    int flags = ::fcntl(socket, F_GETFL, 0);
    if (flags < 0) return SOCKET_ERROR;
    flags = *argument ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return ::fcntl(socket, F_SETFL, flags) == 0 ? 0 : SOCKET_ERROR;
  }
  if (command == static_cast<long>(FIONREAD)) {
    int waiting = 0;
    if (::ioctl(socket, FIONREAD, &waiting) != 0) return SOCKET_ERROR;
    *argument = static_cast<unsigned long>(waiting);
    return 0;
  }
  errno = EINVAL;
  return SOCKET_ERROR;
}

namespace plat {

HOSTENT* HostByName(const char* name) {
  thread_local HOSTENT entry;
  thread_local char scratch[8192];
  HOSTENT* result = nullptr;
  int error = 0;
  if (name == nullptr || ::gethostbyname_r(name, &entry, scratch, sizeof(scratch), &result, &error) != 0)
    return nullptr;
  return result;
}

}  // namespace plat
