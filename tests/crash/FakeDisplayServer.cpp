#include "tests/crash/FakeDisplayServer.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

void Kill(pid_t* process) {
  if (*process <= 0) return;
  ::kill(*process, SIGKILL);
  while (::waitpid(*process, nullptr, 0) < 0 && errno == EINTR) {
  }
  *process = -1;
}

// Listens on the first free display number from a place of its own; -1 when none is free.
int ListenOnAFreeDisplay(int* number) {
  const int offset = static_cast<int>(::getpid() % kDisplaysTried);
  for (int i = 0; i < kDisplaysTried; ++i) {
    const int display = kFirstDisplay + (offset + i) % kDisplaysTried;
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) return -1;
    sockaddr_un address;
    const socklen_t length = AbstractAddress(SocketPath(display), &address);
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(listener, 16) == 0) {
      *number = display;
      return listener;
    }
    ::close(listener);
  }
  return -1;
}

}  // namespace

FakeDisplayServer::FakeDisplayServer() {
  int number = 0;
  mListener = ListenOnAFreeDisplay(&number);
  if (mListener >= 0) mDisplay = ":" + std::to_string(number);
}

FakeDisplayServer::FakeDisplayServer(int starvedSeconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(starvedSeconds);
  cpu_set_t allowed, one;
  ::sched_getaffinity(0, sizeof(allowed), &allowed);
  CPU_ZERO(&one);
  CPU_SET(static_cast<unsigned>(::sched_getcpu()), &one);
  ::sched_setaffinity(0, sizeof(one), &one);  // both children inherit the one processor
  mHog = ::fork();
  if (mHog == 0) {
    while (std::chrono::steady_clock::now() < until) {
    }
    ::_exit(0);
  }
  int told[2];
  if (::pipe2(told, O_CLOEXEC) != 0) return;
  mServer = ::fork();
  if (mServer == 0) {
    // The server listens itself: a connection's peer is the process that listens.
    int number = 0;
    const int listener = ListenOnAFreeDisplay(&number);
    if (listener < 0 || ::write(told[1], &number, sizeof(number)) != sizeof(number)) ::_exit(1);
    const sched_param none{};
    if (::sched_setscheduler(0, SCHED_IDLE, &none) != 0) ::_exit(1);
    while (std::chrono::steady_clock::now() < until) {
    }
    for (;;) {
      const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
      if (client >= 0) (void)!::send(client, "x", 1, MSG_NOSIGNAL);  // the watchdog's own look has gone
    }
  }
  ::close(told[1]);
  int number = 0;
  if (mServer > 0 && ::read(told[0], &number, sizeof(number)) == sizeof(number))
    mDisplay = ":" + std::to_string(number);
  ::close(told[0]);
  // The test's own process runs wherever it may again.
  ::sched_setaffinity(0, sizeof(allowed), &allowed);
}

FakeDisplayServer::~FakeDisplayServer() {
  Kill(&mHog);
  Kill(&mServer);
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
