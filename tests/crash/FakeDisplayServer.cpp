#include "tests/crash/FakeDisplayServer.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace crashtest {

namespace {

constexpr int kFirstDisplay = 7100;
constexpr int kDisplaysTried = 800;

socklen_t AbstractAddress(const std::string& path, sockaddr_un* address) {
  *address = sockaddr_un{};
  address->sun_family = AF_UNIX;
  std::memcpy(address->sun_path + 1, path.data(), path.size());
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
}

std::string SocketPath(int display) { return "/tmp/.X11-unix/X" + std::to_string(display); }

void SpinUntil(std::chrono::steady_clock::time_point until) {
  while (std::chrono::steady_clock::now() < until) {
  }
}

// Listens on the first free display number from a place of its own; -1 when none is free.
int ListenOnAFreeDisplay(int* number) {
  const int offset = static_cast<int>(::getpid() % kDisplaysTried);
  for (int i = 0; i < kDisplaysTried; ++i) {
    *number = kFirstDisplay + (offset + i) % kDisplaysTried;
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address;
    const socklen_t length = AbstractAddress(SocketPath(*number), &address);
    if (listener < 0 ||
        (::bind(listener, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(listener, 16) == 0))
      return listener;
    ::close(listener);
  }
  return -1;
}

}  // namespace

FakeDisplayServer::FakeDisplayServer(int starvedSeconds) {
  int number = 0;
  if (starvedSeconds == 0) {
    mListener = ListenOnAFreeDisplay(&number);
    if (mListener >= 0) mDisplay = ":" + std::to_string(number);
    return;
  }
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(starvedSeconds);
  cpu_set_t allowed, one;
  ::sched_getaffinity(0, sizeof(allowed), &allowed);
  CPU_ZERO(&one);
  CPU_SET(static_cast<unsigned>(::sched_getcpu()), &one);
  ::sched_setaffinity(0, sizeof(one), &one);  // both children inherit the one processor
  if ((mHog = ::fork()) == 0) {
    SpinUntil(until);
    ::_exit(0);
  }
  int told[2];
  if (::pipe2(told, O_CLOEXEC) != 0) return;
  if ((mServer = ::fork()) == 0) {
    // The server listens itself: a connection's peer is the process that listens.
    const int listener = ListenOnAFreeDisplay(&number);
    const sched_param none{};
    if (listener < 0 || ::write(told[1], &number, sizeof(number)) != sizeof(number) ||
        ::sched_setscheduler(0, SCHED_IDLE, &none) != 0)
      ::_exit(1);
    SpinUntil(until);
    for (;;) {
      const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
      if (client >= 0) (void)!::send(client, "x", 1, MSG_NOSIGNAL);  // the watchdog's own look has gone
    }
  }
  ::close(told[1]);
  if (mServer > 0 && ::read(told[0], &number, sizeof(number)) == sizeof(number))
    mDisplay = ":" + std::to_string(number);
  ::close(told[0]);
  ::sched_setaffinity(0, sizeof(allowed), &allowed);  // the test's own process runs anywhere again
}

FakeDisplayServer::~FakeDisplayServer() {
  for (const pid_t process : {mHog, mServer}) {
    if (process > 0 && ::kill(process, SIGKILL) == 0) ::waitpid(process, nullptr, 0);
  }
  if (mListener >= 0) ::close(mListener);
}

bool WaitForDisplayServerAnswer() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || display[0] != ':') return false;
  const int connection = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address;
  const socklen_t length = AbstractAddress(SocketPath(std::atoi(display + 1)), &address);
  char answer = 0;
  const bool answered = ::connect(connection, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
                        ::read(connection, &answer, 1) == 1;
  ::close(connection);
  return answered;
}

}  // namespace crashtest
